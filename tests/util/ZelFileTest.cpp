#include "library/util/ZelFile.h"
#include "tests/util/UtilTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

struct Block {
    std::string marker = "BLK";
    uint16_t dataLength;
    std::string data;
};

struct ZelLayout {
    std::string tagMarker = "ea3";
    std::string tagBody = "TAGDATA-TAGDATA-";
    uint8_t codecId = 34;
    uint16_t formatWord = 0xFF80;
    uint16_t headerLength = 96;
    uint32_t lastBlockNumber = 2;
    uint32_t baseCodecInfo = 0x01002854;
    std::vector<Block> blocks;
};

void Put16(std::string* out, size_t at, uint16_t value) {
    (*out)[at] = static_cast<char>(value >> 8);
    (*out)[at + 1] = static_cast<char>(value);
}

void Put32(std::string* out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

std::string Pattern(size_t length, char seed) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

// The tag part: marker, 3 unread bytes, the size in four 7-bit groups, then the body.
std::string TagPart(const ZelLayout& layout) {
    std::string tag = layout.tagMarker + std::string("\x03\x00\x00", 3) + std::string(4, '\0') + layout.tagBody;
    const uint32_t size = static_cast<uint32_t>(layout.tagBody.size());
    tag[6] = static_cast<char>((size >> 21) & 0x7F);
    tag[7] = static_cast<char>((size >> 14) & 0x7F);
    tag[8] = static_cast<char>((size >> 7) & 0x7F);
    tag[9] = static_cast<char>(size & 0x7F);
    return tag;
}

std::string AudioHeader(const ZelLayout& layout) {
    std::string header = Pattern(layout.headerLength, 'h');
    header.replace(0, 3, "EA3");
    header[3] = 2;
    Put16(&header, 4, layout.headerLength);
    Put16(&header, 6, layout.formatWord);
    if (layout.headerLength > 32) header[32] = static_cast<char>(layout.codecId);
    if (layout.headerLength >= 44) Put32(&header, 40, layout.lastBlockNumber);
    if (layout.headerLength >= 52) Put32(&header, 48, layout.baseCodecInfo);
    return header;
}

std::string BuildFile(const ZelLayout& layout) {
    std::string file = TagPart(layout) + AudioHeader(layout);
    for (const Block& block : layout.blocks) {
        std::string blockHeader = Pattern(24, 'b');
        blockHeader.replace(0, 3, block.marker);
        Put16(&blockHeader, 4, block.dataLength);
        file += blockHeader + block.data;
    }
    return file;
}

ZelLayout LosslessFile(int blockCount, uint32_t frameSize = 560) {
    ZelLayout layout;
    layout.lastBlockNumber = static_cast<uint32_t>(blockCount - 1);
    for (int i = 0; i < blockCount; ++i) {
        const std::string data = Pattern(frameSize + 100 + 10 * i, static_cast<char>('A' + i));
        layout.blocks.push_back({"BLK", static_cast<uint16_t>(data.size()), data});
    }
    return layout;
}

// What the base-layer copy must hold: the tag as it was, the header rewritten, the first
// frameSize bytes of each of the first `frames` blocks.
std::string ExpectedCopy(const ZelLayout& layout, uint32_t frameSize, size_t frames) {
    std::string header = AudioHeader(layout);
    header[3] = 1;
    header[6] = '\xFF';
    header[7] = '\xFF';
    Put32(&header, 32, layout.baseCodecInfo);
    for (size_t i = 36; i < header.size(); ++i) header[i] = '\0';
    std::string expected = TagPart(layout) + header;
    for (size_t i = 0; i < frames; ++i) expected += layout.blocks[i].data.substr(0, frameSize);
    return expected;
}

class ZelFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(scratch_.Path().empty()); }

    HRESULT Convert(const std::string& bytes) {
        EXPECT_TRUE(scratch_.WriteFile(L"in.zel", bytes));
        DeleteFileW(Output().c_str());
        return CopyZelFile(scratch_.Join(L"in.zel"), Output());
    }
    std::wstring Output() const { return scratch_.Join(L"out.zel"); }
    bool OutputExists() const { return GetFileAttributesW(Output().c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string OutputBytes() const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(Output(), &bytes));
        return bytes;
    }

    CScratchFolder scratch_;
};

