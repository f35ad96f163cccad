#include <gtest/gtest.h>

#include <memory>

#include "library/media/tags/Id3IndexedKinds.h"
#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"

using namespace tagtest;

namespace {

Bytes Units(const std::string& text, bool bigEndian) {
    Bytes out = bigEndian ? Bytes{0xFE, 0xFF} : Bytes{0xFF, 0xFE};
    for (char c : text) {
        out.push_back(bigEndian ? 0 : uint8_t(c));
        out.push_back(bigEndian ? uint8_t(c) : 0);
    }
    out.push_back(0), out.push_back(0);
    return out;
}

Bytes Written(CId3Frame* frame) {
    std::unique_ptr<CId3Frame> owned(frame);
    CCollectingWriteStream output;
    EXPECT_TRUE(frame);
    if (frame) {
        EXPECT_EQ(0, frame->Write(nullptr, &output));
    }
    return output.bytes;
}

}  // namespace

TEST(Id3IndexedKinds, ParsesPictureDescriptions) {
    struct Case {
        uint8_t encoding;
        Bytes description;
        int32_t result, kind;
        uint32_t index;
    } cases[] = {
        {1, Units("FAECA", true), 0, 3, 0},
        {1, Units("LYRIC12", true), 0, 128, 12},
        {1, Units("FTHBL7", false), 0, 129, 7},
        {0, ToBytes(std::string("LYRIC305", 9)), 0, 128, 305},
        {1, Units("COVER", true), -3, 0, 0},
        {1, Units("LYRIC1x", true), -3, 0, 0},
        {1, Units("LYRIC1234567890", true), -3, 0, 0},  // more digits than an index holds
        {1, Bytes{0, 'F', 0, 'A'}, -3, 0, 0},            // no mark
        {1, Bytes{0xFE, 0xFF, 0, 'F', 0, 'A', 0, 'E', 0, 'C', 0, 'A', 0, '1'}, -3, 0, 0},  // no terminator
        {3, ToBytes(std::string("FAECA", 6)), -3, 0, 0},
    };
    for (const Case& c : cases) {
        id3::IndexedDescription description{};
        EXPECT_EQ(c.result, id3::ParsePictureDescription(c.encoding, c.description.data(),
                                                         uint32_t(c.description.size()), &description));
        if (c.result != 0) continue;
        EXPECT_EQ(c.kind, description.kind);
        EXPECT_EQ(c.index, description.index);
        EXPECT_EQ(c.description.size(), description.length);
    }
}

TEST(Id3IndexedKinds, WritesPicturesWithTheirCodeAndIndexDigits) {
    EXPECT_EQ(3, id3::PictureTypeByteOf(3));
    EXPECT_EQ(0, id3::PictureTypeByteOf(128));
    EXPECT_EQ(0, id3::PictureTypeByteOf(129));
    const Bytes image = ToBytes("IMAGE");
    struct Case {
        int32_t kind;
        uint32_t index;
        std::string code;
        uint8_t typeByte;
    } cases[] = {{3, 0, "FAECA", 3}, {128, 12, "LYRIC12", 0}, {129, 4000, "FTHBL4000", 0}};
    for (const Case& c : cases) {
        Bytes frame = Written(CreateId3NewIndexedPictureFrame(
            id3::kVersion23, c.kind, c.index, tag::kImageJpeg,
            CTagOwnedPtr<CTagStream>(new CTagMemoryStream(image.data(), 5), true), 5, 0));
        Bytes body = {1};
        const std::string mime("image/jpeg", 11);
        body.insert(body.end(), mime.begin(), mime.end());
        body.push_back(c.typeByte);
        Bytes description = Units(c.code, true);
        body.insert(body.end(), description.begin(), description.end());
        body.insert(body.end(), image.begin(), image.end());
        // 1 + MIME + 1 + 1 + 14 + 2 per digit + image
        EXPECT_EQ(1 + 10 + 1 + 1 + 14 + 2 * (c.code.size() - 5) + 5, body.size());
        Bytes expected = BuildTag(0x0300, {{"APIC", body}});
        EXPECT_EQ(Bytes(expected.begin() + 10, expected.end()), frame) << c.code;
        id3::IndexedDescription parsed{};
        ASSERT_EQ(0, id3::ParsePictureDescription(1, description.data(), uint32_t(description.size()), &parsed));
        EXPECT_EQ(c.kind, parsed.kind);
        EXPECT_EQ(c.index, parsed.index);
    }
    EXPECT_EQ(nullptr, CreateId3NewIndexedPictureFrame(id3::kVersion23, 4, 0, 0, CTagOwnedPtr<CTagStream>(), 0, 0));
}

TEST(Id3IndexedKinds, UserTextKindsRoundTrip) {
    const char* codes[] = {"E_FPRCA", "E_FCRCA", "E_FPRLR", "E_FCRLR", "E_FPRTH", "E_FCRTH"};
    const Bytes value = ToBytes("v");
    for (int32_t kind = 1; kind <= 6; ++kind) {
        for (uint32_t index : {0u, 9u, 10u}) {
            Bytes frame = Written(CreateId3NewIndexedTextFrame(
                id3::kVersion24, kind, index, CTagOwnedPtr<CTagStream>(new CTagMemoryStream(value.data(), 1), true), 1, 0));
            std::string code = std::string(codes[kind - 1]) + (index ? std::to_string(index) : "");
            Bytes body = {1};
            Bytes description = Units(code, true);
            body.insert(body.end(), description.begin(), description.end());
            body.push_back('v');
            EXPECT_EQ(1 + 16 + 2 + 2 * (code.size() - 7) + 1, body.size());
            Bytes expected = BuildTag(0x0400, {{"TXXX", body}});
            EXPECT_EQ(Bytes(expected.begin() + 10, expected.end()), frame) << code;
            id3::IndexedDescription parsed{};
            ASSERT_EQ(0, id3::ParseTextDescription(1, description.data(), uint32_t(description.size()), &parsed));
            EXPECT_EQ(kind, parsed.kind);
            EXPECT_EQ(index, parsed.index);
        }
    }
    Bytes ansi = ToBytes(std::string("E_FCRTH3", 9));
    id3::IndexedDescription parsed{};
    ASSERT_EQ(0, id3::ParseTextDescription(0, ansi.data(), uint32_t(ansi.size()), &parsed));
    EXPECT_EQ(6, parsed.kind);
    EXPECT_EQ(3u, parsed.index);
    Bytes little = Units("E_FPRCA2", false);
    ASSERT_EQ(0, id3::ParseTextDescription(1, little.data(), uint32_t(little.size()), &parsed));
    EXPECT_EQ(1, parsed.kind);
    EXPECT_EQ(2u, parsed.index);
    Bytes other = Units("replaygain", true);
    EXPECT_EQ(tag::kMalformed, id3::ParseTextDescription(1, other.data(), uint32_t(other.size()), &parsed));
}
