#include <gtest/gtest.h>

#include <memory>

#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"

using namespace tagtest;

namespace {

Bytes Geob(uint8_t encoding, const std::string& mime, const Bytes& name, const Bytes& description, const Bytes& payload) {
    std::string head = char(encoding) + mime + '\0';
    Bytes body(head.begin(), head.end());
    body.insert(body.end(), name.begin(), name.end());
    body.insert(body.end(), description.begin(), description.end());
    body.insert(body.end(), payload.begin(), payload.end());
    return body;
}

Bytes Utf16(const std::string& text, bool bigEndian, bool mark) {
    Bytes out;
    if (mark) out = bigEndian ? Bytes{0xFE, 0xFF} : Bytes{0xFF, 0xFE};
    for (char c : text) {
        out.push_back(bigEndian ? 0 : uint8_t(c));
        out.push_back(bigEndian ? uint8_t(c) : 0);
    }
    out.push_back(0), out.push_back(0);
    return out;
}

const Bytes kPayload = {'P', 'A', 'Y', 0, 1, 2};
const Bytes kAnsiDescription = ToBytes(std::string("USR_VEXAL", 10));

}  // namespace

TEST(Id3MoodData, RecognisesTheObjectByItsMimeType) {
    struct Case {
        const char* name;
        Bytes body;
        bool found;
        Bytes payload;
    } cases[] = {
        {"as written", MoodBody(kPayload), true, kPayload},
        {"capital MIME type, other description",
         Geob(0, "APPLICATION/VEXAL", {0}, ToBytes(std::string("other", 6)), kPayload), true, kPayload},
        {"UTF-16 with big-endian mark", Geob(1, "application/vexal", {0, 0}, Utf16("USR_VEXAL", true, true), kPayload),
         true, kPayload},
        {"UTF-16 with little-endian mark and a file name",
         Geob(1, "application/vexal", Utf16("f.bin", false, true), Utf16("USR_VEXAL", false, true), kPayload), true,
         kPayload},
        {"UTF-16BE described in little-endian order",
         Geob(2, "application/vexal", {0, 0}, Utf16("USR_VEXAL", false, false), kPayload), true, kPayload},
        {"UTF-16BE, other description", Geob(2, "Application/Vexal", {0, 0}, Utf16("x", true, false), kPayload), true,
         kPayload},
        {"UTF-8 encoding byte", Geob(3, "application/vexal", {0}, kAnsiDescription, kPayload), true, kPayload},
        {"empty payload", MoodBody({}), true, {}},
        {"other MIME type", Geob(0, "image/png", {0}, kAnsiDescription, kPayload), false, {}},
        {"longer MIME type", Geob(0, "application/vexalx", {0}, kAnsiDescription, kPayload), false, {}},
        {"too short", {0, 'a', 'p', 'p'}, false, {}},
        {"description never ends", Geob(0, "application/vexal", {0}, ToBytes("USR_VEXAL-no-end"), {}), false, {}},
        {"empty body", {}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = BuildTag(0x0300, {{"GEOB", c.body}}, 0, FakeAudio());
        std::unique_ptr<CTagReader> reader(ReaderOver(file));
        ASSERT_TRUE(reader);
        uint32_t offset, size;
        int32_t result = reader->FindMoodData(0, &offset, &size);
        EXPECT_EQ(c.found ? 0 : tag::kNotFound, result);
        if (c.found && result == 0) {
            EXPECT_EQ(c.payload, Bytes(file.begin() + offset, file.begin() + offset + size));
        }
    }
}

TEST(Id3MoodData, WrittenHeaderIsThirtyBytes) {
    EXPECT_EQ(30u, id3::kMoodHeaderSize);
    EXPECT_EQ(Bytes(id3::kMoodHeader, id3::kMoodHeader + 30), MoodBody({}));
}
