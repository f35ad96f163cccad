#pragma once

#include <windows.h>

#include <vector>

#include "library/cdlookup/CDDBManager.h"
#include "library/content/ParallelRunnableTNContentHandlerCollection.h"

// The CD-lookup stage as the chain sees it: a parallel group of CCDDBManager members.
class CCDDBManagerGroup : public CParallelRunnableTNContentHandlerCollection {
public:
    explicit CCDDBManagerGroup(const CCDDBManager::CFolders& folders = CCDDBManager::CFolders());
    ~CCDDBManagerGroup() override;

    // E_POINTER when the member cannot be made.
    HRESULT AddManager(bool enabled);
    void SetOptionA(bool lookup);
    void SetOptionB(bool coverArt);
    void SetListener(CCDDBManager::IListener* listener);
    void SetMergeFunction(CCDDBManager::MergeAnalysisDataFn merge);

private:
    CCDDBManager::CFolders folders_;
    std::vector<CCDDBManager*> managers_;
};
