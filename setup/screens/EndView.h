#pragma once
// The last screen of a finished run: the advice to transfer songs with the main program, and
// Finish, beside a picture of a player with a check mark.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CEndView : public CScreenView {
public:
    CEndView();

protected:
    void BindControls() override;
    void PlaceTexts() override;
    POINT ImagePosition() const override;

private:
    CUiStatic text_;
};
