#include "setup/wizard/SetupFrameLayout.h"

namespace {

SetupFrameLayout g_layout;

bool IsCompactLanguage(LANGID language) {
    switch (language) {
    case 0x0404: case 0x0411: case 0x0804: case 0x0C04: case 0x1004: case 0x1404:
        return true;
    default:
        return false;
    }
}

// Every regional Spanish from 0x080A to 0x500A; traditional-sort Spanish (0x040A) is not one.
bool IsRegionalSpanish(LANGID language) {
    return PRIMARYLANGID(language) == LANG_SPANISH && language >= 0x080A && language <= 0x500A;
}

bool IsMediumLanguage(LANGID language) {
    return language == 0x0410 || language == 0x0412 || language == 0x0809 || IsRegionalSpanish(language);
}

}  // namespace

SetupFrameLayout ComputeFrameLayout(LANGID uiLanguage, int logPixelsX, int logPixelsY) {
    SetupFrameLayout layout;
    if (IsCompactLanguage(uiLanguage)) {
        layout.frameWidth = 440;
        layout.frameHeight = 260;
    } else if (IsMediumLanguage(uiLanguage)) {
        layout.frameWidth = 460;
        layout.frameHeight = 285;
    }
    if (logPixelsX == 120 && logPixelsY == 120) {
        layout.frameWidth = layout.frameWidth * 5 / 4;
        layout.frameHeight = layout.frameHeight * 5 / 4;
        layout.buttonWidth = layout.buttonWidth * 5 / 4;
        layout.buttonHeight = layout.buttonHeight * 5 / 4;
        layout.progressHeight = layout.progressHeight * 5 / 4;
        layout.lineHeight = (layout.lineHeight * 5 + 3) / 4;
    }
    return layout;
}

void SelectFrameSize() {
    const LANGID language = GetUserDefaultUILanguage();
    int logPixelsX = 96;
    int logPixelsY = 96;
    if (HDC screen = GetDC(nullptr)) {
        logPixelsX = GetDeviceCaps(screen, LOGPIXELSX);
        logPixelsY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    SetFrameLayout(ComputeFrameLayout(language, logPixelsX, logPixelsY));
}

void SetFrameLayout(const SetupFrameLayout& layout) { g_layout = layout; }

const SetupFrameLayout& FrameLayout() { return g_layout; }
