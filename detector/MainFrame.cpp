#include "detector/MainFrame.h"

#include <dbt.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "library/capability/DevCapability.h"
#include "library/capability/DeviceCapabilityParser.h"
#include "library/device/MSCDeviceController.h"
#include "library/device/MTPDeviceController.h"
#include "library/util/ModuleFolder.h"
#include "library/util/Settings.h"
#include "library/util/UIModeFile.h"

namespace {

const wchar_t kWindowClass[] = L"QuillbayDetectorFrame";
const wchar_t kWindowTitle[] = L"QuillbayDetector";
constexpr UINT_PTR kSettleTimer = 1;
constexpr DWORD kFrameStyle = 0xC88000;
constexpr int kAudioPlayback = 1;
// A capability document is a few kilobytes; a larger size is not a player's document.
constexpr DWORD kMaxCapabilityBytes = 4u << 20;

bool RegisterFrameClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The setup wizard runs: it owns the player now. Probed without creating its mutex, so a wizard
// starting this very moment never finds it taken.
bool SetupWizardRuns() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"HalvixSetup.exe");
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

}  // namespace

void LaunchMainProgram() { LaunchMainProgramFrom(GetModuleFolder()); }

void LaunchMainProgramFrom(const std::wstring& folder) {
    const std::wstring program = folder + L"Quillbay.exe";
    ShellExecuteW(nullptr, L"open", program.c_str(), L"-s", nullptr, SW_SHOWNORMAL);
}

CMainFrame::CMainFrame(Args args)
    : mtp_(args.mtp ? std::move(args.mtp) : std::make_unique<CMTPDeviceController>()),
      massStorage_(args.massStorage ? std::move(args.massStorage) : std::make_unique<CMSCDeviceController>()),
      active_(mtp_.get()),
      launch_(args.launch ? std::move(args.launch) : std::function<void()>(LaunchMainProgram)),
      readUIMode_(args.readUIMode ? std::move(args.readUIMode) : std::function<int()>(ReadUIMode)),
      settleMs_(args.settleMs) {}

CMainFrame::~CMainFrame() {
    if (notification_) UnregisterDeviceNotification(notification_);
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    massStorage_.reset();
    mtp_.reset();
}

bool CMainFrame::Create() {
    if (!RegisterFrameClass(&CMainFrame::WindowProc)) return false;
    window_ = CreateWindowExW(0, kWindowClass, kWindowTitle, kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    ShowWindow(window_, SW_HIDE);
    UpdateWindow(window_);
    return true;
}

LRESULT CALLBACK CMainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* frame = static_cast<CMainFrame*>(create->lpCreateParams);
        frame->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = reinterpret_cast<CMainFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!frame) return DefWindowProcW(window, message, wParam, lParam);
    return frame->OnMessage(message, wParam, lParam);
}

LRESULT CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate();
        case WM_SETFOCUS:
            return 0;
        case WM_DEVICECHANGE:
            OnDeviceChange(wParam);
            return TRUE;
        case WM_TIMER:
            if (wParam == kSettleTimer) {
                KillTimer(window_, kSettleTimer);
                OnSettled();
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

int CMainFrame::OnCreate() {
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = 32;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    // A failure is of no account: DBT_DEVNODES_CHANGED reaches every top-level window anyway.
    notification_ = RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    return 0;
}

void CMainFrame::OnDeviceChange(WPARAM event) {
    if (event != DBT_DEVNODES_CHANGED) return;
    // Plugging a player in raises a burst of node changes: the check runs once they have settled,
    // so one arrival starts the main program once.
    SetTimer(window_, kSettleTimer, settleMs_, nullptr);
}

void CMainFrame::OnSettled() {
    DWORD autoExec = 0;
    if (!ReadSetting(L"AutoExec", &autoExec) || autoExec != 1) return;
    uiMode_ = readUIMode_();
    CheckDeviceAndLaunch();
}

int CMainFrame::SelectActiveController() {
    const int mtpFound = mtp_->FindDevice();
    const int massStorageFound = massStorage_->FindDevice();
    const ControllerChoice choice = ChooseController(mtpFound, massStorageFound, activeKind_);
    if (choice.controller == ActiveController::Mtp) active_ = mtp_.get();
    if (choice.controller == ActiveController::MassStorage) active_ = massStorage_.get();
    activeKind_ = choice.kind;
    return choice.result;
}

CMainFrame::CapabilityVerdict CMainFrame::ReadCapability() {
    const DWORD size = active_->GetCapabilityFileSize();
    if (size == 0) return CapabilityVerdict::Missing;
    if (size > kMaxCapabilityBytes) return CapabilityVerdict::Unusable;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, 0);
    DWORD read = size;
    active_->ReadCapabilityFile(buffer.data(), &read);
    if (read == 0 || read > size) return CapabilityVerdict::Unusable;
    CTNDevCapability* capability = nullptr;
    if (FAILED(ParseDeviceCapabilityXml(buffer.data(), static_cast<int>(read), &capability)) || !capability)
        return CapabilityVerdict::Unusable;
    std::vector<std::wstring> extensions;
    const bool listsAudio = capability->GetExtensions(extensions, kAudioPlayback, 0) == 0 && !extensions.empty();
    delete capability;
    return listsAudio ? CapabilityVerdict::ListsAudio : CapabilityVerdict::NoAudio;
}

bool CMainFrame::HasCarAudioMarker() {
    std::wstring fullPath;
    return uiMode_ != 0 && active_->FileExists(L"Carvell.dat", &fullPath);
}

void CMainFrame::CheckDeviceAndLaunch() {
    if (SetupWizardRuns()) return;
    mtp_->InitializeCom();
    massStorage_->InitializeCom();
    const int found = SelectActiveController();
    if (found == 1 || found == 2) {
        const CapabilityVerdict verdict = ReadCapability();
        // A car-audio unit carries no audio formats, or no document at all, but its marker file.
        const bool markerCounts = verdict == CapabilityVerdict::Missing || verdict == CapabilityVerdict::NoAudio;
        if (verdict == CapabilityVerdict::ListsAudio || (markerCounts && HasCarAudioMarker())) launch_();
    }
    mtp_->UninitializeCom();
    massStorage_->UninitializeCom();
}
