#pragma once
// The thread that calls automation clients back. Whoever has news posts an event (a kind and an
// optional record) and returns at once; this thread calls the matching listener of every live App
// object, one event at a time, in posting order, from a COM apartment of its own.

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "app/coordinator/AutomationEvents.h"
#include "app/main/COMManager.h"
#include "library/content/ThreadBase.h"
#include "library/util/ScopedCom.h"

class CCOMManager::CMainThread : public CThreadBase, public IAutomationEvents {
public:
    enum EventKind : uint32_t {
        kFreeSpace = 0,
        kProgress = 1,
        kDeleteDialog = 2,
        kInvoke = 3,
        kTransferError = 4,
        kStart = 5,
        kEnd = 6,
        kFileCount = 7,
        kSyncFolder = 8,
        kSyncDialog = 9,
        kSettingDialog = 10,
        kSpaceRequest = 11,
        kEventKindCount = 12,
    };

    class CEventParams;

    // The twelve fields of a device description, in their order on the wire.
    struct InvokeDescription {
        int field1 = 0;
        std::wstring field2;
        std::wstring field3;
        int field4 = 0;
        std::wstring field5;
        std::wstring field6;
        std::wstring field7;
        std::wstring field8;
        bool flag9 = false;
        bool flag10 = false;
        int field11 = 0;
        bool flag12 = false;
    };

    CMainThread() = default;
    ~CMainThread() override;

    // 0 when running (also when it was already); -1 when the thread could not be started.
    int Start();
    // Drops the events still queued without calling anyone and ends the thread.
    void Stop();

    // Takes the record (null for the kinds without one); an event posted after Stop is dropped.
    HRESULT PostEvent(uint32_t kind, CEventParams* params);

    void PostUpdateFreeSpace(const int32_t (&figures)[7]);
    void PostProgress(int phase, const std::wstring& name, int value, int32_t total);
    void PostDeleteDialog(int state);
    void PostInvoke(const InvokeDescription& description);
    void PostTransferError() { PostEvent(kTransferError, nullptr); }
    void PostStart() { PostEvent(kStart, nullptr); }
    void PostEnd() { PostEvent(kEnd, nullptr); }
    void PostUpdateFileNum(int32_t current, int32_t total);
    void PostUpdateSyncFolder(const std::wstring& text);
    void PostSyncDialog(int state);
    void PostSettingDialog(int state);
    void PostSpaceRequest() { PostEvent(kSpaceRequest, nullptr); }
    // The coordinator's view of the thread.
    void Post(IAutomationEvents::Kind kind) override { PostEvent(kind, nullptr); }
    void PostText(IAutomationEvents::Kind kind, const std::wstring& text) override;
    void PostInt(IAutomationEvents::Kind kind, int32_t value) override { PostIntEvent(kind, value); }
    void PublishEntryPoint(ICOMManagerListener* entryPoint) override { CCOMManager::SetListener(entryPoint); }

    // A listener was put or an object went: the thread lets go of the connections it kept to
    // listeners nobody holds any more.
    void PostListenersChanged() { PostEvent(kListenersChanged, nullptr); }

    // The texts the posting operations send (integers in decimal, fields joined by "|").
    static std::wstring FreeSpaceText(const int32_t (&figures)[7]);
    static std::wstring ProgressText(int phase, const std::wstring& name, int value, int32_t total);
    static std::wstring InvokeText(const InvokeDescription& description);
    static std::wstring FileNumText(int32_t current, int32_t total);

protected:
    void OnMessage(CThreadMessage* message) override;
    void OnThreadStart() override;
    void OnThreadEnd() override;

private:
    static const uint32_t kListenersChanged = 0x100;

    void HandleMessage(uint32_t kind, const CEventParams* params);
    void FireToLiveObjects(uint32_t kind, const VARIANT* argument);
    void FireSpaceRequest();
    void DropUnheldListeners();
    HRESULT FireListener(DWORD cookie, const VARIANT* argument);
    void PostTextEvent(uint32_t kind, int key, const std::wstring& text);
    void PostIntEvent(uint32_t kind, int value);
    CEventParams* TakePending(uintptr_t param);

    bool started_ = false;
    bool stopped_ = false;
    // Records posted and not yet handled: Stop deletes those the thread never took.
    CCriticalSection pendingLock_;
    std::set<CEventParams*> pending_;
    // Event thread only: one pointer per listener called, so that each event's fresh pointer
    // reuses this apartment's connection to the client instead of setting up a new one.
    std::map<DWORD, CScopedComPtr<IDispatch>> keptListeners_;
};

class CCOMManager::CMainThread::CEventParams {
public:
    static const int kIntKey = 17;
    static const int kTextKey = 29;
    static const int kSyncFolderKey = 23;

    void SetInt(int key, int value) { ints_[key] = value; }
    void SetText(int key, const std::wstring& text) { texts_[key] = text; }
    // The integer under kIntKey, 0 when absent.
    int GetInt() const;
    std::wstring GetText(int key, const std::wstring& fallback = std::wstring()) const;
    bool HasInt() const { return ints_.count(kIntKey) != 0; }
    bool HasText(int key) const { return texts_.count(key) != 0; }

private:
    std::map<int, int> ints_;
    std::map<int, std::wstring> texts_;
};
