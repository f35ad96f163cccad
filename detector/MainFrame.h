#pragma once
// The detector's hidden frame: on a device-node change, with automatic start on, it looks for a
// supported player and starts the main program with "-s".

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "detector/ControllerSelection.h"
#include "library/device/DeviceControllerBase.h"

class CMainFrame {
public:
    struct Args {
        // Controllers to use; the real MTP and mass-storage controllers when null.
        std::unique_ptr<CDeviceControllerBase> mtp;
        std::unique_ptr<CDeviceControllerBase> massStorage;
        // Starts the main program; by default the program folder's "Quillbay.exe" with "-s".
        std::function<void()> launch;
        // Reads the car-audio UI mode; by default "TNUIMode.dat".
        std::function<int()> readUIMode;
        // How long device-node changes must settle before one check runs.
        UINT settleMs = 500;
    };

    explicit CMainFrame(Args args);
    ~CMainFrame();
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Creates the hidden window titled "QuillbayDetector"; false when it could not be made.
    bool Create();
    HWND Window() const { return window_; }
    int ActiveKind() const { return activeKind_; }
    int UIMode() const { return uiMode_; }

    // One check: the setup wizard's gate, the controller choice, the capability or the car-audio
    // marker, and the start of the main program.
    void CheckDeviceAndLaunch();
    int SelectActiveController();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    int OnCreate();
    void OnDeviceChange(WPARAM event);
    void OnSettled();
    enum class CapabilityVerdict { Missing, Unusable, NoAudio, ListsAudio };
    CapabilityVerdict ReadCapability();
    bool HasCarAudioMarker();

    std::unique_ptr<CDeviceControllerBase> mtp_;
    std::unique_ptr<CDeviceControllerBase> massStorage_;
    CDeviceControllerBase* active_;
    int activeKind_ = 0;
    HDEVNOTIFY notification_ = nullptr;
    int uiMode_ = 0;
    std::function<void()> launch_;
    std::function<int()> readUIMode_;
    UINT settleMs_;
    HWND window_ = nullptr;
};

// Starts the main program beside this one with "-s".
void LaunchMainProgram();
// The same for the "Quillbay.exe" in `folder` (with its trailing backslash).
void LaunchMainProgramFrom(const std::wstring& folder);
