#include "app/main/CTavrelQuillbayApp.h"

#include "app/main/AutomationObjectCreate.h"
#include "app/main/AutomationTypeInfo.h"
#include "app/main/COMManagerMainThread.h"
#include "app/main/FileVersion.h"
#include "platform/com/InterfaceTable.h"

namespace {

using EventKind = CCOMManager::CMainThread::EventKind;

}  // namespace

CTavrelQuillbayApp::CTavrelQuillbayApp() : CQBDispatch<ITavrelQuillbayApp>(ITavrelQuillbayAppTypeInfo()) {
    CScopedLock guard(CCOMManager::Lock());
    CCOMManager::AddLiveObject(this);
}

CTavrelQuillbayApp::~CTavrelQuillbayApp() {
    {
        CScopedLock guard(CCOMManager::Lock());
        CCOMManager::RemoveLiveObject(this);
    }
    for (CListenerSlot& slot : listeners_) slot.Put(nullptr);
    CCOMManager::MainThread().PostListenersChanged();
}

HRESULT CTavrelQuillbayApp::Create(IUnknown* outer, REFIID iid, void** result) {
    return CreateAutomationObject<CTavrelQuillbayApp>(outer, iid, result);
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CTavrelQuillbayApp> kInterfaces[] = {
        {&IID_ITavrelQuillbayApp,
         [](CTavrelQuillbayApp* self) -> IUnknown* { return static_cast<ITavrelQuillbayApp*>(self); }},
        {&IID_IDispatch, [](CTavrelQuillbayApp* self) -> IUnknown* { return static_cast<ITavrelQuillbayApp*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::GetVersion(BSTR* version) {
    if (!version) return S_OK;
    *version = SysAllocString(GetFileVersionString().c_str());
    return *version ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::GetResource(int resourceID, BSTR* value) {
    if (!value) return S_OK;
    *value = SysAllocString(CCOMManager::ResourceText(static_cast<UINT>(resourceID)).c_str());
    return *value ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::GetHelpFile(BSTR* helpFile) {
    if (!helpFile) return E_INVALIDARG;
    *helpFile = nullptr;
    CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) { coordinator.GetHelpFile(helpFile); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::Invoke(int* result) {
    if (!result) return E_INVALIDARG;
    *result = 0;
    {
        CScopedLock guard(lock_);
        connected_ = true;
    }
    CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) { coordinator.OnInvoke(result); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::Transfer(BSTR value, int fileType, int basePathLength, int* result) {
    if (!result) return E_INVALIDARG;
    *result = 0;
    const int requestKind = fileType >= 2 && fileType <= 14 ? fileType : 1;
    CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) {
        coordinator.Transfer(value, requestKind, basePathLength, result);
    });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::CancelTransfer(int* result) {
    if (!result) return E_INVALIDARG;
    *result = 0;
    CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) { coordinator.CancelTransfer(result); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::StartSync() {
    CCOMManager::CallListener([](CCOMManager::IListener& coordinator) { coordinator.StartSync(); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::FireSpace() {
    CCOMManager::MainThread().PostSpaceRequest();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::OpenLogFile() {
    CCOMManager::CallListener([](CCOMManager::IListener& coordinator) { coordinator.OpenLogFile(); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::OpenDeleteDialog(int mediaID) {
    CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) { coordinator.OpenDeleteDialog(mediaID); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::OpenSyncDialog(int mediaID) {
    CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) { coordinator.OpenSyncDialog(mediaID); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::OpenSettingDialog() {
    CCOMManager::CallListener([](CCOMManager::IListener& coordinator) { coordinator.OpenSettingDialog(); });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbayApp::UpdateSetting(BSTR param) {
    CCOMManager::CallListener([&](CCOMManager::IListener& coordinator) { coordinator.UpdateSetting(param); });
    return S_OK;
}

HRESULT CTavrelQuillbayApp::Put(Slot slot, IDispatch* listener) {
    HRESULT hr;
    {
        CScopedLock guard(lock_);
        hr = listeners_[slot].Put(listener);
    }
    CCOMManager::MainThread().PostListenersChanged();
    return hr;
}

DWORD CTavrelQuillbayApp::ListenerFor(uint32_t eventKind) {
    static const Slot kSlotOfKind[] = {
        kUpdateFreeSpace, kProgress,     kDeleteDialog,  kInvoke,     kTransferError, kStart,
        kEnd,             kUpdateFileNum, kUpdateSyncFolder, kSyncDialog, kSettingDialog,
    };
    if (eventKind >= sizeof(kSlotOfKind) / sizeof(kSlotOfKind[0])) return 0;
    CScopedLock guard(lock_);
    // Until its Invoke an object hears of devices only.
    if (!connected_ && eventKind != EventKind::kInvoke) return 0;
    return listeners_[kSlotOfKind[eventKind]].Cookie();
}

std::vector<DWORD> CTavrelQuillbayApp::ListenerCookies() {
    std::vector<DWORD> cookies;
    CScopedLock guard(lock_);
    for (const CListenerSlot& slot : listeners_) {
        if (DWORD cookie = slot.Cookie()) cookies.push_back(cookie);
    }
    return cookies;
}
