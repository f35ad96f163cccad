#pragma once
// The choice for a registered player: refresh its songs, deregister it, or cancel.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CUnregConfirmView : public CScreenView {
public:
    CUnregConfirmView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
