#include "updater/ostrim/FennicMini_ApplicationApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "platform/ui/UiLanguageModule.h"
#include "updater/ostrim/FennicCommandLineInfo.h"
#include "updater/ostrim/FennicServiceManager.h"
#include "updater/ostrim/OstrimResources.h"
#include "updater/ostrim/UpdateClock.h"
#include "updater/ostrim/UpdateGroups.h"

BOOL CFennicMini_ApplicationApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    CWinAppMultiLang::InitInstance();
    // Without the language module there is no text to tell the user anything with.
    if (!InitLanguage()) return FALSE;
    // Another checker is running somewhere on the machine: it does the work.
    if (!m_mutex.Create()) return FALSE;
    CFennicCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    m_comInitialized = SUCCEEDED(CoInitialize(nullptr));
    CSystemClock clock;
    CFennicServiceManager manager(ResourceHandle(), clock);
    if (FAILED(RunUpdateGroups(manager, commandLine))) {
        std::wstring text;
        std::wstring caption;
        CUiLanguageModule::LoadText(ResourceHandle(), IDS_START_FAILED, text);
        CUiLanguageModule::LoadText(ResourceHandle(), IDS_UPDATE_CAPTION, caption);
        MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
    }
    return FALSE;
}

int CFennicMini_ApplicationApp::ExitInstance() {
    if (m_comInitialized) CoUninitialize();
    m_comInitialized = false;
    m_mutex.Close();
    return CWinAppMultiLang::ExitInstance();
}
