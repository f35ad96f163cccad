// The car-audio registration marker and the hidden mood-channel folder on the player.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "library/util/DestinationName.h"
#include "library/device/MSCDeviceController.h"
#include "library/device/QBTreeNode.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"

namespace {

const wchar_t kCarAudioFolderName[] = L"Tavrel_Automotive";
const wchar_t kMoodCacheFolderName[] = L"HVX_Cache";
constexpr int kChannelFileCount = 1000;
constexpr int kMoodTableCount = 100;
// Trees handed in come from BuildFolderTree, which stops at this depth too.
constexpr int kMaxTreeDepth = 64;

std::wstring Numbered(const wchar_t* format, int number) {
    wchar_t name[32] = {};
    swprintf(name, 32, format, number);
    return name;
}

// Creates the folder when it is absent and hides it; true when it exists afterwards.
bool CreateHiddenSubfolder(const std::wstring& path) {
    if (PathExists(path)) return true;
    if (!CreateDirectoryW(path.c_str(), nullptr)) return false;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    return true;
}

}  // namespace

CQBTreeNode* CMSCDeviceController::BuildMoodFileTree() {
    CScopedLock lock(writeLock_);
    if (folders_[5].empty()) return nullptr;
    const std::wstring base = folders_[5];
    const std::wstring rootPath = base.substr(0, base.size() - 1);
    const size_t lastSlash = rootPath.rfind(L'\\');
    std::unique_ptr<CQBTreeNode> root = CQBTreeNode::NewFolder(
        {rootPath}, {lastSlash == std::wstring::npos ? rootPath : rootPath.substr(lastSlash + 1)});

    std::unique_ptr<CQBTreeNode> channels = CQBTreeNode::NewFolder({base + L"HVC\\"}, {L"HVC"});
    for (int number = 0; number < kChannelFileCount; ++number) {
        const std::wstring name = Numbered(L"CID%03d.ZEP", number);
        std::unique_ptr<CQBTreeNode> file = CQBTreeNode::NewFile({base + L"HVC\\" + name}, {name}, 0);
        channels->AddChild(file);
    }
    std::unique_ptr<CQBTreeNode> moods = CQBTreeNode::NewFolder({base + L"HVM\\"}, {L"HVM"});
    std::unique_ptr<CQBTreeNode> moodList =
        CQBTreeNode::NewFile({base + L"HVM\\MOOD.ZEP"}, {L"MOOD.ZEP"}, 0);
    moods->AddChild(moodList);
    for (int number = 0; number < kMoodTableCount; ++number) {
        const std::wstring name = Numbered(L"MOOD%02d.dat", number);
        std::unique_ptr<CQBTreeNode> file = CQBTreeNode::NewFile({base + L"HVM\\" + name}, {name}, 0);
        moods->AddChild(file);
    }
    root->AddChild(channels);
    root->AddChild(moods);
    return root.release();
}

void CMSCDeviceController::DeleteTreeFiles(CQBTreeNode* node, int depth) {
    if (depth > kMaxTreeDepth) return;
    for (CQBTreeNode* child : node->GetChildren()) {
        const std::wstring path = child->GetPath();
        if (child->IsFile()) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        } else {
            DeleteTreeFiles(child, depth + 1);
            RemoveDirectoryW(path.c_str());
        }
    }
}

bool CMSCDeviceController::MakeHiddenCarAudioFolders() {
    const std::wstring folder = root_ + kCarAudioFolderName;
    if (!CreateFolderTree(folder)) return false;
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    folders_[5] = folder + L"\\";
    CreateHiddenSubfolder(folder + L"\\HVC");
    CreateHiddenSubfolder(folder + L"\\HVM");
    return true;
}

void CMSCDeviceController::CollectFilePairs(CQBTreeNode* node, const std::wstring& destination,
                                            int depth) {
    if (depth > kMaxTreeDepth) return;
    for (CQBTreeNode* child : node->GetChildren()) {
        if (IsCancelled()) return;
        // Names read from the player never steer a local path out of the cache folder.
        if (!CDestinationName::IsSafeComponent(child->GetName())) continue;
        const std::wstring target = destination + L"\\" + child->GetName();
        if (child->IsFile()) {
            moodCopyPairs_.emplace_back(child->GetPath(), target);
        } else if (CreateFolderTree(target)) {
            CollectFilePairs(child, target, depth + 1);
        }
    }
}

bool CMSCDeviceController::RebuildMoodCache(CQBTreeNode* musicTree) {
    const std::wstring cache = GetUserDataFolder() + kMoodCacheFolderName;
    CreateFolderTree(cache);

    if (CQBTreeNode* moodFiles = BuildMoodFileTree()) {
        DeleteTreeFiles(moodFiles, 0);
        delete moodFiles;
        if (HasRoot()) MakeHiddenCarAudioFolders();
    }

    moodCopyPairs_.clear();
    if (musicTree) CollectFilePairs(musicTree, cache, 0);

    if (!IsCancelled()) {
        // The analysis of the cache goes file by file; a random order spreads an interrupted
        // run over the whole collection instead of the first folders.
        srand(static_cast<unsigned>(time(nullptr)));
        for (size_t k = 1; k < moodCopyPairs_.size(); ++k) {
            const size_t n = k + 1;
            const size_t j = static_cast<size_t>(rand() / 32767.0 * n) % n;
            std::swap(moodCopyPairs_[k], moodCopyPairs_[j]);
        }
    }

    for (const auto& pair : moodCopyPairs_) {
        if (IsCancelled()) break;
        CScopedLock lock(writeLock_);
        const std::wstring& destination = pair.second;
        if (listener_) listener_->OnMoodChannelStep(destination.c_str());
        const size_t lastSlash = destination.rfind(L'\\');
        if (lastSlash != std::wstring::npos) CreateFolderTree(destination.substr(0, lastSlash));
        CopyFileInBlocks(pair.first, destination, true, true, false);
        if (listener_) listener_->OnMoodChannelDone(destination.c_str());
    }
    return true;
}

HRESULT CMSCDeviceController::ToggleRegistration(bool* registeredNow) {
    if (!HasRoot()) return E_FAIL;
    bool registered = false;
    HRESULT result = S_OK;
    if (RootFileExists(kCarAudioMarkerName)) {
        const std::wstring marker = root_ + kCarAudioMarkerName;
        SetFileAttributesW(marker.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(marker.c_str());
        if (CQBTreeNode* moodFiles = BuildMoodFileTree()) {
            DeleteTreeFiles(moodFiles, 0);
            RemoveDirectoryW(moodFiles->GetPath().c_str());
            delete moodFiles;
        }
    } else {
        const std::wstring marker = root_ + kCarAudioMarkerName;
        CScopedHandle file(
            CreateFileW(marker.c_str(), 0, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid()) {
            file.Reset();
            SetFileAttributesW(marker.c_str(), FILE_ATTRIBUTE_HIDDEN);
            MakeHiddenCarAudioFolders();
        } else {
            result = E_FAIL;
        }
        registered = true;
    }
    if (registeredNow) *registeredNow = registered;
    return result;
}
