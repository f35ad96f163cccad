#include "library/media/decode/MediaTagText.h"

#include <gtest/gtest.h>

#include "tests/mediaprobe/ProbeTestSupport.h"

namespace {

struct TextCase {
    const wchar_t* file;
    int32_t code;
    int32_t result;
    MediaTagFields fields;
};

void ExpectFields(const TextCase& c) {
    SCOPED_TRACE(testing::Message() << c.code << " " << std::string(c.file, c.file + wcslen(c.file)));
    MediaTagFields fields;
    EXPECT_EQ(c.result, ReadTagTextFieldsByType(fields, ProbeFixture(c.file), c.code));
    EXPECT_EQ(c.fields, fields);
}

// The ID3 tag of the MP3 and of the movie: the title is UTF-16 big-endian with a byte-order mark,
// the genre "(17)", the year lands in field 5.
MediaTagFields Id3Fields(const std::wstring& kind) {
    return {{kFieldArtist, kind + L" Artist"}, {kFieldTitle, kind + L" Title"}, {kFieldGenre, L"Rock"},
            {kFieldAlbum, kind + L" Album"},   {kFieldYear, L"2009"},           {kFieldTrack, L"5/12"}};
}

TEST(MediaTagTextTest, FieldsOfEveryTaggedFormat) {
    const TextCase cases[] = {
        {L"tagged.mp3", 0, 0, Id3Fields(L"Mp3")},
        // The codec-family codes read ID3 tags too.
        {L"tagged.mp3", 6, 0, Id3Fields(L"Mp3")},
        {L"tagged.mp3", 14, 0, Id3Fields(L"Mp3")},
        {L"h264-main.mp4", 4, 0, Id3Fields(L"Mp4")},
        {L"tagged.m4a", 2, 0,
         {{kFieldArtist, L"M4a Artist"}, {kFieldTitle, L"M4a Title"}, {kFieldGenre, L"Jazz"},
          {kFieldAlbum, L"M4a Album"}, {kFieldAlbumArtist, L"M4a Writer"}, {kFieldYear, L"2011"},
          {kFieldTrack, L"3/9"}}},
        // ASF: the genre "(13)" resolves as in ID3 tags.
        {L"tagged.wma", 1, 0,
         {{kFieldArtist, L"Wma Artist"}, {kFieldTitle, L"Wma Title"}, {kFieldGenre, L"Pop"},
          {kFieldAlbum, L"Wma Album"}, {kFieldAlbumArtist, L"Wma Writer"}, {kFieldYear, L"2005"},
          {kFieldTrack, L"4"}}},
        // Code 3 reads the movie and the 3GP layouts into one map.
        {L"tagged.3gp", 3, 0,
         {{kFieldArtist, L"Gp Artist"}, {kFieldTitle, L"Gp Title"}, {kFieldAlbum, L"Gp Album"},
          {kFieldYear, L"2007"}}},
    };
    for (const TextCase& c : cases) ExpectFields(c);
}

TEST(MediaTagTextTest, CodesWithoutReadersAndUntaggedFilesGiveNothing) {
    const TextCase cases[] = {
        {L"tagged.mp3", 5, -1, {}},
        {L"tagged.mp3", 15, -1, {}},
        {L"tagged.mp3", -1, -1, {}},
        // A file without a tag opens and has no items.
        {L"plain.mp3", 0, 0, {}},
        {L"missing.mp3", 0, -1, {}},
        // Neither MP4 layout opens an MP3: code 3 reports the failed reads.
        {L"tagged.mp3", 3, 1, {}},
    };
    for (const TextCase& c : cases) ExpectFields(c);
}

TEST(MediaTagTextTest, AFieldAlreadyPresentKeepsItsValue) {
    MediaTagFields fields{{kFieldTitle, L"Kept"}};
    EXPECT_EQ(0, ReadTagTextFields(fields, ProbeFixture(L"tagged.mp3"), 0));
    EXPECT_EQ(L"Kept", fields[kFieldTitle]);
    EXPECT_EQ(L"Mp3 Artist", fields[kFieldArtist]);
}

TEST(MediaTagTextTest, AnsiTextConvertsInTheGivenCodePage) {
    std::wstring text = L"unchanged";
    EXPECT_FALSE(AnsiToWide(nullptr, CP_ACP, &text));
    EXPECT_EQ(L"unchanged", text);
    ASSERT_TRUE(AnsiToWide("caf\xE9", 1252, &text));
    EXPECT_EQ(L"caf\u00E9", text);
    ASSERT_TRUE(AnsiToWide("", 1252, &text));
    EXPECT_EQ(L"", text);
}

}  // namespace
