#pragma once
// What the dialog tests share: a scratch registry with a player identifier of the test's own (so
// its data folder is the test's own too), and the path of a screenshot per language.

#include <windows.h>

#include <memory>
#include <string>

#include "tests/util/UtilTestSupport.h"

class CScratchPlayer {
public:
    CScratchPlayer();
    ~CScratchPlayer();
    CScratchPlayer(const CScratchPlayer&) = delete;
    CScratchPlayer& operator=(const CScratchPlayer&) = delete;

    bool IsActive() const { return registry_.IsActive() && !deviceId_.empty(); }
    const std::wstring& DeviceId() const { return deviceId_; }
    // The player's data folder, with a trailing backslash.
    const std::wstring& DataFolder() const { return dataFolder_; }
    HKEY UserKey() const { return registry_.User(); }

private:
    CScratchRegistry registry_;
    std::wstring deviceId_;
    // Taken while the scratch registry is in place, so the clean-up never removes another folder.
    std::wstring dataFolder_;
};

// The language module built beside the test (Resources\QuillbayResource.dll), loaded once.
HMODULE TestLanguageModule();
// Makes the calling thread look texts up in that language (a dialog's thread calls it).
void UseLanguage(LANGID language);
// "English" or "Japanese", for screenshot names.
const wchar_t* LanguageName(LANGID language);
// Saves a PNG of the window into the screenshots folder; false when it looks blank.
bool Photograph(HWND window, const std::wstring& name);
// A visible dialog of the thread that has an owner (a message box or a dialog opened over another
// one); null when none appeared in time.
HWND WaitForOwnedDialog(DWORD threadId, DWORD timeoutMs);

// A DWORD of the program's settings as stored under the scratch HKCU; false when missing.
bool ReadUserSetting(const wchar_t* name, DWORD* value);
