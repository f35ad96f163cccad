#pragma once
// The files copied by the last sync of each kind (0 music, 2 movie, 3 podcast) of the current
// player. The program gives the coordinator the per-device list files; without them the
// coordinator keeps the lists for its own lifetime only (CMemorySyncFileLists).

#include <string>
#include <vector>

class ISyncFileLists {
public:
    virtual bool ReadSyncFileList(int kind, std::vector<std::wstring>* paths) = 0;
    virtual bool AppendSyncFileListLine(int kind, const std::wstring& path) = 0;
    virtual bool ResetSyncFileList(int kind) = 0;

protected:
    ~ISyncFileLists() = default;
};

// Not locked: the coordinator calls it under its own lock.
class CMemorySyncFileLists : public ISyncFileLists {
public:
    bool ReadSyncFileList(int kind, std::vector<std::wstring>* paths) override;
    bool AppendSyncFileListLine(int kind, const std::wstring& path) override;
    bool ResetSyncFileList(int kind) override;

private:
    static int Slot(int kind) { return kind == 0 ? 0 : kind == 2 ? 1 : kind == 3 ? 2 : -1; }
    std::vector<std::wstring> lists_[3];
};
