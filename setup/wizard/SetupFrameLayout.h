#pragma once
// The wizard's frame size and the control sizes every screen lays out with. SelectFrameSize sets
// them once, before the frame is created; everything else only reads them.

#include <windows.h>

struct SetupFrameLayout {
    int frameWidth = 500;
    int frameHeight = 300;
    int buttonWidth = 90;
    int buttonHeight = 21;
    int lineHeight = 14;
    int progressHeight = 15;
};

// The layout for a user-interface language at a screen density (pixels per logical inch). Only
// 120 in both directions scales; translations that run longer get larger frames.
SetupFrameLayout ComputeFrameLayout(LANGID uiLanguage, int logPixelsX, int logPixelsY);

// Computes the layout for this user and screen and keeps it as the program's layout.
void SelectFrameSize();

// Keeps a layout as the program's one (SelectFrameSize uses this with the computed layout).
void SetFrameLayout(const SetupFrameLayout& layout);

// The program's layout (the 96 DPI default until SelectFrameSize runs).
const SetupFrameLayout& FrameLayout();
