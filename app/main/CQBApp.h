#pragma once
// Quillbay's application object: start-up (single instance, kept apart from the setup wizard,
// language module, first-run reset, automation server, main window) and the reverse at exit.

#include <windows.h>

#include <memory>
#include <string>

#include "app/dialogs/QBCoordinatorDialogs.h"
#include "app/dialogs/QBSyncFileLists.h"
#include "app/main/CQBCommandLineInfo.h"
#include "app/mainframe/MainFrame.h"
#include "platform/com/CClassObjectRegistrar.h"
#include "platform/ui/UiApp.h"

// Set at start-up: the program was started by COM (Embedding or Automation).
extern bool g_bStartedByAutomation;

class CQBApp : public CUiApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    HMODULE ResourceModule() const { return m_hResourceModule; }
    // The file the program's profile settings go to: Quillbay.ini in the language folder.
    const std::wstring& ProfileName() const { return m_profileName; }
    // The main window, also while it is kept hidden under automation.
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }

protected:
    // Optional: the coordinator the main window creates at its creation; the base makes the
    // program's own.
    virtual std::unique_ptr<IMainFrameCoordinator> CreateCoordinator(const MainFrameCoordinatorArgs& args);

private:
    bool StartFails();
    bool IsSetupWizardRunning();
    bool TakeSingleInstance(const CQBCommandLineInfo& commandLine);
    // FALSE ends a RegServer or UnregServer run (and a failed registration of the class objects).
    bool StartAutomationServer(const CQBCommandLineInfo& commandLine);
    void ShowMessage(UINT stringId);
    void KeepRunningForAutomation();
    void CreateMainFrame();

    HMODULE m_hResourceModule = nullptr;
    HANDLE m_hInstanceMutex = nullptr;
    bool m_bFirstInstance = false;
    CClassObjectRegistrar m_classObjects;
    std::wstring m_profileName;
    bool m_transcodeEventCreated = false;
    // The coordinator's dialogs and sync list files; they outlive the main window's coordinator.
    std::unique_ptr<CQBCoordinatorDialogs> m_dialogs;
    CQBSyncFileLists m_syncLists;
    std::unique_ptr<CMainFrame> m_mainFrame;
    // Started by automation: the hidden main window, which is not the loop's main window.
    CMainFrame* m_pHiddenMainFrame = nullptr;
};
