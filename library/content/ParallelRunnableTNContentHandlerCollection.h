#pragma once

#include <set>

#include "library/content/ParallelRunnableTNContentHandler.h"

// Stands in the chain as one handler and spreads its contents over several members of the same
// kind, each with its own thread. The collection owns its members.
class CParallelRunnableTNContentHandlerCollection : public ITNContentHandler {
public:
    CParallelRunnableTNContentHandlerCollection() = default;
    ~CParallelRunnableTNContentHandlerCollection() override;
    CParallelRunnableTNContentHandlerCollection(const CParallelRunnableTNContentHandlerCollection&) = delete;
    CParallelRunnableTNContentHandlerCollection& operator=(const CParallelRunnableTNContentHandlerCollection&) =
        delete;

    HRESULT Start() override;
    HRESULT Stop() override;
    void SetNext(ITNContentHandler* next) override;
    void PostContent(CTNContent* content) override;
    // A group takes contents one at a time through PostContent; these do nothing.
    void AddContentVector(const std::vector<CTNContent*>&) override {}
    void AddContents(CTNContent**, unsigned) override {}
    void Reset() override;
    // A content handed to the group as a stage is distributed like a posted one.
    void AddContent(CTNContent* content) override { PostContent(content); }

    void AddHandler(CParallelRunnableTNContentHandler* handler);
    // Deletes every waiting and queued content and cancels every member.
    void CancelAll();
    // True when every member accepts again, after waiting up to each one's stop timeout.
    bool WaitAllAccepting();
    void ResetTotalCounts();
    uint32_t GetTotalCount();

private:
    std::set<CParallelRunnableTNContentHandler*> members_;
    CParallelRunnableTNContentHandler::CSplitter splitter_;
};
