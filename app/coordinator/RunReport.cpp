#include "app/coordinator/RunReport.h"

namespace {

constexpr UINT kClosingText = 184;

}  // namespace

std::wstring InsertText(const std::wstring& format, const std::wstring& text) {
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != L'%') continue;
        size_t end = i + 1;
        if ((format[end] == L'l' || format[end] == L'w') && end + 1 < format.size()) ++end;
        if (format[end] == L's' || format[end] == L'S') return format.substr(0, i) + text + format.substr(end + 1);
    }
    return format + text;
}

std::wstring ComposeRunReport(const std::vector<RunReportSection>& sections,
                              const std::function<std::wstring(UINT)>& loadText) {
    std::wstring report;
    for (const RunReportSection& section : sections) {
        if (section.entries.empty()) continue;
        const std::wstring heading = loadText(section.heading);
        report += section.takesFolder ? InsertText(heading, section.folder) : heading;
        for (const std::wstring& entry : section.entries) report += entry + L"\r\n";
        report += loadText(kClosingText);
    }
    return report;
}