TEST_F(ZelFileTest, LosslessFilesBecomeTheirBaseLayerByteForByte) {
    struct Case {
        const char* tagMarker;
        uint8_t codecId;
        uint32_t baseCodecInfo;
        uint32_t frameSize;
        int blocks;
    };
    const Case cases[] = {
        {"ea3", 34, 0x01002854, 560, 3},
        {"ID3", 34, 0x01002854, 560, 3},
        {"ea3", 33, 0x00002030, 384, 5},
        {"ea3", 34, 0x0002200C, 96, 1},
        {"ea3", 33, 0x010028FF, 2048, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tagMarker << " codec " << int(c.codecId) << " frame " << c.frameSize);
        ZelLayout layout = LosslessFile(c.blocks, c.frameSize);
        layout.tagMarker = c.tagMarker;
        layout.codecId = c.codecId;
        layout.baseCodecInfo = c.baseCodecInfo;
        ASSERT_EQ(S_OK, Convert(BuildFile(layout)));
        EXPECT_EQ(ExpectedCopy(layout, c.frameSize, c.blocks), OutputBytes());
    }
}

TEST_F(ZelFileTest, FilesWithoutABaseLayerAreNotConvertedAndGetNoCopy) {
    ZelLayout lossy = LosslessFile(3);
    lossy.codecId = 1;
    ZelLayout wrongFormat = LosslessFile(3);
    wrongFormat.formatWord = 0xFFFF;
    ZelLayout noBaseLayer = LosslessFile(3);
    noBaseLayer.codecId = 32;
    ZelLayout unknownBase = LosslessFile(3);
    unknownBase.baseCodecInfo = 0x01002855;
    ZelLayout notTagged = LosslessFile(3);
    notTagged.tagMarker = "TAG";
    const std::string notHeader = TagPart(LosslessFile(1)) + "XA3" + std::string(200, 'x');
    const std::string inputs[] = {BuildFile(lossy), BuildFile(wrongFormat), BuildFile(noBaseLayer),
                                  BuildFile(unknownBase), BuildFile(notTagged), notHeader};
    for (size_t i = 0; i < std::size(inputs); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(S_FALSE, Convert(inputs[i]));
        EXPECT_FALSE(OutputExists());
    }
}

TEST_F(ZelFileTest, EveryTruncationFailsAndLeavesNoFile) {
    const std::string whole = BuildFile(LosslessFile(3));
    // Every cut inside the tag, the header and the first block header; then a spread through the
    // block data, and the last byte.
    std::vector<size_t> lengths;
    const size_t structure = TagPart(LosslessFile(3)).size() + 96 + 24 + 1;
    for (size_t length = 0; length < structure; ++length) lengths.push_back(length);
    for (size_t length = structure; length < whole.size(); length += 29) lengths.push_back(length);
    lengths.push_back(whole.size() - 1);
    for (size_t length : lengths) {
        const HRESULT hr = Convert(whole.substr(0, length));
        ASSERT_EQ(E_FAIL, hr) << "truncated to " << length;
        ASSERT_FALSE(OutputExists()) << "truncated to " << length;
    }
}

TEST_F(ZelFileTest, HostileHeadersFailWithoutWritingAFile) {
    ZelLayout shortHeader = LosslessFile(3);
    shortHeader.headerLength = 40;
    ZelLayout shortBlock = LosslessFile(3);
    shortBlock.blocks[1].dataLength = 100;  // less than its 560-byte frame
    ZelLayout tooManyBlocks = LosslessFile(3);
    tooManyBlocks.lastBlockNumber = 0x7FFFFFFF;
    std::string hugeTag = BuildFile(LosslessFile(3));
    hugeTag.replace(6, 4, "\x7F\x7F\x7F\x7F");
    const std::string inputs[] = {BuildFile(shortHeader), BuildFile(shortBlock), BuildFile(tooManyBlocks), hugeTag};
    for (size_t i = 0; i < std::size(inputs); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(FAILED(Convert(inputs[i])));
        EXPECT_FALSE(OutputExists());
    }
}

