#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "library/capability/CapabilityNamespace.h"
#include "library/capability/DevCapabilityImpl.h"
#include "library/capability/DeviceCapabilityParser.h"
#include "tests/capability/CapabilityTestSupport.h"

namespace {

using Cap = CTNDevCapability;

class DeviceCapabilityParserTest : public ComTest {};

// Ten levels of ten references each: a billion copies of one word once expanded.
std::string EntityExpansionBomb() {
    std::string dtd = "<!DOCTYPE Devices [<!ENTITY e0 \"laugh\">";
    for (int level = 1; level <= 10; ++level) {
        dtd += "<!ENTITY e" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) dtd += "&e" + std::to_string(level - 1) + ";";
        dtd += "\">";
    }
    dtd += "]>";
    return dtd + CapabilityDocument("<Identification><Model>&e10;</Model></Identification>");
}

std::string ManyAttributes(int count) {
    std::string attributes;
    for (int i = 0; i < count; ++i) attributes += " a" + std::to_string(i) + "=\"x\"";
    return CapabilityDocument("<Identification" + attributes + "><Model>M</Model></Identification>");
}

std::string DeeplyNested(int depth) {
    std::string body;
    for (int i = 0; i < depth; ++i) body += "<Identification>";
    for (int i = 0; i < depth; ++i) body += "</Identification>";
    return CapabilityDocument(body);
}

TEST_F(DeviceCapabilityParserTest, InvalidArgumentsLeaveTheOutputAlone) {
    const char text[] = "<a/>";
    CTNDevCapability* untouched = reinterpret_cast<CTNDevCapability*>(1);
    EXPECT_EQ(E_POINTER, ParseDeviceCapabilityXml(nullptr, 4, &untouched));
    EXPECT_EQ(E_POINTER, ParseDeviceCapabilityXml(text, 0, &untouched));
    EXPECT_EQ(E_POINTER, ParseDeviceCapabilityXml(text, -1, &untouched));
    EXPECT_EQ(E_POINTER, ParseDeviceCapabilityXml(text, 4, nullptr));
    EXPECT_EQ(reinterpret_cast<CTNDevCapability*>(1), untouched);
}

// Documents the parser must refuse outright, never handing out a partly filled capability.
TEST_F(DeviceCapabilityParserTest, RefusedDocuments) {
    const std::string uri = QB_CAPABILITY_NAMESPACE_URI;
    struct RefusedCase {
        const char* name;
        std::string bytes;
    };
    const RefusedCase cases[] = {
        {"no namespace", "<Devices><Device><FileSystem/></Device></Devices>"},
        {"other namespace", "<Devices xmlns=\"urn:other\"><Device/></Devices>"},
        {"namespace only on Devices",
         "<Devices xmlns=\"" + uri + "\"><Device xmlns=\"\"/></Devices>"},
        {"no Device", "<Devices xmlns=\"" + uri + "\"><Other/></Devices>"},
        {"unclosed element", CapabilityDocument("<FileSystem>")},
        {"truncated", CapabilityDocument("").substr(0, 60)},
        {"empty", ""},
        {"only a byte-order mark", "\xEF\xBB\xBF"},
        {"entity expansion bomb", EntityExpansionBomb()},
        {"100000 nested elements", DeeplyNested(100000)},
        {"a document type declaration without entities",
         "<!DOCTYPE Devices>" + CapabilityDocument("<Identification><Model>M</Model></Identification>")},
        {"100000 attributes on one element", ManyAttributes(100000)},
    };
    for (const RefusedCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        CTNDevCapability* untouched = reinterpret_cast<CTNDevCapability*>(1);
        std::string bytes = testCase.bytes;
        // The empty document still hands the parser one (zero) byte.
        int size = bytes.empty() ? 1 : static_cast<int>(bytes.size());
        EXPECT_TRUE(FAILED(ParseDeviceCapabilityXml(bytes.c_str(), size, &untouched)));
        EXPECT_EQ(reinterpret_cast<CTNDevCapability*>(1), untouched);
    }
}

