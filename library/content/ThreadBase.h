#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "library/content/ThreadMessage.h"
#include "library/content/ThreadSafeQueue.h"

// A worker thread that sleeps on a stop event and a message event and hands the queued messages to
// OnMessage one at a time, in posting order. A stop is seen between two messages: messages still
// queued then are dropped, never delivered.
//
// Note: with UNICODE defined <windows.h> maps PostMessage to PostMessageW; every file that sees
// this class sees that macro too, so the member is consistently named either way.
class CThreadBase {
public:
    CThreadBase() = default;
    virtual ~CThreadBase();
    CThreadBase(const CThreadBase&) = delete;
    CThreadBase& operator=(const CThreadBase&) = delete;

    HRESULT Start();
    HRESULT PostMessage(uint32_t id, uintptr_t param);
    // Drops every undelivered message, ends the thread and closes the events; Start may follow.
    HRESULT Stop();

    bool IsRunning() const { return thread_ != nullptr; }
    // Messages posted and not yet taken by the worker.
    size_t PendingMessageCount();

protected:
    // Runs on the worker thread; the message is deleted after it returns.
    virtual void OnMessage(CThreadMessage* message) = 0;
    virtual void OnThreadStart() {}
    virtual void OnThreadEnd() {}

private:
    static unsigned __stdcall ThreadEntry(void* self);
    unsigned Run();
    // Delivers every queued message; false when a stop was asked for on the way.
    bool DrainMessages();

    HANDLE thread_ = nullptr;
    CThreadSafeQueue<CThreadMessage> messages_;
    // Waited on as one array: index 0 is the stop event, index 1 the message event.
    HANDLE events_[2] = {nullptr, nullptr};
    CCriticalSection dispatchLock_;
    // Kernel event calls are round trips to the Wine server (and not free on Windows): a post sets
    // the message event only when no wake-up is pending, and the stop flag is read between messages.
    std::atomic<bool> wakePending_{false};
    std::atomic<bool> stopRequested_{false};
};
