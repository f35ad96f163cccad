#pragma once
// A main window for the coordinator's tests: a hidden message window on the creating thread that
// answers the coordinator's messages, and a record of every call the coordinator made.

#include <windows.h>

#include <string>
#include <vector>

#include "app/coordinator/MainFrameView.h"
#include "library/util/ScopedWin.h"

class CRecordingFrame : public IMainFrameView {
public:
    CRecordingFrame();
    ~CRecordingFrame();

    HWND Window() override { return window_; }
    int32_t GetState() override { return state; }
    HANDLE StopEvent() override { return stopEvent_; }
    HANDLE RunEvent() override { return runEvent_; }
    void UpdateProgress(int32_t value) override { Record(L"progress " + std::to_wstring(value)); }
    void ResetProgress(bool withError) override { Record(withError ? L"reset progress, error" : L"reset progress"); }
    void RefreshProgressChild() override {}
    void SetBusyFlags(int32_t busy) override { Record(L"busy " + std::to_wstring(busy)); }
    void SetDoneCount(int32_t) override {}
    void AddDoneCount() override {}
    void SetAcceptedCount(int32_t) override {}
    void RefreshStatusText(uint64_t) override {}
    void SetTransferProgress(uint32_t, uint32_t) override {}
    void SetConversionText(const std::wstring&, int32_t) override {}
    void SetAnalysisText(bool) override {}
    void StartLookupTimer() override { Record(L"lookup timer"); }
    void SetLookupText(const std::wstring&) override { Record(L"lookup text"); }
    void ClearStageText() override {}
    void UpdateFreeSpace(const FreeSpace&) override {}
    void SetAnalysisMode(bool on) override { Record(on ? L"analysis on" : L"analysis off"); }
    void ShowDevice(const DeviceView&) override { Record(L"show device"); }
    void ClearDevice() override { Record(L"clear device"); }
    void SetUIMode(int) override {}
    std::wstring LanguageCode() override { return L"ENU"; }
    void ShowCarAudioControl() override {}
    void SetCarAudioFlag(bool) override {}
    void LayoutPanels(const bool*) override { Record(L"layout"); }
    int32_t GetFrameLayout(const std::wstring&, int32_t*, int32_t*) override { return 0; }

    std::vector<std::wstring> Calls();
    // The coordinator's window messages: message, wParam and lParam.
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Message> Messages();
    int32_t state = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Record(const std::wstring& call);

    HWND window_ = nullptr;
    HANDLE stopEvent_;
    HANDLE runEvent_;
    CCriticalSection lock_;
    std::vector<std::wstring> calls_;
    std::vector<Message> messages_;
};
