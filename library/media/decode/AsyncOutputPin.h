#pragma once
// The reader's output pin: offers its stream to a pull-model input pin through IAsyncReader.

#include "library/media/decode/AsyncIo.h"
#include "platform/dshow/BasePin.h"

class CAsyncReader;

class CAsyncOutputPin : public CDsBasePin, public IAsyncReader {
public:
    CAsyncOutputPin(CAsyncReader* reader, CAsyncIo* io, CCriticalSection* lock);

    ULONG STDMETHODCALLTYPE AddRef() override { return CDsBasePin::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CDsBasePin::Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return PinQueryInterface(iid, object); }
    HRESULT PinQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT CompleteConnect(IPin* peer) override;
    HRESULT BreakConnect() override;

    // IAsyncReader
    HRESULT STDMETHODCALLTYPE RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                                               IMemAllocator** actual) override;
    HRESULT STDMETHODCALLTYPE Request(IMediaSample* sample, DWORD_PTR user) override;
    HRESULT STDMETHODCALLTYPE WaitForNext(DWORD timeout, IMediaSample** sample, DWORD_PTR* user) override;
    HRESULT STDMETHODCALLTYPE SyncReadAligned(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT STDMETHODCALLTYPE Length(LONGLONG* total, LONGLONG* available) override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;

private:
    HRESULT InitAllocator(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties, IMemAllocator** actual);
    // The byte range a sample's times stand for, clipped to the stream's (aligned) end.
    HRESULT SampleRange(IMediaSample* sample, LONGLONG* position, LONG* length);
    // The range and the buffer a sample's read goes to.
    HRESULT SampleTarget(IMediaSample* sample, LONGLONG* position, LONG* length, BYTE** buffer);

    CAsyncReader* reader_;
    CAsyncIo* io_;
    bool queriedForAsyncReader_ = false;
};
