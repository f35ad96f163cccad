#include "platform/ui/UiFrameWnd.h"

#include "platform/ui/UiApp.h"

const wchar_t CUiFrameWnd::kDefaultClassName[] = L"QbUiFrame";

bool CUiFrameWnd::Create(const CreateArgs& args) {
    CREATESTRUCTW create{};
    create.lpCreateParams = this;
    create.hInstance = GetModuleHandleW(nullptr);
    create.hMenu = args.menu;
    create.hwndParent = args.parent;
    create.cy = args.height;
    create.cx = args.width;
    create.y = args.y;
    create.x = args.x;
    create.style = static_cast<LONG>(args.style);
    create.lpszName = args.title.c_str();
    create.lpszClass = kDefaultClassName;
    create.dwExStyle = args.exStyle;
    if (!PreCreateWindow(create)) return false;
    HWND hwnd = CreateWindowExW(create.dwExStyle, create.lpszClass, create.lpszName, static_cast<DWORD>(create.style),
                                create.x, create.y, create.cx, create.cy, create.hwndParent, create.hMenu,
                                create.hInstance, this);
    return hwnd != nullptr;
}

bool CUiFrameWnd::RegisterFrameClass(const wchar_t* name, UINT classStyle, HCURSOR cursor, HBRUSH background,
                                     HICON icon) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = StaticWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.hIcon = icon;
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass) != 0) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

const CUiMessageMap& CUiFrameWnd::GetMessageMap() const {
    static const CUiMessageMap map(&CUiWnd::GetMessageMap(), {
        UiOnCreate(&CUiFrameWnd::OnCreate),
    });
    return map;
}

BOOL CUiFrameWnd::PreCreateWindow(CREATESTRUCTW&) {
    return RegisterFrameClass(kDefaultClassName, CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
}

int CUiFrameWnd::OnCreate(CREATESTRUCTW*) { return 0; }

void CUiFrameWnd::PostNcDestroy() {
    CUiApp* app = CUiApp::Current();
    if (app != nullptr && app->MainWnd() == this) {
        app->SetMainWnd(nullptr);
        PostQuitMessage(0);
    }
}
