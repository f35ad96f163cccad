#pragma once
// The wizard's screen telling the main program is running.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CQbconvExistsView : public CScreenView {
public:
    CQbconvExistsView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
