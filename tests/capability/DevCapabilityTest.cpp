#include <gtest/gtest.h>

#include "library/capability/CapabilityMap.h"
#include "library/capability/DevCapabilityImpl.h"
#include "tests/capability/CapabilityTestSupport.h"

namespace {

using Cap = CTNDevCapability;
using Strings = std::vector<std::wstring>;

// Device formats, a feed format, a format from another source, and a feed section with a target.
const char kFeedDevice[] =
    "<PlaybackCapabilities>"
    "<Audio><Format><Extension>mp3</Extension><MIME-Type>audio/mp3</MIME-Type></Format>"
    "<Format comesfrom=\"rss\"><Extension>AAC</Extension><MIME-Type>audio/aac</MIME-Type></Format>"
    "<Format comesfrom=\"usb\"><Extension>flac</Extension></Format>"
    "<Format><Extension></Extension></Format></Audio>"
    "</PlaybackCapabilities>"
    "<PlaybackCapabilities target=\"feedsound\">"
    "<Audio><Format comesfrom=\"rss\"><Extension>m4a</Extension></Format></Audio>"
    "<Video><Format><Extension>m4v</Extension></Format></Video>"
    "</PlaybackCapabilities>"
    "<PlaybackCapabilities target=\"\">"
    "<Audio><Format><Extension>wav</Extension></Format></Audio>"
    "<Image><Format><Extension>png</Extension></Format></Image>"
    "<File><Format><Extension>txt</Extension></Format></File>"
    "</PlaybackCapabilities>"
    "<PlaybackCapabilities target=\"elsewhere\">"
    "<Audio><Format><Extension>ogg</Extension></Format></Audio>"
    "</PlaybackCapabilities>"
    "<FileSystem><Path content-type=\"feedsound\" depth=\"2\">\\PODCAST\\</Path>"
    "<Path content-type=\"sound\">\\MUSIC\\</Path></FileSystem>";

class DevCapabilityTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ParseResult result = ParseDocument(CapabilityDocument(kFeedDevice));
        ASSERT_EQ(S_OK, result.hr);
        capability_ = std::move(result.capability);
    }
    Strings Extensions(int type, int filter) {
        Strings extensions;
        EXPECT_EQ(0, capability_->GetExtensions(extensions, type, filter));
        return extensions;
    }

    std::unique_ptr<Cap> capability_;
};

