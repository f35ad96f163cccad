#include "library/content/ThreadBase.h"

#include <process.h>

#include <new>

namespace {
constexpr DWORD kStopEvent = 0;
constexpr DWORD kMessageEvent = 1;
}  // namespace

CThreadBase::~CThreadBase() {
    Stop();
}

HRESULT CThreadBase::Start() {
    for (HANDLE& event : events_) {
        if (event == nullptr) event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (event == nullptr) return E_FAIL;
    }
    if (thread_ != nullptr) return S_OK;
    uintptr_t thread = _beginthreadex(nullptr, 0, &CThreadBase::ThreadEntry, this, 0, nullptr);
    if (thread == 0) return E_FAIL;
    thread_ = reinterpret_cast<HANDLE>(thread);
    return S_OK;
}

HRESULT CThreadBase::PostMessage(uint32_t id, uintptr_t param) {
    CThreadMessage* message = new (std::nothrow) CThreadMessage(id, param);
    if (message == nullptr) return E_OUTOFMEMORY;
    {
        CScopedLock lock(dispatchLock_);
        if (FAILED(messages_.Push(message))) delete message;
    }
    if (events_[kMessageEvent] != nullptr && !wakePending_.exchange(true)) SetEvent(events_[kMessageEvent]);
    return S_OK;
}

size_t CThreadBase::PendingMessageCount() {
    CScopedLock lock(dispatchLock_);
    return messages_.Count();
}

HRESULT CThreadBase::Stop() {
    {
        CScopedLock lock(dispatchLock_);
        messages_.Clear();
    }
    if (thread_ != nullptr) {
        stopRequested_ = true;
        SetEvent(events_[kStopEvent]);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    stopRequested_ = false;
    wakePending_ = false;
    for (HANDLE& event : events_) {
        if (event != nullptr) CloseHandle(event);
        event = nullptr;
    }
    return S_OK;
}

bool CThreadBase::DrainMessages() {
    for (;;) {
        if (stopRequested_) return false;
        CThreadMessage* message = nullptr;
        {
            CScopedLock lock(dispatchLock_);
            messages_.Pop(&message);
        }
        if (message == nullptr) return true;
        OnMessage(message);
        delete message;
    }
}

unsigned __stdcall CThreadBase::ThreadEntry(void* self) {
    if (self == nullptr) return 1;
    return static_cast<CThreadBase*>(self)->Run();
}

unsigned CThreadBase::Run() {
    OnThreadStart();
    unsigned result = 1;
    for (;;) {
        DWORD woken = WaitForMultipleObjects(2, events_, FALSE, INFINITE) - WAIT_OBJECT_0;
        if (woken != kStopEvent && woken != kMessageEvent) break;
        if (woken == kStopEvent) {
            ResetEvent(events_[kStopEvent]);
            result = 0;
            break;
        }
        // Reset the event before clearing the pending mark: a post that still saw the mark set has
        // pushed its message already and the drain below delivers it; a post after the mark is
        // cleared sets the event again.
        ResetEvent(events_[kMessageEvent]);
        wakePending_ = false;
        if (!DrainMessages()) {
            result = 0;
            break;
        }
    }
    OnThreadEnd();
    return result;
}
