#include "tests/setup/screens/FakeSetupFrame.h"

#include "setup/wizard/ISetupScreens.h"
#include "setup/wizard/SetupMessages.h"

CUiWnd* CFakeSetupFrame::ShowScreen(unsigned screen) {
    CUiWnd* view = screen < screens.size() ? screens[screen].get() : nullptr;
    if (screen == current_) return view;
    CUiWnd* old = current_ < screens.size() ? screens[current_].get() : nullptr;
    current_ = screen;
    shown.push_back(screen);
    if (view != nullptr) ShowWindow(view->Hwnd(), SW_SHOW);
    if (old != nullptr) ShowWindow(old->Hwnd(), SW_HIDE);
    return view;
}

void CFakeSetupFrame::SetCurrent(unsigned screen) {
    if (current_ < screens.size() && screens[current_]) ShowWindow(screens[current_]->Hwnd(), SW_HIDE);
    current_ = screen;
    if (current_ < screens.size() && screens[current_]) ShowWindow(screens[current_]->Hwnd(), SW_SHOW);
}

void CFakeSetupFrame::OnThreadEvent(int type, int param1, int param2) {
    queue_.push_back(std::make_unique<CThreadEventMessage>(type, param1, param2));
}

void CFakeSetupFrame::OnUIEvent(CUiControl* control1, CUiControl* control2, unsigned screen, int event, int error) {
    queue_.push_back(std::make_unique<CUIMessage>(control1, control2, screen, event, error));
}

void CFakeSetupFrame::OnProcEvent(int value, int value2, int kind, int subtype, const wchar_t* text, int error) {
    queue_.push_back(std::make_unique<CPROCMessage>(value, value2, kind, subtype, text, error));
}

size_t CFakeSetupFrame::Drain(ISetupScreens& screens) {
    size_t handled = 0;
    while (!queue_.empty()) {
        std::unique_ptr<CThreadMessage> message = std::move(queue_.front());
        queue_.pop_front();
        ++handled;
        if (auto* ui = dynamic_cast<CUIMessage*>(message.get())) {
            screens.OnScreenEvent(*this, *ui);
        } else if (auto* progress = dynamic_cast<CPROCMessage*>(message.get())) {
            screens.OnProgress(*this, *progress);
        }
    }
    return handled;
}
