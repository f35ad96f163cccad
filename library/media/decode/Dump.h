#pragma once
// The sink of the decoder graph: a renderer that hands the media type, every sample and the end of
// the stream to an ISampleReceiver2, storing and playing nothing. Seeking requests on it pass
// upstream, so the graph's duration comes from the decoder chain.

#include <string>

#include "library/media/decode/SampleReceiver2.h"
#include "library/util/ScopedWin.h"
#include "platform/dshow/DsUnknown.h"
#include "platform/dshow/PosPassThru.h"

class CDumpFilter;
class CDumpInputPin;

class CDump : public CDsUnknown, public IFileSinkFilter {
public:
    // A new sink (count 0) with the constructor's result in hr, or null and E_OUTOFMEMORY.
    static CDump* Create(IUnknown* outer, HRESULT* hr);
    ~CDump() override;

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    void SetReceiver(ISampleReceiver2* receiver);
    ISampleReceiver2* Receiver() const { return receiver_; }

    // IFileSinkFilter
    HRESULT STDMETHODCALLTYPE SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* type) override;

    CDumpInputPin* Pin() const { return pin_; }
    bool WriteError() const { return writeError_; }
    void ClearWriteError() { writeError_ = false; }
    HRESULT OpenFile();
    HRESULT CloseFile();

private:
    CDump(IUnknown* outer, HRESULT* hr);

    CDumpFilter* filter_ = nullptr;
    CDumpInputPin* pin_ = nullptr;
    CCriticalSection lock_;
    CCriticalSection receiveLock_;
    CDsPosPassThru* position_ = nullptr;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    wchar_t* fileName_ = nullptr;
    bool writeError_ = false;
    ISampleReceiver2* receiver_ = nullptr;
};
