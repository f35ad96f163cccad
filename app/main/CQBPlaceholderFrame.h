#pragma once
// The main window until the skinned main frame takes its place: a plain frame of the main window's
// class, so that a second start finds it, which keeps the settings start-up hands it.

#include "app/main/IQBMainWindow.h"
#include "platform/ui/UiFrameWnd.h"

class CQBPlaceholderFrame : public CUiFrameWnd, public IQBMainWindow {
public:
    static const wchar_t kClassName[];

    void SetUIMode(int uiMode) override { uiMode_ = uiMode; }
    void DisableCarAudioControl() override { carAudioEnabled_ = false; }
    void SetResourceModule(HMODULE module) override { resourceModule_ = module; }
    void SetLanguage(const std::wstring& folder, bool latinScript, bool longCaptions) override;
    bool LoadFrame(UINT resourceId, DWORD style) override;
    void SetTitle(const std::wstring& title) override;
    void ShowAndPaint() override;
    CUiWnd& Window() override { return *this; }

    int UIMode() const { return uiMode_; }
    bool CarAudioEnabled() const { return carAudioEnabled_; }
    HMODULE ResourceModule() const { return resourceModule_; }
    const std::wstring& LanguageFolder() const { return languageFolder_; }
    bool LatinScript() const { return latinScript_; }
    bool LongCaptions() const { return longCaptions_; }

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& create) override;

private:
    int uiMode_ = 0;
    bool carAudioEnabled_ = true;
    HMODULE resourceModule_ = nullptr;
    std::wstring languageFolder_;
    bool latinScript_ = true;
    bool longCaptions_ = false;
};