TEST_F(DeviceCapabilityParserTest, HostileDocumentsAreRefusedQuicklyAndDamagedUtf8StillParses) {
    // One large internal entity referenced many times: refused before any expansion.
    std::string entity = "<!DOCTYPE Devices [<!ENTITY big \"" + std::string(100000, 'x') + "\">]>";
    std::string references;
    for (int i = 0; i < 2000; ++i) references += "&big;";
    struct Case {
        const char* name;
        std::string bytes;
        int size;
    };
    const std::string wide = ManyAttributes(100000);
    const std::string oversize(kMaxCapabilityDocumentBytes + 1, ' ');
    const Case cases[] = {
        {"big entity referenced many times",
         entity + CapabilityDocument("<Identification><Model>" + references + "</Model></Identification>"), 0},
        {"100000 attributes", wide, 0},
        {"one byte over the limit", oversize, 0},
        {"a size far beyond the bytes", "<a/>", 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTNDevCapability* untouched = reinterpret_cast<CTNDevCapability*>(1);
        const ULONGLONG start = GetTickCount64();
        const int size = c.size != 0 ? c.size : static_cast<int>(c.bytes.size());
        EXPECT_EQ(E_POINTER, ParseDeviceCapabilityXml(c.bytes.c_str(), size, &untouched));
        EXPECT_GT(2000u, GetTickCount64() - start);
        EXPECT_EQ(reinterpret_cast<CTNDevCapability*>(1), untouched);
    }

    // A damaged byte costs one character, not the document.
    ParseResult damaged = ParseDocument(CapabilityDocument("<Identification><Model>A\xC3\x28\x42</Model></Identification>"));
    ASSERT_EQ(S_OK, damaged.hr);
    const std::wstring none = L"<none>";
    EXPECT_EQ(L"A\uFFFD(B", damaged.capability->GetProperty(Cap::kPropModel, none));
}

TEST_F(DeviceCapabilityParserTest, NotWellFormedIsEPointer) {
    ParseResult result = ParseDocument(CapabilityDocument("<FileSystem>"));
    EXPECT_EQ(E_POINTER, result.hr);
    EXPECT_FALSE(result.capability);
    result = ParseDocument("<Devices><Device/></Devices>");
    EXPECT_EQ(E_POINTER, result.hr);
}

TEST_F(DeviceCapabilityParserTest, ReadsOnlyTheGivenSize) {
    std::string document = CapabilityDocument("");
    CTNDevCapability* capability = nullptr;
    // The well-formed rest beyond `size` must not be read.
    EXPECT_TRUE(FAILED(ParseDeviceCapabilityXml(document.c_str(),
                                                static_cast<int>(document.size()) - 1, &capability)));
    EXPECT_EQ(nullptr, capability);
}

TEST_F(DeviceCapabilityParserTest, IdentificationAndAnalysisFeature) {
    ParseResult result = ParseDocument(CapabilityDocument(
        "<Identification><Model>NW-Q1</Model><Manufacturer>Maker</Manufacturer>"
        "<Brand>Brand</Brand></Identification>"
        "<Applications><Ravelin enable=\"false\" version=\"2.1\"/></Applications>"));
    ASSERT_EQ(S_OK, result.hr);
    const Cap& capability = *result.capability;
    EXPECT_EQ(L"NW-Q1", capability.GetProperty(Cap::kPropModel, L""));
    EXPECT_EQ(L"Maker", capability.GetProperty(Cap::kPropManufacturer, L""));
    EXPECT_FALSE(capability.HasProperty(Cap::kPropVendor));
    EXPECT_EQ(L"Brand", capability.GetProperty(Cap::kPropBrand, L""));
    EXPECT_TRUE(capability.HasRavelinEntry());
    EXPECT_FALSE(capability.IsRavelinEnabled());
    std::wstring version;
    EXPECT_EQ(0, capability.GetRavelinVersion(version));
    EXPECT_EQ(L"2.1", version);

    // Without the element the feature is absent and off; "TRUE" is not "true".
    result = ParseDocument(CapabilityDocument(
        "<Applications><Ravelin enable=\"TRUE\"/></Applications>"));
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_TRUE(result.capability->HasRavelinEntry());
    EXPECT_FALSE(result.capability->IsRavelinEnabled());
    EXPECT_TRUE(result.capability->GetPropertyBool(Cap::kPropRavelinEnable, false));
    EXPECT_EQ(-1, result.capability->GetRavelinVersion(version));
    result = ParseDocument(CapabilityDocument(""));
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_FALSE(result.capability->HasRavelinEntry());
    EXPECT_FALSE(result.capability->IsRavelinEnabled());
}

TEST_F(DeviceCapabilityParserTest, FoldersAndDepths) {
    ParseResult result = ParseDocument(CapabilityDocument(
        "<FileSystem>"
        "<Path content-type=\"sound\">\\MUSIC\\</Path>"
        "<Path content-type=\"image\">\\IMG\\</Path>"
        "<Path content-type=\"video\" depth=\"3\">\\FIRST\\</Path>"
        "<Path content-type=\"video\" depth=\"9\">\\SECOND\\</Path>"
        "<Path content-type=\"feeds\" depth=\"2\">\\PODCASTS\\</Path>"
        "<Path content-type=\"feedsound\" depth=\"4\"><Target>\\FEEDSOUND\\</Target></Path>"
        "<Path content-type=\"camera\" depth=\"5\"></Path>"
        "<Path content-type=\"unknown\" depth=\"6\">\\X\\</Path>"
        "</FileSystem>"));
    ASSERT_EQ(S_OK, result.hr);
    const Cap& capability = *result.capability;
    struct FolderCase {
        int folderType;
        const wchar_t* path;  // null: no folder
        int depth;
    };
    const FolderCase cases[] = {
        {Cap::kFolderSound, L"\\MUSIC\\", 7},          // missing depth keeps 7
        {Cap::kFolderImage, L"\\IMG\\", 1},            // missing depth keeps 1
        {Cap::kFolderVideo, L"\\FIRST\\", 3},          // the first of two Paths counts
        {Cap::kFolderFeeds, L"\\PODCASTS\\", 2},
        {Cap::kFolderFeedSound, L"\\FEEDSOUND\\", 4},
        {Cap::kFolderCamera, nullptr, 5},              // an empty folder is no folder
        {Cap::kFolderFeedVideo, nullptr, 1},
        {Cap::kFolderFeedImage, nullptr, 1},
    };
    for (const FolderCase& testCase : cases) {
        SCOPED_TRACE(testCase.folderType);
        std::wstring path;
        EXPECT_EQ(testCase.path ? 0 : -1, capability.GetFolderPath(path, testCase.folderType));
        if (testCase.path) {
            EXPECT_EQ(testCase.path, path);
        }
        int depth = 0;
        EXPECT_EQ(0, capability.GetFolderDepth(depth, testCase.folderType));
        EXPECT_EQ(testCase.depth, depth);
    }
}

TEST_F(DeviceCapabilityParserTest, DecodesUtf8AndSkipsAByteOrderMark) {
    const std::wstring model = L"T\u014Dne \u65E5\u672C \u00C9t\u00E9";
    std::string body = "<Identification><Model>" + ToUtf8(model) + "</Model></Identification>";
    for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
        SCOPED_TRACE(prefix.size());
        ParseResult result = ParseDocument(prefix + CapabilityDocument(body));
        ASSERT_EQ(S_OK, result.hr);
        EXPECT_EQ(model, result.capability->GetProperty(Cap::kPropModel, L""));
    }
}

