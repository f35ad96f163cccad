#include "library/content/ParallelRunnableTNContentHandler.h"

void CParallelRunnableTNContentHandler::SetOwner(CSplitter* owner) {
    CScopedLock lock(ownerLock_);
    owner_ = owner;
}

void CParallelRunnableTNContentHandler::AddContent(CTNContent* content) {
    PullWaitingContent();
    CTNContentHandler::AddContent(content);
}

void CParallelRunnableTNContentHandler::OnMessage(CThreadMessage* message) {
    CRunnableTNContentHandler::OnMessage(message);
    // The splitter passes over a member that is still inside ProcessContent; one that finished
    // after its last pull found the waiting queue empty would otherwise leave a content waiting
    // with no member left to take it.
    if (IsIdle() && IsAccepting()) PullWaitingContent();
}

void CParallelRunnableTNContentHandler::PullWaitingContent() {
    CScopedLock lock(ownerLock_);
    if (owner_ == nullptr) return;
    CTNContent* next = owner_->PopWaiting();
    if (next != nullptr) PostContent(next);
}

CParallelRunnableTNContentHandler::CSplitter::~CSplitter() {
    CScopedLock lock(groupLock_);
    members_.clear();
}

HRESULT CParallelRunnableTNContentHandler::CSplitter::Stop() {
    Reset();
    return S_OK;
}

void CParallelRunnableTNContentHandler::CSplitter::PostContent(CTNContent* content) {
    {
        CScopedLock lock(queueLock_);
        if (FAILED(waiting_.Push(content))) delete content;
    }
    CScopedLock lock(groupLock_);
    for (CParallelRunnableTNContentHandler* member : members_) {
        if (!member->IsIdle()) continue;
        CTNContent* next = PopWaiting();
        if (next == nullptr) break;
        member->PostContent(next);
    }
}

void CParallelRunnableTNContentHandler::CSplitter::AddMember(CParallelRunnableTNContentHandler* member) {
    CScopedLock lock(groupLock_);
    members_.insert(member);
}

void CParallelRunnableTNContentHandler::CSplitter::RemoveMember(CParallelRunnableTNContentHandler* member) {
    CScopedLock lock(groupLock_);
    members_.erase(member);
}

CTNContent* CParallelRunnableTNContentHandler::CSplitter::PopWaiting() {
    CScopedLock lock(queueLock_);
    CTNContent* next = nullptr;
    waiting_.Pop(&next);
    return next;
}

void CParallelRunnableTNContentHandler::CSplitter::ClearWaiting() {
    CScopedLock lock(queueLock_);
    waiting_.Clear();
}
