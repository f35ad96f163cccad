#include "updater/ostrim/FennicCommandLineInfo.h"

#include <string>

CFennicCommandLineInfo::CFennicCommandLineInfo() {
    for (auto& group : m_values) {
        for (BSTR& value : group) value = nullptr;
    }
}

CFennicCommandLineInfo::~CFennicCommandLineInfo() {
    for (auto& group : m_values) {
        for (BSTR& value : group) SysFreeString(value);
    }
}

BSTR CFennicCommandLineInfo::Value(int group, wchar_t letter) const {
    if (group < 0 || group >= kGroupCount || letter < L'A' || letter > L'Z') return nullptr;
    return m_values[group][letter - L'A'];
}

void CFennicCommandLineInfo::ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) {
    if (isFlag) {
        // Only upper-case letters select: "/m" stores nothing, "/Cx" counts as "/C".
        m_letterIndex = -1;
        if (param[0] >= L'A' && param[0] <= L'Z') m_letterIndex = param[0] - L'A';
        m_lastFlagChar = param[0];
    } else if (m_letterIndex >= 0 && !m_overflowed) {
        std::wstring value;
        for (const wchar_t* c = param; *c != L'\0'; ++c) {
            if (*c != L'"') value += *c;
        }
        if (m_lastFlagChar == L'C') {
            if (m_groupCount == kGroupCount) {
                m_overflowed = true;
            } else {
                ++m_groupCount;
            }
        }
        if (!m_overflowed) {
            const int group = m_groupCount > 1 ? m_groupCount - 1 : 0;
            BSTR& slot = m_values[group][m_letterIndex];
            SysFreeString(slot);
            slot = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        }
    }
    CUiCommandLineInfo::ParseParam(param, isFlag, isLast);
}
