#pragma once
// The settings dialog: General, Video, Analysis and Update pages, and Refresh for car-audio
// players. Pages read their values when first shown and write them on OK; pages never shown
// write nothing. DoModal answers IDOK, IDCANCEL, or 5 when the Refresh page started the wizard.

#include <windows.h>

#include <memory>
#include <string>

#include "app/dialogs/QBSettingPage.h"
#include "app/dialogs/QBSettingPageGeneral.h"
#include "app/dialogs/QBSettingPageMovieConvert.h"
#include "app/dialogs/QBSettingPageRavelin.h"
#include "app/dialogs/QBSettingPageRefresh.h"
#include "app/dialogs/QBSettingPageUpdate.h"
#include "platform/ui/UiPropertySheet.h"

class CQBSettingPropertySheet : public CUiPropertySheet {
public:
    struct Options {
        // Opened for automation: no About button.
        bool hideAbout = false;
        // A car-audio player is connected: the analysis mode is fixed.
        bool analysisLocked = false;
        // A car-audio UI mode: the cover-art choice and the Refresh page.
        bool carAudio = false;
    };

    CQBSettingPropertySheet(const std::wstring& caption, HMODULE languageModule, const Options& options,
                            IQBSettingActions& actions);

protected:
    void OnInitSheet() override;

private:
    CQBSettingPageGeneral general_;
    CQBSettingPageMovieConvert movieConvert_;
    CQBSettingPageRavelin ravelin_;
    CQBSettingPageUpdate update_;
    std::unique_ptr<CQBSettingPageRefresh> refresh_;
};
