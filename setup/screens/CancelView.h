#pragma once
// The wizard's screen telling the process was aborted.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CCancelView : public CScreenView {
public:
    CCancelView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
