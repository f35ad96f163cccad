#pragma once
// IPin plumbing shared by input and output pins: connection, media type agreement, flushing
// state. A pin lives inside its filter and shares the filter's reference count.
// Hooks: CheckMediaType (required), GetMediaType, SetMediaType, CheckConnect, CompleteConnect,
// BreakConnect, Active, Inactive, Run.

#include <windows.h>
#include "platform/dshow/DShow.h"

#include <string>

#include "library/util/ScopedWin.h"
#include "platform/dshow/MediaType.h"

class CDsBaseFilter;

class CDsBasePin : public IPin {
public:
    CDsBasePin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name, PIN_DIRECTION direction);
    virtual ~CDsBasePin();
    CDsBasePin(const CDsBasePin&) = delete;
    CDsBasePin& operator=(const CDsBasePin&) = delete;

    // IUnknown: the interfaces are the pin's own, the count is the filter's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    virtual HRESULT PinQueryInterface(REFIID iid, void** object);

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // Required: S_OK for an acceptable type, S_FALSE or an error otherwise.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) = 0;
    // Optional: the types this pin proposes; VFW_S_NO_MORE_ITEMS past the last.
    virtual HRESULT GetMediaType(int position, CMediaType* type);
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type);
    virtual HRESULT CheckConnect(IPin* peer);
    virtual HRESULT CompleteConnect(IPin* peer);
    virtual HRESULT BreakConnect();
    // Called by the filter on leaving and on entering the stopped state, and on each run.
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME) { return S_OK; }

    bool IsConnected() const { return connected_ != nullptr; }
    IPin* ConnectedPin() const { return connected_; }
    const CMediaType& CurrentMediaType() const { return mediaType_; }
    const std::wstring& Name() const { return name_; }
    bool IsFlushing() const { return flushing_; }
    CDsBaseFilter* Filter() const { return filter_; }

protected:
    CCriticalSection* lock_;
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = 0;
    double segmentRate_ = 1.0;
    volatile bool flushing_ = false;

private:
    HRESULT AgreeMediaType(IPin* receiver, const AM_MEDIA_TYPE* type);
    HRESULT TryTypesOf(IEnumMediaTypes* types, IPin* receiver, const AM_MEDIA_TYPE* partial, HRESULT* failure);
    HRESULT AttemptConnection(IPin* receiver, const AM_MEDIA_TYPE* type);
    // CheckConnect on the peer, then CheckMediaType; a refusal undoes what the check took.
    HRESULT CheckPeerAndType(IPin* peer, const AM_MEDIA_TYPE* type);
    void ClearConnection();

    CDsBaseFilter* filter_;
    std::wstring name_;
    PIN_DIRECTION direction_;
    IPin* connected_ = nullptr;
    CMediaType mediaType_;
};
