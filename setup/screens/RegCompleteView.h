#pragma once
// The wizard's screen telling the player is registered; the refresh comes next.

#include "platform/ui/UiStatic.h"
#include "setup/screens/ScreenView.h"

class CRegCompleteView : public CScreenView {
public:
    CRegCompleteView();

protected:
    void BindControls() override;
    void PlaceTexts() override;

private:
    CUiStatic text_;
};
