#include "app/main/COMManagerMainThread.h"

#include <new>
#include <sstream>
#include <vector>

#include "app/main/CTavrelQuillbayApp.h"
#include "platform/com/CGitEntry.h"
#include "platform/com/CListenerSlot.h"

namespace {

using CEventParams = CCOMManager::CMainThread::CEventParams;
using EventKind = CCOMManager::CMainThread::EventKind;

enum class Argument { kNone, kText, kSyncFolderText, kInt };

Argument ArgumentOf(uint32_t kind) {
    switch (kind) {
        case EventKind::kFreeSpace:
        case EventKind::kProgress:
        case EventKind::kInvoke:
        case EventKind::kFileCount:
            return Argument::kText;
        case EventKind::kSyncFolder:
            return Argument::kSyncFolderText;
        case EventKind::kDeleteDialog:
        case EventKind::kSyncDialog:
        case EventKind::kSettingDialog:
            return Argument::kInt;
        default:
            return Argument::kNone;
    }
}

const wchar_t* Flag(bool on) { return on ? L"1" : L"0"; }

}  // namespace

int CCOMManager::CMainThread::CEventParams::GetInt() const {
    auto found = ints_.find(kIntKey);
    return found == ints_.end() ? 0 : found->second;
}

std::wstring CCOMManager::CMainThread::CEventParams::GetText(int key, const std::wstring& fallback) const {
    auto found = texts_.find(key);
    return found == texts_.end() ? fallback : found->second;
}

CCOMManager::CMainThread::~CMainThread() { Stop(); }

int CCOMManager::CMainThread::Start() {
    if (started_) return 0;
    if (FAILED(CThreadBase::Start())) {
        CThreadBase::Stop();
        return -1;
    }
    started_ = true;
    stopped_ = false;
    return 0;
}

void CCOMManager::CMainThread::Stop() {
    CThreadBase::Stop();
    started_ = false;
    CScopedLock guard(pendingLock_);
    stopped_ = true;
    for (CEventParams* params : pending_) delete params;
    pending_.clear();
}

HRESULT CCOMManager::CMainThread::PostEvent(uint32_t kind, CEventParams* params) {
    {
        CScopedLock guard(pendingLock_);
        if (stopped_) {
            delete params;
            return E_ABORT;
        }
        if (params) pending_.insert(params);
    }
    HRESULT hr = PostMessage(kind, reinterpret_cast<uintptr_t>(params));
    if (FAILED(hr)) delete TakePending(reinterpret_cast<uintptr_t>(params));
    return hr;
}

CCOMManager::CMainThread::CEventParams* CCOMManager::CMainThread::TakePending(uintptr_t param) {
    CEventParams* params = reinterpret_cast<CEventParams*>(param);
    if (!params) return nullptr;
    CScopedLock guard(pendingLock_);
    return pending_.erase(params) != 0 ? params : nullptr;
}

void CCOMManager::CMainThread::PostTextEvent(uint32_t kind, int key, const std::wstring& text) {
    CEventParams* params = new (std::nothrow) CEventParams;
    if (!params) return;
    params->SetText(key, text);
    PostEvent(kind, params);
}

void CCOMManager::CMainThread::PostIntEvent(uint32_t kind, int value) {
    CEventParams* params = new (std::nothrow) CEventParams;
    if (!params) return;
    params->SetInt(CEventParams::kIntKey, value);
    PostEvent(kind, params);
}

std::wstring CCOMManager::CMainThread::FreeSpaceText(const int32_t (&figures)[7]) {
    std::wostringstream text;
    for (size_t index = 0; index < 7; ++index) text << (index ? L"|" : L"") << figures[index];
    return text.str();
}

std::wstring CCOMManager::CMainThread::ProgressText(int phase, const std::wstring& name, int value, int32_t total) {
    std::wostringstream text;
    text << phase << L"|" << name << L"|" << value << L"|" << total;
    return text.str();
}

std::wstring CCOMManager::CMainThread::InvokeText(const InvokeDescription& d) {
    std::wostringstream text;
    text << d.field1 << L"|" << d.field2 << L"|" << d.field3 << L"|" << d.field4 << L"|" << d.field5 << L"|"
         << d.field6 << L"|" << d.field7 << L"|" << d.field8 << L"|" << Flag(d.flag9) << L"|" << Flag(d.flag10)
         << L"|" << d.field11 << L"|" << Flag(d.flag12);
    return text.str();
}

std::wstring CCOMManager::CMainThread::FileNumText(int32_t current, int32_t total) {
    std::wostringstream text;
    text << current << L"|" << total;
    return text.str();
}

void CCOMManager::CMainThread::PostUpdateFreeSpace(const int32_t (&figures)[7]) {
    PostTextEvent(kFreeSpace, CEventParams::kTextKey, FreeSpaceText(figures));
}

