#include "app/mainframe/MainFrame.h"

#include <dbt.h>

#include "app/dialogs/QBMovieConvertCautionDlg.h"
#include "app/mainframe/MainFrameInternal.h"
#include "app/mainframe/PodcastCautionDlg.h"
#include "library/util/ModuleFolder.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"

using namespace settings;

namespace {

// The window style keeps the low bits the framework's class expects beside the popup bits.
constexpr DWORD kFrameStyle = 0x800A0048;
constexpr wchar_t kDefaultLink[] = L"http://www.tavrel.example/quillbay/";

bool PositionOnScreen(int x, int y) {
    return x >= -185 && x < GetSystemMetrics(SM_CXSCREEN) - 10 && y >= -251 && y < GetSystemMetrics(SM_CYSCREEN) - 10;
}

}  // namespace

CMainFrame::CMainFrame() {
    InitializeCriticalSection(&textLock_);
    InitializeCriticalSection(&stageLock_);
    InitializeCriticalSection(&queueLock_);
    stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    idleEvent_ = CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

CMainFrame::~CMainFrame() {
    if (Hwnd()) {
        DestroyWindow();
    }
    buttons_.clear();
    areas_.clear();
    skin_.clear();
    if (font_) {
        DeleteObject(font_);
    }
    CloseHandle(stopEvent_);
    CloseHandle(idleEvent_);
    DeleteCriticalSection(&queueLock_);
    DeleteCriticalSection(&stageLock_);
    DeleteCriticalSection(&textLock_);
}

bool CMainFrame::CreateFrame(const std::wstring& title) {
    CreateArgs args;
    args.title = title;
    return Create(args);
}

const CUiMessageMap& CMainFrame::GetMessageMap() const {
    static const CUiMessageMap map(&CUiFrameWnd::GetMessageMap(), {
        UiOnCreate(&CMainFrame::OnCreate),
        UiOnMessage(WM_SETFOCUS, &CMainFrame::OnSetFocus),
        UiOnMessage(WM_DEVICECHANGE, &CMainFrame::OnDeviceChange),
        UiOnMessage(WM_DESTROY, &CMainFrame::OnDestroy),
        UiOnMessage(WM_SYSCOMMAND, &CMainFrame::OnSysCommand),
        UiOnMessage(WM_ERASEBKGND, &CMainFrame::OnEraseBackground),
        UiOnMessage(WM_LBUTTONDOWN, &CMainFrame::OnLButtonDown),
        UiOnMessage(WM_LBUTTONUP, &CMainFrame::OnLButtonUp),
        UiOnMessage(WM_MOUSEMOVE, &CMainFrame::OnMouseMessage),
        UiOnMessage(WM_RBUTTONDOWN, &CMainFrame::OnRButtonDown),
        UiOnMessage(WM_ACTIVATEAPP, &CMainFrame::OnActivateApp),
        UiOnMessage(WM_SETCURSOR, &CMainFrame::OnSetCursor),
        UiOnTimer(&CMainFrame::OnTimer),
        UiOnMessage(WM_SIZE, &CMainFrame::OnSize),
        UiOnMessage(WM_EXITSIZEMOVE, &CMainFrame::OnExitSizeMove),
        UiOnMessage(WM_DRAWITEM, &CMainFrame::OnDrawItem),
        UiOnRegisteredMessage(CNButton::UpdateLayeredMessage(), &CMainFrame::OnButtonUpdate),
        UiOnCommand(kIdSettings, &CMainFrame::OnSettings),
        UiOnCommand(kIdMenuSettings, &CMainFrame::OnSettings),
        UiOnCommand(kIdCancel, &CMainFrame::OnCancel),
        UiOnCommand(kIdError, &CMainFrame::OnError),
        UiOnCommand(kIdExpand, &CMainFrame::OnExpand),
        UiOnCommand(kIdCollapse, &CMainFrame::OnCollapse),
        UiOnCommand(kIdHelp, &CMainFrame::OnHelp),
        UiOnCommand(kIdMinimise, &CMainFrame::OnMinimise),
        UiOnCommand(kIdClose, &CMainFrame::OnClose),
        UiOnCommand(kIdSyncNow, &CMainFrame::OnSyncNow),
        UiOnCommand(kIdPaste, &CMainFrame::OnPaste),
        UiOnCommand(kIdAbout, &CMainFrame::OnAbout),
        UiOnCommand(kIdExit, &CMainFrame::OnExit),
        // Delete and preset buttons share one handler; the entries above match first.
        UiOnMessage(WM_COMMAND, &CMainFrame::OnOtherCommand),
    });
    return map;
}

POINT CMainFrame::StartPosition() {
    int x = 0;
    int y = 0;
    if (!ReadWindowPos(&x, &y) || !PositionOnScreen(x, y)) {
        return {100, 100};
    }
    return {x, y};
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& create) {
    if (!CUiFrameWnd::PreCreateWindow(create)) {
        return FALSE;
    }
    if (create.hMenu) {
        DestroyMenu(create.hMenu);
        create.hMenu = nullptr;
    }
    scale_ = CSkinScale(dpi ? dpi : CSkinScale::ScreenDpi());
    const POINT start = StartPosition();
    create.x = start.x;
    create.y = start.y;
    create.cx = Px(kCollapsedWidth);
    create.cy = Px(kHeight);
    create.style = static_cast<LONG>(kFrameStyle);
    create.dwExStyle = (create.dwExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_LAYERED;
    if (!RegisterFrameClass(kClassName, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr)) {
        return FALSE;
    }
    create.lpszClass = kClassName;
    wchar_t link[512] = {};
    GetPrivateProfileStringW(L"ProgramData", L"TNURL", kDefaultLink, link, 512, L"Quillbay.ini");
    linkAddress_ = link;
    return TRUE;
}

int CMainFrame::OnCreate(CREATESTRUCTW* create) {
    if (CUiFrameWnd::OnCreate(create) == -1) {
        return -1;
    }
    if (!coordinatorFactory) {
        return -1;
    }
    MainFrameCoordinatorArgs args;
    args.frame = this;
    args.resourceModule = resourceModule;
    args.uiMode = uiMode;
    args.languageCode = languageCode;
    coordinator_ = coordinatorFactory(args);
    if (!coordinator_) {
        return -1;
    }
    listener_ = coordinator_->Listener();
    if (HMENU system = GetSystemMenu(Hwnd(), FALSE)) {
        DeleteMenu(system, SC_SIZE, MF_BYCOMMAND);
        DeleteMenu(system, SC_MAXIMIZE, MF_BYCOMMAND);
    }
    coordinator_->Initialize();
    if (toolTip_.Create(Hwnd())) {
        SendMessageW(toolTip_.Hwnd(), TTM_SETMAXTIPWIDTH, 0, 512);
    }
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = 32;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    deviceNotification_ = RegisterDeviceNotificationW(Hwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    HDC screen = ::GetDC(nullptr);
    font_ = CreateFontW(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                        L"Tahoma");
    ::ReleaseDC(nullptr, screen);
    LoadSkin();
    CreateButtons();
    DWORD topMost = 0;
    if (ReadSetting(kTopMost, &topMost) && topMost == 1) {
        topMost_ = true;
        ApplyTopMost();
    }
    CreateTextImages();
    CreateAreas();
    const std::wstring pictureFile = GetModuleFolder() + L"tkbgimage.png";
    if (FILE* file = _wfopen(pictureFile.c_str(), L"rb")) {
        fseek(file, 0, SEEK_END);
        const long size = ftell(file);
        fseek(file, 0, SEEK_SET);
        if (size > 0 && size < 16 * 1024 * 1024) {
            std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
            if (fread(bytes.get(), 1, size, file) == static_cast<size_t>(size) &&
                SUCCEEDED(customPicture_.LoadFromMemory(bytes.get(), size))) {
                customPicture_.PremultiplyAlpha();
                hasCustomPicture_ = true;
            }
        }
        fclose(file);
    }
    dropTarget_ = new CFileDropTarget();
    dropTarget_->SetListener(this);
    dropTarget_->Register(Hwnd());
    coordinator_->OnDeviceStateChanged();
    created_ = true;
    return 0;
}

void CMainFrame::OnDestroy() {
    KillTimer(kTimerAnimation);
    KillTimer(kTimerLookup);
    lookupIndicator_ = false;
    if (deviceNotification_) {
        UnregisterDeviceNotification(deviceNotification_);
        deviceNotification_ = nullptr;
    }
    if (dropTarget_) {
        dropTarget_->Revoke();
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
    created_ = false;
    devicePicture_.Destroy();
    if (coordinator_) {
        SetEvent(stopEvent_);
        coordinator_->Shutdown();
    }
    PostQuitMessage(0);
    coordinator_.reset();
    listener_ = nullptr;
    // What is still queued was meant for a window that is going away.
    CLock lock(queueLock_);
    queued_.clear();
}

LRESULT CMainFrame::OnDeviceChange(WPARAM event, LPARAM) {
    if (event == DBT_DEVNODES_CHANGED && coordinator_) {
        SetEvent(stopEvent_);
        coordinator_->OnDeviceStateChanged();
    }
    return 0;
}

LRESULT CMainFrame::OnSysCommand(WPARAM command, LPARAM lParam) {
    if ((command & 0xFFF0) == kIdAbout || command == kIdAbout) {
        OnAbout();
        return 0;
    }
    return DefaultProc(WM_SYSCOMMAND, command, lParam);
}

LRESULT CMainFrame::OnActivateApp(WPARAM active, LPARAM) {
    windowAlpha_ = active ? kActiveAlpha : kInactiveAlpha;
    DrawSkin();
    return 0;
}

LRESULT CMainFrame::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (linkEnabled && hoverLink_) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefaultProc(WM_SETCURSOR, wParam, lParam);
}

void CMainFrame::OnTimer(UINT_PTR timer) {
    if (timer == kTimerAnimation) {
        animationFrame_ = (animationFrame_ + 1) % 8;
    } else if (timer == kTimerLookup) {
        lookupIndicator_ = false;
        KillTimer(kTimerLookup);
    }
    DrawSkin();
}

LRESULT CMainFrame::OnSize(WPARAM type, LPARAM lParam) {
    DefaultProc(WM_SIZE, type, lParam);
    if (type == SIZE_RESTORED) {
        DrawSkin();
    }
    return 0;
}

void CMainFrame::OnExitSizeMove() {
    RECT window = {};
    GetWindowRect(Hwnd(), &window);
    if (PositionOnScreen(window.left, window.top)) {
        WriteSettingDword(kWinPosX, static_cast<DWORD>(window.left));
        WriteSettingDword(kWinPosY, static_cast<DWORD>(window.top));
    }
}

LRESULT CMainFrame::OnButtonUpdate(WPARAM, LPARAM) {
    hoverPin_ = false;
    DrawSkin();
    return 0;
}

LRESULT CMainFrame::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    auto found = buttons_.find(static_cast<int>(item->CtlID));
    if (found != buttons_.end()) {
        found->second->DrawItem(*item);
    }
    return TRUE;
}

BOOL CMainFrame::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && message->wParam == VK_F1 &&
        (message->hwnd == Hwnd() || IsChild(Hwnd(), message->hwnd))) {
        OnHelp();
        return TRUE;
    }
    if (message->message == WM_MOUSEMOVE || message->message == WM_LBUTTONDOWN || message->message == WM_LBUTTONUP) {
        toolTip_.RelayEvent(message);
    }
    return CUiFrameWnd::PreTranslateMessage(message);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_USER + 1 && message <= WM_USER + 4) || message == WM_POWERBROADCAST) {
        return OnUserMessage(message, wParam, lParam);
    }
    if (message == kRunQueuedMessage) {
        RunQueued();
        return 0;
    }
    return CUiFrameWnd::WindowProc(message, wParam, lParam);
}

