#include "library/datainsert/DataInsertManager.h"

#include <cstdio>
#include <memory>
#include <new>

#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagReader.h"
#include "library/media/tags/TagTypes.h"
#include "library/util/DataFolders.h"
#include "library/util/TextConversion.h"

namespace {

const int32_t kFailed = -1;
const int32_t kTextItemCount = 8;
const uint8_t kFrontCover = 3;
// The tag library's MP4 editors: 2 the movie layout (variant 2), 3 the item list of an m4a.
const int32_t kItemListEditor = 3;
// A cover picture larger than this is not a cover; it is skipped rather than held in memory.
const long kMaxArtFileSize = 16 * 1024 * 1024;

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return false;
    bool ok = fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? ftell(file) : -1;
    ok = ok && size > 0 && size <= kMaxArtFileSize && fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(static_cast<size_t>(size));
        ok = fread(&(*bytes)[0], 1, bytes->size(), file) == bytes->size();
    }
    fclose(file);
    return ok;
}

bool EndsWith(const std::wstring& text, const wchar_t* ending) {
    const size_t length = wcslen(ending);
    return text.size() >= length && text.compare(text.size() - length, length, ending) == 0;
}

void ReplaceM4aEnding(std::wstring* path) {
    if (EndsWith(*path, L"m4a")) path->replace(path->size() - 3, 3, L"mp4");
}

