#pragma once
// An output pin that pushes samples into a downstream IMemInputPin through an agreed allocator.
// Hooks: DecideBufferSize (required), CheckMediaType, GetMediaType.

#include "platform/dshow/BasePin.h"

// Sets at least the given buffer count and size (and the downstream pin's wishes where larger);
// E_FAIL when the allocator settles on smaller buffers.
HRESULT SetAllocatorAtLeast(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& requested, LONG buffers, LONG bytes);

class CDsOutputPin : public CDsBasePin {
public:
    CDsOutputPin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name);
    ~CDsOutputPin() override;

    // Required: sets the buffer count and size on the allocator; requested holds the
    // downstream pin's wishes (zeroed when it has none).
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) = 0;

    HRESULT CheckConnect(IPin* peer) override;
    HRESULT CompleteConnect(IPin* peer) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Input pins never receive these on an output pin.
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }

    HRESULT GetDeliveryBuffer(IMediaSample** sample);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

private:
    HRESULT DecideAllocator();
    HRESULT TryAllocator(IMemAllocator* allocator, ALLOCATOR_PROPERTIES requested);

    IMemInputPin* memInput_ = nullptr;
    IMemAllocator* allocator_ = nullptr;
};
