#include "setup/manager/DeviceFormatMasks.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A capability that answers only the extension lists and the feed-list question.
class CListedCapability : public CTNDevCapability {
public:
    std::map<std::pair<int, int>, std::vector<std::wstring>> lists;
    bool opmlFeed = false;

    int GetExtensions(std::vector<std::wstring>& extensions, int type, int filter) const override {
        auto found = lists.find({type, filter});
        if (found == lists.end()) return -1;
        extensions.insert(extensions.end(), found->second.begin(), found->second.end());
        return 0;
    }
    bool IsExtensionPlayable(const std::wstring& extension, int type, int filter) const override {
        return opmlFeed && extension == L"opml" && type == kFile && filter == kFeedFormats;
    }
    const std::wstring& GetProperty(int, const std::wstring& defaultValue) const override { return defaultValue; }
    int GetPropertyInt(int, int defaultValue) const override { return defaultValue; }
    bool GetPropertyBool(int, bool defaultValue) const override { return defaultValue; }
    bool HasProperty(int) const override { return false; }
    bool IsKnownNamespace() const override { return true; }
    bool HasAnyFeedFormat() const override { return false; }
    bool HasFormats(int, int) const override { return false; }
    int GetMimeTypes(std::vector<std::wstring>&, int, int) const override { return -1; }
    int GetTargetFolder(int&, const std::wstring&, int, int) const override { return -1; }
    int GetFolderPathFor(std::wstring&, const std::wstring&, int, int) const override { return -1; }
    int GetFolderPath(std::wstring&, int) const override { return -1; }
    int GetFolderDepthFor(int&, const std::wstring&, int, int) const override { return -1; }
    int GetFolderDepth(int&, int) const override { return -1; }
    int GetPlaybackCapability(std::unique_ptr<CPlaybackCapability>&, const std::wstring&, int, int,
                              int) const override {
        return -1;
    }
    int GetPlaybackCapabilityFor(std::unique_ptr<CPlaybackCapability>&, const std::wstring&, int,
                                 int) const override {
        return -1;
    }
    bool HasRavelinEntry() const override { return false; }
    bool IsRavelinEnabled() const override { return false; }
    int GetRavelinVersion(std::wstring&) const override { return -1; }
};

constexpr uint64_t High(uint64_t bits) { return bits << 32; }

TEST(DeviceFormatMasksTest, EveryListedExtensionSetsItsOwnBitByPlaybackType) {
    CListedCapability capability;
    const int device = CTNDevCapability::kDeviceFormats;
    capability.lists[{CTNDevCapability::kAudio, device}] = {L"mp3", L"wma", L"mp4", L"3gp", L"m4a",
                                                             L"aac", L"wav", L"zel", L"zq3"};
    capability.lists[{CTNDevCapability::kImage, device}] = {L"jpg", L"jpeg", L"jpe", L"png", L"bmp"};
    capability.lists[{CTNDevCapability::kVideo, device}] = {
        L"mp4", L"m4v", L"wmv", L"3gp", L"mpg", L"mov", L"avi", L"flv", L"rm", L"qt",
        L"divx", L"xvid", L"m2ts", L"m2t", L"mts", L"mpeg", L"mpe", L"m2v", L"mpv2", L"mp2v"};
    const DeviceFormatMasks masks = ReadDeviceFormatMasks(capability);
    EXPECT_EQ(0x3FEull | 0x3E0000ull | High(0x1FFFFE), masks.ordinary);
    // No feed formats: the feed mask carries the ordinary video bits only.
    EXPECT_EQ(High(0x1FFFFE), masks.feed);
    EXPECT_TRUE(masks.audio);
    EXPECT_TRUE(masks.image);
    EXPECT_TRUE(masks.video);
    EXPECT_FALSE(masks.podcast);
}

TEST(DeviceFormatMasksTest, NamesMatchExactlyAndOnlyInTheirOwnType) {
    CListedCapability capability;
    const int device = CTNDevCapability::kDeviceFormats;
    // Case, dots and another type's names set nothing; an empty list sets no format flag.
    capability.lists[{CTNDevCapability::kAudio, device}] = {L"MP3", L".wma", L"m4v", L"mp3 ", L"mp4"};
    capability.lists[{CTNDevCapability::kImage, device}] = {};
    const DeviceFormatMasks masks = ReadDeviceFormatMasks(capability);
    EXPECT_EQ(0x8ull, masks.ordinary);
    EXPECT_TRUE(masks.audio);
    EXPECT_FALSE(masks.image);
    EXPECT_FALSE(masks.video);
}

TEST(DeviceFormatMasksTest, FeedListsAndFeedFormatsMakeThePodcastMask) {
    CListedCapability capability;
    capability.opmlFeed = true;
    capability.lists[{CTNDevCapability::kVideo, CTNDevCapability::kDeviceFormats}] = {L"wmv"};
    capability.lists[{CTNDevCapability::kAudio, CTNDevCapability::kFeedFormats}] = {L"mp3", L"aac"};
    capability.lists[{CTNDevCapability::kVideo, CTNDevCapability::kFeedFormats}] = {L"mp4"};
    const DeviceFormatMasks masks = ReadDeviceFormatMasks(capability);
    EXPECT_EQ(DeviceFormatBits::kFeedList, High(0x2000000));
    EXPECT_EQ(High(0x8) | DeviceFormatBits::kFeedList, masks.ordinary);
    EXPECT_EQ(DeviceFormatBits::kFeedList | 0x42ull | High(0x2) | High(0x8), masks.feed);
    EXPECT_TRUE(masks.podcast);
    EXPECT_FALSE(masks.audio);

    CListedCapability onlyFeedFormats;
    onlyFeedFormats.lists[{CTNDevCapability::kImage, CTNDevCapability::kFeedFormats}] = {L"png"};
    const DeviceFormatMasks feeds = ReadDeviceFormatMasks(onlyFeedFormats);
    EXPECT_TRUE(feeds.podcast);
    EXPECT_EQ(0ull, feeds.ordinary);
    EXPECT_EQ(0x100000ull, feeds.feed);
}

}  // namespace
