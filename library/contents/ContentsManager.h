#pragma once
// The head of the content chain: turns drops, automation requests and sync-folder scans into
// contents, checks them and hands the accepted ones on. Requests are queued by the entry points
// and worked by the request worker; records made by the iTunes client are worked by the item
// worker; sync scans run on their own thread.

#include <windows.h>
#include <objidl.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "library/content/RunnableTNContentHandler.h"
#include "library/contents/ContentProbe.h"
#include "library/contents/ITunesLibraryClient.h"
#include "library/contents/MediaFileProbe.h"
#include "library/contents/QBCommonManagerBase.h"
#include "library/contents/SyncFolderSource.h"
#include "library/util/ScopedWin.h"

class CContentsManager : public CRunnableTNContentHandler {
public:
    struct Request {
        std::wstring value;
        int32_t kind = 0;
        int32_t parameter = 0;
    };

    class IListener {
    public:
        virtual ~IListener() = default;
        virtual void OnContentsProgress() = 0;
        virtual void OnPodcastCaution() = 0;
        // List kind 0 music, 2 video, 3 podcast.
        virtual void OnSyncFileAdded(int32_t listKind, std::wstring path) = 0;
        // 1 means go on with the conversion.
        virtual int32_t OnMovieCaution() = 0;
    };

    CContentsManager();
    ~CContentsManager() override;

    // Set by the coordinator before the managers start.
    void SetListener(IListener* listener) { listener_ = listener; }
    void SetCoordinator(CQBCommonManagerBase* coordinator) { coordinator_ = coordinator; }
    void SetFileTypeMasks(uint64_t first, uint64_t podcast) {
        fileTypeMask_ = first;
        podcastFileTypeMask_ = podcast;
    }
    void SetITunesClientFactory(ITunesLibraryClientFactory factory);
    void SetSyncFolderSource(ISyncFolderSource* source) { syncFolders_ = source; }
    // Where dropped feed lists are written; the per-user data folder unless set.
    void SetDataFolder(const std::wstring& folder) { dataFolder_ = folder; }
    // Answers about media files; the media probes unless set. Not owned.
    void SetContentProbe(IContentProbe* probe) { probe_ = probe ? probe : &fileProbe_; }
    // Whether the user agreed to movie conversions during this manager's life.
    bool MovieCautionFlag() const { return movieCaution_; }
    void SetMovieCautionFlag(bool agreed) { movieCaution_ = agreed; }

    // 0 only without a data object.
    int32_t HandleDrop(IDataObject* data);
    void AddTransferRequest(int32_t kind, const std::wstring& value, int32_t parameter);
    void StartFolderScan();
    // Opens or closes the scanning flag for a ScanFolder walk outside the scan thread.
    void SetScanningForWalk(bool on);
    void Reset() override;
    void AddContent(CTNContent* content) override;

    int32_t GetAnnouncedCount();
    void SetAnnouncedCount(int32_t count);

    std::vector<std::wstring> GetReportListA() { return lists_[0].Copy(); }
    std::vector<std::wstring> GetReportListB() { return lists_[1].Copy(); }
    std::vector<std::wstring> GetReportListC() { return lists_[2].Copy(); }
    std::vector<std::wstring> GetReportListD() { return lists_[3].Copy(); }
    std::vector<std::wstring> GetReportListE() { return lists_[4].Copy(); }
    void ClearReportListA() { lists_[0].Clear(); }
    void ClearReportListB() { lists_[1].Clear(); }
    void ClearReportListC() { lists_[2].Clear(); }
    void ClearReportListD() { lists_[3].Clear(); }
    void ClearReportListE() { lists_[4].Clear(); }

    // The iTunes client hands each record it makes here (on the request worker).
    void OnITunesItem(CTNContent* content);

    // Drops and scans (UI thread and scan thread).
    bool HandleFileDrop(IDataObject* data, int source, bool podcastMarker);
    bool HandleITunesDrop(IDataObject* data);
    bool HandleFeedDrop(IDataObject* data);
    bool ScanFolders(int scanKind);
    void ScanFolder(const std::wstring& folder, std::vector<std::wstring>* found, bool includeHidden,
                    std::vector<std::wstring>* previousSync, int scanKind);

    // Classifies the file by extension against what the player plays (the podcast-origin mask
    // when asked); sets the content's kind and media code. True when accepted.
    bool IsTransferableFile(bool podcastOrigin, const std::wstring& path, CTNContent* content);
    // Whether an accepted content can go as it is (or converted): 0 go on, 1 refuse.
    int32_t CheckMovieFormat(CTNContent* content, bool iTunesOrigin, bool podcast);

    // 0 a match for the scan kind, 1 a known type that does not match, 2 no known type.
    static int MatchSyncScan(const std::wstring& path, int scanKind);
    // Whether a dropped path's own attribute allows hidden entries; `previous` when unreadable.
    static bool IncludeHiddenFor(const std::wstring& path, bool previous);

protected:
    void ProcessContent(CTNContent* content) override;

