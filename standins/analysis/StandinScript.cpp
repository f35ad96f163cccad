#include "standins/analysis/StandinScript.h"

#include <windows.h>

#include <cwchar>

CStandinScript CStandinScript::FromEnvironment() {
    CStandinScript script;
    wchar_t text[512] = {};
    const DWORD length = GetEnvironmentVariableW(L"QB_ANALYSIS_STANDIN", text, 512);
    if (length == 0 || length >= 512) return script;
    std::wstring all(text, length);
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find(L';', start);
        if (end == std::wstring::npos) end = all.size();
        const std::wstring pair = all.substr(start, end - start);
        start = end + 1;
        const size_t equals = pair.find(L'=');
        if (equals == std::wstring::npos) continue;
        const std::wstring key = pair.substr(0, equals);
        const std::wstring value = pair.substr(equals + 1);
        const long number = std::wcstol(value.c_str(), nullptr, 10);
        if (key == L"end") script.endStatus = number;
        else if (key == L"events") script.syncEvents = value == L"sync";
        else if (key == L"abortAfter") script.abortAfter = number;
        else if (key == L"stallMs") script.stallMs = number;
        else if (key == L"fail") script.fail = value;
        else if (key == L"empty") script.emptyResult = number != 0;
        else if (key == L"check") script.checkVerdict = number;
        else if (key == L"race") script.race = number != 0;
        else if (key == L"mood") script.moodScores = number != 0;
    }
    return script;
}
