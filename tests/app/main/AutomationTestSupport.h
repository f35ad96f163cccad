#pragma once
// What the automation tests share: a script-like listener object, a coordinator that records the
// calls it gets, and waiting that lets cross-apartment calls in.

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/main/COMManager.h"

// A script's function object as the server sees it: an IDispatch whose default member is called.
// It lives in the creating thread's apartment, so the event thread reaches it through a proxy.
class CRecordingListener final : public IDispatch {
public:
    static CRecordingListener* Create();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

    // Each call's argument as text ("" for none, the decimal number for VT_I4); a call with a
    // wrong DISPID or flags is recorded as "bad call".
    std::vector<std::wstring> Calls();
    size_t CallCount();
    // Runs inside each call, on the listener's thread.
    void SetOnCall(std::function<void()> onCall) { onCall_ = std::move(onCall); }

private:
    CRecordingListener() = default;
    std::atomic<LONG> references_{1};
    std::mutex mutex_;
    std::vector<std::wstring> calls_;
    std::function<void()> onCall_;
};

// Waits, letting calls into this thread's apartment through, until the condition holds or the
// time runs out.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 60000);

class CRecordingCoordinator final : public CCOMManager::IListener {
public:
    void OnInvoke(int* result) override {
        Record(L"OnInvoke");
        *result = 5;
    }
    void GetHelpFile(BSTR* helpFile) override {
        Record(L"GetHelpFile");
        *helpFile = SysAllocString(L"help.chm");
    }
    void GetSyncSwitches(BSTR*) override { Record(L"GetSyncSwitches"); }
    void GetMyComputerPath(BSTR*) override { Record(L"GetMyComputerPath"); }
    void Reserved() override {}
    void Transfer(BSTR value, int fileType, int basePathLength, int* result) override;
    void CancelTransfer(int* result) override {
        Record(L"CancelTransfer");
        *result = 3;
    }
    void UpdateSetting(BSTR parameters) override { Record(L"UpdateSetting " + std::wstring(parameters ? parameters : L"")); }
    void UpdateAnalysisMode(int) override {}
    void OpenDeleteDialog(int mediaId) override { Record(L"OpenDeleteDialog " + std::to_wstring(mediaId)); }
    void FireSpace() override { Record(L"FireSpace"); }
    void UpdateSetting2(int, BSTR, int) override {}
    void OpenLogFile() override { Record(L"OpenLogFile"); }
    void OpenSyncDialog(int mediaId) override { Record(L"OpenSyncDialog " + std::to_wstring(mediaId)); }
    void StartSync() override { Record(L"StartSync"); }
    void OpenSettingDialog() override { Record(L"OpenSettingDialog"); }

    std::vector<std::wstring> Calls();

private:
    void Record(const std::wstring& call);
    std::mutex mutex_;
    std::vector<std::wstring> calls_;
};
