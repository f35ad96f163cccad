// The text conversions of the tag library, and texts that the readers cut at their read limit.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "library/media/tags/TagAnsiText.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"
#include "tests/tags/TagTestSupport.h"

using tagtest::Bytes;
using tagtest::ToBytes;

namespace {

// U+1F600: four bytes of UTF-8, a surrogate pair in UTF-16.
const std::string kWideCharacter = "\xF0\x9F\x98\x80";

Bytes Utf16Le(const std::string& utf8) {
    std::u16string units;
    EXPECT_TRUE(tag::Utf8ToUtf16(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(), true, &units));
    Bytes bytes;
    for (char16_t unit : units) bytes.push_back(uint8_t(unit & 0xFF)), bytes.push_back(uint8_t(unit >> 8));
    return bytes;
}

}  // namespace

TEST(TagUtf8, CharacterBoundaryNeverSplitsACharacter) {
    const std::string e = "\xC3\xA9", euro = "\xE2\x82\xAC";
    struct Row {
        const char* name;
        Bytes text;
        int32_t encoding;
        uint32_t kept;
    };
    const Row rows[] = {
        {"UTF-8 whole", ToBytes("ab" + e), tag::kEncodingUtf8, 4},
        {"UTF-8 inside two bytes", ToBytes("ab" + e.substr(0, 1)), tag::kEncodingUtf8, 2},
        {"UTF-8 inside three bytes", ToBytes("a" + euro.substr(0, 2)), tag::kEncodingUtf8, 1},
        {"UTF-8 inside four bytes", ToBytes("a" + kWideCharacter.substr(0, 3)), tag::kEncodingUtf8, 1},
        {"UTF-8 four whole", ToBytes("a" + kWideCharacter), tag::kEncodingUtf8, 5},
        {"UTF-8 stray continuations", Bytes{'a', 0x80, 0x80, 0x80, 0x80}, tag::kEncodingUtf8, 5},
        {"UTF-8 only continuations", Bytes{0x80, 0x80}, tag::kEncodingUtf8, 2},
        {"UTF-16LE odd byte", Bytes{'a', 0, 'b'}, tag::kEncodingUtf16LeNoMark, 2},
        {"UTF-16LE high surrogate last", Bytes{'a', 0, 0x3D, 0xD8}, tag::kEncodingUtf16LeMarked, 2},
        {"UTF-16LE pair whole", Utf16Le("a" + kWideCharacter), tag::kEncodingUtf16LeNoMark, 6},
        {"UTF-16BE high surrogate last", Bytes{0, 'a', 0xD8, 0x3D}, tag::kEncodingUtf16BeNoMark, 2},
        {"UTF-16BE low surrogate last", Bytes{0xD8, 0x3D, 0xDE, 0x00}, tag::kEncodingUtf16BeMarked, 4},
        {"8-bit", Bytes{'a', 0xC3}, tag::kEncodingAnsi, 2},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.kept, tag::CharacterBoundary(row.text.data(), uint32_t(row.text.size()), row.encoding)) << row.name;
}

TEST(TagUtf8, Utf16ToUtf8AndAnsiText) {
    EXPECT_EQ("a" + kWideCharacter + "\xC3\xA9", tag::Utf16ToUtf8(u"a\U0001F600\u00E9"));
    // Unpaired surrogates, high or low, become U+FFFD.
    EXPECT_EQ("\xEF\xBF\xBD" "a\xEF\xBF\xBD", tag::Utf16ToUtf8(std::u16string{char16_t(0xD83D), u'a', char16_t(0xDE00)}));
    std::u16string units;
    const Bytes ansi = {'C', 'a', 'f', 0xE9, ' ', 0x80};
    ASSERT_TRUE(tag::AnsiToUtf16(ansi.data(), ansi.size(), &units));
    EXPECT_EQ(u"Caf\u00E9 \u20AC", units);
    ASSERT_TRUE(tag::AnsiToUtf16(ansi.data(), 0, &units));
    EXPECT_TRUE(units.empty());
}

