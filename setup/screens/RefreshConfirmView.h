#pragma once
// The wizard's screen telling whether to refresh the songs on the player.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CRefreshConfirmView : public CScreenView {
public:
    CRefreshConfirmView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
