#pragma once
// What the coordinator asks of the main window. The window guards its own state: every operation
// may be called from any thread. Workers that need the user's answer use SendMessageW to Window().

#include <windows.h>
#undef GetFreeSpace

#include <cstdint>
#include <string>

class IMainFrameView {
public:
    // Values of the free-space report, in the order the enumeration gives them.
    struct FreeSpace {
        uint64_t musicBytes = 0;
        uint64_t imageBytes = 0;
        uint64_t movieBytes = 0;
        uint64_t podcastBytes = 0;
        uint64_t otherFiles = 0;
        uint64_t freeBytes = 0;
        uint64_t totalBytes = 0;
    };
    // What the window shows of a connected player.
    struct DeviceView {
        const uint8_t* icon = nullptr;
        unsigned iconSize = 0;
        std::wstring name;
        std::wstring volumeName;
        uint64_t freeBytes = 0;
        uint64_t totalBytes = 0;
    };

    virtual HWND Window() = 0;
    // 1 while the window runs a batch that automation must not hear of as a new run.
    virtual int32_t GetState() = 0;
    // Manual-reset events owned by the window.
    virtual HANDLE StopEvent() = 0;
    virtual HANDLE RunEvent() = 0;

    virtual void UpdateProgress(int32_t value) = 0;
    // Back to the ready state after a run; with an error the window offers the run's report.
    virtual void ResetProgress(bool withError) = 0;
    virtual void RefreshProgressChild() = 0;
    virtual void SetBusyFlags(int32_t busy) = 0;
    // The two done counters (items done, items accepted), each repainted when set.
    virtual void SetDoneCount(int32_t done) = 0;
    virtual void AddDoneCount() = 0;
    virtual void SetAcceptedCount(int32_t accepted) = 0;
    virtual void RefreshStatusText(uint64_t freeBytes) = 0;
    virtual void SetTransferProgress(uint32_t done, uint32_t total) = 0;
    // Conversion text: percent < 0 clears it.
    virtual void SetConversionText(const std::wstring& name, int32_t percent) = 0;
    virtual void SetAnalysisText(bool running) = 0;
    // The first lookup of the program's life starts the window's lookup timer (timer 2, 3000 ms).
    virtual void StartLookupTimer() = 0;
    virtual void SetLookupText(const std::wstring& text) = 0;
    virtual void ClearStageText() = 0;
    virtual void UpdateFreeSpace(const FreeSpace& space) = 0;
    virtual void SetAnalysisMode(bool on) = 0;

    virtual void ShowDevice(const DeviceView& device) = 0;
    virtual void ClearDevice() = 0;
    virtual void SetUIMode(int mode) = 0;
    virtual std::wstring LanguageCode() = 0;
    virtual void ShowCarAudioControl() = 0;
    virtual void SetCarAudioFlag(bool carAudio) = 0;
    // Kinds 0 audio, 1 images, 2 video, 3 podcast feeds, 4 MTP player.
    virtual void LayoutPanels(const bool kinds[5]) = 0;
    // 1 with the picture's width and height.
    virtual int32_t GetFrameLayout(const std::wstring& path, int32_t* width, int32_t* height) = 0;

protected:
    ~IMainFrameView() = default;
};
