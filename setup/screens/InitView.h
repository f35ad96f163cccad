#pragma once
// The wizard's first screen: what the wizard does, and the request to connect the player, beside
// a picture of a player joined to a PC. It waits there for a device change.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CInitView : public CScreenView {
public:
    CInitView();

protected:
    void BindControls() override;
    void PlaceTexts() override;
    POINT ImagePosition() const override;

private:
    CUiStatic text_;
    CUiStatic connectText_;
};