TEST_F(DeviceCapabilityParserTest, NamespaceDeclaredWithAPrefixIsKnown) {
    const std::string uri = QB_CAPABILITY_NAMESPACE_URI;
    ParseResult result = ParseDocument("<c:Devices xmlns:c=\"" + uri +
                                       "\"><c:Device><c:FileSystem><c:Path content-type=\"sound\">"
                                       "\\M\\</c:Path></c:FileSystem></c:Device></c:Devices>");
    ASSERT_EQ(S_OK, result.hr);
    EXPECT_TRUE(result.capability->IsKnownNamespace());
    std::wstring path;
    EXPECT_EQ(0, result.capability->GetFolderPath(path, Cap::kFolderSound));
    EXPECT_EQ(L"\\M\\", path);
}

TEST_F(DeviceCapabilityParserTest, PlaybackRecordsWithCapabilities) {
    ParseResult result = ParseDocument(CapabilityDocument(
        "<PlaybackCapabilities>"
        "<Video><Format><Extension>MP4</Extension><Extension>mp4</Extension>"
        "<Encoding><Codec>codec=\"3\";encryption=\"none\"</Codec><Codec>codec=21;</Codec></Encoding>"
        "<MIME-Type>video/mp4</MIME-Type></Format>"
        "<AudioCapability><Channel>2</Channel><Channel>1</Channel><Channel>2</Channel>"
        "<SamplingRate>48000</SamplingRate><SamplingRate>44100</SamplingRate>"
        "<MaxBitrate>320000</MaxBitrate></AudioCapability>"
        "<VideoCapability><MaxFrameRate>30</MaxFrameRate><MaxBitrate>768000</MaxBitrate>"
        "<CapableVariableFrameRate>false</CapableVariableFrameRate>"
        "<CapableOddDimension>true</CapableOddDimension>"
        "<MinDimension><Height>16</Height><Width>32</Width></MinDimension>"
        "<MaxDimension><Height>240</Height><Width>320</Width></MaxDimension></VideoCapability>"
        "</Video>"
        "<Image><Format><Extension>jpg</Extension></Format>"
        "<ImageCapability><ExpectedDimension><Height>120</Height><Width>160</Width>"
        "</ExpectedDimension><CapableProgressive>false</CapableProgressive></ImageCapability>"
        "</Image>"
        "<File><Format><Extension>txt</Extension></Format></File>"
        "</PlaybackCapabilities>"
        "<PlaybackCapabilities><Audio><Format><Extension>ogg</Extension></Format></Audio>"
        "</PlaybackCapabilities>"));
    ASSERT_EQ(S_OK, result.hr);

    std::unique_ptr<Cap::CPlaybackCapability> record;
    ASSERT_EQ(0, result.capability->GetPlaybackCapabilityFor(record, L"mp4", Cap::kVideo,
                                                              Cap::kDeviceFormats));
    EXPECT_EQ((std::set<std::wstring>{L"mp4"}), record->extensions);
    EXPECT_EQ((std::set<std::wstring>{L"codec=\"3\";encryption=\"none\"", L"codec=21;"}),
              record->codecs);
    ASSERT_TRUE(record->audio);
    EXPECT_EQ((std::set<int>{1, 2}), record->audio->channels);
    EXPECT_EQ((std::set<int>{44100, 48000}), record->audio->samplingRates);
    EXPECT_EQ(320000, GetMapValueInt(record->audio->properties, Cap::kAudioMaxBitrate, 0));
    EXPECT_EQ(0, record->audio->withVideo);
    ASSERT_TRUE(record->video);
    const CapabilityPropertyMap& video = record->video->properties;
    EXPECT_EQ(30, GetMapValueInt(video, Cap::kVideoMaxFrameRate, 0));
    EXPECT_EQ(768000, GetMapValueInt(video, Cap::kVideoMaxBitrate, 0));
    EXPECT_FALSE(GetMapValueBool(video, Cap::kVideoVariableFrameRate, true));
    EXPECT_TRUE(GetMapValueBool(video, Cap::kVideoOddDimension, false));
    EXPECT_EQ(16, GetMapValueInt(video, Cap::kVideoMinHeight, 0));
    EXPECT_EQ(32, GetMapValueInt(video, Cap::kVideoMinWidth, 0));
    EXPECT_EQ(240, GetMapValueInt(video, Cap::kVideoMaxHeight, 0));
    EXPECT_EQ(320, GetMapValueInt(video, Cap::kVideoMaxWidth, 0));
    EXPECT_FALSE(record->image);

    // Both Extension nodes of the one Video element match: index 1 builds the same element again.
    EXPECT_EQ(0, result.capability->GetPlaybackCapability(record, L"MP4", Cap::kVideo, 1,
                                                           Cap::kDeviceFormats));
    EXPECT_EQ(-1, result.capability->GetPlaybackCapability(record, L"MP4", Cap::kVideo, 2,
                                                            Cap::kDeviceFormats));

    ASSERT_EQ(0, result.capability->GetPlaybackCapabilityFor(record, L"jpg", Cap::kImage,
                                                              Cap::kDeviceFormats));
    ASSERT_TRUE(record->image);
    EXPECT_EQ(120, GetMapValueInt(record->image->properties, Cap::kImageExpectedHeight, 0));
    EXPECT_EQ(160, GetMapValueInt(record->image->properties, Cap::kImageExpectedWidth, 0));
    EXPECT_FALSE(GetMapValueBool(record->image->properties, Cap::kImageProgressive, true));

    // Queries see every PlaybackCapabilities and File; the parser builds records only from the
    // first PlaybackCapabilities and not for File.
    EXPECT_TRUE(result.capability->IsExtensionPlayable(L"ogg", Cap::kAudio, Cap::kDeviceFormats));
    EXPECT_TRUE(result.capability->IsExtensionPlayable(L"TXT", Cap::kFile, Cap::kDeviceFormats));
    EXPECT_EQ(0, result.capability->GetPlaybackCapabilityFor(record, L"txt", Cap::kFile,
                                                              Cap::kDeviceFormats));
    auto& impl = static_cast<CTNDevCapabilityImpl&>(*result.capability);
    EXPECT_TRUE(impl.GetPlaybackCapabilities(Cap::kAudio).empty());
    EXPECT_EQ(1u, impl.GetPlaybackCapabilities(Cap::kVideo).size());
    EXPECT_EQ(1u, impl.GetPlaybackCapabilities(Cap::kImage).size());
    EXPECT_TRUE(impl.GetPlaybackCapabilities(Cap::kFile).empty());
}

