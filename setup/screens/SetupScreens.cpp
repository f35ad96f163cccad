#include "setup/screens/SetupScreens.h"

#include <commctrl.h>

#include <climits>
#include <cwchar>

#include "platform/ui/UiControl.h"
#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/CancelView.h"
#include "setup/screens/DualActivationView.h"
#include "setup/screens/EndView.h"
#include "setup/screens/ErrorView.h"
#include "setup/screens/FormatHResultText.h"
#include "setup/screens/GNConfirmView.h"
#include "setup/screens/InitView.h"
#include "setup/screens/QbconvExistsView.h"
#include "setup/screens/RefreshConfirmView.h"
#include "setup/screens/RefreshNomusicView.h"
#include "setup/screens/RefreshProcessingView.h"
#include "setup/screens/RegCompleteView.h"
#include "setup/screens/RegConfirmView.h"
#include "setup/screens/ScreenBase.h"
#include "setup/screens/UnregCompleteView.h"
#include "setup/screens/UnregConfirmView.h"
#include "setup/screens/UserConfirmView.h"
#include "setup/wizard/ISetupFrame.h"
#include "setup/wizard/ISetupListener.h"
#include "setup/wizard/ISetupManager.h"
#include "setup/wizard/SetupCodes.h"
#include "setup/wizard/SetupFrameState.h"
#include "setup/wizard/SetupMessages.h"

namespace {

std::unique_ptr<CScreenView> NewScreen(unsigned screen) {
    switch (screen) {
    case SetupScreen::kInit: return std::make_unique<CInitView>();
    case SetupScreen::kDualActivation: return std::make_unique<CDualActivationView>();
    case SetupScreen::kQuillbayRunning: return std::make_unique<CQbconvExistsView>();
    case SetupScreen::kRegConfirm: return std::make_unique<CRegConfirmView>();
    case SetupScreen::kRegComplete: return std::make_unique<CRegCompleteView>();
    case SetupScreen::kUserConfirm: return std::make_unique<CUserConfirmView>();
    case SetupScreen::kEnd: return std::make_unique<CEndView>();
    case SetupScreen::kRefreshConfirm: return std::make_unique<CRefreshConfirmView>();
    case SetupScreen::kRefreshProcessing: return std::make_unique<CRefreshProcessingView>();
    case SetupScreen::kRefreshNoMusic: return std::make_unique<CRefreshNomusicView>();
    case SetupScreen::kArtworkConfirm: return std::make_unique<CGNConfirmView>();
    case SetupScreen::kUnregConfirm: return std::make_unique<CUnregConfirmView>();
    case SetupScreen::kUnregComplete: return std::make_unique<CUnregCompleteView>();
    case SetupScreen::kCancel: return std::make_unique<CCancelView>();
    case SetupScreen::kError: return std::make_unique<CErrorView>();
    default: return nullptr;
    }
}

// The frame's string module, or the one beside the program when the frame has none yet.
std::wstring FrameString(ISetupFrame& frame, UINT id) {
    HMODULE module = frame.StringModule();
    if (module == nullptr) module = LoadHalvixStringModule();
    return LoadHalvixString(module, id);
}

void SetProgressPosition(const SetupFrameState& state) {
    if (state.progress == nullptr) return;
    const long long position = static_cast<long long>(state.songsWritten) + state.songsAnalysed;
    SendMessageW(state.progress->Hwnd(), PBM_SETPOS, static_cast<WPARAM>(position < INT_MAX ? position : INT_MAX), 0);
}

}  // namespace

std::unique_ptr<CUiWnd> CSetupScreens::CreateScreen(unsigned screen, HWND frame, UINT controlId,
                                                    ISetupListener& listener) {
    std::unique_ptr<CScreenView> view = NewScreen(screen);
    if (!view) return nullptr;
    view->Assign(screen, &listener, layout_ ? *layout_ : FrameLayout());
    if (!view->CreateScreen(frame, controlId)) return nullptr;
    return view;
}