    // Per-path and per-item checking: each content goes down the chain or is reported done.
    void ProcessPathRequest(Request request);
    void ProcessItemWithArtwork(CTNContent* item);

    enum ReportList { kListA = 0, kListB, kListC, kListD, kListE };
    // The item that ends an iTunes enumeration; it stands for no announced item.
    static constexpr uint32_t kEnumerationEnd = 9;
    void Record(ReportList list, const std::wstring& entry) { lists_[list].Append(entry); }
    void NotifyItemDone();
    void RaiseAnnounced(int32_t by);
    void ProgressChanged();
    bool IsScanning();
    std::wstring DataFolder() const;

    IListener* listener_ = nullptr;
    CQBCommonManagerBase* coordinator_ = nullptr;
    uint64_t fileTypeMask_ = 0;
    uint64_t podcastFileTypeMask_ = 0;

private:
    class CReportList {
    public:
        void Append(const std::wstring& entry);
        std::vector<std::wstring> Copy();
        void Clear();

    private:
        CCriticalSection lock_;
        std::vector<std::wstring> entries_;
    };

    struct Worker {
        HANDLE thread = nullptr;
        bool running = false;
        CCriticalSection runningLock;
        HANDLE idle = nullptr;
        HANDLE wake = nullptr;
        bool IsRunning();
    };

    static unsigned __stdcall RequestThreadEntry(void* self);
    static unsigned __stdcall ItemThreadEntry(void* self);
    static unsigned __stdcall ScanThreadEntry(void* self);
    void RequestThread();
    void ItemThread();
    void ScanThread();
    void StartWorker(Worker& worker, unsigned(__stdcall* entry)(void*));
    void StopWorker(Worker& worker);

    bool VideoCheck(CTNContent* content, uint64_t mask);
    int32_t CheckPicture(CTNContent* content);
    int32_t CheckAudio(CTNContent* content, int filter);
    int32_t CheckVideo(CTNContent* content, int filter);
    int32_t DecideConversion(CTNContent* content, int32_t result);
    // 1 yes, anything else no; without a listener the caller decides.
    int32_t AskMovieCaution() { return listener_ ? listener_->OnMovieCaution() : 0; }
    void ProcessFeedContent(CTNContent* content, const std::wstring& path);
    void RefuseContent(CTNContent* content, ReportList list, const std::wstring& entry);
    void ReportSyncFile(const CTNContent* content);
    // Artist (unless left out), album and file name, each made safe; from the file's tags or the record.
    std::wstring MusicRelativePath(const CTNContent* content, bool withArtist, bool fromTags);

    void QueueRequest(const Request& request);
    void WakeRequestWorker() { SetEvent(requestWorker_.wake); }
    size_t QueuedRequestCount();
    void Dispatch(const Request& request);
    void DispatchITunes(const Request& request);
    void ParkPending(const Request& request);
    void ClearPending();
    void DeleteQueuedItems();
    bool EnsureClient();
    // Counts the records handed on during one client call (the item sink); with endsWithMarker the
    // call's empty kind-11 record is its end marker.
    IITunesLibraryClient::ItemSink CountingSink(int32_t* handedOn, bool endsWithMarker);
    void NotifyItemsDone(int32_t count);
    bool ChainIdle();

    ITunesLibraryClientFactory clientFactory_;
    ISyncFolderSource* syncFolders_ = nullptr;
    std::wstring dataFolder_;
    CMediaFileProbe fileProbe_;
    IContentProbe* probe_ = &fileProbe_;
    std::atomic<bool> movieCaution_{false};
    std::atomic<bool> podcastCaution_{false};

    std::deque<Request> requests_;
    CCriticalSection requestLock_;
    std::vector<Request> pending_;
    CCriticalSection pendingLock_;
    std::deque<CTNContent*> items_;
    CCriticalSection itemLock_;
    std::unique_ptr<IITunesLibraryClient> client_;
    // The client for Cancel, read without the client lock; the client lives until destruction.
    std::atomic<IITunesLibraryClient*> clientForCancel_{nullptr};
    CCriticalSection clientLock_;
    std::wstring iTunesListName_;
    std::wstring currentITunesObject_;
    int32_t announced_ = 0;
    CCriticalSection countLock_;
    // Podcasts announced by the last iTunes podcast drop, accounted for by its kind-6 request.
    std::atomic<int32_t> announcedPodcasts_{0};
    bool podcastCountTaken_ = false;

    Worker requestWorker_;
    Worker itemWorker_;
    HANDLE scanThread_ = nullptr;
    bool scanning_ = false;
    CCriticalSection scanLock_;

    CReportList lists_[5];
    uint32_t joinTimeout_ = 3000;
};
