#include "library/content/RunnableTNContentHandler.h"

HRESULT CRunnableTNContentHandler::Start() {
    if (acceptingEvent_ == nullptr) {
        acceptingEvent_ = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        if (acceptingEvent_ == nullptr) return E_FAIL;
        accepting_ = true;
    }
    return CThreadBase::Start();
}

HRESULT CRunnableTNContentHandler::Stop() {
    Reset();
    if (acceptingEvent_ != nullptr && !IsAccepting()) WaitForSingleObject(acceptingEvent_, stopTimeout_);
    {
        CScopedLock lock(queueLock_);
        contents_.Clear();
    }
    {
        CScopedLock lock(currentLock_);
        delete current_;
        current_ = nullptr;
    }
    CThreadBase::Stop();
    // The stop dropped any pickup still queued.
    pickupPending_ = false;
    Reset();
    return S_OK;
}

void CRunnableTNContentHandler::PostContent(CTNContent* content) {
    {
        CScopedLock lock(queueLock_);
        if (!IsAccepting() || FAILED(contents_.Push(content))) delete content;
    }
    ScheduleNext();
}

void CRunnableTNContentHandler::AddContentVector(const std::vector<CTNContent*>& contents) {
    for (CTNContent* content : contents) {
        if (IsAccepting()) {
            PostContent(content);
        } else {
            delete content;
        }
    }
}

void CRunnableTNContentHandler::AddContents(CTNContent** contents, unsigned count) {
    if (contents == nullptr) return;
    for (unsigned i = 0; i < count; ++i) {
        if (IsAccepting()) {
            PostContent(contents[i]);
        } else {
            delete contents[i];
        }
    }
}

void CRunnableTNContentHandler::Reset() {
    currentLock_.Enter();
    while (current_ != nullptr) {
        currentLock_.Leave();
        Sleep(10);
        currentLock_.Enter();
    }
    if (acceptingEvent_ != nullptr) {
        SetEvent(acceptingEvent_);
        accepting_ = true;
    }
    currentLock_.Leave();
}

CRunnableTNContentHandler::~CRunnableTNContentHandler() {
    { CScopedLock lock(queueLock_); }
    CRunnableTNContentHandler::Stop();
    if (acceptingEvent_ != nullptr) CloseHandle(acceptingEvent_);
}

void CRunnableTNContentHandler::Cancel() {
    accepting_ = false;
    if (acceptingEvent_ != nullptr) ResetEvent(acceptingEvent_);
    CScopedLock lock(queueLock_);
    contents_.Clear();
}

bool CRunnableTNContentHandler::IsAccepting() const {
    return accepting_;
}

bool CRunnableTNContentHandler::WaitAccepting() {
    if (acceptingEvent_ == nullptr) return false;
    return WaitForSingleObject(acceptingEvent_, stopTimeout_) == WAIT_OBJECT_0;
}

bool CRunnableTNContentHandler::IsBusy() const {
    return busy_;
}

bool CRunnableTNContentHandler::IsIdle() {
    CScopedLock lock(queueLock_);
    return contents_.Count() == 0 && !busy_;
}

size_t CRunnableTNContentHandler::QueuedCount() {
    CScopedLock lock(queueLock_);
    return contents_.Count();
}

void CRunnableTNContentHandler::ForwardCurrent() {
    // Detach first: Stop may delete whatever is still current while this runs on another thread.
    CTNContent* finished = nullptr;
    {
        CScopedLock lock(currentLock_);
        finished = current_;
        current_ = nullptr;
    }
    if (finished != nullptr) {
        if (IsAccepting()) {
            AddContent(finished);
        } else {
            delete finished;
        }
    }
    ScheduleNext();
}

void CRunnableTNContentHandler::ScheduleNext() {
    size_t queued = 0;
    {
        CScopedLock lock(queueLock_);
        queued = contents_.Count();
    }
    if (queued == 0 || !IsAccepting() || pickupPending_.exchange(true)) return;
    if (FAILED(CThreadBase::PostMessage(0, 0))) pickupPending_ = false;
}

void CRunnableTNContentHandler::OnMessage(CThreadMessage* message) {
    if (message->id != 0) return;
    // Cleared before the pop: a content queued after it schedules a pickup of its own.
    pickupPending_ = false;
    CScopedLock lock(currentLock_);
    CTNContent* taken = nullptr;
    {
        CScopedLock queueLock(queueLock_);
        // A content still current is in work elsewhere (a stage that finishes on another
        // thread): it is never handed to ProcessContent twice.
        if (IsAccepting() && current_ == nullptr && SUCCEEDED(contents_.Pop(&current_))) taken = current_;
        // Turned on with the pop, under the queue lock: IsIdle never sees a content that has
        // left the queue but is not yet in work.
        if (taken != nullptr) busy_ = true;
    }
    if (taken == nullptr) return;
    ProcessContent(taken);
    busy_ = false;
}
