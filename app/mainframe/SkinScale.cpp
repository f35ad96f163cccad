#include "app/mainframe/SkinScale.h"

namespace {

// Rounds towards minus infinity, so that pixels left of or above the window map outside it too.
int FloorDiv(int value, int divisor) { return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor); }

}  // namespace

int CSkinScale::ScreenDpi() {
    int dpi = kBaseDpi;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

RECT CSkinScale::ToScreen(const RECT& layout) const {
    const int left = ToScreen(layout.left);
    const int top = ToScreen(layout.top);
    return {left, top, left + ToScreen(layout.right - layout.left), top + ToScreen(layout.bottom - layout.top)};
}

POINT CSkinScale::ToLayout(POINT screen) const {
    return {FloorDiv(screen.x * kBaseDpi, dpi_), FloorDiv(screen.y * kBaseDpi, dpi_)};
}
