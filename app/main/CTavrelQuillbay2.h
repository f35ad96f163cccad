#pragma once
// The second older automation class: ITavrelQuillbay's members and fifteen more, all kept for older
// scripts; the work methods succeed and do nothing.

#include "app/main/CTavrelQuillbayClassic.h"

class CTavrelQuillbay2 final : public CTavrelQuillbayClassic<ITavrelQuillbay2, 22> {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;

    HRESULT STDMETHODCALLTYPE UpdateSetting(short) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateSetting2(short, BSTR, short) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OpenLogFile() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OpenSyncDialog(short) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE StartSync() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE put_listenerTNInvoke2(IDispatch* listener) override { return Keep(11, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerStart(IDispatch* listener) override { return Keep(12, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTransferStart(IDispatch* listener) override { return Keep(13, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTransfer(IDispatch* listener) override { return Keep(14, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTransferEnd(IDispatch* listener) override { return Keep(15, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerEnd(IDispatch* listener) override { return Keep(16, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerUpdateFileNum(IDispatch* listener) override { return Keep(17, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTransferError(IDispatch* listener) override { return Keep(18, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerUpdateSyncFolder(IDispatch* listener) override {
        return Keep(19, listener);
    }
    HRESULT STDMETHODCALLTYPE put_listenerTNFreeSpace2(IDispatch* listener) override { return Keep(20, listener); }
    HRESULT STDMETHODCALLTYPE put_listenerTNSyncDialog(IDispatch* listener) override { return Keep(21, listener); }

private:
    template <class Object>
    friend HRESULT CreateAutomationObject(IUnknown* outer, REFIID iid, void** result);
    CTavrelQuillbay2();
};
