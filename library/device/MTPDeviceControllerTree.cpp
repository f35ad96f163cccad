// Measuring and walking the player's folders, and the car-audio folder kept on it.

#include "library/content/TNContent.h"
#include "library/util/DestinationName.h"
#include "library/device/MTPDeviceController.h"
#include "library/device/QBTreeNode.h"
#include "library/device/WpdContentAccess.h"
#include "library/util/FileSystem.h"
#include "platform/wpd/PortableDevice.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <random>

namespace {

const int kMaxTreeDepth = 64;
const wchar_t kCarAudioFolder[] = L"Tavrel_Automotive";
const wchar_t kChannelFolder[] = L"HVC";
const wchar_t kMoodFolder[] = L"HVM";
const wchar_t kCacheFolder[] = L"HVX_Cache";
const wchar_t kPlaylistFolderName[] = L"Playlists";
const DWORD kKindCarAudioMarker = 12;

bool DigitsThen(const std::wstring& name, size_t at, size_t digits, const wchar_t* tail) {
    if (name.size() != at + digits + wcslen(tail)) return false;
    for (size_t i = at; i < at + digits; ++i) {
        if (name[i] < L'0' || name[i] > L'9') return false;
    }
    return name.compare(at + digits, std::wstring::npos, tail) == 0;
}

// Channel playlists "CID000.ZEP" to "CID999.ZEP" in HVC; "MOOD.ZEP" and the tables "MOOD00.dat"
// to "MOOD99.dat" in HVM.
bool IsCarAudioFile(const std::wstring& folder, const std::wstring& name) {
    if (folder == kChannelFolder) return name.compare(0, 3, L"CID") == 0 && DigitsThen(name, 3, 3, L".ZEP");
    if (folder == kMoodFolder) {
        return name == L"MOOD.ZEP" || (name.compare(0, 4, L"MOOD") == 0 && DigitsThen(name, 4, 2, L".dat"));
    }
    return false;
}

// The folders of a local path up to its last backslash.
void MakeLocalFolders(const std::wstring& path) { CreateFolderTree(path.substr(0, path.rfind(L'\\'))); }

}  // namespace

uint64_t CMTPDeviceController::MeasureSize(CWpdContentAccess& access, const std::wstring& folderId, bool* stopped) {
    if (folderId.empty()) return 0;
    uint64_t total = 0;
    uint64_t size = 0;
    if (access.ReadUInt64(folderId, WPD_OBJECT_SIZE, &size)) total += size;
    std::vector<std::wstring> pending{folderId};
    int depth = 0;
    while (!pending.empty() && !*stopped && depth++ < 100000) {
        std::wstring parent = pending.back();
        pending.pop_back();
        access.ForEachChild(parent, 5, [&](const std::wstring& id) {
            if (!IsEnumerating()) {
                *stopped = true;
                return false;
            }
            uint64_t childSize = 0;
            if (access.ReadUInt64(id, WPD_OBJECT_SIZE, &childSize)) total += childSize;
            GUID type = GUID_NULL;
            if (access.ReadGuid(id, WPD_OBJECT_CONTENT_TYPE, &type) && IsEqualGUID(type, WPD_CONTENT_TYPE_FOLDER)) {
                pending.push_back(id);
            }
            return true;
        });
    }
    return total;
}

uint64_t CMTPDeviceController::CountFiles(CWpdContentAccess& access, const std::wstring& folderId, bool* stopped) {
    if (folderId.empty()) return 0;
    uint64_t count = 0;
    std::vector<std::wstring> pending{folderId};
    int visits = 0;
    while (!pending.empty() && !*stopped && visits++ < 100000) {
        std::wstring parent = pending.back();
        pending.pop_back();
        access.ForEachChild(parent, 5, [&](const std::wstring& id) {
            if (!IsEnumerating()) {
                *stopped = true;
                return false;
            }
            GUID type = GUID_NULL;
            if (!access.ReadGuid(id, WPD_OBJECT_CONTENT_TYPE, &type) || IsEqualGUID(type, GUID_NULL)) return true;
            if (IsEqualGUID(type, WPD_CONTENT_TYPE_FOLDER)) {
                pending.push_back(id);
            } else {
                ++count;
            }
            return true;
        });
    }
    return count;
}

void CMTPDeviceController::EnumerateContents(bool includeFeeds) {
    CScopedComPtr<IPortableDevice> device = Connection();
    CWpdContentAccess access(device.Get(), deviceLock_);
    bool stopped = !IsEnumerating();
    uint64_t values[5] = {};
    const size_t sizedFolders[3] = {0, 1, 2};
    for (size_t i = 0; i < 3 && !stopped; ++i) {
        values[i] = MeasureSize(access, Folder(sizedFolders[i]), &stopped);
        stopped = stopped || !IsEnumerating();
    }
    if (!stopped) values[4] = CountFiles(access, Folder(4), &stopped);
    stopped = stopped || !IsEnumerating();
    if (!stopped && includeFeeds) values[3] = MeasureSize(access, Folder(3), &stopped);
    if (stopped || !IsEnumerating()) return;
    {
        CScopedLock lock(stateLock_);
        std::copy(values, values + 5, measured_);
    }
    if (listener_) {
        listener_->OnContentsEnumerated(values[0], values[1], values[2], values[3], values[4], GetFreeSpace(),
                                        GetTotalSpace());
    }
}

