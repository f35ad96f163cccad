#include "app/main/CQBApp.h"

#include <commctrl.h>

#include "app/main/AutomationServer.h"
#include "app/main/COMManagerMainThread.h"
#include "app/main/CAboutDlg.h"
#include "app/main/CQBFrameCoordinator.h"
#include "app/main/FirstRunReset.h"
#include "app/main/LanguageChoice.h"
#include "app/main/resource.h"
#include "library/media/decode/ITranscode2.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/ModuleFolder.h"
#include "library/util/UIModeFile.h"
#include "platform/com/CApplicationLock.h"
#include "platform/ui/UiLanguageModule.h"

bool g_bStartedByAutomation = false;

namespace {

const wchar_t kSetupWizardMutex[] = L"HalvixSetup.exe";
const wchar_t kInstanceMutex[] = L"Quillbay";
const wchar_t kAutomotiveFolder[] = L"Tavrel_Automotive";
const size_t kProfileNameChars = 260;
const UINT kMessageFlags = MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST;

// How long a server started by COM waits for its first client; on a loaded machine a client can
// take many seconds from the class's registration to its first call.
const UINT kFirstClientWaitMs = 20000;

}  // namespace

std::unique_ptr<IMainFrameCoordinator> CQBApp::CreateCoordinator(const MainFrameCoordinatorArgs& args) {
    CQBFrameCoordinator::Parts parts;
    parts.events = &CCOMManager::MainThread();
    parts.startedByAutomation = g_bStartedByAutomation;
    if (!m_dialogs) {
        const HMODULE languageModule = m_hResourceModule;
        m_dialogs = std::make_unique<CQBCoordinatorDialogs>(
            languageModule, [languageModule](HWND parent) { ShowAboutBox(languageModule, parent); });
    }
    parts.dialogs = m_dialogs.get();
    parts.syncLists = &m_syncLists;
    return std::make_unique<CQBFrameCoordinator>(args, parts);
}

void CQBApp::CreateMainFrame() {
    m_mainFrame = std::make_unique<CMainFrame>();
    m_mainFrame->coordinatorFactory = [this](const MainFrameCoordinatorArgs& args) { return CreateCoordinator(args); };
    CMainFrame* frame = m_mainFrame.get();
    m_mainFrame->showAbout = [this, frame] { ShowAboutBox(m_hResourceModule, frame->Hwnd()); };
}

bool CQBApp::StartFails() {
    if (m_hResourceModule) FreeLibrary(m_hResourceModule);
    m_hResourceModule = nullptr;
    return false;
}

void CQBApp::ShowMessage(UINT stringId) {
    const std::wstring text = CUiLanguageModule::TextOr(m_hResourceModule, stringId, L"");
    const std::wstring title = CUiLanguageModule::TextOr(m_hResourceModule, IDS_PRODUCT_NAME, L"Quillbay");
    MessageBoxW(nullptr, text.c_str(), title.c_str(), kMessageFlags);
}

