#include "library/contents/ContentsManager.h"

#include <objbase.h>
#include <process.h>

#include "library/contents/UiThreadWait.h"
#include "library/util/DataFolders.h"

void CContentsManager::CReportList::Append(const std::wstring& entry) {
    CScopedLock lock(lock_);
    entries_.push_back(entry);
}

std::vector<std::wstring> CContentsManager::CReportList::Copy() {
    CScopedLock lock(lock_);
    return entries_;
}

void CContentsManager::CReportList::Clear() {
    CScopedLock lock(lock_);
    entries_.clear();
}

bool CContentsManager::Worker::IsRunning() {
    CScopedLock lock(runningLock);
    return running;
}

CContentsManager::CContentsManager() {
    StartWorker(requestWorker_, &CContentsManager::RequestThreadEntry);
    StartWorker(itemWorker_, &CContentsManager::ItemThreadEntry);
}

void CContentsManager::StartWorker(Worker& worker, unsigned(__stdcall* entry)(void*)) {
    worker.idle = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    worker.wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        CScopedLock lock(worker.runningLock);
        worker.running = true;
    }
    if (!worker.idle || !worker.wake) {
        CScopedLock lock(worker.runningLock);
        worker.running = false;
        return;
    }
    const uintptr_t thread = _beginthreadex(nullptr, 0, entry, this, 0, nullptr);
    if (!thread) {
        CScopedLock lock(worker.runningLock);
        worker.running = false;
        return;
    }
    worker.thread = reinterpret_cast<HANDLE>(thread);
}

void CContentsManager::StopWorker(Worker& worker) {
    {
        CScopedLock lock(worker.runningLock);
        worker.running = false;
    }
    if (worker.wake) SetEvent(worker.wake);
    if (worker.thread) {
        WaitForSingleObject(worker.thread, joinTimeout_);
        CloseHandle(worker.thread);
        worker.thread = nullptr;
    }
}

CContentsManager::~CContentsManager() {
    ClearReportListA();
    ClearReportListD();
    {
        CScopedLock lock(scanLock_);
        scanning_ = false;
    }
    if (scanThread_) {
        WaitPumpingSentMessages(scanThread_);
        CloseHandle(scanThread_);
        scanThread_ = nullptr;
    }
    if (IITunesLibraryClient* client = clientForCancel_.load()) client->Cancel();
    StopWorker(requestWorker_);
    StopWorker(itemWorker_);
    DeleteQueuedItems();
    {
        CScopedLock lock(clientLock_);
        clientForCancel_.store(nullptr);
        if (client_) client_->Release();
        client_.reset();
    }
    for (Worker* worker : {&requestWorker_, &itemWorker_}) {
        if (worker->idle) CloseHandle(worker->idle);
        if (worker->wake) CloseHandle(worker->wake);
    }
}

void CContentsManager::SetITunesClientFactory(ITunesLibraryClientFactory factory) {
    CScopedLock lock(clientLock_);
    clientFactory_ = std::move(factory);
}

std::wstring CContentsManager::DataFolder() const {
    return dataFolder_.empty() ? GetUserDataFolder() : dataFolder_;
}

void CContentsManager::AddContent(CTNContent* content) { CTNContentHandler::AddContent(content); }

void CContentsManager::ProcessContent(CTNContent*) {
    IsAccepting();
    ForwardCurrent();
}

int32_t CContentsManager::GetAnnouncedCount() {
    CScopedLock lock(countLock_);
    return announced_;
}

void CContentsManager::SetAnnouncedCount(int32_t count) {
    CScopedLock lock(countLock_);
    announced_ = count;
}

void CContentsManager::RaiseAnnounced(int32_t by) {
    CScopedLock lock(countLock_);
    announced_ += by;
}

void CContentsManager::ProgressChanged() {
    if (listener_) listener_->OnContentsProgress();
}

void CContentsManager::NotifyItemDone() {
    if (coordinator_) coordinator_->NotifyItemDone();
}

void CContentsManager::NotifyItemsDone(int32_t count) {
    // A cancelled run's count is zeroed by the coordinator; late reports would spill into the next.
    if (!IsAccepting()) return;
    for (int32_t i = 0; i < count; ++i) NotifyItemDone();
}

bool CContentsManager::ChainIdle() { return coordinator_ && !coordinator_->IsBusy(); }

bool CContentsManager::IsScanning() {
    CScopedLock lock(scanLock_);
    return scanning_;
}

void CContentsManager::QueueRequest(const Request& request) {
    CScopedLock lock(requestLock_);
    requests_.push_back(request);
}

size_t CContentsManager::QueuedRequestCount() {
    CScopedLock lock(requestLock_);
    return requests_.size();
}

void CContentsManager::ParkPending(const Request& request) {
    CScopedLock lock(pendingLock_);
    pending_.push_back(request);
}

