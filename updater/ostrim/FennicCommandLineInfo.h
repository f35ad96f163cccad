#pragma once
// Ostrim's command line: "/C <product>" opens a group, "/X <value>" stores a value under letter X
// of the current group. Values before the first "/C" value share group 0 with the first group.

#include <windows.h>
#include <oleauto.h>

#include "platform/ui/UiCommandLineInfo.h"

class CFennicCommandLineInfo : public CUiCommandLineInfo {
public:
    static constexpr int kGroupCount = 5;
    static constexpr int kLetterCount = 26;

    CFennicCommandLineInfo();
    ~CFennicCommandLineInfo() override;
    CFennicCommandLineInfo(const CFennicCommandLineInfo&) = delete;
    CFennicCommandLineInfo& operator=(const CFennicCommandLineInfo&) = delete;

    void ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) override;

    // Number of "/C" values kept (at most kGroupCount).
    int GroupCount() const { return m_groupCount; }
    // The value of letter 'A'..'Z' in a group, or null when absent or out of range; owned here.
    BSTR Value(int group, wchar_t letter) const;

private:
    BSTR m_values[kGroupCount][kLetterCount];
    int m_groupCount = 0;
    int m_letterIndex = 0;  // -1 = no letter selected
    wchar_t m_lastFlagChar = 0;
    // Set once a "/C" value arrives after the table is full: later values would land in the
    // fifth group's slots and mix two products, so the rest of the line is dropped.
    bool m_overflowed = false;
};
