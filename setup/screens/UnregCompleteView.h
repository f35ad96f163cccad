#pragma once
// The wizard's screen telling the player is deregistered.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CUnregCompleteView : public CScreenView {
public:
    CUnregCompleteView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
