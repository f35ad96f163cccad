#include <gtest/gtest.h>

#include <vector>

#include "library/capability/CapabilityNamespace.h"
#include "library/capability/DefaultCapabilityXml.h"
#include "library/capability/DevCapabilityImpl.h"
#include "tests/capability/CapabilityTestSupport.h"

namespace {

using Strings = std::vector<std::wstring>;

TEST(DefaultCapabilityXmlTest, SizeQueryThenCopy) {
    DWORD size = 0;
    ASSERT_EQ(S_OK, LoadDefaultCapabilityXml(nullptr, &size));
    ASSERT_GT(size, 2000u);

    std::string bytes(size + 1, '\0');
    DWORD tooSmall = size - 1;
    EXPECT_EQ(E_FAIL, LoadDefaultCapabilityXml(&bytes[0], &tooSmall));

    DWORD bufferSize = size + 1;
    ASSERT_EQ(S_OK, LoadDefaultCapabilityXml(&bytes[0], &bufferSize));
    EXPECT_EQ(size, bufferSize);
    bytes.resize(size);
    EXPECT_EQ(0u, bytes.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    // CR LF line ends throughout, and the namespace the parser accepts.
    size_t lineFeeds = 0;
    size_t crLfs = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        ++lineFeeds;
        if (i > 0 && bytes[i - 1] == '\r') ++crLfs;
    }
    EXPECT_GT(lineFeeds, 50u);
    EXPECT_EQ(lineFeeds, crLfs);
    EXPECT_NE(std::string::npos,
              bytes.find("xmlns=\"" + std::string(QB_CAPABILITY_NAMESPACE_URI) + "\""));
    EXPECT_NE(std::string::npos,
              bytes.find("xmlns:tt=\"" + std::string(QB_CAPABILITY_NAMESPACE_URI) +
                         "/Applications/Ravelin\""));

    EXPECT_EQ(E_POINTER, LoadDefaultCapabilityXml(nullptr, nullptr));
}

class DefaultCapabilityTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ParseResult result = ParseDocument(LoadDefaultDocument());
        ASSERT_EQ(S_OK, result.hr);
        ASSERT_TRUE(result.capability);
        capability_ = std::move(result.capability);
    }
    Strings Extensions(int type, int filter = CTNDevCapability::kDeviceFormats) {
        Strings extensions;
        EXPECT_EQ(0, capability_->GetExtensions(extensions, type, filter));
        return extensions;
    }
    Strings MimeTypes(int type) {
        Strings mimeTypes;
        EXPECT_EQ(0, capability_->GetMimeTypes(mimeTypes, type, CTNDevCapability::kDeviceFormats));
        return mimeTypes;
    }

    std::unique_ptr<CTNDevCapability> capability_;
};

TEST_F(DefaultCapabilityTest, ExtensionsAndMimeTypesInDocumentOrder) {
    EXPECT_EQ((Strings{L"jpg"}), Extensions(CTNDevCapability::kImage));
    EXPECT_EQ((Strings{L"mp3", L"mp4", L"m4a", L"wma"}), Extensions(CTNDevCapability::kAudio));
    EXPECT_EQ((Strings{L"mp4", L"wmv", L"avi"}), Extensions(CTNDevCapability::kVideo));
    EXPECT_EQ(Strings{}, Extensions(CTNDevCapability::kFile));
    EXPECT_EQ(Strings{}, Extensions(CTNDevCapability::kAudio, CTNDevCapability::kFeedFormats));
    EXPECT_EQ((Strings{L"audio/mp3", L"audio/mp4", L"audio/m4a", L"audio/wma", L"audio/x-ms-wma"}),
              MimeTypes(CTNDevCapability::kAudio));
    EXPECT_EQ((Strings{L"video/mp4", L"video/x-ms-wmv", L"video/avi"}),
              MimeTypes(CTNDevCapability::kVideo));
    EXPECT_EQ((Strings{L"image/jpeg"}), MimeTypes(CTNDevCapability::kImage));

    // Results are appended to what the list holds.
    Strings extensions{L"keep"};
    EXPECT_EQ(0, capability_->GetExtensions(extensions, CTNDevCapability::kImage,
                                            CTNDevCapability::kDeviceFormats));
    EXPECT_EQ((Strings{L"keep", L"jpg"}), extensions);
}

TEST_F(DefaultCapabilityTest, FormatQueries) {
    EXPECT_FALSE(capability_->HasAnyFeedFormat());
    EXPECT_TRUE(capability_->HasFormats(CTNDevCapability::kVideo, CTNDevCapability::kDeviceFormats));
    EXPECT_FALSE(capability_->HasFormats(CTNDevCapability::kFile, CTNDevCapability::kDeviceFormats));
    EXPECT_TRUE(capability_->IsExtensionPlayable(L"MP3", CTNDevCapability::kAudio,
                                                 CTNDevCapability::kDeviceFormats));
    EXPECT_FALSE(capability_->IsExtensionPlayable(L"jpg", CTNDevCapability::kAudio,
                                                  CTNDevCapability::kDeviceFormats));
    EXPECT_FALSE(capability_->IsExtensionPlayable(L"mp3", CTNDevCapability::kAudio,
                                                  CTNDevCapability::kFeedFormats));
}

