#pragma once
// The coordinator's sync file lists kept in the current player's list files (SyncLists.h), so a
// later run of the program still knows what the last sync copied.

#include "app/coordinator/SyncFileLists.h"

class CQBSyncFileLists : public ISyncFileLists {
public:
    bool ReadSyncFileList(int kind, std::vector<std::wstring>* paths) override;
    bool AppendSyncFileListLine(int kind, const std::wstring& path) override;
    bool ResetSyncFileList(int kind) override;
};
