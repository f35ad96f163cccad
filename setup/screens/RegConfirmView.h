#pragma once
// The question whether to register the connected player, with its model below; the frame fills
// the model line once it has examined the player.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CRegConfirmView : public CScreenView {
public:
    CRegConfirmView();

protected:
    void BindControls() override;
    void PlaceTexts() override;
    void RegisterScreenControls() override;

private:
    CUiStatic text_;
    CUiStatic modelLine_;
};
