#pragma once
// Shared by the coordinator's source files.

#include <windows.h>

#include <string>

#include "app/coordinator/AutomationEvents.h"

namespace coordinator {

// Message-box flags of every warning the coordinator asks the window to show.
constexpr LPARAM kWarningBoxFlags = MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST;
// Messages to the main window; the window answers them on the UI thread.
constexpr UINT kMovieCautionMessage = WM_USER + 1;
constexpr UINT kPodcastCautionMessage = WM_USER + 2;
constexpr UINT kAnalysisQuestionMessage = WM_USER + 3;
constexpr UINT kMessageBoxMessage = WM_USER + 4;

// Progress stages of automation progress events.
enum Stage : int32_t { kStageAnalysis = 0, kStageLookup = 1, kStageConversion = 2, kStageTransfer = 3 };

// A text of the language module (at most 511 characters), or empty.
std::wstring LoadResourceText(HMODULE module, UINT id);

}  // namespace coordinator
