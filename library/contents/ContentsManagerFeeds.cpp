// Podcast subscriptions and feed lists: a dropped subscription document becomes a feed-list file
// of our own; either goes to the player's feeds folder unless it is there already.
#include "library/contents/ContentsManager.h"

#include <memory>

#include "library/content/GuidString.h"
#include "library/contents/FeedListFile.h"
#include "library/contents/PcastReader.h"
#include "library/util/DestinationName.h"
#include "library/util/FileSystem.h"

namespace {

// The whole file when it is no larger than a subscription document can be.
bool ReadSubscriptionBytes(const std::wstring& path, std::string* bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxPcastBytes;
    if (ok) {
        bytes->resize(size_t(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, &(*bytes)[0], DWORD(bytes->size()), &read, nullptr) && read == bytes->size();
    }
    CloseHandle(file);
    return ok;
}

std::unique_ptr<pcast::CChannel> ReadSubscription(const std::wstring& path) {
    std::string bytes;
    if (!ReadSubscriptionBytes(path, &bytes)) return nullptr;
    pcast::CChannel* channel = nullptr;
    ParsePcastChannel(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), &channel);
    return std::unique_ptr<pcast::CChannel>(channel);
}

// Only feed lists this program wrote may be deleted; a dropped one is the user's file.
bool IsInFolder(const std::wstring& path, const std::wstring& folder) {
    return !folder.empty() && path.size() > folder.size() &&
           CompareStringOrdinal(path.c_str(), int(folder.size()), folder.c_str(), int(folder.size()), TRUE) ==
               CSTR_EQUAL &&
           path.find(L'\\', folder.size()) == std::wstring::npos;
}

}  // namespace

void CContentsManager::ProcessFeedContent(CTNContent* content, const std::wstring& path) {
    content->sourcePath = path;
    if (content->kind == CTNContent::kFeedFile) {
        // A document that names no channel has nothing to subscribe to.
        const std::unique_ptr<pcast::CChannel> channel = ReadSubscription(path);
        if (!channel) {
            RefuseContent(content, kListA, path);
            return;
        }
        bool written = false;
        const std::wstring list =
            WriteFeedListFile(DataFolder(), channel->title, channel->subtitle, channel->link.href, &written);
        if (!written) {
            RefuseContent(content, kListA, path);
            return;
        }
        content->sourcePath = list;
        content->originFlag = 1;
    } else {
        // A dropped address whose list could not be written leaves only its name behind.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            RefuseContent(content, kListA, path);
            return;
        }
        content->originFlag = 0;
    }
    content->relativePath = CDestinationName::MakeSafeComponent(GetFileNameFromPath(content->sourcePath));
    CreateGuidString(&content->lookupId);
    content->kind = CTNContent::kFeedFile;
    content->fileType = 37;

    std::wstring existing;
    if (coordinator_ && coordinator_->DeviceRequest(content, &existing)) {
        if (IsInFolder(content->sourcePath, DataFolder())) DeleteFileW(content->sourcePath.c_str());
        RefuseContent(content, kListB, content->sourcePath);
        return;
    }
    PostContent(content);
}
