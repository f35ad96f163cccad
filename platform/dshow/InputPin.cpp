#include "platform/dshow/InputPin.h"

#include <uuids.h>

#include "platform/dshow/BaseFilter.h"

CDsInputPin::CDsInputPin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsBasePin(filter, lock, name, PINDIR_INPUT) {}

CDsInputPin::~CDsInputPin() {
    if (allocator_ != nullptr) allocator_->Release();
}

HRESULT CDsInputPin::PinQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IMemInputPin)) return GetInterface(static_cast<IMemInputPin*>(this), object);
    return CDsBasePin::PinQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE CDsInputPin::GetAllocator(IMemAllocator** allocator) {
    if (allocator == nullptr) return E_POINTER;
    *allocator = nullptr;
    CScopedLock lock(*lock_);
    if (allocator_ == nullptr) {
        const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                            reinterpret_cast<void**>(&allocator_));
        if (FAILED(hr)) return hr;
    }
    *allocator = allocator_;
    allocator_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (allocator == nullptr) return E_POINTER;
    CScopedLock lock(*lock_);
    allocator->AddRef();
    if (allocator_ != nullptr) allocator_->Release();
    allocator_ = allocator;
    readOnly_ = readOnly != FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT CDsInputPin::CheckStreaming() {
    if (!IsConnected() || Filter()->IsStopped()) return VFW_E_WRONG_STATE;
    if (flushing_) return S_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsInputPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    return CheckStreaming();
}

HRESULT STDMETHODCALLTYPE CDsInputPin::ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) {
    if (samples == nullptr || processed == nullptr) return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CDsInputPin::ReceiveCanBlock() { return S_FALSE; }

HRESULT CDsInputPin::BreakConnect() {
    if (allocator_ != nullptr) {
        allocator_->Release();
        allocator_ = nullptr;
    }
    return S_OK;
}

HRESULT CDsInputPin::Inactive() {
    flushing_ = false;
    return S_OK;
}