bool CMTPDeviceController::FillTree(CWpdContentAccess& access, CQBTreeNode* node, int* count, int depth) {
    if (depth > kMaxTreeDepth) return true;
    return access.ForEachChild(node->GetPath(), 5, [&](const std::wstring& id) {
        if (!IsTreeRunning()) return false;
        GUID type = GUID_NULL;
        if (!access.ReadGuid(id, WPD_OBJECT_CONTENT_TYPE, &type) || IsEqualGUID(type, GUID_NULL)) return true;
        std::wstring name;
        access.ReadString(id, WPD_OBJECT_ORIGINAL_FILE_NAME, &name);
        std::unique_ptr<CQBTreeNode> child;
        if (IsEqualGUID(type, WPD_CONTENT_TYPE_FOLDER)) {
            child = CQBTreeNode::NewFolder({id}, {name});
            if (!FillTree(access, child.get(), count, depth + 1)) return false;
        } else {
            uint64_t size = 0;
            access.ReadUInt64(id, WPD_OBJECT_SIZE, &size);
            child = CQBTreeNode::NewFile({id}, {name}, static_cast<uint32_t>(size));
        }
        ++*count;
        node->AddChild(child);
        return true;
    });
}

CQBTreeNode* CMTPDeviceController::BuildFolderTree(int folderIndex, int* nodeCount, bool notify) {
    if (nodeCount) *nodeCount = 0;
    const size_t index = folderIndex >= 1 && folderIndex <= 5 ? static_cast<size_t>(folderIndex) : 0;
    if (Folder(index).empty()) {
        if (listener_) listener_->OnFolderTree(nullptr);
        return nullptr;
    }
    CScopedLock writing(writeLock_);
    CScopedComPtr<IPortableDevice> device = Connection();
    CWpdContentAccess access(device.Get(), deviceLock_);
    std::wstring name;
    if (!access.ReadString(Folder(index), WPD_OBJECT_ORIGINAL_FILE_NAME, &name)) {
        // The folder went away on the device: the music and playlist folders come back.
        std::wstring mediaRoot = GetMediaRootFolder();
        if (!mediaRoot.empty()) mediaRoot.pop_back();
        SetFolderByName(mediaRoot, 0, true);
        SetFolderByName(kPlaylistFolderName, 4, true);
        access.ReadString(Folder(index), WPD_OBJECT_ORIGINAL_FILE_NAME, &name);
    }
    std::unique_ptr<CQBTreeNode> root = CQBTreeNode::NewFolder({Folder(index)}, {name});
    int count = 1;
    if (!FillTree(access, root.get(), &count, 0) && !IsTreeRunning()) return nullptr;
    if (nodeCount) *nodeCount = count;
    if (notify && IsTreeRunning() && listener_) listener_->OnFolderTree(root.get());
    return root.release();
}

bool CMTPDeviceController::FindCarAudioFolder(CWpdContentAccess& access, std::wstring* folderId) {
    std::wstring storage;
    {
        CScopedLock lock(stateLock_);
        storage = storageId_;
    }
    return access.FindChild(storage, kCarAudioFolder, true, folderId);
}

std::vector<std::pair<std::wstring, std::wstring>> CMTPDeviceController::CarAudioFiles(
    CWpdContentAccess& access, const std::wstring& carAudioId, std::vector<std::wstring>* folderIds) {
    std::vector<std::pair<std::wstring, std::wstring>> files;
    access.ForEachChild(carAudioId, 5, [&](const std::wstring& folderId) {
        std::wstring folderName;
        GUID type = GUID_NULL;
        if (!access.ReadString(folderId, WPD_OBJECT_ORIGINAL_FILE_NAME, &folderName) ||
            (folderName != kChannelFolder && folderName != kMoodFolder) ||
            !access.ReadGuid(folderId, WPD_OBJECT_CONTENT_TYPE, &type) || !IsEqualGUID(type, WPD_CONTENT_TYPE_FOLDER)) {
            return true;
        }
        if (folderIds) folderIds->push_back(folderId);
        access.ForEachChild(folderId, 5, [&](const std::wstring& fileId) {
            std::wstring fileName;
            if (access.ReadString(fileId, WPD_OBJECT_ORIGINAL_FILE_NAME, &fileName) &&
                IsCarAudioFile(folderName, fileName)) {
                files.emplace_back(fileId, folderName + L"\\" + fileName);
            }
            return true;
        });
        return true;
    });
    return files;
}

