#pragma once
// The screen every error leads to: the error notice, a line for the system's description of the
// failure, and Finish.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CErrorView : public CScreenView {
public:
    CErrorView();

protected:
    void BindControls() override;
    void PlaceTexts() override;
    void RegisterScreenControls() override;

private:
    CUiStatic text_;
    CUiStatic detailLine_;
};
