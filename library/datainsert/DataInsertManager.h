#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library/content/RunnableTNContentHandler.h"
#include "library/content/TNByteArray.h"
#include "library/content/TNContent.h"

// The stage after the analysis: writes a working copy of each song into the per-user data folder
// whose tags carry the mood payload, the lookup cover picture and the CD-lookup identifier, and
// points the record at it. The source file is only ever read.
class CDataInsertManager : public CRunnableTNContentHandler {
public:
    // Text items and pictures of an MP4-family file, kept for the copy that a rewrite with
    // another editor kind makes.
    struct CTextItem {
        int32_t type;
        std::string bytes;
        int32_t encoding;
    };
    struct CPicture {
        std::string bytes;
        int32_t imageFormat;
        uint8_t pictureType;
    };
    struct CItemSet {
        std::vector<CTextItem> items;
        std::vector<CPicture> pictures;
    };

    // An empty folder means the per-user data folder.
    explicit CDataInsertManager(const std::wstring& dataFolder = std::wstring());
    ~CDataInsertManager() override;

    // Editor variant of a media type code: 0 ID3v2, 1 ASF, 2 MP4 family; -1 for codes not handled.
    static int32_t VariantForMediaType(uint32_t mediaType);

    // 0 on success (also when there was nothing to write).
    int32_t WriteDataFiles(CTNContent* content, int32_t variant);
    // Reads text items 0 to 7 and the pictures of an MP4-family file (editor kind 3 or 4).
    static bool ReadTextItems(const std::wstring& sourcePath, int32_t editorKind, CItemSet* out);
    // Rewrites sourcePath into targetPath with the items set; 0 on success. The target is written
    // beside itself first and moved in place only when whole.
    static int32_t InsertIntoWorkingCopy(const std::wstring& targetPath, const CTNByteArray* payload,
                                         const std::wstring& sourcePath, int32_t variant,
                                         const std::wstring& artPath, const std::wstring& lookupId,
                                         const CItemSet* items);
    static void RemoveTempFiles(CTNContent* content);

    std::vector<std::wstring> GetReportList();
    void ClearReportList();

protected:
    void ProcessContent(CTNContent* content) override;

private:
    std::wstring dataFolder_;
    CCriticalSection reportLock_;
    std::vector<std::wstring> reportList_;
};
