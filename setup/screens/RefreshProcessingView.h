#pragma once
// The screen of a refresh under way: advice not to disturb the player, a counter of finished
// songs, a progress bar and a picture of a song being analysed. The frame moves the counter and
// the bar as the songs come through.

#include <windows.h>

#include "platform/ui/UiProgressCtrl.h"
#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CRefreshProcessingView : public CScreenView {
public:
    CRefreshProcessingView();

protected:
    void BindControls() override;
    void PlaceTexts() override;
    void RegisterScreenControls() override;
    POINT ImagePosition() const override;

private:
    CUiStatic text_;
    CUiStatic counter_;
    CUiProgressCtrl progress_;
};
