#include "app/dialogs/QBSyncFileLists.h"

#include "app/dialogs/SyncLists.h"

bool CQBSyncFileLists::ReadSyncFileList(int kind, std::vector<std::wstring>* paths) {
    return ::ReadSyncFileList(kind, paths);
}

bool CQBSyncFileLists::AppendSyncFileListLine(int kind, const std::wstring& path) {
    return ::AppendSyncFileListLine(kind, path);
}

bool CQBSyncFileLists::ResetSyncFileList(int kind) { return ::ResetSyncFileList(kind); }
