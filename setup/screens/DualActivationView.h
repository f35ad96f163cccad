#pragma once
// The wizard's screen telling another wizard is running.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CDualActivationView : public CScreenView {
public:
    CDualActivationView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