// A title longer than the readers' 1,024-byte read limit, written into files of the tools by our
// editors, reads back cut before the character the limit falls in, never inside it.
TEST(TagUtf8, LongTextIsCutAtACharacterBoundary) {
    struct Row {
        const char* fixture;
        int32_t readerType;
        std::string prefix;  // puts the read limit inside a character
        int32_t encoding;
    };
    const Row rows[] = {
        {"xing.mp3", kTagReaderId3, "ab", tag::kEncodingUtf8},
        {"xing.mp3", kTagReaderId3, "ab", tag::kEncodingUtf16LeMarked},
        {"mp4/atomicparsley.m4a", kTagReaderMp4Kind1, "ab", tag::kEncodingUtf8},
        {"mp4/atomicparsley.3gp", kTagReaderMp4Kind2, "ab", tag::kEncodingUtf8},
        {"asf/plain.wma", kTagReaderAsf, "abc", tag::kEncodingUtf16LeNoMark},
    };
    constexpr uint32_t kReadLimit = 1024;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.fixture) + " encoding " + std::to_string(row.encoding));
        std::string utf8 = row.prefix;
        for (int i = 0; i < 300; ++i) utf8 += kWideCharacter;
        Bytes title = row.encoding == tag::kEncodingUtf8 ? ToBytes(utf8) : Utf16Le(utf8);
        if (row.encoding == tag::kEncodingUtf16LeMarked) title.insert(title.begin(), {0xFF, 0xFE});

        const Bytes file = tagtest::ReadFileBytes(tagtest::FixturePath(row.fixture));
        CTagStream* source = new CTagMemoryStream(file.data(), uint32_t(file.size()));
        CTagEditor* created = nullptr;
        if (row.readerType == kTagReaderId3) ASSERT_EQ(0, CreateId3Editor(source, &created, true));
        else if (row.readerType == kTagReaderAsf) ASSERT_EQ(0, CreateAsfEditor(source, &created, true));
        else ASSERT_EQ(0, CreateMp4FileEditor(source, &created, row.readerType - kTagReaderMp4Kind0, true));
        std::unique_ptr<CTagEditor> editor(created);
        ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, new CTagMemoryStream(title.data(), uint32_t(title.size())),
                                     uint32_t(title.size()), row.encoding, 0, true));
        const Bytes saved = tagtest::Save(*editor);

        CTagParser* parser = nullptr;
        CTagStream* stream = new CTagMemoryStream(saved.data(), uint32_t(saved.size()));
        if (row.readerType == kTagReaderId3) ASSERT_EQ(0, CreateId3Reader(stream, &parser, true));
        else if (row.readerType == kTagReaderAsf) ASSERT_EQ(0, CreateAsfReader(stream, &parser, true));
        else ASSERT_EQ(0, CreateMp4Reader(stream, &parser, row.readerType - kTagReaderMp4Kind0, true));
        CTagReader reader(parser, true);
        int32_t encoding = tag::kEncodingUndefined;
        const std::string text = tagtest::TextItem(reader, tag::kItemTitle, &encoding);
        const Bytes bytes = ToBytes(text);
        // At most one character (four bytes) short of the limit, and whole characters only.
        EXPECT_LE(bytes.size(), kReadLimit);
        EXPECT_GT(bytes.size(), kReadLimit - 4);
        EXPECT_EQ(bytes.size(), tag::CharacterBoundary(bytes.data(), uint32_t(bytes.size()), encoding));
        if (encoding == tag::kEncodingUtf8) {
            std::u16string units;
            EXPECT_TRUE(tag::Utf8ToUtf16(bytes.data(), bytes.size(), true, &units));
        }
    }
}

// Reading is lenient, writing is not: UTF-8 that would go into a file as it stands must be
// UTF-8, and a refused title leaves the old one in place.
TEST(TagUtf8, InvalidUtf8IsNeverWrittenIntoAFile) {
    const Bytes id3v24 = tagtest::BuildTag(0x0400, {{"TIT2", tagtest::TextBody(3, ToBytes("Old Title"))}}, 0, tagtest::FakeAudio());
    struct Row {
        const char* name;
        Bytes file;
        int32_t kind;  // -1 for ID3
        const char* title;
    };
    const Row rows[] = {
        {"ID3v2.4", id3v24, -1, "Old Title"},
        {"M4A", tagtest::ReadFileBytes(tagtest::FixturePath("mp4/atomicparsley.m4a")), 1, "Parsley Title"},
        {"3GP", tagtest::ReadFileBytes(tagtest::FixturePath("mp4/atomicparsley.3gp")), 2, "Greatest"},
    };
    const std::string bad = "Bad \xFF Title";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CTagStream* source = new CTagMemoryStream(row.file.data(), uint32_t(row.file.size()));
        CTagEditor* created = nullptr;
        if (row.kind < 0) ASSERT_EQ(0, CreateId3Editor(source, &created, true));
        else ASSERT_EQ(0, CreateMp4FileEditor(source, &created, row.kind, true));
        std::unique_ptr<CTagEditor> editor(created);
        EXPECT_EQ(tag::kInvalidArgument, editor->SetItem(tag::kItemTitle, new CTagMemoryStream(bad.data(), uint32_t(bad.size())),
                                                         uint32_t(bad.size()), tag::kEncodingUtf8, 0, true));
        const Bytes saved = tagtest::Save(*editor);
        CTagParser* parser = nullptr;
        CTagStream* stream = new CTagMemoryStream(saved.data(), uint32_t(saved.size()));
        if (row.kind < 0) ASSERT_EQ(0, CreateId3Reader(stream, &parser, true));
        else ASSERT_EQ(0, CreateMp4Reader(stream, &parser, row.kind, true));
        CTagReader reader(parser, true);
        EXPECT_EQ(row.title, tagtest::TextItem(reader, tag::kItemTitle));
    }
}
