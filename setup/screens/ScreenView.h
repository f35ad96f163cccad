#pragma once
// A wizard screen: a child form on its own dialog template that fills the frame's client area.
// It never acts itself: its buttons and its changes of visibility become events for the frame.
// Each screen class says which texts it shows, which buttons it has (left to right) and which
// picture; this class binds, places and paints them.

#include <windows.h>

#include <vector>

#include "platform/ui/UiButton.h"
#include "platform/ui/UiDialog.h"
#include "setup/screens/ScreenBase.h"
#include "setup/screens/ScreenImage.h"

class CScreenView : public CUiDialog, public CScreenBase {
public:
    struct Button {
        UINT captionId;
        int event;
    };

    // imageId 0: no picture.
    CScreenView(UINT templateId, std::vector<Button> buttons, UINT imageId = 0);
    ~CScreenView() override;

    // Creates the hidden form as a child of the frame with the given control id, after Assign;
    // its initial update (texts, buttons, picture, then event 0) runs during the creation.
    bool CreateScreen(HWND frame, UINT controlId);

    const CUiMessageMap& GetMessageMap() const override;

    // Where the picture goes; empty when the screen has none.
    RECT ImageRect() const { return imageRect_; }

protected:
    static constexpr int kImageWidth = 150;
    static constexpr int kImageHeight = 90;

    // Required: bind the screen's own controls to the template (false when one is missing is
    // not fatal: the frame hears of it through a null control) and place its texts.
    virtual void BindControls() = 0;
    virtual void PlaceTexts() = 0;
    // Optional: the controls the frame keeps (event 0); none by default.
    virtual void RegisterScreenControls() { RegisterControls(nullptr, nullptr); }
    // Optional: top-left corner of the picture.
    virtual POINT ImagePosition() const { return POINT{kMargin, kMargin}; }

    // Enter and Escape reach a form as IDOK and IDCANCEL: a screen acts only on its buttons.
    void OnOK() override {}
    void OnCancel() override {}

private:
    BOOL OnInitDialog() override;
    void OnInitialUpdate();
    void UseLanguageFont();
    LRESULT OnShowWindow(WPARAM show, LPARAM status);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnControlColour(WPARAM dc, LPARAM);
    void OnButton(size_t index);
    void OnButton1() { OnButton(0); }
    void OnButton2() { OnButton(1); }
    void OnButton3() { OnButton(2); }

    std::vector<Button> buttons_;
    CUiButton buttonControls_[3];
    UINT imageId_;
    CScreenImage image_;
    RECT imageRect_{};
    HFONT font_ = nullptr;
};