void CContentsManager::ClearPending() {
    CScopedLock lock(pendingLock_);
    pending_.clear();
}

void CContentsManager::DeleteQueuedItems() {
    std::deque<CTNContent*> items;
    {
        CScopedLock lock(itemLock_);
        items.swap(items_);
    }
    for (CTNContent* item : items) delete item;
}

bool CContentsManager::EnsureClient() {
    if (client_) return true;
    if (!clientFactory_) return false;
    client_ = clientFactory_(GetUserDataFolder());
    clientForCancel_.store(client_.get());
    return client_ != nullptr;
}

void CContentsManager::OnITunesItem(CTNContent* content) {
    if (!content) return;
    if (!IsAccepting()) {
        // Ownership came with the record: a cancelled run must not leak it.
        delete content;
        return;
    }
    {
        CScopedLock lock(itemLock_);
        items_.push_back(content);
    }
    SetEvent(itemWorker_.wake);
}

IITunesLibraryClient::ItemSink CContentsManager::CountingSink(int32_t* handedOn, bool endsWithMarker) {
    return [this, handedOn, endsWithMarker](CTNContent* content) {
        if (!content) return;
        // The empty kind-11 record that ends an enumeration or the podcast step stands for no
        // announced item: as the end of the enumeration (kind 9) it asks for the end-of-run check
        // instead of being counted done, which would finish more items than were announced.
        // Kind-11 records of a named selection's read stand for announced tracks and count.
        if (endsWithMarker && content->kind == CTNContent::kITunesTrack) {
            content->kind = kEnumerationEnd;
        } else if (content->kind != kEnumerationEnd) {
            ++*handedOn;
        }
        OnITunesItem(content);
    };
}

void CContentsManager::AddTransferRequest(int32_t kind, const std::wstring& value, int32_t parameter) {
    Request request{value, kind, parameter};
    switch (kind) {
    case 3:
    case 8:
        RaiseAnnounced(1);
        ProgressChanged();
        break;
    case 5:
        if (!podcastCountTaken_) {
            podcastCountTaken_ = true;
            CScopedLock lock(clientLock_);
            if (!EnsureClient()) return;
            if (client_->Connect()) {
                const int32_t podcasts = client_->CountPodcasts();
                RaiseAnnounced(podcasts);
                announcedPodcasts_ = podcasts;
                client_->Release();
            }
            ProgressChanged();
        }
        RaiseAnnounced(1);
        ProgressChanged();
        break;
    case 6:
        podcastCountTaken_ = false;
        request.value.clear();
        break;
    case 7: {
        int32_t tracks = 0;
        {
            CScopedLock lock(clientLock_);
            if (!EnsureClient()) return;
            if (client_->Connect()) {
                tracks = client_->CountTracks(request.value);
                if (tracks == 0 && request.value.size() > 2) {
                    tracks = client_->CountTracks(request.value.substr(2));
                    if (tracks > 0) request.value.erase(0, 2);
                }
                client_->Release();
            }
        }
        if (tracks <= 0) {
            if (ChainIdle()) coordinator_->NotifyEnd();
            return;
        }
        RaiseAnnounced(tracks);
        ProgressChanged();
        request.parameter = tracks;
        break;
    }
    case 2:
        RaiseAnnounced(parameter);
        ProgressChanged();
        return;
    default:
        break;
    }
    QueueRequest(request);
    WakeRequestWorker();
}

unsigned __stdcall CContentsManager::RequestThreadEntry(void* self) {
    static_cast<CContentsManager*>(self)->RequestThread();
    return 0;
}

unsigned __stdcall CContentsManager::ItemThreadEntry(void* self) {
    static_cast<CContentsManager*>(self)->ItemThread();
    return 0;
}

void CContentsManager::RequestThread() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ResetEvent(requestWorker_.wake);
    ClearPending();
    while (requestWorker_.IsRunning()) {
        if (QueuedRequestCount() == 0) {
            SetEvent(requestWorker_.idle);
            ResetEvent(requestWorker_.wake);
            // A producer may have queued between the count and the reset.
            if (QueuedRequestCount() == 0) WaitForSingleObject(requestWorker_.wake, INFINITE);
            continue;
        }
        ResetEvent(requestWorker_.idle);
        if (!IsAccepting()) {
            {
                CScopedLock lock(requestLock_);
                requests_.clear();
            }
            ClearPending();
            continue;
        }
        Request request;
        {
            CScopedLock lock(requestLock_);
            if (requests_.empty()) continue;
            request = std::move(requests_.front());
            requests_.pop_front();
        }
        Dispatch(request);
    }
    {
        CScopedLock lock(requestWorker_.runningLock);
        requestWorker_.running = false;
    }
    SetEvent(requestWorker_.idle);
    if (SUCCEEDED(com)) CoUninitialize();
}

