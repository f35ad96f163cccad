#pragma once
// The language folder below "Resources\" that holds the texts and profile of a UI language.

#include <windows.h>

#include <string>

// "DEU\", "FRA\", "ITA\", "JPN\", "KOR\", "PTB\", "RUS\", "CHS\", "CHT\", "ESP\", "PTG\", or "ENU\"
// for every language without a folder of its own (0x040A, traditional-sort Spanish, among them).
std::wstring GetLanguageFolderName(LANGID language);

// True for the languages whose folder is German, French, Italian, Brazilian Portuguese, Russian,
// Spanish or Portuguese: their numbers take a decimal comma.
bool LanguageUsesDecimalComma(LANGID language);
