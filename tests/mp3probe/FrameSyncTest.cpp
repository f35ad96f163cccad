#include "library/media/decode/FrameSync.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const uint8_t kHeader128k[4] = {0xFF, 0xFB, 0x90, 0x00};  // 417-byte frames
const uint32_t kFrameLength = 417;

void PutFrame(std::vector<uint8_t>& buffer, size_t at) {
    if (buffer.size() < at + kFrameLength) buffer.resize(at + kFrameLength, 0);
    std::memcpy(buffer.data() + at, kHeader128k, 4);
}

TEST(FrameSyncTest, FindsTheFirstHeaderThatAnotherFollows) {
    std::vector<uint8_t> buffer(100, 0x11);
    // A false sync at 10 whose successor is missing, then a real pair at 100.
    std::memcpy(buffer.data() + 10, kHeader128k, 4);
    PutFrame(buffer, 100);
    PutFrame(buffer, 100 + kFrameLength);
    buffer.resize(buffer.size() + 16, 0);
    uint32_t offset = 99;
    ASSERT_EQ(S_OK, FindFrameSync(buffer.data(), buffer.size(), &offset));
    EXPECT_EQ(100u, offset);
}

TEST(FrameSyncTest, ALoneHeaderIsNoFrame) {
    std::vector<uint8_t> buffer;
    PutFrame(buffer, 0);
    buffer.resize(buffer.size() + 64, 0);
    uint32_t offset = 7;
    EXPECT_EQ(E_FAIL, FindFrameSync(buffer.data(), buffer.size(), &offset));
    EXPECT_EQ(0u, offset);
}

TEST(FrameSyncTest, TheSecondHeaderMustLieBeforeTheLastFourBytes) {
    std::vector<uint8_t> buffer;
    PutFrame(buffer, 0);
    // The second header starts exactly at length - 4: not far enough from the end.
    buffer.resize(kFrameLength + 4, 0);
    std::memcpy(buffer.data() + kFrameLength, kHeader128k, 4);
    uint32_t offset = 0;
    EXPECT_EQ(E_FAIL, FindFrameSync(buffer.data(), buffer.size(), &offset));
    buffer.push_back(0);
    EXPECT_EQ(S_OK, FindFrameSync(buffer.data(), buffer.size(), &offset));
}

TEST(FrameSyncTest, RefusesBadArgumentsAndTinyBuffers) {
    const uint8_t bytes[8] = {0xFF, 0xFB, 0x90, 0x00, 0, 0, 0, 0};
    uint32_t offset = 0;
    EXPECT_EQ(E_INVALIDARG, FindFrameSync(nullptr, 8, &offset));
    EXPECT_EQ(E_INVALIDARG, FindFrameSync(bytes, 8, nullptr));
    EXPECT_EQ(E_INVALIDARG, FindFrameSync(bytes, 1, &offset));
    EXPECT_EQ(E_FAIL, FindFrameSync(bytes, 4, &offset));
    EXPECT_EQ(E_FAIL, FindFrameSync(bytes, 8, &offset));
}

TEST(FrameSyncTest, Id3HeaderGivesTheWholeTagSize) {
    const uint8_t tag4096[10] = {'I', 'D', '3', 3, 0, 0, 0x00, 0x00, 0x20, 0x00};
    uint32_t size = 0;
    ASSERT_EQ(S_OK, ParseId3Header(tag4096, &size));
    EXPECT_EQ(4106u, size);
    // Seven bits per byte: the top bit of each size byte is ignored.
    const uint8_t largest[10] = {'I', 'D', '3', 4, 0, 0, 0xFF, 0x7F, 0x7F, 0x7F};
    ASSERT_EQ(S_OK, ParseId3Header(largest, &size));
    EXPECT_EQ((1u << 28) - 1 + 10, size);
    const uint8_t notATag[10] = {'I', 'D', '2', 3, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(E_FAIL, ParseId3Header(notATag, &size));
}

TEST(FrameSyncTest, EncoderInfoFramesAreRecognisedByTheirTag) {
    std::vector<uint8_t> frame(kFrameLength, 0);
    std::memcpy(frame.data(), kHeader128k, 4);
    EXPECT_EQ(kFrameLength, Mpeg1Layer3FrameLength(frame.data()));
    EXPECT_FALSE(IsEncoderInfoFrame(frame.data(), frame.size()));
    std::memcpy(frame.data() + 36, "Xing", 4);
    std::memcpy(frame.data() + 156, "LAME", 4);
    EXPECT_TRUE(IsEncoderInfoFrame(frame.data(), frame.size()));
    // "LAME" ending on the frame's last byte lies past the searched range.
    std::vector<uint8_t> tail(kFrameLength, 0);
    std::memcpy(tail.data() + kFrameLength - 4, "LAME", 4);
    EXPECT_FALSE(IsEncoderInfoFrame(tail.data(), tail.size()));
    const uint8_t layer2[4] = {0xFF, 0xFD, 0x90, 0x00};
    EXPECT_EQ(0u, Mpeg1Layer3FrameLength(layer2));
}

}  // namespace
