#pragma once
// The folders a sync scan walks for one kind (0 music, 2 video, 3 podcast): the effective
// preset's folders or the user's own list. The sync-selection settings implement it.

#include <string>
#include <vector>

class ISyncFolderSource {
public:
    virtual ~ISyncFolderSource() = default;
    virtual std::vector<std::wstring> GetSyncFolders(int kind) = 0;
};
