#pragma once
// The members of ITavrelQuillbay, shared by the two older classes that stay creatable so that older
// scripts still bind: their listeners are kept but never called, and their work methods do nothing.

#include "TavrelQuillbay.h"
#include "app/main/COMManager.h"
#include "app/main/CQBDispatch.h"
#include "library/util/ScopedWin.h"
#include "platform/com/CListenerSlot.h"
#include "platform/com/CServerObject.h"

template <class Interface, size_t SlotCount>
class CTavrelQuillbayClassic : public CServerObject, public CQBDispatch<Interface> {
public:
    explicit CTavrelQuillbayClassic(CTypeInfoCache& typeInfo) : CQBDispatch<Interface>(typeInfo) {}

    QB_SERVER_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE put_listenerTNOnConnected(IDispatch* listener) override { return Keep(0, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTNOnDisconnected(IDispatch* listener) override { return Keep(1, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTNFreeSpace(IDispatch* listener) override { return Keep(2, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTNSetting(IDispatch* listener) override { return Keep(3, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerProgressStart(IDispatch* listener) override { return Keep(4, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTransferProgress(IDispatch* listener) override { return Keep(5, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerProgressEnd(IDispatch* listener) override { return Keep(6, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTNOnError(IDispatch* listener) override { return Keep(7, listener); }

    using CQBDispatch<Interface>::Invoke;
    HRESULT STDMETHODCALLTYPE Invoke(VARIANT* result) override {
        if (!result) return E_POINTER;
        VariantInit(result);
        {
            CScopedLock guard(lock_);
            connected_ = true;
        }
        // This interface predates the coordinator's answer: it always reports 2.
        result->vt = VT_I4;
        result->lVal = 2;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetHelpFile(VARIANT* helpFile) override {
        if (!helpFile) return E_POINTER;
        VariantInit(helpFile);
        BSTR path = nullptr;
        CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) { coordinator.GetHelpFile(&path); });
        helpFile->vt = VT_BSTR;
        helpFile->bstrVal = path;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTNMediaAvailable(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTNMediaFolder(short, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTNMediaSpace(short, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Transfer(BSTR, short, short, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CancelTransfer(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateSetting(short) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetResource(short resourceId, BSTR* value) override {
        if (!value) return S_OK;
        // Older scripts ask for 206 where the module now keeps that text under 230.
        const UINT kMovedFrom = 206;
        const UINT kMovedTo = 230;
        const UINT stringId = static_cast<UINT>(resourceId) == kMovedFrom ? kMovedTo : static_cast<UINT>(resourceId);
        *value = SysAllocString(CCOMManager::ResourceText(stringId).c_str());
        return *value ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE put_listenerTNDeleteDialog(IDispatch* listener) override { return Keep(8, listener); }
    HRESULT STDMETHODCALLTYPE OpenDeleteDialog(short) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_listenerTNInvoke(IDispatch* listener) override { return Keep(9, listener); }
    HRESULT STDMETHODCALLTYPE FireSpace() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_listenerProgressError(IDispatch* listener) override { return Keep(10, listener); }

    bool IsConnected() {
        CScopedLock guard(lock_);
        return connected_;
    }
    // Whether a listener is kept in that slot (slots in DISPID order of the listener properties).
    bool HoldsListener(size_t slot) {
        CScopedLock guard(lock_);
        return slot < SlotCount && listeners_[slot].Cookie() != 0;
    }

protected:
    // A put always succeeds for these classes, whatever keeping the listener gave.
    HRESULT Keep(size_t slot, IDispatch* listener) {
        CScopedLock guard(lock_);
        listeners_[slot].Put(listener);
        return S_OK;
    }

private:
    CCriticalSection lock_;
    bool connected_ = false;
    CListenerSlot listeners_[SlotCount];
};