TEST_F(DefaultCapabilityTest, FoldersAndDepths) {
    struct FolderCase {
        int folderType;
        int pathResult;
        const wchar_t* path;
        int depth;
    };
    const FolderCase cases[] = {
        {CTNDevCapability::kFolderCamera, 0, L"\\DCIM\\", 1},
        {CTNDevCapability::kFolderImage, 0, L"\\PICTURE\\", 7},
        {CTNDevCapability::kFolderVideo, 0, L"\\VIDEO\\", 7},
        {CTNDevCapability::kFolderSound, 0, L"\\MUSIC\\", 7},
        {CTNDevCapability::kFolderFeeds, -1, L"", 1},
        {CTNDevCapability::kFolderFeedSound, -1, L"", 1},
        {CTNDevCapability::kFolderFeedVideo, -1, L"", 1},
        {CTNDevCapability::kFolderFeedImage, -1, L"", 1},
    };
    for (const FolderCase& testCase : cases) {
        SCOPED_TRACE(testCase.folderType);
        std::wstring path = L"untouched";
        EXPECT_EQ(testCase.pathResult, capability_->GetFolderPath(path, testCase.folderType));
        EXPECT_EQ(testCase.pathResult == 0 ? testCase.path : L"untouched", path);
        int depth = -5;
        EXPECT_EQ(0, capability_->GetFolderDepth(depth, testCase.folderType));
        EXPECT_EQ(testCase.depth, depth);
    }
    std::wstring path;
    int depth = 0;
    EXPECT_EQ(-1, capability_->GetFolderPath(path, 8));
    EXPECT_EQ(-1, capability_->GetFolderPath(path, -1));
    EXPECT_EQ(-1, capability_->GetFolderDepth(depth, 8));
    EXPECT_EQ(-1, capability_->GetFolderDepth(depth, -1));

    // No PlaybackCapabilities names a target, so no extension has a target folder.
    int folderType = 99;
    EXPECT_EQ(-1, capability_->GetTargetFolder(folderType, L"mp3", CTNDevCapability::kAudio,
                                               CTNDevCapability::kDeviceFormats));
    EXPECT_EQ(99, folderType);
    EXPECT_EQ(-1, capability_->GetFolderPathFor(path, L"mp3", CTNDevCapability::kAudio,
                                                CTNDevCapability::kDeviceFormats));
    EXPECT_EQ(-1, capability_->GetFolderDepthFor(depth, L"mp3", CTNDevCapability::kAudio,
                                                 CTNDevCapability::kDeviceFormats));
}

TEST_F(DefaultCapabilityTest, AnalysisFeatureAndNamespace) {
    EXPECT_TRUE(capability_->HasRavelinEntry());
    EXPECT_TRUE(capability_->IsRavelinEnabled());
    std::wstring version;
    EXPECT_EQ(0, capability_->GetRavelinVersion(version));
    EXPECT_EQ(L"1.0", version);
    EXPECT_TRUE(capability_->IsKnownNamespace());
    EXPECT_EQ(kCapabilityNamespaceUri,
              capability_->GetProperty(CTNDevCapability::kPropNamespace, L""));
    for (int id = CTNDevCapability::kPropModel; id <= CTNDevCapability::kPropBrand; ++id) {
        EXPECT_FALSE(capability_->HasProperty(id)) << id;
    }
}

TEST_F(DefaultCapabilityTest, PlaybackRecordOfAnExtension) {
    auto record = std::make_unique<CTNDevCapability::CPlaybackCapability>();
    ASSERT_EQ(0, capability_->GetPlaybackCapabilityFor(record, L"M4A", CTNDevCapability::kAudio,
                                                       CTNDevCapability::kDeviceFormats));
    ASSERT_TRUE(record);
    EXPECT_EQ((std::set<std::wstring>{L"m4a", L"mp4"}), record->extensions);
    EXPECT_EQ((std::set<std::wstring>{L"audio/m4a", L"audio/mp4"}), record->mimeTypes);
    EXPECT_TRUE(record->codecs.empty());
    EXPECT_FALSE(record->audio);
    EXPECT_FALSE(record->video);
    EXPECT_FALSE(record->image);

    EXPECT_EQ(-1, capability_->GetPlaybackCapability(record, L"m4a", CTNDevCapability::kAudio, 1,
                                                      CTNDevCapability::kDeviceFormats));
    EXPECT_FALSE(record);
}

TEST_F(DefaultCapabilityTest, ParserBuildsOneRecordPerPlaybackElement) {
    auto& impl = static_cast<CTNDevCapabilityImpl&>(*capability_);
    EXPECT_EQ(1u, impl.GetPlaybackCapabilities(CTNDevCapability::kImage).size());
    ASSERT_EQ(3u, impl.GetPlaybackCapabilities(CTNDevCapability::kAudio).size());
    ASSERT_EQ(3u, impl.GetPlaybackCapabilities(CTNDevCapability::kVideo).size());
    EXPECT_TRUE(impl.GetPlaybackCapabilities(CTNDevCapability::kFile).empty());
    EXPECT_EQ((std::set<std::wstring>{L"wma"}),
              impl.GetPlaybackCapabilities(CTNDevCapability::kAudio)[2]->extensions);
    EXPECT_EQ((std::set<std::wstring>{L"video/avi"}),
              impl.GetPlaybackCapabilities(CTNDevCapability::kVideo)[2]->mimeTypes);
}

}  // namespace
