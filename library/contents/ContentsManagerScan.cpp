// Sync-folder scans on their own thread.
#include <process.h>

#include <algorithm>

#include "library/contents/ContentsManager.h"
#include "library/media/decode/Mp4TrackProbe.h"
#include "library/util/FileSystem.h"
#include "library/util/FileTypes.h"
#include "library/util/Settings.h"

namespace {

// As deep as the drop walk goes; a loop that the file system does not mark as a link (a Unix
// symbolic link under Wine, some network shares) ends here.
constexpr size_t kMaxScanDepth = 64;

bool IsAudioExtension(const wchar_t* path) {
    return IsMp3File(path) || IsWmaFile(path) || IsM4aFile(path) || IsWavFile(path) || IsZelFile(path) ||
           IsZq3File(path);
}

bool IsVideoExtension(const wchar_t* path) {
    return IsWmvFile(path) || IsM4vFile(path) || IsMpgFile(path) || IsMovFile(path) || IsAviFile(path) ||
           IsFlvFile(path) || IsRmFile(path) || IsQtFile(path) || IsDivxFile(path) || IsXvidFile(path) ||
           IsM2tsFile(path) || IsM2tFile(path) || IsMtsFile(path) || IsMpegFile(path) || IsMpeFile(path) ||
           IsM2vFile(path) || IsMpv2File(path) || IsMp2vFile(path);
}

bool IsPictureExtension(const wchar_t* path) {
    return IsJpgFile(path) || IsJpegFile(path) || IsJpeFile(path);
}

// Removes the first equal entry; true when there was one.
bool Strike(std::vector<std::wstring>* list, const std::wstring& path) {
    const auto found = std::find(list->begin(), list->end(), path);
    if (found == list->end()) return false;
    list->erase(found);
    return true;
}

}  // namespace

int CContentsManager::MatchSyncScan(const std::wstring& path, int scanKind) {
    const wchar_t* name = path.c_str();
    bool audio = IsAudioExtension(name);
    bool video = IsVideoExtension(name);
    if (Is3gpFile(name) || IsMp4File(name)) {
        const int32_t hasVideo = HasVideoTrack(path);
        audio = hasVideo == 0;
        video = hasVideo == 1;
        // A file the probe cannot read is still of a known type.
        if (hasVideo < 0) return 1;
    }
    if (audio) return scanKind == 0 || scanKind == 3 ? 0 : 1;
    if (video) return scanKind == 2 || scanKind == 3 ? 0 : 1;
    if (IsPictureExtension(name)) return scanKind == 1 ? 0 : 1;
    return 2;
}

void CContentsManager::StartFolderScan() {
    CScopedLock lock(scanLock_);
    if (scanThread_) {
        // A finished earlier scan: its handle is closed before the next starts.
        if (WaitForSingleObject(scanThread_, 0) != WAIT_OBJECT_0) return;
        CloseHandle(scanThread_);
        scanThread_ = nullptr;
    }
    scanning_ = true;
    const uintptr_t thread = _beginthreadex(nullptr, 0, &CContentsManager::ScanThreadEntry, this, 0, nullptr);
    if (!thread) {
        scanning_ = false;
        return;
    }
    scanThread_ = reinterpret_cast<HANDLE>(thread);
}

void CContentsManager::SetScanningForWalk(bool on) {
    CScopedLock lock(scanLock_);
    scanning_ = on;
}

unsigned __stdcall CContentsManager::ScanThreadEntry(void* self) {
    static_cast<CContentsManager*>(self)->ScanThread();
    return 0;
}

void CContentsManager::ScanThread() {
    bool queued = ScanFolders(0);
    queued = ScanFolders(2) || queued;
    queued = ScanFolders(3) || queued;
    if (!IsScanning()) return;
    if (!queued && ChainIdle()) {
        coordinator_->NotifyEnd();
        coordinator_->UpdateProgress(0);
        coordinator_->CheckTransferFinished();
    }
    if (coordinator_) coordinator_->SetFrameBusy(1);
}

bool CContentsManager::ScanFolders(int scanKind) {
    if (!IsScanning() || !ReadSyncEnabled(scanKind) || !coordinator_) return false;
    const std::vector<std::wstring> folders =
        syncFolders_ ? syncFolders_->GetSyncFolders(scanKind) : std::vector<std::wstring>();
    std::vector<std::wstring> previousSync;
    coordinator_->GetSyncFileList(scanKind, &previousSync);
    const int32_t requestKind = scanKind == 2 ? 11 : scanKind == 3 ? 12 : 10;

    bool queued = false;
    bool includeHidden = true;
    std::vector<std::wstring> found;
    for (const std::wstring& listed : folders) {
        if (!IsScanning()) break;
        if (!PathExists(listed)) {
            Record(kListE, listed);
            continue;
        }
        found.clear();
        includeHidden = IncludeHiddenFor(listed, includeHidden);
        std::wstring folder = listed;
        if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        ScanFolder(folder, &found, includeHidden, &previousSync, scanKind);
        RaiseAnnounced(int32_t(found.size()));
        ProgressChanged();
        const int32_t prefix = int32_t(folder.size() + 1);
        for (size_t i = 0; i < found.size() && IsScanning(); ++i) {
            QueueRequest(Request{found[i], requestKind, prefix});
            WakeRequestWorker();
            queued = true;
        }
    }
    return queued;
}

void CContentsManager::ScanFolder(const std::wstring& folder, std::vector<std::wstring>* found, bool includeHidden,
                                  std::vector<std::wstring>* previousSync, int scanKind) {
    const int32_t category = scanKind == 2 ? 2 : scanKind == 3 ? 3 : 1;
    // Walked with an explicit stack: a deep tree cannot exhaust the scan thread's stack.
    std::vector<std::pair<std::wstring, size_t>> folders{{folder, 0}};
    while (!folders.empty() && IsScanning()) {
        const std::wstring current = std::move(folders.back().first);
        const size_t depth = folders.back().second;
        folders.pop_back();
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileExW(AddLongPathPrefix(current + L"\\*.*").c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) continue;
        std::vector<std::pair<std::wstring, size_t>> below;
        do {
            if (!IsScanning()) break;
            const wchar_t* name = entry.cFileName;
            if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
            if (!includeHidden && (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
            std::wstring path = current + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A junction or link back up the tree would be walked forever.
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && depth < kMaxScanDepth) {
                    below.emplace_back(std::move(path), depth + 1);
                }
                continue;
            }
            const int match = MatchSyncScan(path, scanKind);
            const bool wasSynced = Strike(previousSync, path);
            if (match == 0) {
                if (!wasSynced) found->push_back(std::move(path));
                continue;
            }
            if (wasSynced) continue;
            if (match == 2) Record(kListA, path);
            if (listener_) listener_->OnSyncFileAdded(category == 2 ? 2 : category == 3 ? 3 : 0, path);
        } while (FindNextFileW(find, &entry));
        FindClose(find);
        // Keep the file system's order: the first subfolder is walked next.
        folders.insert(folders.end(), below.rbegin(), below.rend());
    }
}
