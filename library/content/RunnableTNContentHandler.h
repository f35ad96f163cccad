#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "library/content/TNContent.h"
#include "library/content/TNContentHandler.h"
#include "library/content/ThreadBase.h"
#include "library/content/ThreadSafeQueue.h"

// A stage with its own worker thread and content queue. The subclass's ProcessContent runs on
// that thread for one content at a time and must end in ForwardCurrent exactly once per content,
// synchronously or later from another thread; until then the handler takes no further content.
//
// Cancelling is the owner's act (Cancel): from then on new contents are deleted on arrival, the
// content in work is deleted when its work ends, and IsCancelled answers true. Reset re-opens.
class CRunnableTNContentHandler : public CTNContentHandler, public CThreadBase {
public:
    CRunnableTNContentHandler() = default;

    HRESULT Start() override;
    HRESULT Stop() override;
    void PostContent(CTNContent* content) override;
    void AddContentVector(const std::vector<CTNContent*>& contents) override;
    void AddContents(CTNContent** contents, unsigned count) override;
    // Waits until no content is current, then re-opens the handler.
    void Reset() override;
    ~CRunnableTNContentHandler() override;

    // Resets the accepting event and deletes every queued content.
    void Cancel();
    bool IsCancelled() const { return !IsAccepting(); }
    bool IsAccepting() const;
    // True when accepting, after waiting up to the stop timeout for it.
    bool WaitAccepting();
    // True while ProcessContent runs.
    bool IsBusy() const;
    // True when no content is queued and none is in ProcessContent, read as one state (the
    // queue count and IsBusy read one after the other can both miss a content being taken).
    bool IsIdle();
    size_t QueuedCount();
    uint32_t StopTimeout() const { return stopTimeout_; }

protected:
    virtual void ProcessContent(CTNContent* content) = 0;

    // Hands the current content on (or deletes it when cancelled) and asks for the next one.
    void ForwardCurrent();
    void OnMessage(CThreadMessage* message) override;

    uint32_t stopTimeout_ = 3000;

private:
    void ScheduleNext();

    CThreadSafeQueue<CTNContent> contents_;
    // The accepting state is read for every content: a flag mirrors the event, which stays for
    // the waits. Busy is only ever read, never waited on, so a flag alone carries it; it turns on
    // under the queue lock.
    HANDLE acceptingEvent_ = nullptr;
    std::atomic<bool> accepting_{false};
    std::atomic<bool> busy_{false};
    // At most one pickup message waits in the thread's queue: every arrival and every finished
    // content asks for one, and without this the spare ones pile up while a producer keeps
    // feeding (each takes memory until the worker gets to it).
    std::atomic<bool> pickupPending_{false};
    CTNContent* current_ = nullptr;
    CCriticalSection queueLock_;
    CCriticalSection currentLock_;
};
