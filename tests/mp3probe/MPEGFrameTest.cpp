#include "library/media/decode/MPEGFrame.h"

#include <gtest/gtest.h>

namespace {

struct HeaderCase {
    const char* name;
    uint8_t bytes[4];
    HRESULT result;
    uint32_t frameLength;
    uint32_t bitRate;
    uint32_t frequency;
    uint32_t channels;
};

const HeaderCase kHeaders[] = {
    {"mpeg1 layer3 128k 44.1k stereo", {0xFF, 0xFB, 0x90, 0x00}, S_OK, 417, 128000, 44100, 2},
    {"mpeg1 layer3 128k 44.1k padded", {0xFF, 0xFB, 0x92, 0x00}, S_OK, 418, 128000, 44100, 2},
    {"mpeg1 layer3 320k 48k mono", {0xFF, 0xFB, 0xE4, 0xC0}, S_OK, 960, 320000, 48000, 1},
    {"mpeg1 layer2 192k 48k", {0xFF, 0xFD, 0xA4, 0x00}, S_OK, 576, 192000, 48000, 2},
    {"mpeg1 layer1 32k 32k", {0xFF, 0xFF, 0x18, 0x00}, S_OK, 48, 32000, 32000, 2},
    {"mpeg2 layer3 64k 22.05k", {0xFF, 0xF3, 0x80, 0x00}, S_OK, 208, 64000, 22050, 2},
    {"mpeg2 layer2 takes 1152 samples", {0xFF, 0xF5, 0x80, 0x00}, S_OK, 417, 64000, 22050, 2},
    {"mpeg2.5 layer3 8k 8k", {0xFF, 0xE3, 0x18, 0x00}, S_OK, 72, 8000, 8000, 2},
    {"no sync byte", {0xFE, 0xFB, 0x90, 0x00}, E_FAIL, 0, 0, 0, 0},
    {"short sync bits", {0xFF, 0xCB, 0x90, 0x00}, E_FAIL, 0, 0, 0, 0},
    {"reserved layer", {0xFF, 0xF9, 0x90, 0x00}, E_FAIL, 0, 0, 0, 0},
    {"free bit rate", {0xFF, 0xFB, 0x00, 0x00}, E_FAIL, 0, 0, 0, 0},
    {"bad bit rate", {0xFF, 0xFB, 0xF0, 0x00}, E_FAIL, 0, 0, 0, 0},
    {"reserved frequency", {0xFF, 0xFB, 0x9C, 0x00}, E_FAIL, 0, 0, 0, 0},
};

TEST(MPEGFrameTest, ParsesHeadersByTheStandardTables) {
    for (const HeaderCase& c : kHeaders) {
        SCOPED_TRACE(c.name);
        MPEGFrame frame;
        ASSERT_EQ(c.result, frame.ParseHeader(c.bytes, 4));
        if (c.result != S_OK) continue;
        uint32_t length = 0;
        EXPECT_EQ(S_OK, frame.GetFrameLength(&length));
        EXPECT_EQ(c.frameLength, length);
        EXPECT_EQ(c.bitRate, frame.bitRate);
        EXPECT_EQ(c.frequency, frame.samplingFrequency);
        EXPECT_EQ(c.channels, frame.channels);
    }
}

TEST(MPEGFrameTest, SplitsEveryHeaderField) {
    const uint8_t bytes[4] = {0xFF, 0xFA, 0x93, 0x6F};
    MPEGFrame frame;
    ASSERT_EQ(S_OK, frame.ParseHeader(bytes, 4));
    EXPECT_EQ(0xF0, frame.syncBits);
    EXPECT_EQ(1, frame.versionBit);
    EXPECT_EQ(1, frame.layerBits);
    EXPECT_EQ(0, frame.protectionBit);
    EXPECT_EQ(9, frame.bitRateIndex);
    EXPECT_EQ(0, frame.samplingIndex);
    EXPECT_EQ(1, frame.padBit);
    EXPECT_EQ(1, frame.privateBit);
    EXPECT_EQ(1, frame.channelMode);
    EXPECT_EQ(2, frame.modeExtension);
    EXPECT_EQ(1, frame.copyFlag);
    EXPECT_EQ(1, frame.homeFlag);
    EXPECT_EQ(3u, frame.emphasis);
}

TEST(MPEGFrameTest, RefusesMissingOrShortInput) {
    const uint8_t bytes[4] = {0xFF, 0xFB, 0x90, 0x00};
    MPEGFrame frame;
    EXPECT_EQ(E_POINTER, frame.ParseHeader(nullptr, 4));
    EXPECT_EQ(E_INVALIDARG, frame.ParseHeader(bytes, 3));
    EXPECT_EQ(E_POINTER, frame.GetFrameLength(nullptr));
}

}  // namespace