// The lookup identifier as the variant stores it: ASF keeps UTF-16 with its terminating zero,
// the others 8-bit text.
std::string LookupIdBytes(const std::wstring& lookupId, int32_t variant) {
    if (variant == 1) {
        const char* begin = reinterpret_cast<const char*>(lookupId.c_str());
        return std::string(begin, (lookupId.size() + 1) * sizeof(wchar_t));
    }
    const int size = WideCharToMultiByte(CP_ACP, 0, lookupId.c_str(), static_cast<int>(lookupId.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, lookupId.c_str(), static_cast<int>(lookupId.size()), &text[0], size, nullptr,
                        nullptr);
    return text;
}

CTagStream* NewMemoryStream(const std::string& bytes) {
    return new (std::nothrow) CTagMemoryStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

}  // namespace

CDataInsertManager::CDataInsertManager(const std::wstring& dataFolder)
    : dataFolder_(dataFolder.empty() ? GetUserDataFolder() : dataFolder) {}

CDataInsertManager::~CDataInsertManager() { Stop(); }

int32_t CDataInsertManager::VariantForMediaType(uint32_t mediaType) {
    if (mediaType == 0 || (mediaType >= 6 && mediaType <= 14)) return 0;
    if (mediaType == 1) return 1;
    if (mediaType >= 2 && mediaType <= 4) return 2;
    return -1;
}

void CDataInsertManager::ProcessContent(CTNContent* content) {
    if (content != nullptr && content->kind == CTNContent::kSong) {
        const int32_t variant = VariantForMediaType(content->fileType);
        if (variant >= 0 && WriteDataFiles(content, variant) != 0) content->status = 1;
    }
    if (content != nullptr) RemoveTempFiles(content);
    ForwardCurrent();
}

int32_t CDataInsertManager::WriteDataFiles(CTNContent* content, int32_t variant) {
    if (content == nullptr) return kFailed;
    const uint32_t code = content->fileType;
    const bool hasPayload = content->byteArray != nullptr && content->byteArray->length > 0;
    const bool hasLookupId = content->writeLookupId != 0 && !content->lookupId.empty();
    const bool somethingToInsert =
        hasPayload || content->pictureData != 0 || hasLookupId || !content->lookupCoverPath.empty();
    if (!somethingToInsert && code != 2 && code != 4) return 0;

    CItemSet items;
    const bool haveItems = (code == 2 && ReadTextItems(content->sourcePath, 3, &items)) ||
                           (code == 3 && ReadTextItems(content->sourcePath, 4, &items));

    const std::wstring workingCopy = dataFolder_ + content->id + L".dat";
    const CTNByteArray* payload = hasPayload ? content->byteArray : nullptr;
    const std::wstring lookupId = hasLookupId ? content->lookupId : std::wstring();
    int32_t result;
    if (code == 2) {
        const std::wstring intermediate = dataFolder_ + content->id + L".2.dat";
        // The intermediate rewrites the item list (items read, identifier) where players and tag tools
        // read an m4a's identifier; the copy adds payload and cover in the movie layout.
        result = InsertIntoWorkingCopy(intermediate, nullptr, content->sourcePath, kItemListEditor, std::wstring(),
                                       lookupId, haveItems ? &items : nullptr);
        if (result == 0)
            result = InsertIntoWorkingCopy(workingCopy, payload, intermediate, variant, content->lookupCoverPath,
                                           lookupId, nullptr);
        DeleteFileW(intermediate.c_str());
    } else {
        result = InsertIntoWorkingCopy(workingCopy, payload, content->sourcePath, variant, content->lookupCoverPath,
                                       lookupId, haveItems ? &items : nullptr);
    }
    if (result != 0) return result;

    content->tempPath = workingCopy;
    if (code == 2) {
        ReplaceM4aEnding(&content->sourcePath);
        ReplaceM4aEnding(&content->relativePath);
    }
    return 0;
}

bool CDataInsertManager::ReadTextItems(const std::wstring& sourcePath, int32_t editorKind, CItemSet* out) {
    if (out == nullptr || (editorKind != 3 && editorKind != 4)) return false;
    std::string path;
    if (!WideToUtf8(sourcePath, &path)) return false;
    std::unique_ptr<CTagReader> reader(OpenTagReaderForPath(path.c_str(), editorKind));
    if (!reader) return false;
    out->items.clear();
    out->pictures.clear();
    for (int32_t type = 0; type < kTextItemCount; ++type) {
        uint32_t size = 0;
        int32_t encoding = 0;
        if (reader->GetTextItem(type, nullptr, &size, &encoding) != tag::kOk || size == 0) continue;
        CTextItem item{type, std::string(size, '\0'), encoding};
        if (reader->GetTextItem(type, &item.bytes[0], &size, &encoding) != tag::kOk) continue;
        item.bytes.resize(size);
        item.encoding = encoding;
        out->items.push_back(std::move(item));
    }
    uint32_t count = 0;
    if (reader->CountPictures(tag::kPictureAnyType, &count) == tag::kOk) {
        for (uint32_t index = 0; index < count; ++index) {
            uint32_t offset = 0, size = 0;
            uint8_t type = 0;
            int32_t format = 0;
            if (reader->GetPictureInfo(tag::kPictureAnyType, static_cast<int32_t>(index), &offset, &size, &type,
                                       &format) != tag::kOk || size == 0)
                continue;
            CPicture picture{std::string(size, '\0'), format, type};
            if (reader->ReadObjectData(offset, size, 0, &picture.bytes[0], size) != tag::kOk) continue;
            out->pictures.push_back(std::move(picture));
        }
    }
    reader->Close();
    return true;
}

int32_t CDataInsertManager::InsertIntoWorkingCopy(const std::wstring& targetPath, const CTNByteArray* payload,
                                                  const std::wstring& sourcePath, int32_t variant,
                                                  const std::wstring& artPath, const std::wstring& lookupId,
                                                  const CItemSet* items) {
    // The editor reads the source while it saves: writing onto it would destroy the user's file.
    if (targetPath.empty() || _wcsicmp(targetPath.c_str(), sourcePath.c_str()) == 0) return kFailed;
    std::string source, target;
    if (!WideToUtf8(sourcePath, &source) || !WideToUtf8(targetPath, &target)) return kFailed;
    CTagEditor* editor = OpenTagEditorByType(source.c_str(), variant);
    if (editor == nullptr) return kFailed;

    // The editor reads these buffers during Save: they live until the end of the call.
    std::string art, identifier;
    int32_t result = tag::kOk;
    if (items != nullptr) {
        for (const CTextItem& item : items->items) {
            result = editor->SetItem(item.type, NewMemoryStream(item.bytes), static_cast<uint32_t>(item.bytes.size()),
                                     item.encoding, 0, true);
            // An item the target layout has no place for is left out, not a failure.
            if (result == tag::kNoCounterpart || result == tag::kInvalidArgument) result = tag::kOk;
            if (result != tag::kOk) break;
        }
        for (const CPicture& picture : items->pictures) {
            if (result != tag::kOk) break;
            const uint32_t size = static_cast<uint32_t>(picture.bytes.size());
            result = editor->SetPicture(NewMemoryStream(picture.bytes), size, picture.imageFormat, picture.pictureType,
                                        0, 0, true);
            // An item-list cover has no picture type; layouts that need one keep it as the front cover.
            if (result == tag::kInvalidArgument && picture.pictureType != kFrontCover)
                result = editor->SetPicture(NewMemoryStream(picture.bytes), size, picture.imageFormat, kFrontCover,
                                            0, 0, true);
            if (result == tag::kNoCounterpart) result = tag::kOk;
        }
    }
    if (result == tag::kOk && payload != nullptr && payload->length > 0) {
        result = editor->SetMoodData(new (std::nothrow) CTagMemoryStream(payload->data, payload->length),
                                     payload->length, 0, true);
    }
    if (result == tag::kOk && !artPath.empty() && ReadWholeFile(artPath, &art)) {
        result = editor->SetPicture(NewMemoryStream(art), static_cast<uint32_t>(art.size()), tag::kImageJpeg,
                                    kFrontCover, 0, 0, true);
    }
    if (result == tag::kOk && !lookupId.empty()) {
        identifier = LookupIdBytes(lookupId, variant);
        if (identifier.empty()) result = kFailed;
        if (result == tag::kOk)
            result = editor->SetLookupId(NewMemoryStream(identifier), static_cast<uint32_t>(identifier.size()), 0,
                                         true);
        // The movie layout has no place for it; an earlier pass of the same copy may have set it.
        if (result == tag::kNoCounterpart) result = tag::kOk;
    }
    if (result == tag::kOk) {
        CTagWriteStream* output = OpenTagWriteStream(target.c_str());
        result = output == nullptr ? kFailed : editor->Save(output, true);
    }
    editor->Close();
    delete editor;
    if (result != tag::kOk) {
        DeleteFileW(targetPath.c_str());
        return result == 0 ? kFailed : result;
    }
    return 0;
}

void CDataInsertManager::RemoveTempFiles(CTNContent* content) {
    if (content == nullptr || content->lookupCoverPath.empty()) return;
    // The path goes even when the file stays: nothing downstream may take the picture for the song.
    DeleteFileW(content->lookupCoverPath.c_str());
    content->lookupCoverPath.clear();
}

std::vector<std::wstring> CDataInsertManager::GetReportList() {
    CScopedLock lock(reportLock_);
    return reportList_;
}

void CDataInsertManager::ClearReportList() {
    CScopedLock lock(reportLock_);
    reportList_.clear();
}
