#pragma once
// A coordinator for the automation tests: answers each operation with a value the client can
// check, and answers with the events the real coordinator would post for it. A run of events
// ("run|<events>|<clients>" as a Transfer value) starts once that many clients asked for it and is
// posted from a worker thread, as the real coordinator's workers post theirs.

#include <windows.h>

#include <mutex>
#include <string>

#include "app/main/COMManager.h"

class CScriptedCoordinator final : public CCOMManager::IListener {
public:
    static const wchar_t kHelpFile[];
    static const int kInvokeResult = 1;
    static const int kCancelResult = 7;
    static const int kRunStarted = 1;

    CScriptedCoordinator() = default;
    ~CScriptedCoordinator() { JoinRun(); }
    CScriptedCoordinator(const CScriptedCoordinator&) = delete;
    CScriptedCoordinator& operator=(const CScriptedCoordinator&) = delete;

    // Transfer's answer to anything but a run: the request kind and base-path length it was given.
    static int TransferAnswer(int fileType, int basePathLength) { return fileType * 1000 + basePathLength; }

    void OnInvoke(int* result) override { *result = kInvokeResult; }
    void GetHelpFile(BSTR* helpFile) override { *helpFile = SysAllocString(kHelpFile); }
    void GetSyncSwitches(BSTR*) override {}
    void GetMyComputerPath(BSTR*) override {}
    void Reserved() override {}
    void Transfer(BSTR value, int fileType, int basePathLength, int* result) override;
    void CancelTransfer(int* result) override { *result = kCancelResult; }
    // Echoed back to the clients as a sync-folder event.
    void UpdateSetting(BSTR parameters) override;
    void UpdateAnalysisMode(int) override {}
    void OpenDeleteDialog(int mediaId) override;
    void FireSpace() override;
    void UpdateSetting2(int, BSTR, int) override {}
    void OpenLogFile() override;
    void OpenSyncDialog(int mediaId) override;
    void StartSync() override;
    void OpenSettingDialog() override;

    // Waits for a run still being posted.
    void JoinRun();

private:
    static DWORD WINAPI RunThread(void* context);

    std::mutex mutex_;
    std::wstring runRequest_;
    int runClients_ = 0;
    int runEvents_ = 0;
    HANDLE runThread_ = nullptr;
};