void CCOMManager::CMainThread::PostProgress(int phase, const std::wstring& name, int value, int32_t total) {
    PostTextEvent(kProgress, CEventParams::kTextKey, ProgressText(phase, name, value, total));
}

void CCOMManager::CMainThread::PostDeleteDialog(int state) { PostIntEvent(kDeleteDialog, state); }

void CCOMManager::CMainThread::PostInvoke(const InvokeDescription& description) {
    PostTextEvent(kInvoke, CEventParams::kTextKey, InvokeText(description));
}

void CCOMManager::CMainThread::PostUpdateFileNum(int32_t current, int32_t total) {
    PostTextEvent(kFileCount, CEventParams::kTextKey, FileNumText(current, total));
}

void CCOMManager::CMainThread::PostUpdateSyncFolder(const std::wstring& text) {
    PostTextEvent(kSyncFolder, CEventParams::kSyncFolderKey, text);
}

void CCOMManager::CMainThread::PostText(IAutomationEvents::Kind kind, const std::wstring& text) {
    PostTextEvent(kind, static_cast<uint32_t>(kind) == kSyncFolder ? CEventParams::kSyncFolderKey : CEventParams::kTextKey, text);
}

void CCOMManager::CMainThread::PostSyncDialog(int state) { PostIntEvent(kSyncDialog, state); }

void CCOMManager::CMainThread::PostSettingDialog(int state) { PostIntEvent(kSettingDialog, state); }

void CCOMManager::CMainThread::OnThreadStart() {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (hr == E_INVALIDARG) CoInitializeEx(nullptr, COINIT_MULTITHREADED);
}

void CCOMManager::CMainThread::OnThreadEnd() {
    keptListeners_.clear();
    CoUninitialize();
}

void CCOMManager::CMainThread::OnMessage(CThreadMessage* message) {
    CEventParams* params = TakePending(message->param);
    HandleMessage(message->id, params);
    delete params;
    message->param = 0;
}

void CCOMManager::CMainThread::HandleMessage(uint32_t kind, const CEventParams* params) {
    if (kind == kListenersChanged) {
        DropUnheldListeners();
        return;
    }
    if (kind == kSpaceRequest) {
        FireSpaceRequest();
        return;
    }
    if (kind >= kEventKindCount) return;
    CScopedVariant argument;
    switch (ArgumentOf(kind)) {
        case Argument::kText:
            if (!params) return;
            argument = CScopedVariant(params->GetText(CEventParams::kTextKey).c_str());
            break;
        case Argument::kSyncFolderText:
            if (!params) return;
            argument = CScopedVariant(params->GetText(CEventParams::kSyncFolderKey).c_str());
            break;
        case Argument::kInt:
            if (!params) return;
            argument = CScopedVariant(static_cast<LONG>(params->GetInt()));
            break;
        case Argument::kNone:
            break;
    }
    FireToLiveObjects(kind, argument.Type() == VT_EMPTY ? nullptr : &argument.Get());
}

void CCOMManager::CMainThread::FireToLiveObjects(uint32_t kind, const VARIANT* argument) {
    // The targets are collected under the locks and called after letting go: a client may call
    // the program back from inside its listener, and that call needs these locks.
    std::vector<DWORD> targets;
    {
        CScopedLock guard(CCOMManager::Lock());
        for (CTavrelQuillbayApp* object : CCOMManager::LiveObjects()) {
            const DWORD cookie = object->ListenerFor(kind);
            if (cookie != 0) targets.push_back(cookie);
        }
    }
    // A failed call (the client has gone, the script raised an error) changes nothing for the others.
    for (DWORD cookie : targets) FireListener(cookie, argument);
}

HRESULT CCOMManager::CMainThread::FireListener(DWORD cookie, const VARIANT* argument) {
    if (keptListeners_.find(cookie) == keptListeners_.end()) {
        CScopedComPtr<IDispatch> kept;
        HRESULT hr = CGitEntry::Fetch(cookie, IID_IDispatch, &kept);
        if (FAILED(hr)) return hr;
        keptListeners_.emplace(cookie, std::move(kept));
    }
    return CListenerSlot::CallMember(cookie, DISPID_VALUE, argument, argument ? 1 : 0);
}

void CCOMManager::CMainThread::FireSpaceRequest() {
    CScopedLock guard(CCOMManager::Lock());
    if (IListener* listener = CCOMManager::Listener()) listener->FireSpace();
}

void CCOMManager::CMainThread::DropUnheldListeners() {
    std::set<DWORD> held;
    {
        CScopedLock guard(CCOMManager::Lock());
        for (CTavrelQuillbayApp* object : CCOMManager::LiveObjects()) {
            for (DWORD cookie : object->ListenerCookies()) held.insert(cookie);
        }
    }
    for (auto kept = keptListeners_.begin(); kept != keptListeners_.end();) {
        kept = held.count(kept->first) ? std::next(kept) : keptListeners_.erase(kept);
    }
}
