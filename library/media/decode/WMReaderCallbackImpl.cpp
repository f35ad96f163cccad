#include "library/media/decode/WMReaderCallbackImpl.h"

HRESULT STDMETHODCALLTYPE CWMReaderCallbackImpl::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(IWMReaderCallback) ||
        iid == __uuidof(IWMStatusCallback)) {
        *object = static_cast<IWMReaderCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOTIMPL;
}

ULONG STDMETHODCALLTYPE CWMReaderCallbackImpl::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE CWMReaderCallbackImpl::Release() {
    LONG remaining = InterlockedDecrement(&refCount_);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

// Only the status that ends the open may wake the waiter: the runtime may report buffering or
// connecting first, and waking on those would fail an open that is still going well.
static bool EndsOpen(WMT_STATUS status, HRESULT result) {
    return status == WMT_OPENED || status == WMT_ERROR || status == WMT_ERROR_WITHURL ||
           FAILED(result);
}

HRESULT STDMETHODCALLTYPE CWMReaderCallbackImpl::OnStatus(WMT_STATUS status, HRESULT result,
                                                          WMT_ATTR_DATATYPE, BYTE*, void*) {
    if (!EndsOpen(status, result)) return S_OK;
    LONG outcome = (status == WMT_OPENED && SUCCEEDED(result)) ? kOpenSucceeded : kOpenFailed;
    // The first outcome stands; the state is set before the event so the waiter reads it.
    if (InterlockedCompareExchange(&openState_, outcome, kOpenPending) == kOpenPending &&
        openDone_.IsValid()) {
        SetEvent(openDone_.Get());
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWMReaderCallbackImpl::OnSample(DWORD, QWORD, QWORD, DWORD, INSSBuffer*,
                                                          void*) {
    return S_OK;
}

HRESULT CWMReaderCallbackImpl::Initialize() {
    if (!openDone_.IsValid()) openDone_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return openDone_.IsValid() ? S_OK : E_FAIL;
}

HRESULT CWMReaderCallbackImpl::WaitForOpen(DWORD timeoutMs) {
    if (!openDone_.IsValid()) return E_FAIL;
    DWORD wait = WaitForSingleObject(openDone_.Get(), timeoutMs);
    if (wait == WAIT_TIMEOUT) return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    if (wait != WAIT_OBJECT_0) return E_FAIL;
    return IsOpened() ? S_OK : E_FAIL;
}

bool CWMReaderCallbackImpl::IsOpened() {
    return InterlockedCompareExchange(&openState_, kOpenPending, kOpenPending) == kOpenSucceeded;
}
