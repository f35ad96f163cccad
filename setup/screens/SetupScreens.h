#pragma once
// The wizard's fifteen screens and what follows their events: which screen comes next, the
// registration toggle, the start and stop of a refresh, and the refresh's progress bar and
// counter. Everything here runs on the user-interface thread, called by the frame for each
// queued record.

#include <windows.h>

#include <memory>
#include <optional>

#include "setup/wizard/ISetupScreens.h"
#include "setup/wizard/SetupFrameLayout.h"

class CSetupScreens : public ISetupScreens {
public:
    // The screens lay out by the program's frame layout as it stands when each is created.
    CSetupScreens() = default;
    // The screens lay out by this layout (a language or density other than the user's).
    explicit CSetupScreens(const SetupFrameLayout& layout) : layout_(layout) {}

    std::unique_ptr<CUiWnd> CreateScreen(unsigned screen, HWND frame, UINT controlId,
                                         ISetupListener& listener) override;
    void OnScreenEvent(ISetupFrame& frame, const CUIMessage& message) override;
    void OnProgress(ISetupFrame& frame, const CPROCMessage& message) override;

    // Shows the refresh screen and starts listing the player's songs, or shows that it has none.
    static void StartRefresh(ISetupFrame& frame);
    // Stops the refresh threads and deletes the working copies.
    static void StopRefresh(ISetupFrame& frame);

private:
    static void KeepControls(ISetupFrame& frame, const CUIMessage& message);
    static void ToggleRegistration(ISetupFrame& frame, unsigned screen, int failureEvent, unsigned successScreen);
    static void ShowOwnBrandCaution(ISetupFrame& frame);
    static void ShowRefreshCounts(ISetupFrame& frame);

    std::optional<SetupFrameLayout> layout_;
};
