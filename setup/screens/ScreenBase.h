#pragma once
// What every wizard screen shares, mixed in beside its dialog: its number, the listener its
// events go to, the string module it reads its texts from, and the placing of texts and buttons
// in the frame's layout. No virtual functions: a screen is a dialog first.

#include <windows.h>

#include <initializer_list>
#include <string>

#include "setup/wizard/SetupFrameLayout.h"

class CUiControl;
class ISetupListener;

// The client area the screens lay out in: the frame's size less its borders and caption.
SIZE ScreenClientSize(const SetupFrameLayout& layout);

// The string module beside the program ("Resources\HalvixSetupResource.dll"); null when missing.
// Never freed: screens and frame keep texts from it for the life of the program.
HMODULE LoadHalvixStringModule();

// A text of the string module as the wizard reads it (512 characters at most); empty when the
// module or the string is missing.
std::wstring LoadHalvixString(HMODULE module, UINT id);

class CScreenBase {
public:
    // Screen numbers run 0-14; a screen nobody has numbered yet carries this.
    static constexpr unsigned kUnassigned = 16;
    // Margin of the texts and buttons from the client area's edges.
    static constexpr int kMargin = 22;
    // Room between a text block and a line below it.
    static constexpr int kLineGap = 8;

    void Assign(unsigned screen, ISetupListener* listener, const SetupFrameLayout& layout);
    unsigned ScreenNumber() const { return screen_; }
    const SetupFrameLayout& Layout() const { return layout_; }

    void LoadResourceDll();
    HMODULE StringModule() const { return stringModule_; }
    std::wstring LoadResString(UINT id);

    // Each puts its text, ended by CR LF, into the static at (kMargin, top), as wide as the text
    // area, and makes the static as high as the text needs; the bottom edge is returned.
    // SetText takes one string; SetTexts joins several with a blank line between them.
    int SetText(const CUiControl& text, UINT id, int top, int width = 0);
    int SetTexts(const CUiControl& text, std::initializer_list<UINT> ids, int top, int width = 0);
    // Strings joined by single line breaks (screen 8's two lines of advice).
    int SetProcessingTexts(const CUiControl& text);
    // The three texts of the deregistration screen, joined by blank lines, at (kMargin, kMargin).
    int SetUnregTexts(const CUiControl& text);
    // Places a text of the caller's own (a line the frame fills later, a formatted text).
    int PlaceText(const CUiControl& text, const std::wstring& value, int top, int width = 0);

    // Captions the button and moves it to slot `slot` of `count` in the row of buttons
    // (0 = leftmost), sized as the layout says.
    void PlaceButton(const CUiControl& button, UINT captionId, int slot, int count);
    // Top edge of the row of buttons.
    int ButtonTop() const;
    int TextWidth() const;

    // Events through the listener; nothing happens while the screen has none.
    void PostEvent(int event);
    void RegisterControls(CUiControl* control1, CUiControl* control2);

private:
    unsigned screen_ = kUnassigned;
    ISetupListener* listener_ = nullptr;
    HMODULE stringModule_ = nullptr;
    SetupFrameLayout layout_;
};

// Height in pixels that text takes in the control's font when wrapped to the width.
int MeasureTextHeight(HWND control, const std::wstring& text, int width);
// Size in pixels of text on one line in the control's font.
SIZE MeasureTextLine(HWND control, const std::wstring& text);
