#include "tests/app/coordinator/RecordingFrame.h"

namespace {
const wchar_t kClassName[] = L"QbCoordinatorTestFrame";
}  // namespace

CRecordingFrame::CRecordingFrame()
    : stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), runEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CRecordingFrame::~CRecordingFrame() {
    DestroyWindow(window_);
    CloseHandle(stopEvent_);
    CloseHandle(runEvent_);
}

LRESULT CALLBACK CRecordingFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CRecordingFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message >= WM_USER + 1 && message <= WM_USER + 4) {
        CScopedLock lock(self->lock_);
        self->messages_.push_back({message, wParam, lParam});
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CRecordingFrame::Record(const std::wstring& call) {
    CScopedLock lock(lock_);
    calls_.push_back(call);
}

std::vector<std::wstring> CRecordingFrame::Calls() {
    CScopedLock lock(lock_);
    return calls_;
}

std::vector<CRecordingFrame::Message> CRecordingFrame::Messages() {
    CScopedLock lock(lock_);
    return messages_;
}