bool CQBApp::IsSetupWizardRunning() {
    // Only a probe: the program never holds the wizard's mutex.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kSetupWizardMutex);
    const bool running = GetLastError() == ERROR_ALREADY_EXISTS;
    if (mutex) {
        if (!running) ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return running;
}

bool CQBApp::TakeSingleInstance(const CQBCommandLineInfo& commandLine) {
    m_hInstanceMutex = CreateMutexW(nullptr, TRUE, kInstanceMutex);
    if (GetLastError() != ERROR_ALREADY_EXISTS) return m_hInstanceMutex != nullptr;
    // A start by COM stays silent too: the running instance serves the classes, and a message box
    // nobody asked for would hold this process.
    const bool silent = commandLine.m_bStartedByDetector || commandLine.runEmbedded || commandLine.runAutomated;
    if (!silent) {
        HWND running = FindWindowW(CMainFrame::kClassName, nullptr);
        WINDOWINFO info{};
        info.cbSize = sizeof(info);
        if (running && GetWindowInfo(running, &info)) {
            if (info.dwStyle & WS_VISIBLE) {
                ShowWindowAsync(running, SW_RESTORE);
                SetForegroundWindow(running);
            } else {
                ShowMessage(IDS_HIDDEN_INSTANCE_RUNNING);
            }
        }
    }
    if (m_hInstanceMutex) CloseHandle(m_hInstanceMutex);
    m_hInstanceMutex = nullptr;
    return false;
}

bool CQBApp::StartAutomationServer(const CQBCommandLineInfo& commandLine) {
    size_t count = 0;
    const ClassEntry* classes = AutomationClassObjects(&count);
    if (FAILED(m_classObjects.Register(classes, count))) return false;
    switch (commandLine.shellCommand) {
        case CUiCommandLineInfo::ShellCommand::kUnregServer:
            UnregisterAutomationServer();
            return false;
        case CUiCommandLineInfo::ShellCommand::kRegServer:
            RegisterAutomationServer();
            return false;
        case CUiCommandLineInfo::ShellCommand::kNone:
            break;
    }
    g_bStartedByAutomation = commandLine.runEmbedded || commandLine.runAutomated;
    return true;
}

void CQBApp::KeepRunningForAutomation() {
    CApplicationLock::Process().QuitThreadOnRelease(GetCurrentThreadId());
    HoldForFirstClient(kFirstClientWaitMs);
}

BOOL CQBApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    if (!CUiApp::InitInstance() || !InitOle()) return FALSE;

    const std::wstring modulePath = GetModuleFolder() + L"Resources\\QuillbayResource.dll";
    m_hResourceModule = LoadLibraryW(modulePath.c_str());
    if (!m_hResourceModule) return FALSE;

    CQBCommandLineInfo commandLine;
    ParseCommandLine(commandLine);

    if (IsSetupWizardRunning()) {
        ShowMessage(IDS_SETUP_RUNNING);
        return StartFails();
    }
    if (!TakeSingleInstance(commandLine)) return StartFails();
    m_bFirstInstance = true;

    std::wstring dataFolder = GetUserDataFolder();
    dataFolder.pop_back();
    ResetUserAtFirstRun(dataFolder);

    if (!StartAutomationServer(commandLine)) return StartFails();

    CCOMManager::MainThread().Start();
    CCOMManager::SetResourceModule(m_hResourceModule);
    m_transcodeEventCreated = SUCCEEDED(CreateTranscodeSingleModeEvent());

    m_profileName = GetLanguageFolder() + L"Quillbay.ini";
    if (m_profileName.size() > kProfileNameChars - 1) m_profileName.resize(kProfileNameChars - 1);

    if (!CreateUserDataFolder()) return StartFails();
    ClearUserDataFolder(false);

    CreateMainFrame();

    const int uiMode = ReadUIMode();
    m_mainFrame->uiMode = uiMode;
    // The car-audio control is the window's web link.
    if (uiMode == 1) m_mainFrame->linkEnabled = false;
    if (uiMode == 1 || uiMode == 2) {
        const std::wstring automotive = GetUserDataFolder() + kAutomotiveFolder;
        CreateFolderTree(automotive);
        CreateFolderTree(automotive + L"\\HVC");
        CreateFolderTree(automotive + L"\\HVM");
    }
    m_mainFrame->resourceModule = m_hResourceModule;

    const LanguageChoice language = ChooseLanguage(GetUserDefaultUILanguage());
    if (!language.carAudioAllowed) m_mainFrame->linkEnabled = false;
    m_mainFrame->languageCode = language.folder;
    m_mainFrame->wideScriptLayout = language.latinScript;
    m_mainFrame->twoLineCaptions = language.longCaptions;

    SetMainWnd(m_mainFrame.get());
    // The frame creates the coordinator; without one it is not created either.
    if (!m_mainFrame->CreateFrame(CUiLanguageModule::TextOr(m_hResourceModule, IDS_PRODUCT_NAME, L"Quillbay"))) {
        SetMainWnd(nullptr);
        m_mainFrame.reset();
        return StartFails();
    }

    if (!g_bStartedByAutomation) {
        ShowWindow(m_mainFrame->Hwnd(), SW_SHOW);
        m_mainFrame->DrawSkin();
    } else {
        SetMainWnd(nullptr);
        m_pHiddenMainFrame = m_mainFrame.get();
        KeepRunningForAutomation();
    }
    return TRUE;
}

int CQBApp::ExitInstance() {
    m_classObjects.Revoke();
    // The window goes with its object; under automation it was never the loop's main window.
    m_pHiddenMainFrame = nullptr;
    if (m_mainFrame && MainWnd() == m_mainFrame.get()) SetMainWnd(nullptr);
    m_mainFrame.reset();
    m_dialogs.reset();
    if (m_hInstanceMutex) {
        ReleaseMutex(m_hInstanceMutex);
        CloseHandle(m_hInstanceMutex);
        m_hInstanceMutex = nullptr;
    }
    if (m_hResourceModule) {
        // Automation objects a client still holds read the module: withdraw it before freeing it.
        CCOMManager::SetResourceModule(nullptr);
        FreeLibrary(m_hResourceModule);
        m_hResourceModule = nullptr;
    }
    if (m_bFirstInstance) {
        const std::wstring automotive = GetUserDataFolder() + kAutomotiveFolder;
        DeleteCachedFiles(automotive, true, true);
        RemoveDirectoryW(automotive.c_str());
        ClearUserDataFolder(false);
    }
    m_profileName.clear();
    if (m_transcodeEventCreated) CloseTranscodeSingleModeEvent();
    m_transcodeEventCreated = false;
    CCOMManager::MainThread().Stop();
    return CUiApp::ExitInstance();
}