void CSetupScreens::OnScreenEvent(ISetupFrame& frame, const CUIMessage& message) {
    if (message.error == 1) frame.ShowScreen(SetupScreen::kError);
    // Cancel is honoured from every screen, current or not.
    if (message.event == SetupEvent::kCancel) {
        if (message.screen == SetupScreen::kRefreshProcessing) StopRefresh(frame);
        frame.ShowScreen(SetupScreen::kCancel);
        return;
    }
    if (message.event == SetupEvent::kControlsRegistered) {
        KeepControls(frame, message);
        return;
    }
    // A click still queued from a screen that has since been replaced does nothing.
    if (message.screen != frame.CurrentScreen()) return;

    ISetupManager* manager = frame.Manager();
    switch (message.screen) {
    case SetupScreen::kDualActivation:
    case SetupScreen::kQuillbayRunning:
    case SetupScreen::kEnd:
    case SetupScreen::kUnregComplete:
    case SetupScreen::kCancel:
    case SetupScreen::kError:
        if (message.event == SetupEvent::kOk) frame.CloseFrame();
        break;
    case SetupScreen::kRegConfirm:
        if (message.event != SetupEvent::kOk) break;
        if (frame.State().ownBrand) {
            ShowOwnBrandCaution(frame);
        } else {
            ToggleRegistration(frame, SetupScreen::kRegConfirm, SetupEvent::kRegistrationFailed,
                               SetupScreen::kRegComplete);
        }
        break;
    case SetupScreen::kRegComplete:
        if (message.event == SetupEvent::kOk) frame.ShowScreen(SetupScreen::kRefreshConfirm);
        break;
    case SetupScreen::kUserConfirm:
        if (message.event == SetupEvent::kOk) {
            ToggleRegistration(frame, SetupScreen::kUserConfirm, SetupEvent::kRegistrationFailed,
                               SetupScreen::kRegComplete);
        }
        break;
    case SetupScreen::kRefreshConfirm:
        if (message.event == SetupEvent::kYes) frame.ShowScreen(SetupScreen::kArtworkConfirm);
        if (message.event == SetupEvent::kNo) frame.ShowScreen(SetupScreen::kEnd);
        break;
    case SetupScreen::kRefreshNoMusic:
        if (message.event == SetupEvent::kOk) frame.ShowScreen(SetupScreen::kEnd);
        break;
    case SetupScreen::kArtworkConfirm:
        if (message.event == SetupEvent::kYes || message.event == SetupEvent::kNo) {
            if (manager != nullptr) manager->SetArtworkLookup(message.event == SetupEvent::kYes);
            StartRefresh(frame);
        }
        break;
    case SetupScreen::kUnregConfirm:
        if (message.event == SetupEvent::kRefresh) frame.ShowScreen(SetupScreen::kArtworkConfirm);
        if (message.event == SetupEvent::kDeregister) {
            ToggleRegistration(frame, SetupScreen::kUnregConfirm, SetupEvent::kDeregistrationFailed,
                               SetupScreen::kUnregComplete);
        }
        break;
    default: break;
    }
}

void CSetupScreens::KeepControls(ISetupFrame& frame, const CUIMessage& message) {
    SetupFrameState& state = frame.State();
    bool missing = false;
    switch (message.screen) {
    case SetupScreen::kRegConfirm:
        state.modelText = message.control1;
        missing = message.control1 == nullptr;
        break;
    case SetupScreen::kUserConfirm:
        state.cautionText = message.control1;
        missing = message.control1 == nullptr;
        break;
    case SetupScreen::kRefreshProcessing:
        state.progress = message.control1;
        state.counterText = message.control2;
        missing = message.control1 == nullptr || message.control2 == nullptr;
        break;
    case SetupScreen::kError:
        state.errorTextControl = message.control1;
        missing = message.control1 == nullptr;
        break;
    default: break;
    }
    if (missing) frame.Listener().OnUIEvent(nullptr, nullptr, message.screen, SetupEvent::kControlMissing, 1);
}

void CSetupScreens::ShowOwnBrandCaution(ISetupFrame& frame) {
    SetupFrameState& state = frame.State();
    if (state.cautionText != nullptr) {
        state.cautionText->SetText(FrameString(frame, IDS_SETUP_OWN_BRAND_CAUTION) + L"\r\n" +
                                   FrameString(frame, IDS_SETUP_M4A_CONVERSION));
    }
    frame.ShowScreen(SetupScreen::kUserConfirm);
}