// Bytes of the built-in document, mutated at random from a fixed seed: the parser either refuses
// the result or hands out a capability whose queries all answer.
TEST_F(DeviceCapabilityParserTest, MutatedDocumentsNeverCrashOrHang) {
    const std::string original = LoadDefaultDocument();
    ASSERT_FALSE(original.empty());
    const char kInteresting[] = "<>/=\"'&;:![]?\x00\xEF\xBB\xBF\xC3\xFF";
    std::mt19937 random(20261210);
    auto pick = [&](size_t bound) {
        return static_cast<size_t>(std::uniform_int_distribution<uint64_t>(0, bound - 1)(random));
    };
    int parsed = 0;
    const int kRounds = 5000;
    for (int round = 0; round < kRounds; ++round) {
        std::string bytes = original;
        int mutations = 1 + static_cast<int>(pick(3));
        for (int m = 0; m < mutations && !bytes.empty(); ++m) {
            size_t at = pick(bytes.size());
            switch (pick(5)) {
            case 0: bytes[at] = static_cast<char>(pick(256)); break;
            case 1: bytes[at] = kInteresting[pick(sizeof kInteresting - 1)]; break;
            case 2: bytes.erase(at, 1 + pick(std::min<size_t>(64, bytes.size() - at))); break;
            case 3: bytes.insert(at, bytes.substr(pick(bytes.size()), 1 + pick(64))); break;
            default: bytes.resize(at); break;
            }
        }
        if (bytes.empty()) continue;
        ParseResult result = ParseDocument(bytes);
        if (FAILED(result.hr)) {
            ASSERT_FALSE(result.capability) << round;
            continue;
        }
        ASSERT_TRUE(result.capability) << round;
        ++parsed;
        const Cap& capability = *result.capability;
        for (int type = Cap::kImage; type <= Cap::kFile; ++type) {
            std::vector<std::wstring> extensions;
            capability.GetExtensions(extensions, type, Cap::kAllFormats);
            for (const std::wstring& extension : extensions) {
                std::unique_ptr<Cap::CPlaybackCapability> record;
                capability.GetPlaybackCapabilityFor(record, extension, type, Cap::kDeviceFormats);
                std::wstring path;
                capability.GetFolderPathFor(path, extension, type, Cap::kAllFormats);
            }
        }
        capability.HasAnyFeedFormat();
        for (int folderType = 0; folderType < 8; ++folderType) {
            std::wstring path;
            int depth = 0;
            capability.GetFolderPath(path, folderType);
            capability.GetFolderDepth(depth, folderType);
        }
    }
    // The mutations must leave enough documents intact to exercise the queries too.
    EXPECT_GT(parsed, kRounds / 50);
}

}  // namespace
