#include "app/main/COMManager.h"

#include <map>

#include "app/main/COMManagerMainThread.h"
#include "platform/ui/UiLanguageModule.h"

namespace {

struct AutomationState {
    CCriticalSection lock;
    CCOMManager::IListener* listener = nullptr;
    HMODULE resourceModule = nullptr;
    std::map<CTavrelQuillbayApp*, CTavrelQuillbayApp*> liveObjects;
};

// Never destroyed: see the header.
AutomationState& State() {
    static AutomationState* state = new AutomationState;
    return *state;
}

}  // namespace

CCriticalSection& CCOMManager::Lock() { return State().lock; }

void CCOMManager::SetListener(IListener* listener) {
    CScopedLock guard(State().lock);
    State().listener = listener;
}

CCOMManager::IListener* CCOMManager::Listener() { return State().listener; }

void CCOMManager::SetResourceModule(HMODULE module) {
    CScopedLock guard(State().lock);
    State().resourceModule = module;
}

HMODULE CCOMManager::ResourceModule() { return State().resourceModule; }

std::wstring CCOMManager::ResourceText(UINT stringId) {
    const size_t kBufferChars = 511;
    std::wstring text;
    CScopedLock guard(State().lock);
    CUiLanguageModule::LoadText(State().resourceModule, stringId, text, kBufferChars);
    return text;
}

void CCOMManager::AddLiveObject(CTavrelQuillbayApp* object) { State().liveObjects[object] = object; }

void CCOMManager::RemoveLiveObject(CTavrelQuillbayApp* object) { State().liveObjects.erase(object); }

std::vector<CTavrelQuillbayApp*> CCOMManager::LiveObjects() {
    std::vector<CTavrelQuillbayApp*> objects;
    objects.reserve(State().liveObjects.size());
    for (const auto& entry : State().liveObjects) objects.push_back(entry.second);
    return objects;
}

CCOMManager::CMainThread& CCOMManager::MainThread() {
    static CMainThread thread;
    return thread;
}