void CSetupScreens::ToggleRegistration(ISetupFrame& frame, unsigned screen, int failureEvent, unsigned successScreen) {
    ISetupManager* manager = frame.Manager();
    const HRESULT result = manager != nullptr ? manager->ToggleDeviceRegistration() : E_UNEXPECTED;
    if (SUCCEEDED(result)) {
        frame.ShowScreen(successScreen);
        return;
    }
    SetupFrameState& state = frame.State();
    state.errorText = FormatHResultText(result);
    // The error screen's empty line is there for this description.
    if (state.errorTextControl != nullptr) state.errorTextControl->SetText(state.errorText);
    frame.Listener().OnUIEvent(nullptr, nullptr, screen, failureEvent, 1);
}

void CSetupScreens::StartRefresh(ISetupFrame& frame) {
    ISetupManager* manager = frame.Manager();
    if (manager == nullptr) return;
    const bool songsPresent = manager->PlayerHoldsSongs();
    manager->SetSongsPresent(songsPresent);
    if (!songsPresent) {
        frame.ShowScreen(SetupScreen::kRefreshNoMusic);
        return;
    }
    SetupFrameState& state = frame.State();
    state.totalSongs = 0;
    state.songsWritten = 0;
    state.songsAnalysed = 0;
    frame.ShowScreen(SetupScreen::kRefreshProcessing);
    manager->StartRefreshThread();
}

void CSetupScreens::StopRefresh(ISetupFrame& frame) {
    ISetupManager* manager = frame.Manager();
    if (manager == nullptr) return;
    manager->StopRefresh();
    manager->DeleteCacheFiles();
}

void CSetupScreens::ShowRefreshCounts(ISetupFrame& frame) {
    SetupFrameState& state = frame.State();
    SetProgressPosition(state);
    if (state.counterText == nullptr) return;
    const long long finished = (static_cast<long long>(state.songsWritten) + state.songsAnalysed) / 2;
    wchar_t text[512] = {};
    swprintf(text, 512, FrameString(frame, IDS_SETUP_PROGRESS_COUNT).c_str(), static_cast<int>(finished),
             state.totalSongs);
    state.counterText->SetText(text);
}

void CSetupScreens::OnProgress(ISetupFrame& frame, const CPROCMessage& message) {
    if (message.error == 1) frame.ShowScreen(SetupScreen::kError);
    if (message.kind != SetupProgress::kKind) return;
    SetupFrameState& state = frame.State();
    ISetupManager* manager = frame.Manager();
    // Records a cancelled refresh's threads queued before they stopped would otherwise move the
    // wizard on from the abort screen.
    if (manager != nullptr && !manager->IsRefreshRunning()) return;
    switch (message.subtype) {
    case SetupProgress::kListReady:
        state.totalSongs = message.value;
        // The bar counts every song twice (written and analysed); a 16-bit range would wrap
        // above 32,767 steps, so the range is set in 32 bits.
        if (message.value > 0 && state.progress != nullptr && manager != nullptr) {
            const long long upper = 2LL * message.value;
            SendMessageW(state.progress->Hwnd(), PBM_SETRANGE32, 0,
                         static_cast<LPARAM>(upper < INT_MAX ? upper : INT_MAX));
            ShowRefreshCounts(frame);
            manager->StartWriteThread();
        } else {
            frame.Listener().OnProcEvent(0, 0, SetupProgress::kKind, SetupProgress::kCannotStart, nullptr, 1);
        }
        break;
    case SetupProgress::kTransferred:
    case SetupProgress::kItemDone:
        ++state.songsAnalysed;
        ShowRefreshCounts(frame);
        if (state.totalSongs == state.songsAnalysed) frame.ShowScreen(SetupScreen::kEnd);
        break;
    case SetupProgress::kDiskFull:
        StopRefresh(frame);
        frame.Listener().OnProcEvent(0, 0, SetupProgress::kKind, SetupProgress::kFailed, nullptr, 1);
        break;
    case SetupProgress::kMoodStepDone:
        ++state.songsWritten;
        ShowRefreshCounts(frame);
        if (manager != nullptr) manager->AddAnalysedFile(message.text);
        break;
    default: break;
    }
}
