#include "library/media/decode/Mp3EncoderInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, stereo: a 417-byte frame, its Xing header at 36.
const uint8_t kStereoHeader[4] = {0xFF, 0xFB, 0x90, 0x00};
const size_t kStereoXing = 36;

std::vector<uint8_t> Frame(const uint8_t (&header)[4]) {
    std::vector<uint8_t> frame(417, 0);
    std::memcpy(frame.data(), header, 4);
    return frame;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (24 - 8 * i));
}

MPEGFrame Parsed(const std::vector<uint8_t>& frame) {
    MPEGFrame header;
    EXPECT_EQ(S_OK, header.ParseHeader(frame.data(), frame.size()));
    return header;
}

TEST(Mp3EncoderInfoTest, XingCountAndTheEncodersAddedSamples) {
    std::vector<uint8_t> frame = Frame(kStereoHeader);
    std::memcpy(&frame[kStereoXing], "Info", 4);
    Put32(frame, kStereoXing + 4, 0x0F);  // frames, bytes, table of contents, quality
    Put32(frame, kStereoXing + 8, 1234);
    const size_t lame = kStereoXing + 8 + 4 + 4 + 100 + 4;
    std::memcpy(&frame[lame], "LAME", 4);
    // 576 samples of delay, 1,404 of padding: 12 bits each.
    frame[lame + 21] = 0x24;
    frame[lame + 22] = 0x05;
    frame[lame + 23] = 0x7C;
    EncoderFrameCount count;
    ASSERT_TRUE(ReadEncoderFrameCount(frame.data(), frame.size(), Parsed(frame), &count));
    EXPECT_EQ(1234u, count.frames);
    EXPECT_EQ(576u, count.delaySamples);
    EXPECT_EQ(1404u, count.paddingSamples);
    EXPECT_EQ(1152u, SamplesPerFrame(Parsed(frame)));
}

TEST(Mp3EncoderInfoTest, VbriCountWithoutAddedSamples) {
    std::vector<uint8_t> frame = Frame(kStereoHeader);
    std::memcpy(&frame[36], "VBRI", 4);
    Put32(frame, 36 + 14, 77);
    EncoderFrameCount count;
    ASSERT_TRUE(ReadEncoderFrameCount(frame.data(), frame.size(), Parsed(frame), &count));
    EXPECT_EQ(77u, count.frames);
    EXPECT_EQ(0u, count.delaySamples + count.paddingSamples);
}

TEST(Mp3EncoderInfoTest, NoCountWhereNoneIsToldOrTheBytesEndEarly) {
    std::vector<uint8_t> frame = Frame(kStereoHeader);
    const MPEGFrame header = Parsed(frame);
    EncoderFrameCount count;
    EXPECT_FALSE(ReadEncoderFrameCount(frame.data(), frame.size(), header, &count));
    // A Xing header without its frame field, one counting no frames, and one cut short.
    std::memcpy(&frame[kStereoXing], "Xing", 4);
    Put32(frame, kStereoXing + 4, 0x0E);
    EXPECT_FALSE(ReadEncoderFrameCount(frame.data(), frame.size(), header, &count));
    Put32(frame, kStereoXing + 4, 0x01);
    EXPECT_FALSE(ReadEncoderFrameCount(frame.data(), frame.size(), header, &count));
    Put32(frame, kStereoXing + 8, 5);
    EXPECT_FALSE(ReadEncoderFrameCount(frame.data(), kStereoXing + 11, header, &count));
    EXPECT_TRUE(ReadEncoderFrameCount(frame.data(), kStereoXing + 12, header, &count));
    EXPECT_FALSE(ReadEncoderFrameCount(nullptr, frame.size(), header, &count));
    EXPECT_FALSE(ReadEncoderFrameCount(frame.data(), frame.size(), header, nullptr));
}

TEST(Mp3EncoderInfoTest, SamplesPerFrameByLayerAndVersion) {
    const struct {
        uint8_t header[4];
        uint32_t samples;
    } cases[] = {
        {{0xFF, 0xFB, 0x90, 0x00}, 1152},  // MPEG-1 layer III
        {{0xFF, 0xF3, 0x80, 0xC4}, 576},   // MPEG-2 layer III
        {{0xFF, 0xFD, 0x90, 0x00}, 1152},  // MPEG-1 layer II
        {{0xFF, 0xFF, 0x90, 0x00}, 384},   // MPEG-1 layer I
    };
    for (const auto& c : cases) {
        MPEGFrame header;
        ASSERT_EQ(S_OK, header.ParseHeader(c.header, 4));
        EXPECT_EQ(c.samples, SamplesPerFrame(header));
    }
}

}  // namespace
