#include "detector/DetectorApp.h"

#include <commctrl.h>
#include <ole2.h>

#include <cwchar>
#include <string>

#include "detector/DetectorResources.h"

namespace {

// The single-instance mutex is named after the executable: "QuillbayDetector".
std::wstring ExecutableBaseName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

}  // namespace

CQBTNDetectorApp::~CQBTNDetectorApp() { ExitInstance(); }

BOOL CQBTNDetectorApp::InitInstance(const wchar_t* commandLine) {
    const bool closeAsked = commandLine && std::wcsncmp(commandLine, L"-close", 6) == 0;
    mutex_ = CreateMutexW(nullptr, TRUE, ExecutableBaseName().c_str());
    const bool alreadyRunning = GetLastError() == ERROR_ALREADY_EXISTS;
    ownsMutex_ = mutex_ && !alreadyRunning;
    if (alreadyRunning) {
        if (closeAsked) {
            if (HWND running = FindWindowW(nullptr, L"QuillbayDetector")) SendMessageW(running, WM_CLOSE, 0, 0);
        }
        return FALSE;
    }
    if (closeAsked) return FALSE;

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) {
        wchar_t text[512] = {};
        LoadStringW(GetModuleHandleW(nullptr), IDS_OLE_INIT_FAILED, text, 512);
        MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    frame_ = std::make_unique<CMainFrame>(CMainFrame::Args{});
    return frame_->Create() ? TRUE : FALSE;
}

int CQBTNDetectorApp::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int CQBTNDetectorApp::ExitInstance() {
    if (frame_) {
        frame_.reset();
        OleUninitialize();
    }
    if (mutex_) {
        if (ownsMutex_) ReleaseMutex(mutex_);
        CloseHandle(mutex_);
        mutex_ = nullptr;
    }
    return 0;
}
