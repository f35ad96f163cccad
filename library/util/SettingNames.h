#pragma once
// Names of the settings values under the program's key, spelled as stored on users' machines
// (the odd capitals included): read with ReadSetting, written with WriteSettingDword.

namespace settings {

constexpr wchar_t kAutoExec[] = L"AutoExec";
constexpr wchar_t kGNCoverArt[] = L"GNCoverArt";
constexpr wchar_t kAnalysisMode[] = L"AnalysisMode";
constexpr wchar_t kAutoUpdate[] = L"AutoUpdate";
constexpr wchar_t kAutoUpdateMode[] = L"AutoUpdatemode";
constexpr wchar_t kTopMost[] = L"TopMost";
constexpr wchar_t kPodcastCaution[] = L"PodcastCaution";
constexpr wchar_t kRavelinMessage[] = L"ravelinMsg";
constexpr wchar_t kMovieConvert[] = L"MovieConvert";
constexpr wchar_t kMovieConvertCaution[] = L"MovieConvertCaution";
constexpr wchar_t kMovieConvertSize[] = L"MovieConvertSize";
constexpr wchar_t kMovieConvertLogging[] = L"MovieConvertLogging";
constexpr wchar_t kWinPosX[] = L"WinPosX";
constexpr wchar_t kWinPosY[] = L"WinPosY";
constexpr wchar_t kLastUpdateYear[] = L"LastUpdateYear";
constexpr wchar_t kLastUpdateMonth[] = L"LastUpdateMonth";
constexpr wchar_t kLastUpdateDay[] = L"LastUpdateDay";
constexpr wchar_t kCurrentDevId[] = L"CurrentDevId";

}  // namespace settings
