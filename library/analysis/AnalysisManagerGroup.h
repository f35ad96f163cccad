#pragma once
// The analysis stage as the chain sees it: its managers (one in this program) behind one splitter.

#include <string>
#include <vector>

#include "library/analysis/AnalysisManager.h"
#include "library/content/ParallelRunnableTNContentHandlerCollection.h"

class CAnalysisManagerGroup : public CParallelRunnableTNContentHandlerCollection {
public:
    // E_POINTER when the manager cannot be allocated.
    HRESULT AddManager();
    void SetOption(bool enabled);
    void SetListener(CAnalysisManager::IListener* listener);
    std::vector<std::wstring> CopyMemberList();
    void ClearReportLists();
    const std::vector<CAnalysisManager*>& Managers() const { return managers_; }

private:
    std::vector<CAnalysisManager*> managers_;
};
