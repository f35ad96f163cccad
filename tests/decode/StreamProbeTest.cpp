#include "library/media/decode/StreamProbe.h"

#include <gtest/gtest.h>
#include <cguid.h>
#include <uuids.h>

#include <cstring>

#include "library/media/decode/FrameSync.h"
#include "library/media/decode/MPEGAudioFile.h"
#include "library/util/ScopedWin.h"
#include "tests/decode/DecodeTestSupport.h"

namespace {

const uint8_t kHeader128k[4] = {0xFF, 0xFB, 0x90, 0x00};  // 417-byte MPEG-1 Layer III frames
const size_t kFrameLength = 417;

void AppendFrames(std::vector<uint8_t>& bytes, int count, const char* marker = nullptr) {
    for (int i = 0; i < count; ++i) {
        const size_t at = bytes.size();
        bytes.resize(at + kFrameLength, 0x55);
        std::memcpy(bytes.data() + at, kHeader128k, 4);
        if (marker != nullptr && i == 0) std::memcpy(bytes.data() + at + 40, marker, std::strlen(marker));
    }
}

std::vector<uint8_t> Id3Tag(uint32_t size) {
    std::vector<uint8_t> tag(10 + size, 0);
    std::memcpy(tag.data(), "ID3\x03\x00\x00", 6);
    tag[6] = (size >> 21) & 0x7F;
    tag[7] = (size >> 14) & 0x7F;
    tag[8] = (size >> 7) & 0x7F;
    tag[9] = size & 0x7F;
    return tag;
}

TEST(StreamProbeTest, DataStartsBehindA4096ByteTag) {
    std::vector<uint8_t> bytes = Id3Tag(4096);
    bytes.resize(bytes.size() + 33, 0);  // junk before the first frame
    AppendFrames(bytes, 3);
    CScratchFile file(bytes);
    CScopedHandle handle(CreateFileW(file.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    MPEGAudioFile parser;
    ASSERT_EQ(S_OK, parser.Parse(handle.Get()));
    EXPECT_EQ(4106u, parser.dataStart);
    EXPECT_EQ(4106u + 33u, parser.firstFrame);
}

TEST(StreamProbeTest, ParseRefusesAnInvalidHandleAndNonAudio) {
    MPEGAudioFile parser;
    EXPECT_EQ(E_INVALIDARG, parser.Parse(INVALID_HANDLE_VALUE));
    CScratchFile text(std::vector<uint8_t>(5000, 'a'));
    CScopedHandle handle(CreateFileW(text.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(E_FAIL, parser.Parse(handle.Get()));
}

struct DetectCase {
    const char* name;
    bool tag;
    bool riff;
    const char* infoMarker;
    uint32_t expectedOffset;
};

TEST(StreamProbeTest, DetectFindsTheFirstAudioFrame) {
    const DetectCase cases[] = {
        {"plain stream", false, false, nullptr, 0},
        {"behind a tag", true, false, nullptr, 110},
        {"behind a tag and an information frame", true, false, "Xing....LAME3.100", 110 + kFrameLength},
        {"an information frame without the encoder tag stays", false, false, "Xing", 0},
        {"riff rmp3 wrapper", false, true, nullptr, 20},
    };
    for (const DetectCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes;
        if (c.tag) bytes = Id3Tag(100);
        if (c.riff) {
            const uint8_t riff[20] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'P', '3', 'd', 'a', 't', 'a', 0, 0, 0, 0};
            bytes.assign(riff, riff + 20);
        }
        AppendFrames(bytes, 4, c.infoMarker);
        CScratchFile file(bytes);
        StreamMediaType type{};
        uint32_t offset = 99;
        ASSERT_EQ(S_OK, DetectStreamMediaType(file.Path().c_str(), &type, &offset));
        EXPECT_EQ(c.expectedOffset, offset);
        EXPECT_TRUE(IsEqualGUID(MEDIATYPE_Stream, type.majorType));
        EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_MPEG1Audio, type.subType));
    }
}

TEST(StreamProbeTest, LameFixtureSkipsItsInformationFrame) {
    const std::wstring path = FixturePath(L"tone-id3-lame.mp3");
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    ASSERT_GT(bytes.size(), 1000u);
    uint32_t tagSize = 0;
    ASSERT_EQ(S_OK, ParseId3Header(bytes.data(), &tagSize));
    StreamMediaType type{};
    uint32_t offset = 0;
    ASSERT_EQ(S_OK, DetectStreamMediaType(path.c_str(), &type, &offset));
    // The first frame right behind the tag is the encoder's; audio starts one frame later.
    ASSERT_EQ(0xFF, bytes[tagSize]);
    EXPECT_GT(offset, tagSize);
    EXPECT_EQ(0xFF, bytes[offset]);
    EXPECT_EQ(std::string::npos, std::string(bytes.begin() + offset, bytes.begin() + offset + 400).find("LAME"));
    EXPECT_NE(std::string::npos, std::string(bytes.begin() + tagSize, bytes.begin() + offset).find("LAME"));
}

TEST(StreamProbeTest, PrepareLoadsTheAudioPartOnly) {
    std::vector<uint8_t> bytes = Id3Tag(100);
    AppendFrames(bytes, 4);
    CScratchFile file(bytes);
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    StreamMediaType type{};
    ASSERT_EQ(S_OK, PrepareMemorySource(file.Path().c_str(), &buffer, &length, &type));
    ASSERT_NE(nullptr, buffer);
    EXPECT_EQ(4 * kFrameLength, length);
    EXPECT_EQ(0, std::memcmp(buffer, bytes.data() + 110, length));
    delete[] buffer;
}

TEST(StreamProbeTest, PrepareFailsWithoutAudio) {
    uint8_t* buffer = reinterpret_cast<uint8_t*>(1);
    uint32_t length = 7;
    StreamMediaType type{};
    EXPECT_EQ(E_INVALIDARG, PrepareMemorySource(nullptr, &buffer, &length, &type));

    CScratchFile empty(std::vector<uint8_t>{});
    EXPECT_EQ(E_FAIL, PrepareMemorySource(empty.Path().c_str(), &buffer, &length, &type));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(0u, length);
    EXPECT_TRUE(IsEqualGUID(GUID_NULL, type.subType));

    EXPECT_EQ(E_FAIL, PrepareMemorySource(L"C:\\no\\such\\file.mp3", &buffer, &length, &type));
}

}  // namespace
