#pragma once
// The wizard's only window. It holds the single-instance mutexes, the string module, the fifteen
// screens and the setup manager. Screens and worker threads never drive it directly: they queue a
// record through ISetupListener, and the frame handles one record per posted notification on the
// user-interface thread.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "library/content/ThreadSafeQueue.h"
#include "platform/ui/UiFrameWnd.h"
#include "setup/wizard/ISetupFrame.h"
#include "setup/wizard/ISetupListener.h"
#include "setup/wizard/ISetupManager.h"
#include "setup/wizard/ISetupScreens.h"
#include "setup/wizard/SetupCodes.h"
#include "setup/wizard/SetupFrameState.h"
#include "setup/wizard/SetupMessages.h"

class CMainFrame : public CUiFrameWnd, public ISetupListener, public ISetupFrame {
public:
    // What the frame is built from; the program's own values unless a test gives others.
    struct Parts {
        ISetupScreens* screens = nullptr;
        // Makes the setup manager; null when it cannot be allocated.
        std::function<std::unique_ptr<ISetupManager>(ISetupListener&)> createManager;
        // The string module; the program folder + "Resources\HalvixSetupResource.dll" when empty.
        std::wstring stringModulePath;
        std::wstring ownMutexName = L"HalvixSetup.exe";
        // The main program's single-instance mutex.
        std::wstring mainProgramMutexName = L"Quillbay";
        // Caption of the frame's message boxes.
        std::wstring appName = L"HalvixSetup2";
        // Shows a start-up failure; a message box on the frame unless set.
        std::function<void(HWND frame, const std::wstring& text)> reportError;
    };

    static const wchar_t kClassName[];
    // The name of the registered message the frame posts to itself for each queued record.
    static const wchar_t kInternalMessageName[];
    // Queued records are announced with this wParam.
    static constexpr WPARAM kQueuedMessage = 1;

    // Registers the window class and creates the (hidden) window; a failure of either is shown
    // and construction goes on, with Hwnd() null after a failed creation.
    explicit CMainFrame(const Parts& parts);
    ~CMainFrame() override;

    // The frame's start-up: mutexes, string module, screens, then the manager. False only when
    // the string module or a screen cannot be created.
    bool SetupScreens(bool checkMainProgram);

    // ISetupListener: callable from any thread.
    void OnThreadEvent(int type, int param1, int param2) override;
    void OnUIEvent(CUiControl* control1, CUiControl* control2, unsigned screen, int event, int error) override;
    void OnProcEvent(int value, int value2, int kind, int subtype, const wchar_t* text, int error) override;

    // ISetupFrame
    CUiWnd* ShowScreen(unsigned screen) override;
    unsigned CurrentScreen() const override { return current_; }
    ISetupListener& Listener() override { return *this; }
    ISetupManager* Manager() override { return manager_.get(); }
    SetupFrameState& State() override { return state_; }
    HMODULE StringModule() const override { return stringModule_; }
    HWND FrameWindow() const override { return Hwnd(); }
    void CloseFrame() override { DestroyWindow(); }

    // Pops one queued record and dispatches it; nothing when the queue is empty.
    void OnQueuedMessage();
    bool IsWaitingForDevice() const { return waiting_; }
    bool IsDeviceTaken() const { return deviceTaken_; }
    CUiWnd* Screen(unsigned screen) const { return screen < SetupScreen::kCount ? screens_[screen].get() : nullptr; }

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& create) override;

private:
    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();
    void OnSize();
    LRESULT OnInternalMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeviceChange(WPARAM event, LPARAM data);

    void OnDeviceChanged();
    void StopRefresh();
    void LayOutScreen(CUiWnd* screen);
    void ShowError(const wchar_t* text);
    void Queue(CThreadMessage* message);
    std::wstring LoadResString(UINT id) const;

    Parts parts_;
    CThreadSafeQueue<CThreadMessage> queue_;
    std::unique_ptr<CUiWnd> screens_[SetupScreen::kCount];
    unsigned current_ = SetupScreen::kInit;
    std::unique_ptr<ISetupManager> manager_;
    bool waiting_ = false;
    bool deviceTaken_ = false;
    SetupFrameState state_;
    HANDLE ownMutex_ = nullptr;
    HANDLE mainProgramMutex_ = nullptr;
    HMODULE stringModule_ = nullptr;
};
