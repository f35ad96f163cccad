#include "library/content/ParallelRunnableTNContentHandlerCollection.h"

CParallelRunnableTNContentHandlerCollection::~CParallelRunnableTNContentHandlerCollection() {
    for (CParallelRunnableTNContentHandler* member : members_) {
        splitter_.RemoveMember(member);
        delete member;
    }
    members_.clear();
}

void CParallelRunnableTNContentHandlerCollection::AddHandler(CParallelRunnableTNContentHandler* handler) {
    if (handler == nullptr) return;
    members_.insert(handler);
    splitter_.AddMember(handler);
    handler->SetOwner(&splitter_);
}

HRESULT CParallelRunnableTNContentHandlerCollection::Start() {
    HRESULT failure = S_OK;
    for (CParallelRunnableTNContentHandler* member : members_) {
        HRESULT hr = member->Start();
        if (FAILED(hr)) failure = hr;
    }
    return FAILED(failure) ? failure : splitter_.Start();
}

HRESULT CParallelRunnableTNContentHandlerCollection::Stop() {
    for (CParallelRunnableTNContentHandler* member : members_) member->Stop();
    splitter_.Stop();
    return S_OK;
}

void CParallelRunnableTNContentHandlerCollection::SetNext(ITNContentHandler* next) {
    for (CParallelRunnableTNContentHandler* member : members_) member->SetNext(next);
}

void CParallelRunnableTNContentHandlerCollection::PostContent(CTNContent* content) {
    splitter_.PostContent(content);
}

void CParallelRunnableTNContentHandlerCollection::Reset() {
    splitter_.Reset();
    for (CParallelRunnableTNContentHandler* member : members_) member->Reset();
}

void CParallelRunnableTNContentHandlerCollection::CancelAll() {
    splitter_.ClearWaiting();
    for (CParallelRunnableTNContentHandler* member : members_) member->Cancel();
}

bool CParallelRunnableTNContentHandlerCollection::WaitAllAccepting() {
    bool allAccepting = true;
    for (CParallelRunnableTNContentHandler* member : members_) {
        if (!member->IsAccepting() && !member->WaitAccepting()) allAccepting = false;
    }
    return allAccepting;
}

void CParallelRunnableTNContentHandlerCollection::ResetTotalCounts() {
    for (CParallelRunnableTNContentHandler* member : members_) member->ResetTotalCount();
}

uint32_t CParallelRunnableTNContentHandlerCollection::GetTotalCount() {
    uint32_t total = 0;
    for (CParallelRunnableTNContentHandler* member : members_) total += member->GetTotalCount();
    return total;
}
