// The ASF editor: edits of every kind read back with our reader, the objects come out with the
// sizes and counts the format asks for, and refused edits leave the file as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "library/media/tags/AsfObjectHeader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/AsfTestSupport.h"
#include "tests/tags/TagTextDecode.h"

using namespace asftest;
using tagtest::CTrackedStream;
using tagtest::DecodedTextItem;
using tagtest::TextItem;
using tagtest::ToBytes;

namespace {

CTagEditor* EditorOver(const Bytes& file, int32_t* result = nullptr) {
    CTagEditor* editor = nullptr;
    int32_t created = CreateAsfEditor(new CTagMemoryStream(file.data(), uint32_t(file.size())), &editor, true);
    if (result) *result = created;
    return created == 0 ? editor : nullptr;
}

// The test keeps the bytes alive until the editor has saved.
struct Texts {
    std::vector<std::unique_ptr<Bytes>> kept;
    CTagStream* Stream(const Bytes& bytes) {
        kept.emplace_back(new Bytes(bytes));
        return new CTagMemoryStream(kept.back()->data(), uint32_t(kept.back()->size()));
    }
};

Bytes PictureBytes(CTagReader& reader, uint8_t type, int32_t index) {
    uint32_t offset, size;
    uint8_t foundType;
    int32_t format;
    if (reader.GetPictureInfo(type, index, &offset, &size, &foundType, &format) != 0) return {};
    Bytes image(size);
    EXPECT_EQ(0, reader.ReadObjectData(offset, size, 0, image.data(), size));
    return image;
}

uint32_t Pictures(CTagReader& reader, uint8_t type) {
    uint32_t count = 99;
    EXPECT_EQ(0, reader.CountPictures(type, &count));
    return count;
}

// A stream that claims more bytes than it can give: only its size is ever asked for.
class CHugeStream : public CTagStream {
public:
    int32_t Read(void*, uint32_t) override { return tag::kShortRead; }
    int32_t Seek(int64_t, int32_t) override { return 0; }
    int32_t Tell(uint32_t* position) override { return *position = 0, 0; }
    int32_t GetSize(uint32_t* size) override { return *size = 0xFFFFFF00u, 0; }
    int32_t Close() override { return 0; }
};

Bytes SampleFile() {
    return File({
        FileProperties(1),
        ContentDescription(Utf16("Old Title"), Utf16("Old Author"), Utf16("(c)"), Utf16("Desc"), Utf16("R")),
        ExtendedContentDescription({
            Descriptor(Utf16("WM/Genre"), 0, Utf16("Old Genre")),
            Descriptor(Utf16("WM/Picture"), 1, PictureValue(3, "image/jpeg", ToBytes("ecd-cover"))),
            Descriptor(Utf16("VEXAL"), 1, ToBytes("old mood")),
            Descriptor(Utf16("Other"), 0, Utf16("kept")),
        }),
        HeaderExtension({MetadataLibrary({
            Record(Utf16("WM/Picture"), 1, PictureValue(3, "image/jpeg", ToBytes("first-cover")), 0, 0),
            Record(Utf16("WM/Picture"), 1, PictureValue(128, "image/png", ToBytes("lyrics"))),
            Record(Utf16("WM/Picture"), 1, PictureValue(3, "image/png", ToBytes("second-cover"))),
            Record(Utf16("VEXAL"), 1, ToBytes("old library mood")),
        })}),
    });
}

}  // namespace

