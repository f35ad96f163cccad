#pragma once
// The language folder a UI language selects, with the layout choices of the main window that follow
// from it.

#include <windows.h>

#include <string>

struct LanguageChoice {
    std::wstring folder;        // without its trailing backslash: "ENU", "JPN" ...
    bool latinScript = true;    // false for Korean, Japanese and both Chinese folders
    bool longCaptions = false;  // Spanish, both Portuguese and Russian captions need more room
    bool carAudioAllowed = true;
};

LanguageChoice ChooseLanguage(LANGID uiLanguage);
