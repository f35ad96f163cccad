#include "platform/dshow/OutputPin.h"

#include <uuids.h>

HRESULT SetAllocatorAtLeast(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& requested, LONG buffers, LONG bytes) {
    ALLOCATOR_PROPERTIES wanted = requested, actual = {};
    if (wanted.cBuffers < buffers) wanted.cBuffers = buffers;
    if (wanted.cbBuffer < bytes) wanted.cbBuffer = bytes;
    if (wanted.cbAlign < 1) wanted.cbAlign = 1;
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < bytes || actual.cBuffers < buffers ? E_FAIL : S_OK;
}

CDsOutputPin::CDsOutputPin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsBasePin(filter, lock, name, PINDIR_OUTPUT) {}

CDsOutputPin::~CDsOutputPin() { BreakConnect(); }

HRESULT CDsOutputPin::CheckConnect(IPin* peer) {
    HRESULT hr = CDsBasePin::CheckConnect(peer);
    if (FAILED(hr)) return hr;
    hr = peer->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&memInput_));
    return FAILED(hr) ? VFW_E_NO_TRANSPORT : S_OK;
}

HRESULT CDsOutputPin::CompleteConnect(IPin*) { return DecideAllocator(); }

HRESULT CDsOutputPin::BreakConnect() {
    if (allocator_ != nullptr) {
        allocator_->Decommit();
        allocator_->Release();
        allocator_ = nullptr;
    }
    if (memInput_ != nullptr) {
        memInput_->Release();
        memInput_ = nullptr;
    }
    return S_OK;
}

HRESULT CDsOutputPin::TryAllocator(IMemAllocator* allocator, ALLOCATOR_PROPERTIES requested) {
    HRESULT hr = DecideBufferSize(allocator, &requested);
    if (SUCCEEDED(hr)) hr = memInput_->NotifyAllocator(allocator, FALSE);
    if (FAILED(hr)) return hr;
    allocator->AddRef();
    allocator_ = allocator;
    return S_OK;
}

HRESULT CDsOutputPin::DecideAllocator() {
    if (memInput_ == nullptr) return E_UNEXPECTED;
    ALLOCATOR_PROPERTIES requested = {};
    memInput_->GetAllocatorRequirements(&requested);
    if (requested.cbAlign == 0) requested.cbAlign = 1;

    IMemAllocator* allocator = nullptr;
    if (SUCCEEDED(memInput_->GetAllocator(&allocator))) {
        const HRESULT hr = TryAllocator(allocator, requested);
        allocator->Release();
        if (SUCCEEDED(hr)) return hr;
    }
    // The downstream pin had none that suits: a plain memory allocator of our own.
    HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                  reinterpret_cast<void**>(&allocator));
    if (FAILED(hr)) return hr;
    hr = TryAllocator(allocator, requested);
    allocator->Release();
    return hr;
}

HRESULT CDsOutputPin::Active() { return allocator_ != nullptr ? allocator_->Commit() : VFW_E_NO_ALLOCATOR; }

HRESULT CDsOutputPin::Inactive() { return allocator_ != nullptr ? allocator_->Decommit() : VFW_E_NO_ALLOCATOR; }

HRESULT CDsOutputPin::GetDeliveryBuffer(IMediaSample** sample) {
    if (sample == nullptr) return E_POINTER;
    *sample = nullptr;
    if (allocator_ == nullptr) return VFW_E_NO_ALLOCATOR;
    return allocator_->GetBuffer(sample, nullptr, nullptr, 0);
}

HRESULT CDsOutputPin::Deliver(IMediaSample* sample) {
    if (memInput_ == nullptr) return VFW_E_NOT_CONNECTED;
    return memInput_->Receive(sample);
}

HRESULT CDsOutputPin::DeliverEndOfStream() {
    IPin* peer = ConnectedPin();
    return peer != nullptr ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT CDsOutputPin::DeliverBeginFlush() {
    IPin* peer = ConnectedPin();
    return peer != nullptr ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CDsOutputPin::DeliverEndFlush() {
    IPin* peer = ConnectedPin();
    return peer != nullptr ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CDsOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    IPin* peer = ConnectedPin();
    return peer != nullptr ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}
