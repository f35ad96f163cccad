// Measuring, listing and copying the player's folders.
#include "library/device/MSCDeviceController.h"
#include "library/device/QBTreeNode.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"

namespace {

// Player file systems are shallow; a deeper chain is a loop (a junction) or a damaged volume.
constexpr int kMaxFolderDepth = 64;

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
    return !path.empty() && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
}

bool IsDotEntry(const WIN32_FIND_DATAW& entry) {
    return wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0;
}

bool IsFolder(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsHidden(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

// Calls visit(entry) for every entry of the folder but "." and "..".
template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW(AddLongPathPrefix(folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!IsDotEntry(entry)) visit(entry);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

}  // namespace

uint64_t CMSCDeviceController::GetFolderSize(const std::wstring& path, bool includeHidden) {
    return MeasureFolder(path, includeHidden, 0);
}

uint64_t CMSCDeviceController::MeasureFolder(const std::wstring& path, bool includeHidden,
                                             int depth) {
    if (depth > kMaxFolderDepth) return 0;
    uint64_t total = 0;
    ForEachEntry(path, [&](const WIN32_FIND_DATAW& entry) {
        if (!includeHidden && IsHidden(entry)) return;
        if (IsFolder(entry)) {
            total += MeasureFolder(path + L"\\" + entry.cFileName, includeHidden, depth + 1);
        } else {
            total += (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        }
    });
    return total;
}

uint64_t CMSCDeviceController::CountFolderFiles(const std::wstring& path) {
    std::vector<std::wstring> files;
    EnumFilesRecursive(path, &files, true);
    return files.size();
}

void CMSCDeviceController::EnumerateContents(bool includeFeeds) {
    const int measuredFolders[] = {0, 1, 2};
    for (int index : measuredFolders) {
        if (!enumerating_.Get()) return;
        if (!folders_[index].empty()) {
            measures_[index] = GetFolderSize(WithoutTrailingBackslash(folders_[index]), true);
        }
    }
    if (!enumerating_.Get()) return;
    if (!folders_[4].empty()) measures_[4] = CountFolderFiles(WithoutTrailingBackslash(folders_[4]));
    if (!enumerating_.Get()) return;
    if (includeFeeds) {
        if (!folders_[3].empty()) {
            measures_[3] = GetFolderSize(WithoutTrailingBackslash(folders_[3]), true);
            if (!enumerating_.Get()) return;
        }
    } else {
        measures_[3] = 0;
    }
    if (listener_) {
        listener_->OnContentsEnumerated(measures_[0], measures_[1], measures_[2], measures_[3],
                                        measures_[4], GetFreeSpace(), capacity_);
    }
}

CQBTreeNode* CMSCDeviceController::BuildFolderTree(int folderIndex, int* nodeCount, bool notify) {
    int count = 0;
    if (nodeCount) *nodeCount = 0;
    const int index = folderIndex >= 1 && folderIndex <= 5 ? folderIndex : 0;
    if (folders_[index].empty()) {
        if (listener_) listener_->OnFolderTree(nullptr);
        return nullptr;
    }
    const std::wstring path = WithoutTrailingBackslash(folders_[index]);
    CScopedLock lock(writeLock_);
    const size_t lastSlash = path.rfind(L'\\');
    const std::wstring name = lastSlash == std::wstring::npos ? path : path.substr(lastSlash + 1);
    std::unique_ptr<CQBTreeNode> root = CQBTreeNode::NewFolder({path}, {name});
    AddFolderChildren(root.get(), path, &count, false, 0);
    if (nodeCount) *nodeCount = count;
    if (treeOperation_.Get() && notify && listener_) listener_->OnFolderTree(root.get());
    return root.release();
}

void CMSCDeviceController::AddFolderChildren(CQBTreeNode* node, const std::wstring& path,
                                             int* count, bool includeHidden, int depth) {
    if (depth > kMaxFolderDepth) return;
    ForEachEntry(path, [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring childPath = path + L"\\" + entry.cFileName;
        const bool hidden = !includeHidden && IsHidden(entry);
        if (IsFolder(entry)) {
            std::unique_ptr<CQBTreeNode> folder =
                CQBTreeNode::NewFolder({childPath}, {entry.cFileName});
            CQBTreeNode* added = folder.get();
            if (node->AddChild(folder) && !hidden) {
                AddFolderChildren(added, childPath, count, includeHidden, depth + 1);
            }
        } else if (!hidden) {
            std::unique_ptr<CQBTreeNode> file =
                CQBTreeNode::NewFile({childPath}, {entry.cFileName}, entry.nFileSizeLow);
            if (node->AddChild(file)) ++*count;
        }
    });
}

bool CMSCDeviceController::IsFolderEmpty(const std::wstring& path) {
    bool empty = true;
    ForEachEntry(WithoutTrailingBackslash(path), [&](const WIN32_FIND_DATAW&) { empty = false; });
    return empty;
}

bool CMSCDeviceController::CheckFolder1() {
    return !folders_[0].empty() && IsFolderEmpty(folders_[0]);
}

bool CMSCDeviceController::CheckFolder2() {
    return !folders_[2].empty() && IsFolderEmpty(folders_[2]);
}

bool CMSCDeviceController::CheckFolder3() {
    return !folders_[3].empty() && IsFolderEmpty(folders_[3]);
}

void CMSCDeviceController::CopyFolderTree() {
    if (!folders_[5].empty()) CopyFolderToLocal(WithoutTrailingBackslash(folders_[5]));
}

void CMSCDeviceController::CopyFolderToLocal(const std::wstring& devicePath) {
    if (devicePath.size() <= 3) return;
    const std::wstring local = GetUserDataFolder() + devicePath.substr(3);
    if (!CreateFolderTree(local)) return;
    CopyFolderFiles(devicePath, local, 0);
}

void CMSCDeviceController::CopyFolderFiles(const std::wstring& source, const std::wstring& target,
                                           int depth) {
    if (depth > kMaxFolderDepth) return;
    ForEachEntry(source, [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring from = source + L"\\" + entry.cFileName;
        const std::wstring to = target + L"\\" + entry.cFileName;
        if (IsFolder(entry)) {
            if (CreateFolderTree(to)) CopyFolderFiles(from, to, depth + 1);
            return;
        }
        if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
            // A player busy with its own database answers again after a moment.
            Sleep(200);
            return;
        }
        SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    });
}
