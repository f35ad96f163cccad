#pragma once
// Video conversion on or off and its size.

#include "app/dialogs/QBSettingPage.h"

class CQBSettingPageMovieConvert : public CQBSettingPage {
public:
    explicit CQBSettingPageMovieConvert(HMODULE languageModule);

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnConvertClicked();
    void OnHelp();
    void EnableSizeChoice(bool enabled) const;
};
