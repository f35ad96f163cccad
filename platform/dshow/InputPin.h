#pragma once
// An input pin that takes pushed samples through IMemInputPin.
// Hooks: Receive (required for a pin that takes samples), the IPin hooks of CDsBasePin.

#include "platform/dshow/BasePin.h"

class CDsInputPin : public CDsBasePin, public IMemInputPin {
public:
    CDsInputPin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name);
    ~CDsInputPin() override;

    ULONG STDMETHODCALLTYPE AddRef() override { return CDsBasePin::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CDsBasePin::Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return PinQueryInterface(iid, object); }
    HRESULT PinQueryInterface(REFIID iid, void** object) override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    HRESULT BreakConnect() override;
    HRESULT Inactive() override;

protected:
    // S_OK while samples may arrive; S_FALSE while flushing, VFW_E_WRONG_STATE when stopped.
    HRESULT CheckStreaming();
    IMemAllocator* allocator_ = nullptr;
    bool readOnly_ = false;
};
