#pragma once
// The reader callback the Windows Media probe hands to IWMReader::Open: it only waits for the
// outcome of the open and never receives samples.

#include <windows.h>
#include <wmsdkidl.h>

#include "library/util/ScopedWin.h"

class CWMReaderCallbackImpl : public IWMReaderCallback {
public:
    CWMReaderCallbackImpl() = default;
    CWMReaderCallbackImpl(const CWMReaderCallbackImpl&) = delete;
    CWMReaderCallbackImpl& operator=(const CWMReaderCallbackImpl&) = delete;

    // IUnknown. Unknown interfaces answer E_NOTIMPL, which callers of this object expect.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IWMStatusCallback: the first WMT_OPENED (or error) status settles the open.
    HRESULT STDMETHODCALLTYPE OnStatus(WMT_STATUS status, HRESULT result, WMT_ATTR_DATATYPE type,
                                       BYTE* value, void* context) override;
    // IWMReaderCallback: the probe never starts the reader, so samples are ignored.
    HRESULT STDMETHODCALLTYPE OnSample(DWORD output, QWORD sampleTime, QWORD sampleDuration,
                                       DWORD flags, INSSBuffer* sample, void* context) override;

    // Creates the open-done event; E_FAIL when the system has none to give.
    HRESULT Initialize();
    // Waits at most timeoutMs for the open to settle: S_OK once opened, HRESULT_FROM_WIN32
    // (ERROR_TIMEOUT) when nothing was reported in time, E_FAIL for a failed open or wait.
    HRESULT WaitForOpen(DWORD timeoutMs);
    bool IsOpened();

protected:
    // Only Release deletes the object.
    virtual ~CWMReaderCallbackImpl() = default;

private:
    enum OpenState : LONG { kOpenPending = 0, kOpenSucceeded = 1, kOpenFailed = 2 };

    // The runtime calls AddRef, Release and OnStatus from its own threads.
    volatile LONG refCount_ = 0;
    CScopedHandle openDone_;
    volatile LONG openState_ = kOpenPending;
};