TEST(AsfEditor, TextItemsInEveryEncodingReadBackAsPlainUtf16Le) {
    const Bytes file = SampleFile();
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    Texts texts;
    struct Row {
        int32_t itemType;
        Bytes bytes;
        int32_t encoding;
        const char* expected;
    } rows[] = {
        {tag::kItemTitle, Utf16("New Title", false), tag::kEncodingUtf16LeNoMark, "New Title"},
        {tag::kItemArtist, Cat({{0xFE, 0xFF}, {0, 'B', 0, 'E', 0, '!'}}), tag::kEncodingUtf16BeMarked, "BE!"},
        {tag::kItemGenre, Bytes{0, 'R', 0, 'o', 0, 'c', 0, 'k'}, tag::kEncodingUtf16BeNoMark, "Rock"},
        {tag::kItemAlbum, Cat({{0xFF, 0xFE}, Utf16("Album")}), tag::kEncodingUtf16LeMarked, "Album"},
        {tag::kItemAlbumArtist, Utf16("Band"), tag::kEncodingUtf16LeNoMark, "Band"},
        {tag::kItemYear, Utf16("2024"), tag::kEncodingUtf16LeNoMark, "2024"},
        {tag::kItemTrack, Utf16("5/9"), tag::kEncodingUtf16LeNoMark, "5/9"},
    };
    for (const Row& row : rows)
        ASSERT_EQ(0, editor->SetItem(row.itemType, texts.Stream(row.bytes), uint32_t(row.bytes.size()), row.encoding, 0, true));
    const Bytes saved = tagtest::Save(*editor);
    std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
    ASSERT_TRUE(reader);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        int32_t encoding = -7;
        const std::string raw = TextItem(*reader, row.itemType, &encoding);
        // Big-endian and marked text is stored as the format's UTF-16LE without a mark.
        EXPECT_EQ(tag::kEncodingUtf16LeNoMark, encoding);
        EXPECT_NE(0xFE, uint8_t(raw[0]));
        EXPECT_EQ(row.expected, DecodedTextItem(*reader, row.itemType));
    }
    // The content description keeps its other strings; the attribute we do not know stays.
    const Bytes description = ChildBody(saved, asf::kObjectContentDescription);
    EXPECT_EQ(Cat({Le16(18), Le16(6), Le16(8), Le16(10), Le16(4), Utf16("New Title", false), Utf16("BE!", false),
                   Utf16("(c)"), Utf16("Desc"), Utf16("R")}),
              description);
    const Bytes extended = ChildBody(saved, asf::kObjectExtendedContentDescription);
    const Bytes kept = Utf16("kept");
    EXPECT_NE(extended.end(), std::search(extended.begin(), extended.end(), kept.begin(), kept.end()));
    EXPECT_EQ(uint64_t(saved.size()), FilePropertiesSize(saved));
}

