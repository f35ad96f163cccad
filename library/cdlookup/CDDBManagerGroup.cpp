#include "library/cdlookup/CDDBManagerGroup.h"

#include <new>

CCDDBManagerGroup::CCDDBManagerGroup(const CCDDBManager::CFolders& folders) : folders_(folders) {}

CCDDBManagerGroup::~CCDDBManagerGroup() = default;

HRESULT CCDDBManagerGroup::AddManager(bool enabled) {
    CCDDBManager* manager = new (std::nothrow) CCDDBManager(enabled, folders_);
    if (manager == nullptr) return E_POINTER;
    managers_.push_back(manager);
    AddHandler(manager);
    return S_OK;
}

void CCDDBManagerGroup::SetOptionA(bool lookup) {
    for (CCDDBManager* manager : managers_) manager->SetLookupSwitch(lookup);
}

void CCDDBManagerGroup::SetOptionB(bool coverArt) {
    for (CCDDBManager* manager : managers_) manager->SetCoverArtSwitch(coverArt);
}

void CCDDBManagerGroup::SetListener(CCDDBManager::IListener* listener) {
    for (CCDDBManager* manager : managers_) manager->SetListener(listener);
}

void CCDDBManagerGroup::SetMergeFunction(CCDDBManager::MergeAnalysisDataFn merge) {
    for (CCDDBManager* manager : managers_) manager->SetMergeFunction(merge);
}
