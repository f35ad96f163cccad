#include "app/coordinator/SyncFileLists.h"

bool CMemorySyncFileLists::ReadSyncFileList(int kind, std::vector<std::wstring>* paths) {
    const int slot = Slot(kind);
    if (slot < 0 || paths == nullptr) return false;
    *paths = lists_[slot];
    return true;
}

bool CMemorySyncFileLists::AppendSyncFileListLine(int kind, const std::wstring& path) {
    const int slot = Slot(kind);
    if (slot < 0) return false;
    lists_[slot].push_back(path);
    return true;
}

bool CMemorySyncFileLists::ResetSyncFileList(int kind) {
    const int slot = Slot(kind);
    if (slot < 0) return false;
    lists_[slot].clear();
    return true;
}
