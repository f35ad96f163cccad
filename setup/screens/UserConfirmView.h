#pragma once
// The caution to users of the maker's own players before they register; the frame puts the
// caution text in place before it shows the screen.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CUserConfirmView : public CScreenView {
public:
    CUserConfirmView();

protected:
    void BindControls() override;
    void PlaceTexts() override;
    void RegisterScreenControls() override;

private:
    CUiStatic text_;
};
