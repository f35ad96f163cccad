#include "setup/frame/MainFrame.h"

#include <dbt.h>

#include <cwchar>
#include <new>

#include "library/util/ModuleFolder.h"
#include "platform/ui/UiControl.h"
#include "setup/wizard/SetupFrameLayout.h"
#include "setup/wizard/SetupMessages.h"

namespace {

// Registered before the application starts, like every registered message of the program.
const CUiRegisteredMessage g_internalMessage(CMainFrame::kInternalMessageName);

constexpr UINT kModelLineString = 149;
constexpr int kStringBufferChars = 512;
constexpr WORD kProgramIcon = 128;

}  // namespace

const wchar_t CMainFrame::kClassName[] = L"HalvixSetupFrame";
const wchar_t CMainFrame::kInternalMessageName[] = L"HalvixSetup MainFrame internal message string";

CMainFrame::CMainFrame(const Parts& parts) : parts_(parts) {
    if (!RegisterFrameClass(kClassName, CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
                            static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                            LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon)))) {
        ShowError(L"CMainFrame::CMainFrame() : Couldn't register class! (Already registered?)");
    }
    wchar_t title[64] = {};
    swprintf(title, 64, L"%ls %ls", L"Halvix Setup", L"");
    CreateArgs args;
    args.title = title;
    args.style = WS_OVERLAPPEDWINDOW;
    if (!Create(args)) ShowError(L"CMainFrame::CMainFrame() : CFrameWnd::Create() error.");
}

CMainFrame::~CMainFrame() {
    // A frame whose window never existed still holds what SetupScreens took.
    if (ownMutex_ != nullptr) {
        ReleaseMutex(ownMutex_);
        CloseHandle(ownMutex_);
    }
    if (mainProgramMutex_ != nullptr) CloseHandle(mainProgramMutex_);
}

const CUiMessageMap& CMainFrame::GetMessageMap() const {
    static const CUiMessageMap map(&CUiFrameWnd::GetMessageMap(), {
        UiOnCreate(&CMainFrame::OnCreate),
        UiOnMessage(WM_DESTROY, &CMainFrame::OnDestroy),
        UiOnMessage(WM_SIZE, &CMainFrame::OnSize),
        UiOnMessage(WM_DEVICECHANGE, &CMainFrame::OnDeviceChange),
        UiOnRegisteredMessage(g_internalMessage, &CMainFrame::OnInternalMessage),
    });
    return map;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& create) {
    // A plain captioned window with a system menu: neither resizable nor minimisable.
    create.lpszClass = kClassName;
    create.style = WS_SYSMENU;
    create.x = 100;
    create.y = 100;
    create.cx = FrameLayout().frameWidth;
    create.cy = FrameLayout().frameHeight;
    return TRUE;
}

int CMainFrame::OnCreate(CREATESTRUCTW* create) { return CUiFrameWnd::OnCreate(create) == -1 ? -1 : 0; }

void CMainFrame::ShowError(const wchar_t* text) {
    if (parts_.reportError) {
        parts_.reportError(Hwnd(), text);
        return;
    }
    MessageBoxW(Hwnd(), text, parts_.appName.c_str(), MB_OK);
}

