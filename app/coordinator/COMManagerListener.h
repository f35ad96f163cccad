#pragma once
// The coordinator as the automation objects reach it: published under the automation lock once
// the coordinator has started and withdrawn at shut-down. The automation manager names it as its
// own listener type (using IListener = ICOMManagerListener). Keep the operations in this order.

#include <windows.h>
#include <oleauto.h>

#include <cstdint>

class ICOMManagerListener {
public:
    // 0 when the program was not started by automation, else 1 on the first call, 2 later.
    virtual void OnInvoke(int32_t* result) = 0;
    // Each out BSTR is new and owned by the caller.
    virtual void GetHelpFile(BSTR* path) = 0;
    virtual void GetSyncSwitches(BSTR* switches) = 0;
    virtual void GetMyComputerPath(BSTR* path) = 0;
    // Holds its place in the table; does nothing.
    virtual void Reserved() {}
    // fileType: the contents manager's request kind; basePathLength: the request's parameter.
    virtual void Transfer(BSTR value, int32_t fileType, int32_t basePathLength, int32_t* result) = 0;
    virtual void CancelTransfer(int32_t* result) = 0;
    // One character per switch at 0, 2, 4 and 6 ('1' on): music, movie, podcast, automatic sync.
    virtual void UpdateSetting(BSTR flags) = 0;
    virtual void UpdateAnalysisMode(int32_t mode) = 0;
    virtual void OpenDeleteDialog(int32_t mediaId) = 0;
    virtual void FireSpace() = 0;
    virtual void UpdateSetting2(int32_t analysisMode, BSTR syncFolders, int32_t autoSync) = 0;
    virtual void OpenLogFile() = 0;
    virtual void OpenSyncDialog(int32_t mediaId) = 0;
    virtual void StartSync() = 0;
    virtual void OpenSettingDialog() = 0;

protected:
    ~ICOMManagerListener() = default;
};
