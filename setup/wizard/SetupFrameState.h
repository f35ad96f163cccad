#pragma once
// The frame's state that the screen transitions read and change (user-interface thread only).

#include <cstdint>
#include <string>

class CUiControl;

struct SetupFrameState {
    // From the last device examination.
    std::wstring modelName;
    uint64_t deviceCapacity = 0;
    bool registered = false;
    bool ownBrand = false;

    // Refresh counters.
    int totalSongs = 0;
    int songsWritten = 0;
    int songsAnalysed = 0;

    // Controls the screens register with event 0; null until then.
    CUiControl* modelText = nullptr;
    CUiControl* cautionText = nullptr;
    CUiControl* progress = nullptr;
    CUiControl* counterText = nullptr;
    CUiControl* errorTextControl = nullptr;

    // The system's text for the last failing registration toggle.
    std::wstring errorText;
};