bool CMainFrame::SetupScreens(bool checkMainProgram) {
    ownMutex_ = CreateMutexW(nullptr, TRUE, parts_.ownMutexName.c_str());
    const bool otherWizard = GetLastError() == ERROR_ALREADY_EXISTS;

    bool mainProgramRuns = false;
    if (checkMainProgram) {
        // Held for the wizard's life, so the main program cannot start as a first instance.
        HANDLE mutex = CreateMutexW(nullptr, TRUE, parts_.mainProgramMutexName.c_str());
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            mainProgramRuns = true;
            if (mutex != nullptr) CloseHandle(mutex);
        } else {
            mainProgramMutex_ = mutex;
        }
    }

    const std::wstring modulePath = parts_.stringModulePath.empty()
                                        ? GetModuleFolder() + L"Resources\\HalvixSetupResource.dll"
                                        : parts_.stringModulePath;
    stringModule_ = LoadLibraryW(modulePath.c_str());
    if (stringModule_ == nullptr) {
        ShowError(L"ResourceDLL load error.");
        return false;
    }

    for (unsigned n = 0; n < SetupScreen::kCount; ++n) {
        if (parts_.screens != nullptr) {
            screens_[n] = parts_.screens->CreateScreen(n, Hwnd(), SetupScreen::kFirstPaneId + n, *this);
        }
        if (!screens_[n]) {
            ShowError(L"View create failed.");
            return false;
        }
    }
    current_ = SetupScreen::kInit;
    LayOutScreen(screens_[current_].get());
    ShowWindow(screens_[current_]->Hwnd(), SW_SHOW);

    // The wizard check comes first: a second wizard says so even while the main program runs.
    if (otherWizard) {
        ShowScreen(SetupScreen::kDualActivation);
        return true;
    }
    if (mainProgramRuns) {
        ShowScreen(SetupScreen::kQuillbayRunning);
        return true;
    }
    InvalidateRect(screens_[current_]->Hwnd(), nullptr, TRUE);

    if (parts_.createManager) manager_ = parts_.createManager(*this);
    if (!manager_) {
        ShowError(L"CSetupCommonManager create failed");
        return true;
    }
    if (FAILED(manager_->Run())) {
        ShowError(L"CSetupCommonManager run failed.");
        return true;
    }
    waiting_ = true;
    manager_->ResetDevices();
    return true;
}

void CMainFrame::Queue(CThreadMessage* message) {
    if (message == nullptr) return;
    if (FAILED(queue_.Push(message))) {
        delete message;
        return;
    }
    PostMessageW(Hwnd(), g_internalMessage.Id(), kQueuedMessage, 0);
}

void CMainFrame::OnThreadEvent(int type, int param1, int param2) {
    Queue(new (std::nothrow) CThreadEventMessage(type, param1, param2));
}

void CMainFrame::OnUIEvent(CUiControl* control1, CUiControl* control2, unsigned screen, int event, int error) {
    Queue(new (std::nothrow) CUIMessage(control1, control2, screen, event, error));
}

void CMainFrame::OnProcEvent(int value, int value2, int kind, int subtype, const wchar_t* text, int error) {
    // Copying the text may throw; the record is then dropped like one that cannot be allocated.
    CPROCMessage* message = nullptr;
    try {
        message = new (std::nothrow) CPROCMessage(value, value2, kind, subtype, text, error);
    } catch (...) {
        message = nullptr;
    }
    Queue(message);
}

LRESULT CMainFrame::OnInternalMessage(WPARAM wParam, LPARAM) {
    if (wParam == kQueuedMessage) OnQueuedMessage();
    return 0;
}

void CMainFrame::OnQueuedMessage() {
    CThreadMessage* message = nullptr;
    if (FAILED(queue_.Pop(&message)) || message == nullptr) return;
    std::unique_ptr<CThreadMessage> owned(message);
    switch (message->id) {
    case SetupMessageType::kUIMessage:
        if (auto* record = dynamic_cast<CUIMessage*>(message); record != nullptr && parts_.screens != nullptr) {
            parts_.screens->OnScreenEvent(*this, *record);
        }
        break;
    case SetupMessageType::kProcMessage:
        if (auto* record = dynamic_cast<CPROCMessage*>(message); record != nullptr && parts_.screens != nullptr) {
            parts_.screens->OnProgress(*this, *record);
        }
        break;
    case SetupMessageType::kDeviceChange:
        OnDeviceChanged();
        break;
    default:
        break;
    }
}

LRESULT CMainFrame::OnDeviceChange(WPARAM event, LPARAM) {
    if (event == DBT_DEVNODES_CHANGED) OnThreadEvent(SetupMessageType::kDeviceChange, 0, 0);
    return 0;
}

std::wstring CMainFrame::LoadResString(UINT id) const {
    wchar_t buffer[kStringBufferChars] = {};
    if (stringModule_ == nullptr || ::LoadStringW(stringModule_, id, buffer, kStringBufferChars) <= 0) return L"";
    return buffer;
}