TEST(AsfEditor, RefusedTextLeavesTheItem) {
    const Bytes file = SampleFile();
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    Texts texts;
    struct Row {
        int32_t itemType;
        uint32_t size;
        int32_t encoding;
        int32_t result;
    } rows[] = {
        {tag::kItemTitle, 4, tag::kEncodingUtf8, -11},
        {tag::kItemGenre, 4, tag::kEncodingAnsi, -11},
        {tag::kItemGenre, 4, -1, -11},
        {tag::kItemOther, 4, tag::kEncodingUtf16LeNoMark, -11},
        {8, 4, tag::kEncodingUtf16LeNoMark, -2},
        // The 16-bit length fields cannot hold more.
        {tag::kItemTitle, 65536, tag::kEncodingUtf16LeNoMark, -2},
        {tag::kItemGenre, 70000, tag::kEncodingUtf16BeNoMark, -2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        bool deleted = false;
        const Bytes bytes(row.size, 'a');
        texts.kept.emplace_back(new Bytes(bytes));
        EXPECT_EQ(row.result, editor->SetItem(row.itemType, new CTrackedStream(texts.kept.back()->data(), row.size, &deleted),
                                              row.size, row.encoding, 0, true));
        EXPECT_TRUE(deleted);
    }
    const Bytes marked = Cat({{0xFF, 0xFE}, Bytes(65534, 'a')});  // 65,534 bytes once the mark is gone
    EXPECT_EQ(0, editor->SetItem(tag::kItemAlbum, texts.Stream(marked), uint32_t(marked.size()),
                                 tag::kEncodingUtf16LeMarked, 0, true));
    EXPECT_EQ(-2, editor->SetLookupId(texts.Stream(Bytes(65536, 'x')), 65536, 0, true));
    EXPECT_EQ(-2, editor->SetItem(tag::kItemTitle, texts.Stream(Bytes(4, 'x')), 6, tag::kEncodingUtf16LeNoMark, 0, true));

    const Bytes saved = tagtest::Save(*editor);
    std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
    ASSERT_TRUE(reader);
    EXPECT_EQ("Old Title", DecodedTextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("Old Genre", DecodedTextItem(*reader, tag::kItemGenre));
    const Bytes album = Cat({Le16(28), Utf16("WM/AlbumTitle"), Le16(0), Le16(65534), Bytes(65534, 'a')});
    const Bytes extended = ChildBody(saved, asf::kObjectExtendedContentDescription);
    EXPECT_NE(extended.end(), std::search(extended.begin(), extended.end(), album.begin(), album.end()));
}

TEST(AsfEditor, RemovedItems) {
    const Bytes file = SampleFile();
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    for (int32_t item : {tag::kItemTitle, tag::kItemArtist, tag::kItemGenre, tag::kItemOther, tag::kItemYear})
        EXPECT_EQ(0, editor->RemoveItem(item));
    EXPECT_EQ(-2, editor->RemoveItem(-1));
    const Bytes saved = tagtest::Save(*editor);
    std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
    ASSERT_TRUE(reader);
    for (int32_t item : {tag::kItemTitle, tag::kItemArtist, tag::kItemGenre})
        EXPECT_EQ("<-5>", TextItem(*reader, item)) << item;
    EXPECT_EQ(Cat({Le16(0), Le16(0), Le16(8), Le16(10), Le16(4), Utf16("(c)"), Utf16("Desc"), Utf16("R")}),
              ChildBody(saved, asf::kObjectContentDescription));

    // Removing the only descriptor leaves a 26-byte object with count 0.
    const Bytes single = File({ExtendedContentDescription({Descriptor(Utf16("WM/Year"), 0, Utf16("1990"))})});
    editor.reset(EditorOver(single));
    ASSERT_TRUE(editor);
    EXPECT_EQ(0, editor->RemoveItem(tag::kItemYear));
    const Bytes empty = tagtest::Save(*editor);
    const std::vector<TopObject> children = HeaderChildren(empty);
    ASSERT_EQ(1u, children.size());
    EXPECT_EQ(26u, children[0].size);
    EXPECT_EQ(Le16(0), ChildBody(empty, asf::kObjectExtendedContentDescription));
}

TEST(AsfEditor, PicturesReplacedAndRemovedByPosition) {
    const Bytes file = SampleFile();
    Texts texts;
    {
        // A new front cover takes the place of the first one, held in the extended content
        // description, and keeps the library's two.
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        ASSERT_EQ(0, editor->SetPicture(texts.Stream(ToBytes("new-cover")), 9, tag::kImagePng, 3, 0, 0, true));
        ASSERT_EQ(0, editor->SetPicture(texts.Stream(ToBytes("third")), 5, tag::kImageOther, 3, 5, 0, true));
        ASSERT_EQ(0, editor->SetPicture(texts.Stream(ToBytes("xxthumb")), 5, tag::kImageJpeg, 129, 0, 2, true));
        const Bytes saved = tagtest::Save(*editor);
        std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
        ASSERT_TRUE(reader);
        EXPECT_EQ(4u, Pictures(*reader, tag::kPictureFrontCover));
        EXPECT_EQ(ToBytes("new-cover"), PictureBytes(*reader, 3, 0));
        EXPECT_EQ(ToBytes("first-cover"), PictureBytes(*reader, 3, 1));
        EXPECT_EQ(ToBytes("second-cover"), PictureBytes(*reader, 3, 2));
        EXPECT_EQ(ToBytes("third"), PictureBytes(*reader, 3, 3));
        EXPECT_EQ(ToBytes("lyrics"), PictureBytes(*reader, tag::kPictureLyrics, 0));
        // The new value as written: type, length, MIME type with its zero unit, empty description.
        const Bytes library = ChildBody(saved, asf::kObjectMetadataLibrary);
        const Bytes described = ChildBody(saved, asf::kObjectExtendedContentDescription);
        const Bytes value = Cat({{3}, Le32(9), Utf16("image/png"), Utf16(""), ToBytes("new-cover")});
        const Bytes descriptor = Descriptor(Utf16("WM/Picture"), 1, value);
        EXPECT_NE(described.end(), std::search(described.begin(), described.end(), descriptor.begin(), descriptor.end()));
        const Bytes other = Record(Utf16("WM/Picture"), 1, Cat({{3}, Le32(5), Utf16(""), Utf16(""), ToBytes("third")}));
        EXPECT_NE(library.end(), std::search(library.begin(), library.end(), other.begin(), other.end()));
        const Bytes jpeg = Record(Utf16("WM/Picture"), 1, Cat({{129}, Le32(5), Utf16("image/jpeg"), Utf16(""), ToBytes("thumb")}));
        EXPECT_EQ(12u + 22u + 1 + 4 + 22 + 2 + 5, jpeg.size());
        EXPECT_NE(library.end(), std::search(library.begin(), library.end(), jpeg.begin(), jpeg.end()));
        EXPECT_EQ(ToBytes("thumb"), PictureBytes(*reader, tag::kPictureThumbnail, 0));
    }
    {
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        EXPECT_EQ(0, editor->RemovePicture(3, 0));  // counts from 1: nothing
        EXPECT_EQ(-2, editor->RemovePicture(3, -1));
        const Bytes unchanged = tagtest::Save(*editor);
        std::unique_ptr<CTagReader> reader(AsfReaderOver(unchanged));
        EXPECT_EQ(3u, Pictures(*reader, tag::kPictureFrontCover));
        EXPECT_EQ(0, editor->RemovePicture(3, 1));  // the first of each list
        EXPECT_EQ(0, editor->RemovePicture(129, 1));  // none of that type: no error
        const Bytes saved = tagtest::Save(*editor);
        reader.reset(AsfReaderOver(saved));
        ASSERT_TRUE(reader);
        EXPECT_EQ(1u, Pictures(*reader, tag::kPictureFrontCover));
        EXPECT_EQ(ToBytes("second-cover"), PictureBytes(*reader, 3, 0));
        EXPECT_EQ(1u, Pictures(*reader, tag::kPictureLyrics));
    }
}

// A picture is replaced in the list that holds it, counted in the order a reader meets the lists;
// one too large for a descriptor's 16-bit length moves to the library, in front of its covers.
TEST(AsfEditor, PictureReplacedWhereverItIsHeld) {
    const Bytes described = ExtendedContentDescription({
        Descriptor(Utf16("WM/Picture"), 1, PictureValue(3, "image/jpeg", ToBytes("ecd-cover"))),
    });
    const Bytes extension = HeaderExtension({MetadataLibrary({
        Record(Utf16("WM/Picture"), 1, PictureValue(3, "image/jpeg", ToBytes("first-cover"))),
        Record(Utf16("WM/Picture"), 1, PictureValue(3, "image/png", ToBytes("second-cover"))),
    })});
    const Bytes descriptionFirst = File({FileProperties(1), described, extension});
    const Bytes libraryFirst = File({FileProperties(1), extension, described});
    const Bytes small = ToBytes("new-cover");
    const Bytes large(70000, 0x4C);
    struct Row {
        const char* name;
        const Bytes* file;
        const Bytes* image;
        int32_t position;
        std::vector<Bytes> covers;  // as the reader meets them
        uint32_t describedPictures;
    };
    const Row rows[] = {
        {"first, held in the description", &descriptionFirst, &small, 0, {small, ToBytes("first-cover"), ToBytes("second-cover")}, 1},
        {"first, too large for the description", &descriptionFirst, &large, 0, {large, ToBytes("first-cover"), ToBytes("second-cover")}, 0},
        {"second, held in the library", &descriptionFirst, &small, 1, {ToBytes("ecd-cover"), small, ToBytes("second-cover")}, 1},
        {"beyond the last", &descriptionFirst, &small, 3, {ToBytes("ecd-cover"), ToBytes("first-cover"), ToBytes("second-cover"), small}, 1},
        {"library read first", &libraryFirst, &small, 0, {small, ToBytes("second-cover"), ToBytes("ecd-cover")}, 1},
        {"description read last", &libraryFirst, &small, 2, {ToBytes("first-cover"), ToBytes("second-cover"), small}, 1},
        {"description read last, too large", &libraryFirst, &large, 2, {ToBytes("first-cover"), ToBytes("second-cover"), large}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<CTagEditor> editor(EditorOver(*row.file));
        ASSERT_TRUE(editor);
        ASSERT_EQ(0, editor->SetPicture(new CTagMemoryStream(row.image->data(), uint32_t(row.image->size())),
                                        uint32_t(row.image->size()), tag::kImageJpeg, tag::kPictureFrontCover,
                                        row.position, 0, true));
        const Bytes saved = tagtest::Save(*editor);
        std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
        ASSERT_TRUE(reader);
        ASSERT_EQ(row.covers.size(), Pictures(*reader, tag::kPictureFrontCover));
        for (size_t at = 0; at < row.covers.size(); ++at)
            EXPECT_EQ(row.covers[at], PictureBytes(*reader, tag::kPictureFrontCover, int32_t(at))) << at;
        const Bytes body = ChildBody(saved, asf::kObjectExtendedContentDescription);
        ASSERT_GE(body.size(), 2u);
        EXPECT_EQ(row.describedPictures, uint32_t(body[0] | body[1] << 8));
    }
}

TEST(AsfEditor, MoodDataAndLookupIdentifier) {
    const Bytes file = SampleFile();
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    Texts texts;
    const Bytes mood = Cat({ToBytes(std::string("\0Application/VEXAL\0\0USR_VEXAL\0", 30)), ToBytes("payload")});
    ASSERT_EQ(0, editor->SetMoodData(texts.Stream(mood), uint32_t(mood.size()), 0, true));
    ASSERT_EQ(0, editor->SetLookupId(texts.Stream(ToBytes("xxID-1")), 4, 2, true));
    ASSERT_EQ(0, editor->SetLookupId(texts.Stream(ToBytes("ID-2")), 4, 0, true));
    const Bytes saved = tagtest::Save(*editor);
    std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
    ASSERT_TRUE(reader);
    EXPECT_EQ(ToBytes("payload"), tagtest::MoodPayload(*reader, 0));
    EXPECT_EQ(Bytes(), tagtest::MoodPayload(*reader, 1));
    uint32_t offset, size;
    ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
    EXPECT_EQ(Bytes(saved.begin() + offset, saved.begin() + offset + size), Utf16("ID-2"));
    // The value is stored as it stands, as a byte array in the metadata library.
    const Bytes library = ChildBody(saved, asf::kObjectMetadataLibrary);
    const Bytes record = Record(Utf16("VEXAL"), 1, mood);
    EXPECT_NE(library.end(), std::search(library.begin(), library.end(), record.begin(), record.end()));

    EXPECT_EQ(0, editor->RemoveMoodData());
    const Bytes without = tagtest::Save(*editor);
    reader.reset(AsfReaderOver(without));
    EXPECT_EQ(Bytes(), tagtest::MoodPayload(*reader, 0));
}

// The lookup identifier is a Unicode-string attribute: UTF-16LE is kept, 8-bit text converted
// (Windows-1252 here), and the value always ends with one zero unit; bytes that are neither are
// refused and leave the identifier as it was.
TEST(AsfEditor, LookupIdIsStoredAsTerminatedUtf16Le) {
    const Bytes eAcute = {'C', 0, 'a', 0, 'f', 0, 0xE9, 0, 0, 0};
    struct Row {
        const char* name;
        Bytes given;
        int32_t result;
        Bytes stored;
    };
    const Row rows[] = {
        {"8-bit, odd length", ToBytes("ID-42"), 0, Utf16("ID-42")},
        {"8-bit, even length", ToBytes("ID-4"), 0, Utf16("ID-4")},
        {"8-bit with its zero byte", Cat({ToBytes("ID-42"), {0}}), 0, Utf16("ID-42")},
        {"8-bit, even with its zero byte", Cat({ToBytes("ID-"), {0}}), 0, Utf16("ID-")},
        {"8-bit beyond ASCII", ToBytes("Caf\xE9"), 0, eAcute},
        {"UTF-16LE with its zero unit", Utf16("LK-1"), 0, Utf16("LK-1")},
        {"UTF-16LE without it", Utf16("LK-1", false), 0, Utf16("LK-1")},
        {"odd length with a zero inside", Bytes{'A', 0, 'B'}, -2, Utf16("OLD")},
        {"unpaired surrogate", Bytes{0x00, 0xD8, 'A', 0}, -2, Utf16("OLD")},
        {"zero unit inside", Bytes{'A', 0, 0, 0, 'B', 0}, -2, Utf16("OLD")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes file = SampleFile();
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        Texts texts;
        const Bytes old = Utf16("OLD");
        ASSERT_EQ(0, editor->SetLookupId(texts.Stream(old), uint32_t(old.size()), 0, true));
        EXPECT_EQ(row.result, editor->SetLookupId(texts.Stream(row.given), uint32_t(row.given.size()), 0, true));
        const Bytes saved = tagtest::Save(*editor);
        std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
        ASSERT_TRUE(reader);
        uint32_t offset, size;
        ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
        EXPECT_EQ(row.stored, Bytes(saved.begin() + offset, saved.begin() + offset + size));
    }
}

// Objects that are missing are made when something goes in them; a new header extension carries
// the reserved GUID and value the format prescribes, and its data size follows its children.
TEST(AsfEditor, MissingObjectsAreCreated) {
    const Bytes file = File({FileProperties(uint32_t(File({FileProperties(0)}).size()))});
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    Texts texts;
    EXPECT_EQ(0, editor->RemoveMoodData());
    EXPECT_EQ(0, editor->RemoveItem(tag::kItemTitle));
    EXPECT_EQ(file, tagtest::Save(*editor)) << "removals create nothing";
    ASSERT_EQ(0, editor->SetMoodData(texts.Stream(ToBytes("mood")), 4, 0, true));
    ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, texts.Stream(Utf16("T")), 4, tag::kEncodingUtf16LeNoMark, 0, true));
    ASSERT_EQ(0, editor->SetItem(tag::kItemGenre, texts.Stream(Utf16("G")), 4, tag::kEncodingUtf16LeNoMark, 0, true));
    const Bytes saved = tagtest::Save(*editor);
    const std::vector<TopObject> children = HeaderChildren(saved);
    ASSERT_EQ(4u, children.size());
    EXPECT_EQ(asf::kObjectHeaderExtension, children[1].index);
    const Bytes extension = ChildBody(saved, asf::kObjectHeaderExtension);
    const uint8_t* reserved = asf::kHeaderExtensionReservedGuid;
    EXPECT_EQ(Cat({Bytes(reserved, reserved + 16), Le16(6), Le32(uint32_t(extension.size() - 22))}),
              Bytes(extension.begin(), extension.begin() + 22));
    EXPECT_EQ(Le32(4), Bytes(saved.begin() + 24, saved.begin() + 28)) << "object count";
    EXPECT_EQ(uint64_t(saved.size()), FilePropertiesSize(saved));
    std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
    ASSERT_TRUE(reader);
    EXPECT_EQ(ToBytes("mood"), tagtest::MoodPayload(*reader));
    EXPECT_EQ("T", DecodedTextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("G", DecodedTextItem(*reader, tag::kItemGenre));
}

TEST(AsfEditor, FilesOfToolsKeepTheirMediaAndReadBack) {
    for (const char* name : {"mutagen.wma", "ffmpeg.wmv", "real_example.wma", "lossless.wma"}) {
        SCOPED_TRACE(name);
        const Bytes file = Fixture(name);
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        Texts texts;
        ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, texts.Stream(Utf16("Edited", false)), 12, 4, 0, true));
        ASSERT_EQ(0, editor->SetPicture(texts.Stream(ToBytes("cover")), 5, tag::kImageJpeg, 3, 0, 0, true));
        const Bytes saved = tagtest::Save(*editor);
        EXPECT_EQ(uint64_t(saved.size()), FilePropertiesSize(saved));
        // Everything behind the header object is copied unchanged.
        const uint32_t oldHeader = asf::Read32(file.data() + 16), newHeader = asf::Read32(saved.data() + 16);
        EXPECT_TRUE(std::equal(file.begin() + oldHeader, file.end(), saved.begin() + newHeader, saved.end()));
        std::unique_ptr<CTagReader> reader(AsfReaderOver(saved));
        ASSERT_TRUE(reader);
        EXPECT_EQ("Edited", DecodedTextItem(*reader, tag::kItemTitle));
        std::unique_ptr<CTagReader> before(AsfReaderOver(file));
        for (int32_t item : {tag::kItemArtist, tag::kItemAlbum, tag::kItemGenre, tag::kItemTrack})
            EXPECT_EQ(TextItem(*before, item), TextItem(*reader, item)) << item;
        EXPECT_EQ(tagtest::MoodPayload(*before), tagtest::MoodPayload(*reader));
    }
}

TEST(AsfEditor, ErrorsAndBrokenFiles) {
    const Bytes good = SampleFile();
    Bytes huge = good;
    huge[20] = 1;  // a header object of 4 GiB and more is refused, not cut to 32 bits
    Bytes childHigh = good;
    childHigh[30 + 20] = 1;
    Bytes noHeader = Object(asf::kObjectFileProperties, Bytes(80, 0));
    Bytes shortProperties = File({Object(asf::kObjectFileProperties, Bytes(79, 0))});
    Bytes dataPastEnd = good;
    dataPastEnd.resize(good.size() - 1);
    struct Row {
        const char* name;
        Bytes file;
        int32_t result;
    } rows[] = {
        {"4 GiB header object", huge, -3},
        {"4 GiB child", childHigh, -3},
        {"no header object", noHeader, -3},
        {"short file properties", shortProperties, -3},
        {"data object past the end", dataPastEnd, -3},
        {"empty", Bytes(), -3},
    };
    for (const Row& row : rows) {
        int32_t result = 0;
        std::unique_ptr<CTagEditor> editor(EditorOver(row.file, &result));
        EXPECT_FALSE(editor) << row.name;
        EXPECT_EQ(row.result, result) << row.name;
    }
    // Every cut of a real file is refused cleanly or, cut inside the data, loads and saves.
    const Bytes sample = Fixture("mutagen.wma");
    for (size_t cut = 0; cut < sample.size(); cut += 97) {
        const Bytes cutFile(sample.begin(), sample.begin() + cut);
        int32_t result = 0;
        std::unique_ptr<CTagEditor> editor(EditorOver(cutFile, &result));
        EXPECT_TRUE(result == -3 || result == -8) << cut << ": " << result;
    }

    std::unique_ptr<CTagEditor> editor(EditorOver(good));
    ASSERT_TRUE(editor);
    // A file that would pass 4 GiB is refused before anything is written.
    ASSERT_EQ(0, editor->SetPicture(new CHugeStream, 0xFFFFFF00u, tag::kImageJpeg, 3, 0, 0, true));
    tagtest::CCollectingWriteStream output;
    EXPECT_EQ(-3, editor->Save(&output, false));
    EXPECT_TRUE(output.bytes.empty());
    ASSERT_EQ(0, editor->RemovePicture(3, 1));
    ASSERT_EQ(0, editor->RemovePicture(3, 1));
    tagtest::CCollectingWriteStream shortOutput(100);
    EXPECT_EQ(-9, editor->Save(&shortOutput, false));
    EXPECT_EQ(-2, editor->Save(nullptr, true));
    EXPECT_EQ(-2, editor->SetMoodData(new CTagMemoryStream("ab", 2), 3, 0, true));
    EXPECT_EQ(0, editor->Close());
    tagtest::CCollectingWriteStream closed;
    EXPECT_EQ(-1, editor->Save(&closed, false));
    EXPECT_EQ(-1, editor->RemoveItem(tag::kItemTitle));
    EXPECT_EQ(-1, editor->SetLookupId(new CTagMemoryStream("ab", 2), 2, 0, true));
}
