#include "library/media/decode/AsyncIo.h"

#include <process.h>
#include <strmif.h>

#include <new>

CAsyncIo::CAsyncIo(CAsyncStream* stream)
    : stream_(stream),
      workEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      doneEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      allDoneEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CAsyncIo::~CAsyncIo() {
    StopWorker();
    for (CAsyncRequest* request : done_) delete request;
    for (CAsyncRequest* request : work_) delete request;
}

HRESULT CAsyncIo::StartWorker() {
    if (worker_.IsValid()) return S_OK;
    ResetEvent(stopEvent_.Get());
    const uintptr_t thread = _beginthreadex(nullptr, 0, WorkerEntry, this, 0, nullptr);
    if (thread == 0) return E_OUTOFMEMORY;
    worker_.Reset(reinterpret_cast<HANDLE>(thread));
    return S_OK;
}

void CAsyncIo::StopWorker() {
    BeginFlush();
    if (!worker_.IsValid()) return;
    SetEvent(stopEvent_.Get());
    WaitForSingleObject(worker_.Get(), INFINITE);
    worker_.Reset();
}

unsigned __stdcall CAsyncIo::WorkerEntry(void* self) {
    static_cast<CAsyncIo*>(self)->WorkerLoop();
    return 0;
}

void CAsyncIo::WorkerLoop() {
    const HANDLE events[2] = {stopEvent_.Get(), workEvent_.Get()};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woke != WAIT_OBJECT_0 + 1) return;
        ProcessWork();
    }
}

void CAsyncIo::ProcessWork() {
    for (;;) {
        CAsyncRequest* request = nullptr;
        {
            CScopedLock lock(listLock_);
            if (work_.empty()) {
                ResetEvent(workEvent_.Get());
                return;
            }
            request = work_.front();
            work_.pop_front();
            if (work_.empty()) ResetEvent(workEvent_.Get());
            ++processing_;
        }
        Complete(*request);
        CScopedLock lock(listLock_);
        done_.push_back(request);
        SetEvent(doneEvent_.Get());
        if (--processing_ == 0 && waitingForAll_) SetEvent(allDoneEvent_.Get());
    }
}

void CAsyncIo::Complete(CAsyncRequest& request) {
    stream_->Lock();
    HRESULT hr = stream_->SetPointer(request.position);
    if (hr == S_OK) {
        DWORD actual = 0;
        hr = stream_->Read(request.buffer, request.length, request.aligned, &actual);
        if (hr == OLE_S_FIRST) {
            if (request.context != nullptr) static_cast<IMediaSample*>(request.context)->SetDiscontinuity(TRUE);
            hr = S_OK;
        }
        if (SUCCEEDED(hr) && actual != static_cast<DWORD>(request.length)) hr = S_FALSE;
        request.actual = actual;
    }
    stream_->Unlock();
    request.result = hr;
}

HRESULT CAsyncIo::Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer, void* context, DWORD_PTR user) {
    if (aligned && (!IsAligned(position) || !IsAligned(length) || !IsAligned(reinterpret_cast<LONG_PTR>(buffer))))
        return VFW_E_BADALIGN;
    auto* request = new (std::nothrow) CAsyncRequest;
    if (request == nullptr) return E_OUTOFMEMORY;
    request->position = position;
    request->length = length;
    request->aligned = aligned;
    request->buffer = buffer;
    request->context = context;
    request->user = user;
    CScopedLock lock(listLock_);
    if (flushing_) {
        delete request;
        return VFW_E_WRONG_STATE;
    }
    const HRESULT hr = StartWorker();
    if (FAILED(hr)) {
        delete request;
        return hr;
    }
    work_.push_back(request);
    SetEvent(workEvent_.Get());
    return S_OK;
}

HRESULT CAsyncIo::WaitForNext(DWORD timeout, void** context, DWORD_PTR* user, DWORD* actual) {
    *context = nullptr;
    *user = 0;
    *actual = 0;
    for (;;) {
        if (WaitForSingleObject(doneEvent_.Get(), timeout) != WAIT_OBJECT_0) return VFW_E_TIMEOUT;
        CAsyncRequest* request = nullptr;
        {
            CScopedLock lock(listLock_);
            if (!done_.empty()) {
                request = done_.front();
                done_.pop_front();
                if (done_.empty() && !flushing_) ResetEvent(doneEvent_.Get());
            } else if (flushing_) {
                return VFW_E_WRONG_STATE;
            } else {
                ResetEvent(doneEvent_.Get());
                continue;
            }
        }
        HRESULT hr = request->result;
        if (hr == S_FALSE) {
            // A short read is fine only when it stopped at the end of the stream.
            hr = request->position + request->actual == stream_->Size() ? S_OK : E_FAIL;
        }
        *context = request->context;
        *user = request->user;
        *actual = request->actual;
        delete request;
        return hr;
    }
}

HRESULT CAsyncIo::SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, DWORD* actual, void* context) {
    if (!IsAligned(position) || !IsAligned(length) || !IsAligned(reinterpret_cast<LONG_PTR>(buffer)))
        return VFW_E_BADALIGN;
    CAsyncRequest request;
    request.position = position;
    request.length = length;
    request.aligned = TRUE;
    request.buffer = buffer;
    request.context = context;
    CScopedLock lock(readerLock_);
    Complete(request);
    *actual = request.actual;
    return request.result;
}

HRESULT CAsyncIo::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (IsAligned(position) && IsAligned(length) && IsAligned(reinterpret_cast<LONG_PTR>(buffer))) {
        DWORD actual = 0;
        return SyncReadAligned(position, length, buffer, &actual, nullptr);
    }
    CAsyncRequest request;
    request.position = position;
    request.length = length;
    request.buffer = buffer;
    CScopedLock lock(readerLock_);
    Complete(request);
    return request.result;
}

HRESULT CAsyncIo::BeginFlush() {
    bool wait = false;
    {
        CScopedLock lock(listLock_);
        flushing_ = true;
        while (!work_.empty()) {
            CAsyncRequest* request = work_.front();
            work_.pop_front();
            done_.push_back(request);
        }
        ResetEvent(workEvent_.Get());
        if (processing_ > 0) {
            waitingForAll_ = true;
            wait = true;
        }
    }
    if (wait) {
        WaitForSingleObject(allDoneEvent_.Get(), INFINITE);
        CScopedLock lock(listLock_);
        waitingForAll_ = false;
    }
    SetEvent(doneEvent_.Get());
    return S_OK;
}

HRESULT CAsyncIo::EndFlush() {
    CScopedLock lock(listLock_);
    flushing_ = false;
    if (done_.empty()) {
        ResetEvent(doneEvent_.Get());
    } else {
        SetEvent(doneEvent_.Get());
    }
    return S_OK;
}

HRESULT CAsyncIo::Length(LONGLONG* total, LONGLONG* available) {
    *total = stream_->Size(available);
    return S_OK;
}
