#pragma once
// The live automation class: a script drives the program through it and hears the program's
// events through its listener properties. Each work method is a thin entry into the coordinator.

#include <vector>

#include "TavrelQuillbay.h"
#include "app/main/CQBDispatch.h"
#include "library/util/ScopedWin.h"
#include "platform/com/CListenerSlot.h"
#include "platform/com/CServerObject.h"

class CTavrelQuillbayApp final : public CServerObject, public CQBDispatch<ITavrelQuillbayApp> {
public:
    // The class factory's creation function.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    QB_SERVER_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetVersion(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE GetResource(int resourceID, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) override;
    using CQBDispatch<ITavrelQuillbayApp>::Invoke;
    HRESULT STDMETHODCALLTYPE Invoke(int* result) override;
    HRESULT STDMETHODCALLTYPE Transfer(BSTR value, int fileType, int basePathLength, int* result) override;
    HRESULT STDMETHODCALLTYPE CancelTransfer(int* result) override;
    HRESULT STDMETHODCALLTYPE StartSync() override;
    HRESULT STDMETHODCALLTYPE FireSpace() override;
    HRESULT STDMETHODCALLTYPE OpenLogFile() override;
    HRESULT STDMETHODCALLTYPE OpenDeleteDialog(int mediaID) override;
    HRESULT STDMETHODCALLTYPE OpenSyncDialog(int mediaID) override;
    HRESULT STDMETHODCALLTYPE OpenSettingDialog() override;
    HRESULT STDMETHODCALLTYPE UpdateSetting(BSTR param) override;
    HRESULT STDMETHODCALLTYPE put_listenerInvoke(IDispatch* listener) override { return Put(kInvoke, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerStart(IDispatch* listener) override { return Put(kStart, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerEnd(IDispatch* listener) override { return Put(kEnd, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerProgress(IDispatch* listener) override { return Put(kProgress, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTransferError(IDispatch* listener) override {
        return Put(kTransferError, listener);
    }
    HRESULT STDMETHODCALLTYPE put_listenerUpdateFileNum(IDispatch* listener) override {
        return Put(kUpdateFileNum, listener);
    }
    HRESULT STDMETHODCALLTYPE put_listenerUpdateSyncFolder(IDispatch* listener) override {
        return Put(kUpdateSyncFolder, listener);
    }
    HRESULT STDMETHODCALLTYPE put_listenerUpdateFreeSpace(IDispatch* listener) override {
        return Put(kUpdateFreeSpace, listener);
    }
    HRESULT STDMETHODCALLTYPE put_listenerDeleteDialog(IDispatch* listener) override {
        return Put(kDeleteDialog, listener);
    }
    HRESULT STDMETHODCALLTYPE put_listenerSyncDialog(IDispatch* listener) override {
        return Put(kSyncDialog, listener);
    }
    HRESULT STDMETHODCALLTYPE put_listenerSettingDialog(IDispatch* listener) override {
        return Put(kSettingDialog, listener);
    }

    // The event thread's view, under the automation lock: the listener an event of that kind goes
    // to (0 when it is skipped), and every listener held.
    DWORD ListenerFor(uint32_t eventKind);
    std::vector<DWORD> ListenerCookies();

private:
    // The listener properties, in their DISPID order.
    enum Slot {
        kInvoke,
        kStart,
        kEnd,
        kProgress,
        kTransferError,
        kUpdateFileNum,
        kUpdateSyncFolder,
        kUpdateFreeSpace,
        kDeleteDialog,
        kSyncDialog,
        kSettingDialog,
        kSlotCount
    };

    template <class Object>
    friend HRESULT CreateAutomationObject(IUnknown* outer, REFIID iid, void** result);
    CTavrelQuillbayApp();
    ~CTavrelQuillbayApp() override;

    HRESULT Put(Slot slot, IDispatch* listener);

    CCriticalSection lock_;
    bool connected_ = false;
    CListenerSlot listeners_[kSlotCount];
};
