#pragma once
// The wizard's screen telling the player holds no songs to refresh.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CRefreshNomusicView : public CScreenView {
public:
    CRefreshNomusicView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