LRESULT CMainFrame::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_USER + 1: {
        // The dialog writes the answer into the settings itself.
        CQBMovieConvertCautionDlg dialog(resourceModule);
        movieCautionResult_ = dialog.DoModal(Hwnd());
        return movieCautionResult_;
    }
    case WM_USER + 2: {
        CPodcastCautionDlg dialog(resourceModule);
        return dialog.DoModal(Hwnd());
    }
    case WM_USER + 3:
        if (MessageBoxW(Hwnd(), LoadText(209).c_str(), LoadText(139).c_str(), 0x50044) == IDYES) {
            WriteSettingDword(L"AnalysisMode", 0);
            if (listener_) {
                listener_->OnSettingsChanged();
            }
        }
        return 0;
    case WM_USER + 4:
        return MessageBoxW(Hwnd(), LoadText(static_cast<UINT>(wParam)).c_str(), LoadText(139).c_str(),
                           static_cast<UINT>(lParam));
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMESUSPEND && coordinator_) {
            coordinator_->MarkActiveDeviceModified();
            coordinator_->OnDeviceStateChanged();
        }
        return TRUE;
    default:
        return 0;
    }
}

std::wstring CMainFrame::LoadText(UINT id) const {
    wchar_t buffer[512] = {};
    LoadStringW(resourceModule, id, buffer, 512);
    return buffer;
}