void CMainFrame::OnDeviceChanged() {
    if (waiting_ && manager_) {
        const bool found = manager_->CheckConnectedDevice(&state_.modelName, &state_.deviceCapacity,
                                                          &state_.registered, &state_.ownBrand);
        if (found) manager_->TakeDevice();
        deviceTaken_ = found;
        if (!found) return;
        waiting_ = false;
        if (state_.registered) {
            ShowScreen(SetupScreen::kUnregConfirm);
            return;
        }
        // The model name is the player's: it goes in as an argument, never as the format.
        const std::wstring format = LoadResString(kModelLineString);
        std::wstring line;
        const size_t at = format.find(L"%s");
        line = at == std::wstring::npos ? format : format.substr(0, at) + state_.modelName + format.substr(at + 2);
        if (line.size() >= kStringBufferChars) line.resize(kStringBufferChars - 1);
        if (state_.modelText != nullptr) state_.modelText->SetText(line);
        ShowScreen(SetupScreen::kRegConfirm);
        return;
    }
    if (!waiting_ && deviceTaken_ && manager_ && !manager_->IsDeviceConnected()) {
        if (current_ == SetupScreen::kRefreshProcessing) StopRefresh();
        ShowScreen(SetupScreen::kCancel);
    }
}

void CMainFrame::StopRefresh() {
    if (!manager_) return;
    manager_->StopRefresh();
    manager_->DeleteCacheFiles();
}

void CMainFrame::LayOutScreen(CUiWnd* screen) {
    if (screen == nullptr || screen->Hwnd() == nullptr || Hwnd() == nullptr) return;
    RECT client{};
    GetClientRect(Hwnd(), &client);
    MoveWindow(screen->Hwnd(), 0, 0, client.right - client.left, client.bottom - client.top, TRUE);
}

void CMainFrame::OnSize() {
    if (current_ < SetupScreen::kCount) LayOutScreen(screens_[current_].get());
}

CUiWnd* CMainFrame::ShowScreen(unsigned screen) {
    if (screen >= SetupScreen::kCount || !screens_[screen]) return nullptr;
    if (screen == current_) return screens_[screen].get();
    CUiWnd* previous = screens_[current_].get();
    CUiWnd* next = screens_[screen].get();
    current_ = screen;

    // The visible screen always carries the first pane's id.
    if (previous != nullptr && previous->Hwnd() != nullptr && next->Hwnd() != nullptr) {
        const LONG_PTR previousId = GetWindowLongPtrW(previous->Hwnd(), GWLP_ID);
        const LONG_PTR nextId = GetWindowLongPtrW(next->Hwnd(), GWLP_ID);
        SetWindowLongPtrW(previous->Hwnd(), GWLP_ID, nextId);
        SetWindowLongPtrW(next->Hwnd(), GWLP_ID, previousId);
    }
    ShowWindow(next->Hwnd(), SW_SHOW);
    LayOutScreen(next);
    InvalidateRect(next->Hwnd(), nullptr, TRUE);
    if (previous != nullptr && previous->Hwnd() != nullptr) ShowWindow(previous->Hwnd(), SW_HIDE);

    // Bringing the frame forward needs the foreground lock lifted; the user's own timeout is put
    // back afterwards.
    SetActiveWindow(Hwnd());
    DWORD lockTimeout = 0;
    const bool haveTimeout = SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &lockTimeout, 0) != FALSE;
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetActiveWindow(Hwnd());
    SetForegroundWindow(Hwnd());
    if (haveTimeout) {
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                              reinterpret_cast<void*>(static_cast<UINT_PTR>(lockTimeout)), 0);
    }
    return next;
}

void CMainFrame::OnDestroy() {
    queue_.Clear();
    if (manager_) {
        manager_->StopRefresh();
        manager_->DeleteCacheFiles();
        manager_->StopAll();
        manager_.reset();
    }
    for (std::unique_ptr<CUiWnd>& screen : screens_) {
        if (screen && screen->Hwnd() != nullptr) screen->DestroyWindow();
    }
    if (ownMutex_ != nullptr) {
        ReleaseMutex(ownMutex_);
        CloseHandle(ownMutex_);
        ownMutex_ = nullptr;
    }
}