void CContentsManager::Dispatch(const Request& request) {
    switch (request.kind) {
    case 13:
        iTunesListName_ = request.value;
        return;
    case 1:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 14:
        // The prefix length comes from a script or a drop; one past the path would cut nothing
        // sensible, so the item is refused instead of being worked.
        if (request.parameter < 0 || size_t(request.parameter) > request.value.size()) {
            Record(kListA, request.value);
            NotifyItemDone();
            return;
        }
        ProcessPathRequest(request);
        return;
    default:
        DispatchITunes(request);
        return;
    }
}

void CContentsManager::DispatchITunes(const Request& request) {
    CScopedLock lock(clientLock_);
    const bool connected = EnsureClient() && client_->Connect();
    if (!connected) {
        // The items announced for the request leave the run here.
        switch (request.kind) {
        case 3:
        case 5:
            NotifyItemDone();
            break;
        case 4: {
            int32_t parked = 0;
            {
                CScopedLock pendingLock(pendingLock_);
                for (const Request& item : pending_) parked += item.kind == 3 ? 1 : 0;
                pending_.clear();
            }
            iTunesListName_.clear();
            NotifyItemsDone(parked);
            break;
        }
        case 6:
            NotifyItemsDone(announcedPodcasts_);
            announcedPodcasts_ = 0;
            break;
        case 7:
            Record(kListD, request.value);
            NotifyItemsDone(request.parameter);
            break;
        default:
            break;
        }
        return;
    }
    int32_t handedOn = 0;
    switch (request.kind) {
    case 4: {
        std::vector<std::wstring> wanted;
        int32_t parked = 0;
        {
            CScopedLock pendingLock(pendingLock_);
            for (const Request& item : pending_) {
                wanted.push_back(item.value);
                parked += item.kind == 3 ? 1 : 0;
            }
            pending_.clear();
        }
        client_->Enumerate(wanted, CountingSink(&handedOn, true), iTunesListName_);
        iTunesListName_.clear();
        // Wanted paths that iTunes did not hand on never travel down the chain.
        if (parked > handedOn) NotifyItemsDone(parked - handedOn);
        break;
    }
    case 5:
        ProcessPathRequest(request);
        break;
    case 6:
        client_->ReadPodcasts(request.parameter, CountingSink(&handedOn, true));
        if (announcedPodcasts_ > handedOn) NotifyItemsDone(announcedPodcasts_ - handedOn);
        announcedPodcasts_ = 0;
        break;
    case 7: {
        currentITunesObject_ = request.value;
        const bool read = client_->ReadTracks(request.value, CountingSink(&handedOn, false));
        if (!read) Record(kListD, request.value);
        if (request.parameter > handedOn) NotifyItemsDone(request.parameter - handedOn);
        break;
    }
    default:
        ParkPending(request);
        break;
    }
    client_->Release();
}

void CContentsManager::ItemThread() {
    // Records queued before this thread ran are live work of a run that has started: deleting
    // them here would lose them without an account, and the run would never end.
    ResetEvent(itemWorker_.wake);
    while (itemWorker_.IsRunning()) {
        CTNContent* item = nullptr;
        {
            CScopedLock lock(itemLock_);
            if (!items_.empty()) {
                item = items_.front();
                items_.pop_front();
            }
        }
        if (!item) {
            SetEvent(itemWorker_.idle);
            ResetEvent(itemWorker_.wake);
            bool empty;
            {
                CScopedLock lock(itemLock_);
                empty = items_.empty();
            }
            if (empty) WaitForSingleObject(itemWorker_.wake, INFINITE);
            continue;
        }
        ResetEvent(itemWorker_.idle);
        if (!IsAccepting()) {
            delete item;
            DeleteQueuedItems();
            continue;
        }
        ProcessItemWithArtwork(item);
    }
    SetEvent(itemWorker_.idle);
}

void CContentsManager::Reset() {
    {
        CScopedLock lock(scanLock_);
        scanning_ = false;
    }
    if (scanThread_) {
        WaitPumpingSentMessages(scanThread_);
        CloseHandle(scanThread_);
        scanThread_ = nullptr;
    }
    {
        CScopedLock lock(requestLock_);
        requests_.clear();
    }
    // The client guards its cancel flag itself; taking the client lock here would wait for
    // the enumeration this cancel is meant to end.
    if (IITunesLibraryClient* client = clientForCancel_.load()) client->Cancel();
    ClearPending();
    DeleteQueuedItems();
    // Workers may be inside SendMessageW to this (UI) thread: keep answering while waiting.
    if (requestWorker_.thread) WaitPumpingSentMessages(requestWorker_.idle);
    if (itemWorker_.thread) WaitPumpingSentMessages(itemWorker_.idle);
    CRunnableTNContentHandler::Reset();
}
