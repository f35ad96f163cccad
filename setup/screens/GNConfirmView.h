#pragma once
// The wizard's screen telling whether the analysis may fetch album artwork.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CGNConfirmView : public CScreenView {
public:
    CGNConfirmView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
