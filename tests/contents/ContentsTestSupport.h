#pragma once
// Scripted neighbours of the contents manager: a data object, a coordinator, an iTunes client,
// a sync-folder source and the end of the chain.

#include <windows.h>
#include <objidl.h>

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "library/content/TNContent.h"
#include "library/content/TNContentHandler.h"
#include "library/contents/ContentsManager.h"

// A data object holding HGLOBAL blocks by clipboard format.
class CTestDataObject : public IDataObject {
public:
    CTestDataObject() = default;
    virtual ~CTestDataObject() = default;

    void SetBytes(CLIPFORMAT format, const void* bytes, size_t size);
    void SetBytes(const wchar_t* formatName, const void* bytes, size_t size);
    void SetText(const std::wstring& text);
    void SetFiles(const std::vector<std::wstring>& paths);
    void SetMarker(const wchar_t* formatName) { SetBytes(formatName, "", 1); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::map<CLIPFORMAT, std::string> blocks_;
    ULONG refs_ = 1;
};

class CScriptedCoordinator : public CQBCommonManagerBase {
public:
    void UpdateProgress(int32_t value) override { progressResets += value == 0; }
    void NotifyItemDone() override;
    void CheckTransferFinished() override { ++finishedChecks; }
    void NotifyEnd() override { ++ends; }
    void GetSyncFileList(int kind, std::vector<std::wstring>* list) override;
    void SetFrameBusy(int32_t) override { ++frameBusy; }
    bool DeviceRequest(CTNContent* content, std::wstring* existingPath) override;
    bool IsBusy() override { return busy; }
    bool GetSyncSwitch(int) override { return true; }
    bool FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>&, const std::wstring&, int,
                                int, int) override {
        return false;
    }
    bool FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>&, const std::wstring&,
                                   int, int) override {
        return false;
    }
    int32_t GetFrameLayout(const std::wstring&, int32_t*, int32_t*) override { return 0; }

    std::atomic<int> itemsDone{0};
    std::atomic<int> progressResets{0};
    std::atomic<int> finishedChecks{0};
    std::atomic<int> ends{0};
    std::atomic<int> frameBusy{0};
    std::atomic<bool> busy{false};
    std::vector<std::wstring> previousSync;
    std::set<std::wstring> onPlayer;
    // Called by DeviceRequest on the request worker (for a SendMessageW to the test thread).
    std::function<void()> onDeviceRequest;
};

// An iTunes library whose tracks are paths; Enumerate hands on a record for each wanted path
// that the library holds, and may block until cancelled.
class CScriptedITunesClient : public IITunesLibraryClient {
public:
    CScriptedITunesClient();
    ~CScriptedITunesClient() override;

    bool Connect() override { return connects; }
    void Release() override {}
    bool Enumerate(const std::vector<std::wstring>& wanted, const ItemSink& sink,
                   const std::wstring& searchName) override;
    int32_t CountTracks(const std::wstring& name) override;
    bool ReadTracks(const std::wstring& name, const ItemSink& sink) override;
    int32_t CountPodcasts() override { return 0; }
    bool ReadPodcasts(int32_t, const ItemSink&) override { return true; }
    void Cancel() override { SetEvent(cancel_); }

    bool connects = true;
    bool blockInEnumerate = false;
    std::set<std::wstring> library;
    std::map<std::wstring, int32_t> selections;
    // Tracks a selection really yields (fewer than counted for an unreadable one).
    std::map<std::wstring, int32_t> readable;
    std::vector<std::wstring> enumeratedNames;
    std::vector<std::vector<std::wstring>> enumeratedPaths;
    HANDLE enteredEnumerate;

private:
    HANDLE cancel_;
};

class CScriptedSyncFolders : public ISyncFolderSource {
public:
    std::vector<std::wstring> GetSyncFolders(int kind) override { return kind == 0 ? music : std::vector<std::wstring>(); }
    std::vector<std::wstring> music;
};

// The end of the chain: keeps a copy of what arrives and deletes the contents.
class CContentSink : public CTNContentHandler {
public:
    struct Arrival {
        std::wstring sourcePath;
        std::wstring relativePath;
        uint8_t replaceExisting;
        uint8_t deleteSource;
        uint32_t syncKind;
        uint32_t kind;
        uint32_t fileType;
        uint8_t originFlag;
        std::wstring lookupId;
        std::wstring deviceObjectId;
        std::wstring companionSourcePath;
        std::wstring companionRelativePath;
    };
    void PostContent(CTNContent* content) override;
    std::vector<Arrival> Arrivals();
    size_t Count();

private:
    CCriticalSection lock_;
    std::vector<Arrival> arrivals_;
};

// A manager wired to scripted neighbours and started, as the coordinator does.
struct ContentsFixture {
    ContentsFixture();
    ~ContentsFixture();
    // True once every announced item reached the sink or was reported done.
    bool WaitAccounted(DWORD timeoutMs = 20000);
    // For work announced on a worker: until then the books balance at zero and prove nothing.
    bool WaitAnnouncedAndAccounted(int32_t expectedAnnounced, DWORD timeoutMs = 20000);

    CScriptedCoordinator coordinator;
    CScriptedITunesClient* client = nullptr;  // owned by the manager once it asked for it
    bool clientHandedOver = false;
    CScriptedSyncFolders folders;
    CContentSink sink;
    CContentsManager manager;
};

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// A fresh folder under the temporary folder; removed with everything below by RemoveTree.
std::wstring MakeTempFolder(const wchar_t* name);
void RemoveTree(const std::wstring& folder);
bool WriteEmptyFile(const std::wstring& path);