TEST_F(DevCapabilityTest, FormatFiltersFollowComesFrom) {
    EXPECT_EQ((Strings{L"mp3", L"wav", L"ogg"}), Extensions(Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_EQ((Strings{L"AAC", L"m4a"}), Extensions(Cap::kAudio, Cap::kFeedFormats));
    EXPECT_EQ((Strings{L"mp3", L"AAC", L"flac", L"m4a", L"wav", L"ogg"}),
              Extensions(Cap::kAudio, Cap::kAllFormats));
    Strings mimeTypes;
    EXPECT_EQ(0, capability_->GetMimeTypes(mimeTypes, Cap::kAudio, Cap::kFeedFormats));
    EXPECT_EQ((Strings{L"audio/aac"}), mimeTypes);

    EXPECT_TRUE(capability_->HasAnyFeedFormat());
    EXPECT_TRUE(capability_->IsExtensionPlayable(L"aac", Cap::kAudio, Cap::kFeedFormats));
    EXPECT_FALSE(capability_->IsExtensionPlayable(L"aac", Cap::kAudio, Cap::kDeviceFormats));
    // A format from another source is neither a device nor a feed format.
    EXPECT_FALSE(capability_->IsExtensionPlayable(L"flac", Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_FALSE(capability_->IsExtensionPlayable(L"flac", Cap::kAudio, Cap::kFeedFormats));
    EXPECT_TRUE(capability_->IsExtensionPlayable(L"flac", Cap::kAudio, Cap::kAllFormats));
    EXPECT_FALSE(capability_->HasFormats(Cap::kVideo, Cap::kFeedFormats));
    EXPECT_TRUE(capability_->HasFormats(Cap::kVideo, Cap::kDeviceFormats));
}

TEST_F(DevCapabilityTest, TargetFolders) {
    struct TargetCase {
        const wchar_t* extension;
        int type;
        int filter;
        int result;
        int folderType;
    };
    const TargetCase cases[] = {
        {L"M4A", Cap::kAudio, Cap::kFeedFormats, 0, Cap::kFolderFeedSound},
        {L"m4v", Cap::kVideo, Cap::kDeviceFormats, 0, Cap::kFolderFeedSound},
        {L"wav", Cap::kAudio, Cap::kDeviceFormats, 0, Cap::kFolderSound},  // empty target
        {L"png", Cap::kImage, Cap::kDeviceFormats, 0, Cap::kFolderImage},
        {L"txt", Cap::kFile, Cap::kDeviceFormats, -1, 0},                  // File has no folder
        {L"ogg", Cap::kAudio, Cap::kDeviceFormats, -1, 0},                 // unknown target
        {L"mp3", Cap::kAudio, Cap::kDeviceFormats, -1, 0},                 // no target attribute
        {L"wma", Cap::kAudio, Cap::kAllFormats, -1, 0},                    // not listed
    };
    for (const TargetCase& testCase : cases) {
        SCOPED_TRACE(testCase.extension);
        int folderType = -7;
        EXPECT_EQ(testCase.result, capability_->GetTargetFolder(folderType, testCase.extension,
                                                                testCase.type, testCase.filter));
        EXPECT_EQ(testCase.result == 0 ? testCase.folderType : -7, folderType);
    }

    std::wstring path;
    int depth = 0;
    EXPECT_EQ(0, capability_->GetFolderPathFor(path, L"m4a", Cap::kAudio, Cap::kFeedFormats));
    EXPECT_EQ(L"\\PODCAST\\", path);
    EXPECT_EQ(0, capability_->GetFolderDepthFor(depth, L"m4a", Cap::kAudio, Cap::kFeedFormats));
    EXPECT_EQ(2, depth);
    EXPECT_EQ(0, capability_->GetFolderPathFor(path, L"wav", Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_EQ(L"\\MUSIC\\", path);
    EXPECT_EQ(0, capability_->GetFolderDepthFor(depth, L"wav", Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_EQ(7, depth);
    // A target whose folder the FileSystem does not name gives no path.
    EXPECT_EQ(-1, capability_->GetFolderPathFor(path, L"png", Cap::kImage, Cap::kDeviceFormats));
}

TEST_F(DevCapabilityTest, PlaybackRecordSkipsEmptyExtensions) {
    std::unique_ptr<Cap::CPlaybackCapability> record;
    ASSERT_EQ(0, capability_->GetPlaybackCapabilityFor(record, L"mp3", Cap::kAudio,
                                                        Cap::kDeviceFormats));
    EXPECT_EQ((std::set<std::wstring>{L"aac", L"flac", L"mp3"}), record->extensions);
    EXPECT_EQ((std::set<std::wstring>{L"audio/aac", L"audio/mp3"}), record->mimeTypes);
}

TEST_F(ComTest, QueriesWithoutADocumentFail) {
    CTNDevCapabilityImpl capability;
    Strings extensions;
    EXPECT_EQ(-1, capability.GetExtensions(extensions, Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_EQ(-1, capability.GetMimeTypes(extensions, Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_FALSE(capability.HasFormats(Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_FALSE(capability.HasAnyFeedFormat());
    EXPECT_FALSE(capability.IsExtensionPlayable(L"mp3", Cap::kAudio, Cap::kDeviceFormats));
    int folderType = 0;
    EXPECT_EQ(-1, capability.GetTargetFolder(folderType, L"mp3", Cap::kAudio, Cap::kAllFormats));
    auto record = std::make_unique<Cap::CPlaybackCapability>();
    EXPECT_EQ(-1, capability.GetPlaybackCapabilityFor(record, L"mp3", Cap::kAudio,
                                                       Cap::kDeviceFormats));
    EXPECT_FALSE(record);
    // The depth defaults are there from the start; the namespace is not.
    int depth = 0;
    EXPECT_EQ(0, capability.GetFolderDepth(depth, Cap::kFolderSound));
    EXPECT_EQ(7, depth);
    EXPECT_FALSE(capability.IsKnownNamespace());
}

TEST(CapabilityMapTest, TypedLookups) {
    const CapabilityPropertyMap map = {
        {1, L"42"}, {2, L"abc"}, {3, L"TRUE"}, {4, L"False"}, {5, L"0"}, {6, L"-3"}, {7, L""},
    };
    const std::wstring fallback = L"fallback";
    EXPECT_EQ(L"42", GetMapValue(map, 1, fallback));
    EXPECT_EQ(&fallback, &GetMapValue(map, 99, fallback));

    struct IntCase {
        int id;
        int expected;
    };
    for (const IntCase& testCase : {IntCase{1, 42}, IntCase{2, 0}, IntCase{6, -3}, IntCase{7, 0},
                                    IntCase{99, 17}}) {
        EXPECT_EQ(testCase.expected, GetMapValueInt(map, testCase.id, 17)) << testCase.id;
    }
    struct BoolCase {
        int id;
        bool defaultValue;
        bool expected;
    };
    for (const BoolCase& testCase :
         {BoolCase{3, false, true}, BoolCase{4, true, false}, BoolCase{1, false, true},
          BoolCase{5, true, false}, BoolCase{2, true, false}, BoolCase{6, false, true},
          BoolCase{7, true, false}, BoolCase{99, true, true}, BoolCase{99, false, false}}) {
        EXPECT_EQ(testCase.expected, GetMapValueBool(map, testCase.id, testCase.defaultValue))
            << testCase.id;
    }
}

}  // namespace
