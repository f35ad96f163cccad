#include "CEventHub.h"

#include "CEventSource.h"

#include "library/util/ScopedCom.h"

#include <algorithm>

CEventHub& CEventHub::Instance() {
    static CEventHub hub;
    return hub;
}

CEventHub::CEventHub() : finished_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

void CEventHub::Add(CEventSource* source) {
    std::lock_guard<std::mutex> guard(mutex_);
    live_.push_back(source);
}

void CEventHub::Remove(CEventSource* source) {
    std::lock_guard<std::mutex> guard(mutex_);
    live_.erase(std::remove(live_.begin(), live_.end(), source), live_.end());
    started_.erase(std::remove(started_.begin(), started_.end(), source), started_.end());
}

HRESULT CEventHub::Start(CEventSource* source, LONG events, LONG clients) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (std::find(started_.begin(), started_.end(), source) == started_.end()) started_.push_back(source);
    source->MarkRunEnded(false);
    if (static_cast<LONG>(started_.size()) < clients) return S_OK;
    if (!running_.empty() || WaitForSingleObject(finished_, 0) != WAIT_OBJECT_0) return E_PENDING;
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    running_ = started_;
    started_.clear();
    for (CEventSource* running : running_) running->AddRef();
    events_ = events;
    ResetEvent(finished_);
    // The run keeps the server alive until its last event has gone out.
    CApplicationLock::Process().Lock();
    thread_ = CreateThread(nullptr, 0, &CEventHub::RunThread, this, 0, nullptr);
    if (!thread_) {
        DWORD error = GetLastError();
        for (CEventSource* running : running_) {
            running->MarkRunEnded(true);
            running->Release();
        }
        running_.clear();
        SetEvent(finished_);
        CApplicationLock::Process().Unlock();
        return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

void CEventHub::Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI CEventHub::RunThread(void* context) {
    // The listeners' pointers come from the Global Interface Table into this thread's own apartment.
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    static_cast<CEventHub*>(context)->Run();
    CoUninitialize();
    return 0;
}

void CEventHub::Run() {
    std::vector<CEventSource*> targets;
    LONG events = 0;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        targets = running_;
        events = events_;
    }
    std::vector<CScopedComPtr<IDispatch>> proxies(targets.size());
    for (size_t target = 0; target < targets.size(); ++target) targets[target]->KeepListenerProxy(&proxies[target]);
    for (LONG index = 0; index < events; ++index) {
        // A failed call (the client has gone) changes nothing for the other clients.
        for (CEventSource* target : targets) target->Deliver(index);
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        running_.clear();
    }
    proxies.clear();
    for (CEventSource* target : targets) {
        // A listener serves one run. Let go of it while its client still waits in a call to us: at
        // the client's final release the server's call back to drop it could hang the client's exit.
        target->put_listener(nullptr);
        target->MarkRunEnded(true);
        target->Release();
    }
    SetEvent(finished_);
    CApplicationLock::Process().Unlock();
}
