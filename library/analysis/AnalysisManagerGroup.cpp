#include "library/analysis/AnalysisManagerGroup.h"

#include <new>

HRESULT CAnalysisManagerGroup::AddManager() {
    CAnalysisManager* manager = new (std::nothrow) CAnalysisManager();
    if (!manager) return E_POINTER;
    managers_.push_back(manager);
    AddHandler(manager);
    return S_OK;
}

void CAnalysisManagerGroup::SetOption(bool enabled) {
    for (CAnalysisManager* manager : managers_) manager->SetEnabled(enabled);
}

void CAnalysisManagerGroup::SetListener(CAnalysisManager::IListener* listener) {
    for (CAnalysisManager* manager : managers_) manager->SetListener(listener);
}

std::vector<std::wstring> CAnalysisManagerGroup::CopyMemberList() {
    std::vector<std::wstring> all;
    for (CAnalysisManager* manager : managers_) {
        const std::vector<std::wstring> list = manager->GetReportList();
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

void CAnalysisManagerGroup::ClearReportLists() {
    for (CAnalysisManager* manager : managers_) manager->ClearReportList();
}
