#include "library/media/decode/MediaTagText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

// An ID3v2.4 text frame of UTF-8 (encoding byte 3) holding those bytes.
std::string Utf8Frame(const char* id, const std::string& text) {
    const size_t size = text.size() + 1;
    std::string frame(id, 4);
    for (int shift = 21; shift >= 0; shift -= 7) frame += char((size >> shift) & 0x7F);
    frame += std::string(2, '\0') + '\3' + text;
    return frame;
}

// plain.mp3 behind an ID3v2.4 tag of those frames, written to a file of the temporary folder.
std::wstring TaggedCopy(const std::string& frames, const wchar_t* name) {
    std::ifstream in(ProbeFixture(L"plain.mp3").c_str(), std::ios::binary);
    const std::string audio((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string file("ID3\4\0\0", 6);
    for (int shift = 21; shift >= 0; shift -= 7) file += char((frames.size() >> shift) & 0x7F);
    file += frames + audio;
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    std::ofstream(path.c_str(), std::ios::binary).write(file.data(), std::streamsize(file.size()));
    return path;
}

// A bad byte costs one character, and a text longer than the read limit keeps every whole
// character in front of it, even where the limit falls inside one.
TEST(MediaTagTextTest, Utf8TextReadsLeniently) {
    const std::string wideCharacter = "\xF0\x9F\x98\x80";  // a surrogate pair in UTF-16
    std::string album = "ab";
    std::wstring albumRead = L"ab";
    for (int i = 0; i < 300; ++i) album += wideCharacter;
    // 1,024 bytes hold "ab" and 255 whole characters.
    for (int i = 0; i < 255; ++i) albumRead += L"\xD83D\xDE00";
    const std::wstring path = TaggedCopy(Utf8Frame("TIT2", "Bad \xFF Title") + Utf8Frame("TALB", album) +
                                             Utf8Frame("TPE1", "Caf\xC3\xA9 \xE2\x82\xAC"),
                                         L"qb-lenient-utf8.mp3");
    MediaTagFields fields;
    EXPECT_EQ(0, ReadTagTextFieldsByType(fields, path, 0));
    DeleteFileW(path.c_str());
    EXPECT_EQ((MediaTagFields{{kFieldTitle, L"Bad \uFFFD Title"}, {kFieldAlbum, albumRead},
                              {kFieldArtist, L"Caf\u00E9 \u20AC"}}),
              fields);
}

TEST(MediaTagTextTest, AnsiTextConvertsInTheGivenCodePage) {
    EXPECT_EQ(nullptr, AnsiToWide(nullptr, CP_ACP));
    std::unique_ptr<wchar_t[]> text = AnsiToWide("caf\xE9", 1252);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::wstring(L"caf\u00E9"), text.get());
    text = AnsiToWide("", 1252);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::wstring(), text.get());
}

}  // namespace
