#include "app/main/LanguageChoice.h"

#include "library/util/LanguageFolder.h"

LanguageChoice ChooseLanguage(LANGID uiLanguage) {
    LanguageChoice choice;
    choice.folder = GetLanguageFolderName(uiLanguage);
    if (!choice.folder.empty() && choice.folder.back() == L'\\') choice.folder.pop_back();
    const std::wstring& folder = choice.folder;
    choice.latinScript = folder != L"KOR" && folder != L"JPN" && folder != L"CHS" && folder != L"CHT";
    choice.longCaptions = folder == L"ESP" || folder == L"PTB" || folder == L"RUS" || folder == L"PTG";
    // The car-audio features are not offered with the Japanese texts.
    choice.carAudioAllowed = folder != L"JPN";
    return choice;
}
