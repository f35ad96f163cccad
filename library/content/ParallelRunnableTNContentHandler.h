#pragma once

#include <set>

#include "library/content/RunnableTNContentHandler.h"

// A member of a parallel group: a runnable handler that, each time it finishes a content, pulls the
// next content waiting in its group's splitter.
class CParallelRunnableTNContentHandler : public CRunnableTNContentHandler {
public:
    class CSplitter;

    CParallelRunnableTNContentHandler() = default;
    void AddContent(CTNContent* content) override;
    ~CParallelRunnableTNContentHandler() override = default;

    // Set by the group when the member joins it.
    void SetOwner(CSplitter* owner);

protected:
    void OnMessage(CThreadMessage* message) override;

private:
    void PullWaitingContent();

    CCriticalSection ownerLock_;
    CSplitter* owner_ = nullptr;
};

// Holds the contents that wait for a free member and hands each new one to the first idle member.
class CParallelRunnableTNContentHandler::CSplitter : public CTNContentHandler {
public:
    CSplitter() = default;
    ~CSplitter() override;

    HRESULT Start() override { return S_OK; }
    HRESULT Stop() override;
    void PostContent(CTNContent* content) override;
    // A group hands contents over one at a time; these do nothing.
    void AddContentVector(const std::vector<CTNContent*>&) override {}
    void AddContents(CTNContent**, unsigned) override {}

    void AddMember(CParallelRunnableTNContentHandler* member);
    void RemoveMember(CParallelRunnableTNContentHandler* member);
    // The oldest waiting content, or null.
    CTNContent* PopWaiting();
    // Deletes every waiting content.
    void ClearWaiting();

private:
    CCriticalSection groupLock_;
    CCriticalSection queueLock_;
    CThreadSafeQueue<CTNContent> waiting_;
    std::set<CParallelRunnableTNContentHandler*> members_;
};