TEST_F(ZelFileTest, ADamagedBlockEndsTheCopyAfterTheFramesBeforeIt) {
    ZelLayout layout = LosslessFile(4);
    layout.blocks[2].marker = "BLX";
    ASSERT_EQ(S_OK, Convert(BuildFile(layout)));
    EXPECT_EQ(ExpectedCopy(layout, 560, 2), OutputBytes());

    ZelLayout noBlocks = LosslessFile(0);
    noBlocks.lastBlockNumber = 0xFFFFFFFF;  // -1: no blocks at all
    ASSERT_EQ(S_OK, Convert(BuildFile(noBlocks)));
    EXPECT_EQ(ExpectedCopy(noBlocks, 560, 0), OutputBytes());
}

TEST_F(ZelFileTest, FilesThatCannotBeOpenedMapTheirError) {
    EXPECT_EQ(E_INVALIDARG, CopyZelFile(scratch_.Join(L"missing.zel"), Output()));
    EXPECT_FALSE(OutputExists());
    ASSERT_TRUE(scratch_.WriteFile(L"in.zel", BuildFile(LosslessFile(1))));
    EXPECT_EQ(E_INVALIDARG, CopyZelFile(scratch_.Join(L"in.zel"), scratch_.Join(L"no\\such\\folder.zel")));

    EXPECT_EQ(S_OK, ErrnoToHResult(0));
    EXPECT_EQ(E_INVALIDARG, ErrnoToHResult(ENOENT));
    EXPECT_EQ(E_OUTOFMEMORY, ErrnoToHResult(ENOMEM));
    EXPECT_EQ(E_FAIL, ErrnoToHResult(EACCES));
}

TEST_F(ZelFileTest, CorruptedFilesNeverGiveAFailedFileOrALargerCopy) {
    const std::string original = BuildFile(LosslessFile(3));
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 300; ++round) {
        std::string corrupt = original;
        const int changes = 1 + static_cast<int>(next() % 4);
        for (int i = 0; i < changes; ++i) {
            // Mostly the structure (tag, header, block headers), sometimes anywhere.
            const size_t limit = (next() % 4 == 0) ? corrupt.size() : 160;
            corrupt[next() % limit] = static_cast<char>(next());
        }
        if (next() % 3 == 0) corrupt.resize(next() % corrupt.size());
        SCOPED_TRACE(round);
        const HRESULT hr = Convert(corrupt);
        if (hr == S_OK) {
            EXPECT_LE(OutputBytes().size(), corrupt.size());
        } else {
            EXPECT_TRUE(hr == S_FALSE || hr == E_FAIL || hr == E_INVALIDARG || hr == E_OUTOFMEMORY) << std::hex << hr;
            EXPECT_FALSE(OutputExists());
        }
    }
}

TEST(ZelCodecTest, CodecIdsAndFrameSizesFollowTheirTables) {
    const std::pair<uint8_t, int> codecs[] = {{0, 0}, {1, 1}, {2, 7}, {3, 5}, {4, 6}, {5, 8},
                                              {32, 2}, {33, 3}, {34, 4}, {6, 9}, {35, 9}, {255, 9}};
    for (const auto& codec : codecs) {
        CZelConversion conversion;
        EXPECT_EQ(codec.second, SetZelCodec(&conversion, codec.first)) << int(codec.first);
        EXPECT_EQ(codec.second, conversion.codecNumber);
    }
    const std::pair<uint32_t, uint32_t> frames[] = {
        {0x00002026, 304},  {0x00002030, 384},  {0x0002200C, 96},   {0x00022011, 136},  {0x00022018, 192},
        {0x01002817, 192},  {0x01002822, 280},  {0x0100282E, 376},  {0x01002847, 936},  {0x01002854, 560},
        {0x0100285C, 744},  {0x0100288B, 1120}, {0x010028B9, 1488}, {0x010028E8, 1864}, {0x010028FF, 2048},
        {0, 0},             {0x01002855, 0},
    };
    for (const auto& frame : frames) EXPECT_EQ(frame.second, GetZelFrameSize(frame.first)) << std::hex << frame.first;
}

}  // namespace
