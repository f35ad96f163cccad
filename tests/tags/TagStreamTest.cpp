#include <gtest/gtest.h>

#include <random>

#include "library/media/tags/TagBufferedStream.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagFileReader.h"
#include "library/media/tags/TagFileWriter.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"

using namespace tagtest;

TEST(TagMemoryStream, SeeksWithinItsBoundsAndReadsExactly) {
    const uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    CTagMemoryStream stream(data, sizeof(data));
    struct Case {
        int64_t offset;
        int32_t origin;
        int32_t result;
        uint32_t position;
    } cases[] = {
        {4, kSeekBegin, 0, 4},   {3, kSeekCurrent, 0, 7}, {-7, kSeekCurrent, 0, 0}, {-1, kSeekCurrent, -10, 0},
        {10, kSeekBegin, 0, 10}, {11, kSeekBegin, -10, 10}, {-2, kSeekEnd, 0, 8},   {1, kSeekEnd, -10, 8},
        {-11, kSeekEnd, -10, 8}, {0, 7, -10, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << " from " << c.origin);
        EXPECT_EQ(c.result, stream.Seek(c.offset, c.origin));
        uint32_t position = 99;
        EXPECT_EQ(0, stream.Tell(&position));
        EXPECT_EQ(c.position, position);
    }
    uint8_t two[2];
    ASSERT_EQ(0, stream.Read(two, 2));
    EXPECT_EQ(8, two[0]);
    EXPECT_EQ(tag::kShortRead, stream.Read(two, 1));  // at the end: the position is the size
    EXPECT_EQ(tag::kInvalidArgument, stream.Read(nullptr, 1));
    EXPECT_EQ(tag::kInvalidArgument, stream.Tell(nullptr));
    EXPECT_EQ(0, stream.Close());
    uint32_t size = 1;
    EXPECT_EQ(0, stream.GetSize(&size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(tag::kNotReady, stream.Read(two, 1));
}

// Bytes that stand in for a range of a file: positions are the file's, nothing lies before them.
TEST(TagMemoryStream, BytesPlacedAtAnOffset) {
    const uint8_t data[4] = {'a', 'b', 'c', 'd'};
    CTagMemoryStream stream(data, sizeof(data), 100);
    uint32_t value = 0;
    EXPECT_EQ(0, stream.Tell(&value));
    EXPECT_EQ(100u, value);
    EXPECT_EQ(0, stream.GetSize(&value));
    EXPECT_EQ(104u, value);
    EXPECT_EQ(tag::kSeekFailed, stream.Seek(99, kSeekBegin));
    EXPECT_EQ(tag::kSeekFailed, stream.Seek(-5, kSeekEnd));
    ASSERT_EQ(0, stream.Seek(102, kSeekBegin));
    uint8_t two[2];
    ASSERT_EQ(0, stream.Read(two, 2));
    EXPECT_EQ('c', two[0]);
    EXPECT_EQ('d', two[1]);
    EXPECT_EQ(tag::kShortRead, stream.Read(two, 1));
    ASSERT_EQ(0, stream.Seek(-4, kSeekEnd));
    ASSERT_EQ(0, stream.Read(two, 1));
    EXPECT_EQ('a', two[0]);
}

namespace {

// Random seeks and reads, short and long, through two streams over the same bytes: every result,
// byte and position must agree with the plain memory stream's.
void ExpectSameRandomWalk(CTagStream* plain, CTagStream* tested, uint32_t dataSize, uint32_t longRead, uint32_t seed,
                          int steps) {
    std::mt19937 random(seed);
    for (int step = 0; step < steps; ++step) {
        if (random() % 3 == 0) {
            int32_t origin = int32_t(random() % 3);
            int64_t offset = int64_t(random() % (dataSize + 100)) - (origin == kSeekBegin ? 0 : int64_t(dataSize / 2));
            if (origin == kSeekEnd) offset = -int64_t(random() % (dataSize + 10));
            ASSERT_EQ(plain->Seek(offset, origin), tested->Seek(offset, origin)) << step;
        } else {
            uint32_t length = random() % 4 == 0 ? uint32_t(random() % longRead) : uint32_t(random() % 40);
            Bytes a(length + 1), b(length + 1);
            int32_t expected = plain->Read(a.data(), length);
            ASSERT_EQ(expected, tested->Read(b.data(), length)) << step;
            if (expected == 0) {
                ASSERT_EQ(a, b) << step;
            } else {  // a failed read leaves the position unspecified: realign both
                ASSERT_EQ(0, plain->Seek(0, kSeekBegin));
                ASSERT_EQ(0, tested->Seek(0, kSeekBegin));
            }
        }
        uint32_t p = 0, q = 1;
        ASSERT_EQ(0, plain->Tell(&p));
        ASSERT_EQ(0, tested->Tell(&q));
        ASSERT_EQ(p, q) << step;
    }
}

}  // namespace

// Random reads and seeks through the buffered stream, across and beyond its 64 KiB window,
// give the same bytes and positions as the plain stream below it.
TEST(TagBufferedStream, MatchesTheInnerStreamAcrossWindows) {
    Bytes data(3 * CTagBufferedStream::kWindowSize + 1234);
    std::mt19937 random(11);
    for (uint8_t& byte : data) byte = uint8_t(random());
    CTagMemoryStream plain(data.data(), uint32_t(data.size()));
    CTagBufferedStream buffered(CTagOwnedPtr<CTagStream>(new CTagMemoryStream(data.data(), uint32_t(data.size())), true));
    ExpectSameRandomWalk(&plain, &buffered, uint32_t(data.size()), 150000, 12, 3000);
}

TEST(TagBufferedStream, BorrowedInnerStreamSurvivesIt) {
    bool deleted = false;
    const uint8_t data[4] = {1, 2, 3, 4};
    CTrackedStream inner(data, sizeof(data), &deleted);
    {
        CTagBufferedStream buffered(CTagOwnedPtr<CTagStream>(&inner, false));
        uint8_t byte;
        EXPECT_EQ(0, buffered.Read(&byte, 1));
    }
    EXPECT_FALSE(deleted);
    bool ownedDeleted = false;
    { CTagBufferedStream buffered(CTagOwnedPtr<CTagStream>(new CTrackedStream(data, 4, &ownedDeleted), true)); }
    EXPECT_TRUE(ownedDeleted);
}

TEST(TagFileStreams, WriteThenReadByUtf8PathWithNonAsciiName) {
    TempDir dir;
    const std::string path = dir.Path("K\xC3\xA4" "fer \xE2\x99\xAA \xE6\x97\xA5\xE6\x9C\xAC.mp3");
    CTagFileWriter writer;
    ASSERT_EQ(0, writer.OpenWriteStreamUtf8(path.c_str()));
    EXPECT_EQ(tag::kOpenFailed, writer.OpenWriteStreamUtf8(path.c_str()));
    EXPECT_EQ(0, writer.Write("tagged", 6));
    EXPECT_EQ(tag::kInvalidArgument, writer.Write(nullptr, 1));
    EXPECT_EQ(0, writer.Close());
    EXPECT_EQ(tag::kNotReady, writer.Write("x", 1));

    CTagFileReader reader;
    ASSERT_EQ(0, reader.OpenReadStreamUtf8(path.c_str()));
    EXPECT_EQ(tag::kOpenFailed, reader.OpenReadStreamUtf8(path.c_str()));
    uint32_t size = 0;
    EXPECT_EQ(0, reader.GetSize(&size));
    EXPECT_EQ(6u, size);
    char text[7] = {};
    EXPECT_EQ(0, reader.Seek(-4, kSeekEnd));
    EXPECT_EQ(0, reader.Read(text, 4));
    EXPECT_STREQ("gged", text);
    EXPECT_EQ(tag::kShortRead, reader.Read(text, 1));
    EXPECT_EQ(tag::kSeekFailed, reader.Seek(7, kSeekBegin));
    EXPECT_EQ(0, reader.Close());
    EXPECT_EQ(tag::kNotReady, reader.GetSize(&size));
}

TEST(TagFileStreams, RefusesBadPaths) {
    CTagFileReader reader;
    EXPECT_EQ(tag::kInvalidArgument, reader.OpenReadStreamUtf8(nullptr));
    EXPECT_EQ(tag::kOpenFailed, reader.OpenReadStreamUtf8(""));
    EXPECT_EQ(tag::kOpenFailed, reader.OpenReadStreamUtf8("\xC3("));  // not UTF-8
    TempDir dir;
    EXPECT_EQ(tag::kOpenFailed, reader.OpenReadStreamUtf8(dir.Path("missing.mp3").c_str()));
    CTagFileWriter writer;
    EXPECT_EQ(tag::kOpenFailed, writer.OpenWriteStreamUtf8(dir.Path("no/such/folder.mp3").c_str()));
}

// The file reader keeps its own position and moves the system's file pointer only when a read
// does not follow the last one: random seeks, reads and tells must match a memory stream over
// the same bytes, including reads that fail at the end.
TEST(TagFileStreams, ReaderMatchesAMemoryStreamOverTheSameBytes) {
    TempDir dir;
    const std::string path = dir.Path("walk.mp3");
    Bytes data(200000);
    std::mt19937 random(5);
    for (uint8_t& byte : data) byte = uint8_t(random());
    WriteFileBytes(path, data);
    CTagMemoryStream plain(data.data(), uint32_t(data.size()));
    CTagFileReader file;
    ASSERT_EQ(0, file.OpenReadStreamUtf8(path.c_str()));
    ExpectSameRandomWalk(&plain, &file, uint32_t(data.size()), 90000, 6, 2000);
}

// Positions are 32-bit: a file of 4 GiB or more is refused when it is opened, one byte less is
// read to its last byte.
TEST(TagFileStreams, RefusesFilesOf4GiBOrMore) {
    TempDir dir;
    const std::string large = dir.Path("large.mp3"), largest = dir.Path("largest.mp3");
    ASSERT_TRUE(ResizeFile(large, uint64_t(UINT32_MAX) + 1));
    ASSERT_TRUE(ResizeFile(largest, UINT32_MAX));

    CTagFileReader reader;
    EXPECT_EQ(tag::kSeekFailed, reader.OpenReadStreamUtf8(large.c_str()));
    uint32_t size = 0;
    EXPECT_EQ(tag::kNotReady, reader.GetSize(&size));
    EXPECT_EQ(nullptr, OpenTagReadStream(large.c_str()));
    EXPECT_EQ(nullptr, OpenTagReaderForPath(large.c_str(), kTagReaderId3));

    ASSERT_EQ(0, reader.OpenReadStreamUtf8(largest.c_str()));
    EXPECT_EQ(0, reader.GetSize(&size));
    EXPECT_EQ(UINT32_MAX, size);
    uint8_t last = 1;
    ASSERT_EQ(0, reader.Seek(-1, kSeekEnd));
    EXPECT_EQ(0, reader.Read(&last, 1));
    EXPECT_EQ(0, last);
    EXPECT_EQ(tag::kShortRead, reader.Read(&last, 1));
}

// The writer gathers writes in a buffer: writes of every size, around and beyond the buffer's,
// arrive whole and in order.
TEST(TagFileStreams, WriterKeepsEveryByteAroundItsBuffer) {
    TempDir dir;
    const std::string path = dir.Path("written.mp3");
    const uint32_t kBuffer = CTagFileWriter::kBufferSize;
    const uint32_t lengths[] = {1, 7, kBuffer - 8, 1, kBuffer, 3, 2 * kBuffer + 5, kBuffer - 3, 0, 1000, kBuffer + 1, 2};
    Bytes expected;
    std::mt19937 random(9);
    CTagFileWriter writer;
    ASSERT_EQ(0, writer.OpenWriteStreamUtf8(path.c_str()));
    for (uint32_t length : lengths) {
        Bytes chunk(length + 1);
        for (uint8_t& byte : chunk) byte = uint8_t(random());
        ASSERT_EQ(0, writer.Write(chunk.data(), length)) << length;
        expected.insert(expected.end(), chunk.begin(), chunk.begin() + length);
    }
    EXPECT_EQ(0, writer.Close());
    EXPECT_EQ(expected, ReadFileBytes(path));
}
