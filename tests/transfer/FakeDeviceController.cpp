#include "tests/transfer/FakeDeviceController.h"

#include "library/content/TNContent.h"
#include "library/device/QBTreeNode.h"
#include "library/util/FileSystem.h"

int CFakeDeviceController::FindDevice() {
    if (findResults.empty()) return kNoDevice;
    const int result = findResults.front();
    findResults.pop_front();
    return result;
}

HRESULT CFakeDeviceController::WriteContent(std::wstring destination, CTNContent* content) {
    {
        CScopedLock lock(lock_);
        writes.push_back(destination);
        writtenRecords.push_back({content->kind, content->replaceExisting, content->relativePath});
    }
    for (const auto& scripted : writeResults) {
        if (destination.find(scripted.first) == std::wstring::npos) continue;
        if (writeStarted != nullptr) SetEvent(writeStarted);
        if (holdWrite != nullptr) WaitForSingleObject(holdWrite, 10000);
        return scripted.second;
    }
    if (!transferring_) return kWriteStopped;
    const std::wstring target = root_ + destination;
    CreateFolderTree(target.substr(0, target.rfind(L'\\')));
    const std::wstring source = content->tempPath.empty() ? content->sourcePath : content->tempPath;
    HANDLE in = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return E_FAIL;
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return E_FAIL;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(in, &size);
    const uint32_t total = static_cast<uint32_t>(size.QuadPart);
    if (listener_ != nullptr) listener_->OnWriteProgress(0, total);
    HRESULT result = S_OK;
    uint32_t written = 0;
    char block[4096];
    DWORD read = 0;
    bool first = true;
    while (ReadFile(in, block, sizeof(block), &read, nullptr) && read > 0) {
        if (!transferring_) {
            result = kWriteStopped;
            break;
        }
        DWORD put = 0;
        WriteFile(out, block, read, &put, nullptr);
        written += put;
        if (listener_ != nullptr) listener_->OnWriteProgress(written, total);
        if (first && writeStarted != nullptr) SetEvent(writeStarted);
        if (first && holdWrite != nullptr) WaitForSingleObject(holdWrite, 10000);
        first = false;
    }
    CloseHandle(in);
    CloseHandle(out);
    if (result != S_OK) DeleteFileW(target.c_str());
    return result;
}

BOOL CFakeDeviceController::DeleteContent(const std::wstring& path) {
    CScopedLock lock(lock_);
    deleted.push_back(path);
    return DeleteFileW((root_ + path).c_str());
}

void CFakeDeviceController::ReadCapabilityFile(void* buffer, DWORD* size) {
    readSizesAsked.push_back(*size);
    if (shortReads > 0 || *size < capability.size()) {
        if (shortReads > 0) --shortReads;
        *size = 0;
        return;
    }
    memcpy(buffer, capability.data(), capability.size());
    *size = static_cast<DWORD>(capability.size());
}

DWORD CFakeDeviceController::GetCapabilityFileSize() {
    ++sizeQueries;
    if (zeroSizeAnswers > 0) {
        --zeroSizeAnswers;
        return 0;
    }
    return claimedSize != 0 ? claimedSize : static_cast<DWORD>(capability.size());
}

void CFakeDeviceController::GetDeviceIcon(std::wstring* localPath) {
    if (iconSource.empty() || !CopyFileW(iconSource.c_str(), localPath->c_str(), FALSE)) localPath->clear();
}

bool CFakeDeviceController::FileExists(std::wstring relativePath, std::wstring* fullPath) {
    const std::wstring full = root_ + relativePath;
    if (GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    if (fullPath != nullptr) *fullPath = full;
    return true;
}

bool CFakeDeviceController::CreateFolder(const std::wstring& relative) {
    calls.push_back(L"CreateFolder " + relative);
    folders[0] = relative;
    return true;
}

bool CFakeDeviceController::CreateHiddenFolder(const std::wstring& relative) {
    calls.push_back(L"CreateHiddenFolder " + relative);
    folders[5] = relative;
    return false;
}

void CFakeDeviceController::EnumerateContents(bool includeFeeds) {
    enumerationFeedsAsked = includeFeeds ? 1 : 0;
    if (!enumerating_) return;
    if (listener_ != nullptr) listener_->OnContentsEnumerated(1, 2, 3, includeFeeds ? 4 : 0, 5, 6, 7);
}

CQBTreeNode* CFakeDeviceController::BuildFolderTree(int folderIndex, int* nodeCount, bool notify) {
    const HANDLE hold = holdTree;
    if (treeEntered != nullptr) SetEvent(treeEntered);
    if (hold != nullptr) {
        while (treeRunning_ && WaitForSingleObject(hold, 10) == WAIT_TIMEOUT) {
        }
    }
    auto root = CQBTreeNode::NewFolder({root_ + L"folder" + std::to_wstring(folderIndex)},
                                       {L"folder" + std::to_wstring(folderIndex)});
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((root_ + L"*").c_str(), &entry);
    int count = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::unique_ptr<CQBTreeNode> file =
                CQBTreeNode::NewFile({entry.cFileName}, {entry.cFileName}, entry.nFileSizeLow);
            root->AddChild(file);
            ++count;
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    if (nodeCount != nullptr) *nodeCount = count;
    CQBTreeNode* tree = root.release();
    if (notify && treeRunning_ && listener_ != nullptr) listener_->OnFolderTree(tree);
    return tree;
}
