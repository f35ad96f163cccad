#pragma once
// The request engine of the asynchronous reader: reads queued by the downstream pin are done, in
// order, by one worker thread and collected by WaitForNext.

#include <windows.h>
#include <vfwmsgs.h>

#include <deque>

#include "library/media/decode/AsyncStream.h"
#include "library/util/ScopedWin.h"

struct CAsyncRequest {
    LONGLONG position = 0;
    LONG length = 0;
    BOOL aligned = FALSE;
    BYTE* buffer = nullptr;
    void* context = nullptr;  // the media sample
    DWORD_PTR user = 0;
    HRESULT result = VFW_E_TIMEOUT;
    DWORD actual = 0;
};

class CAsyncIo {
public:
    explicit CAsyncIo(CAsyncStream* stream);
    ~CAsyncIo();
    CAsyncIo(const CAsyncIo&) = delete;
    CAsyncIo& operator=(const CAsyncIo&) = delete;

    HRESULT Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer, void* context, DWORD_PTR user);
    HRESULT WaitForNext(DWORD timeout, void** context, DWORD_PTR* user, DWORD* actual);
    HRESULT SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, DWORD* actual, void* context);
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer);
    HRESULT BeginFlush();
    HRESULT EndFlush();
    HRESULT Length(LONGLONG* total, LONGLONG* available);
    DWORD Alignment() { return stream_->Alignment(); }
    bool IsAligned(LONGLONG value) { return (value & (static_cast<LONGLONG>(Alignment()) - 1)) == 0; }

private:
    static unsigned __stdcall WorkerEntry(void* self);
    void WorkerLoop();
    HRESULT StartWorker();
    void StopWorker();
    void Complete(CAsyncRequest& request);
    void ProcessWork();

    CCriticalSection readerLock_;
    CCriticalSection listLock_;
    CAsyncStream* stream_;
    bool flushing_ = false;
    std::deque<CAsyncRequest*> work_;
    std::deque<CAsyncRequest*> done_;
    CScopedHandle workEvent_;
    CScopedHandle doneEvent_;
    LONG processing_ = 0;
    bool waitingForAll_ = false;
    CScopedHandle allDoneEvent_;
    CScopedHandle stopEvent_;
    CScopedHandle worker_;
};
