#pragma once
// The run report: the text the log dialog shows after a run, composed from the stages' lists of
// what did not reach the player.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct RunReportSection {
    // Language-module string of the heading.
    UINT heading = 0;
    std::vector<std::wstring> entries;
    // Inserted at the heading's one %s when the heading takes it.
    std::wstring folder;
    bool takesFolder = false;
};

// Every non-empty section in order: its heading, each entry and "\r\n", then the closing text
// (string 184). Empty when every section is empty.
std::wstring ComposeRunReport(const std::vector<RunReportSection>& sections,
                              const std::function<std::wstring(UINT)>& loadText);

// The first %s (or %ls, %ws) of the format takes the text; anything else stays as written, so a
// damaged language module cannot make us read arguments that are not there.
std::wstring InsertText(const std::wstring& format, const std::wstring& text);