void CMTPDeviceController::CopyFolderTree() {
    if (Folder(5).empty()) return;
    std::wstring local;
    {
        CScopedLock lock(stateLock_);
        local = localDataFolder_;
    }
    if (local.empty()) return;
    CScopedLock writing(writeLock_);
    CWpdContentAccess access(Connection().Get(), deviceLock_);
    const std::wstring target = local + kCarAudioFolder + L"\\";
    MakeLocalFolders(target);
    for (const auto& file : CarAudioFiles(access, Folder(5), nullptr)) {
        const std::wstring path = target + file.second;
        MakeLocalFolders(path);
        if (SUCCEEDED(CopyObjectToFile(access, file.first, path, false))) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}

bool CMTPDeviceController::DeleteCarAudioTree(CWpdContentAccess& access) {
    std::wstring carAudio;
    if (!FindCarAudioFolder(access, &carAudio)) return true;
    std::vector<std::wstring> folders;
    for (const auto& file : CarAudioFiles(access, carAudio, &folders)) access.Delete(file.first);
    for (const std::wstring& folder : folders) {
        ForgetFolder(folder);
        access.Delete(folder);
    }
    ForgetFolder(carAudio);
    return SUCCEEDED(access.Delete(carAudio));
}

bool CMTPDeviceController::CreateCarAudioFolders(CWpdContentAccess& access) {
    if (!SetFolderByName(kCarAudioFolder, 5, true)) return false;
    const std::wstring carAudio = Folder(5);
    for (const wchar_t* name : {kChannelFolder, kMoodFolder}) {
        std::wstring id;
        if (!access.FindChild(carAudio, name, true, &id) && FAILED(access.CreateFolder(carAudio, name, &id))) {
            return false;
        }
    }
    return true;
}

bool CMTPDeviceController::RebuildMoodCache(CQBTreeNode* musicTree) {
    std::wstring local;
    {
        CScopedLock lock(stateLock_);
        local = localDataFolder_;
    }
    const std::wstring cache = local + kCacheFolder + L"\\";
    if (!local.empty()) MakeLocalFolders(cache);
    {
        CScopedLock writing(writeLock_);
        CWpdContentAccess access(Connection().Get(), deviceLock_);
        DeleteCarAudioTree(access);
        CreateCarAudioFolders(access);
    }
    moodCopyPairs_.clear();
    // The names in the tree are the player's: one that is no plain name ("..\..\x", a device
    // name) would put its copy outside the cache folder, so it and everything below it is skipped.
    if (musicTree && !local.empty() && CDestinationName::IsSafeComponent(musicTree->GetName())) {
        std::vector<std::pair<const CQBTreeNode*, std::wstring>> walk{{musicTree, cache + musicTree->GetName()}};
        while (!walk.empty()) {
            auto [node, path] = walk.back();
            walk.pop_back();
            for (const CQBTreeNode* child : node->GetChildren()) {
                if (!CDestinationName::IsSafeComponent(child->GetName())) continue;
                const std::wstring childPath = path + L"\\" + child->GetName();
                if (child->IsFile()) {
                    moodCopyPairs_.emplace_back(child->GetPath(), childPath);
                } else {
                    walk.emplace_back(child, childPath);
                }
            }
        }
    }
    const auto cancelled = [&] { return WaitForSingleObject(cancelEvent_.Get(), 0) == WAIT_OBJECT_0; };
    if (!cancelled()) {
        std::mt19937 shuffle(static_cast<unsigned>(time(nullptr)));
        std::shuffle(moodCopyPairs_.begin(), moodCopyPairs_.end(), shuffle);
    }
    for (const auto& pair : moodCopyPairs_) {
        if (cancelled()) break;
        CScopedLock writing(writeLock_);
        if (listener_) listener_->OnMoodChannelStep(pair.second.c_str());
        MakeLocalFolders(pair.second);
        CWpdContentAccess access(Connection().Get(), deviceLock_);
        CopyObjectToFile(access, pair.first, pair.second, true);
        if (listener_) listener_->OnMoodChannelDone(pair.second.c_str());
    }
    return true;
}

HRESULT CMTPDeviceController::ToggleRegistration(bool* registeredNow) {
    CScopedLock writing(writeLock_);
    CScopedComPtr<IPortableDevice> device = Connection();
    if (!device.Get()) return E_FAIL;
    CWpdContentAccess access(device.Get(), deviceLock_);
    std::wstring marker;
    if (FileExists(kCarAudioMarkerName, &marker)) {
        HRESULT hr = access.Delete(marker);
        if (FAILED(hr)) return hr;
        DeleteCarAudioTree(access);
        if (registeredNow) *registeredNow = false;
        return S_OK;
    }
    std::wstring local;
    std::wstring storage;
    {
        CScopedLock lock(stateLock_);
        local = localDataFolder_;
        storage = storageId_;
    }
    if (local.empty()) return E_FAIL;
    MakeLocalFolders(local);
    const std::wstring localMarker = local + kCarAudioMarkerName;
    HANDLE file = CreateFileW(localMarker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    CloseHandle(file);
    CTNContent content(0, kKindCarAudioMarker);
    content.sourcePath = localMarker;
    content.tempPath = localMarker;
    content.relativePath = kCarAudioMarkerName;
    HRESULT hr = Upload(access, storage, kCarAudioMarkerName, &content);
    if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
    if (!CreateCarAudioFolders(access)) return E_FAIL;
    if (registeredNow) *registeredNow = true;
    return S_OK;
}
