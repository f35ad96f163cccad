// The boxes the MP4 editor makes and interprets: each new box against its bytes written out by
// hand, and loaded boxes copied unchanged with their data located behind their own fields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "library/media/tags/Mp4AssetBox.h"
#include "library/media/tags/Mp4DataBox.h"
#include "library/media/tags/Mp4FullBox.h"
#include "library/media/tags/Mp4MeanBox.h"
#include "library/media/tags/Mp4NameBox.h"
#include "library/media/tags/Mp4RawFullBox.h"
#include "library/media/tags/Mp4TrackNumberItem.h"
#include "library/media/tags/Mp4YearBox.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/Mp4TestSupport.h"

using mp4test::TextStream;
using tagtest::Bytes;

namespace {

// "00 00 00 0e 'yrrc' ..." : hex bytes, and letters between single quotes taken as they stand.
Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t at = 0; at < text.size();) {
        if (text[at] == ' ') {
            ++at;
        } else if (text[at] == '\'') {
            const size_t end = text.find('\'', at + 1);
            bytes.insert(bytes.end(), text.begin() + long(at) + 1, text.begin() + long(end));
            at = end + 1;
        } else {
            bytes.push_back(uint8_t(std::strtoul(text.substr(at, 2).c_str(), nullptr, 16)));
            at += 2;
        }
    }
    return bytes;
}

CTagOwnedPtr<CTagStream> Owned(const std::string& text) { return CTagOwnedPtr<CTagStream>(TextStream(text), true); }

Bytes Written(CMp4Box& box, CTagStream* source = nullptr) {
    tagtest::CCollectingWriteStream output;
    EXPECT_EQ(tag::kOk, box.Write(source, &output));
    return output.bytes;
}

}  // namespace

TEST(Mp4Box, NewBoxesWriteExactlyTheirLayout) {
    const std::string wideAlbum("\xFE\xFF\x00" "A", 4);
    const struct {
        const char* name;
        std::function<CMp4Box*()> make;
        std::string expected;
    } cases[] = {
        {"handler, a full box held in memory", [] { return new CMp4FullBox(mp4::kHdlr, "body"); },
         "00 00 00 10 'hdlr' 00 00 00 00 'body'"},
        {"mean", [] { return new CMp4MeanBox("com.apple.iTunes"); },
         "00 00 00 1c 'mean' 00 00 00 00 'com.apple.iTunes'"},
        {"name", [] { return new CMp4NameBox("gnid"); }, "00 00 00 10 'name' 00 00 00 00 'gnid'"},
        {"text data from the middle of its stream", [] { return new CMp4DataBox(1, Owned("xxTitleyy"), 5, 2); },
         "00 00 00 15 'data' 00 00 00 01 00 00 00 00 'Title'"},
        {"JPEG data", [] { return new CMp4DataBox(13, Owned("\xFF\xD8"), 2, 0); },
         "00 00 00 12 'data' 00 00 00 0d 00 00 00 00 ff d8"},
        {"PNG data", [] { return new CMp4DataBox(14, Owned("\x89PNG"), 4, 0); },
         "00 00 00 14 'data' 00 00 00 0e 00 00 00 00 89 'PNG'"},
        {"track 5 of 12", [] { return new CMp4TrackNumberItem(5, 12); },
         "00 00 00 20 'trkn' 00 00 00 18 'data' 00 00 00 00 00 00 00 00 00 00 00 05 00 0c 00 00"},
        {"year from digits and letters", [] { return new CMp4YearBox("2007ab"); },
         "00 00 00 0e 'yrrc' 00 00 00 00 07 d7"},
        {"year from letters alone", [] { return new CMp4YearBox("MMVIII"); }, "00 00 00 0e 'yrrc' 00 00 00 00 00 00"},
        {"year from the first five digits", [] { return new CMp4YearBox("123456"); },
         "00 00 00 0e 'yrrc' 00 00 00 00 30 39"},
        {"title", [] { return new CMp4AssetBox(mp4::kTitl, Owned("Title"), 5, 0, false, ""); },
         "00 00 00 14 'titl' 00 00 00 00 15 c7 'Title' 00"},
        {"album with its track byte", [] { return new CMp4AssetBox(mp4::kAlbm, Owned("Album"), 5, 0, false, "\x05"); },
         "00 00 00 15 'albm' 00 00 00 00 15 c7 'Album' 00 05"},
        {"wide performer", [wideAlbum] { return new CMp4AssetBox(mp4::kPerf, Owned(wideAlbum), 4, 0, true, ""); },
         "00 00 00 14 'perf' 00 00 00 00 15 c7 fe ff 00 'A' 00 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CMp4Box> box(c.make());
        const Bytes expected = Hex(c.expected);
        EXPECT_EQ(expected.size(), box->Size());
        EXPECT_EQ(expected, Written(*box));
        // Writing leaves nothing behind that a second save would see.
        EXPECT_EQ(expected, Written(*box));
        uint32_t offset, size;
        if (box->Type() != mp4::kTrkn) {
            EXPECT_EQ(tag::kNotFound, box->Locate(&offset, &size)) << "no data in the source";
        }
    }
}

TEST(Mp4Box, LoadedBoxesLocateTheirDataBehindTheirFields) {
    // Each box sits behind four bytes of something else, so the offsets are absolute.
    const struct {
        const char* name;
        std::function<CMp4Box*(const CMp4BoxHeader&)> make;
        std::string box;
        int32_t located;
        uint32_t offset, size;
    } cases[] = {
        {"raw full box", [](const CMp4BoxHeader& h) { return new CMp4RawFullBox(h); },
         "00 00 00 0f 'abcd' 01 00 00 02 'xyz'", tag::kOk, 16, 3},
        {"name", [](const CMp4BoxHeader& h) { return new CMp4NameBox(h); }, "00 00 00 10 'name' 00 00 00 00 'gnid'",
         tag::kOk, 16, 4},
        {"mean", [](const CMp4BoxHeader& h) { return new CMp4MeanBox(h); }, "00 00 00 0d 'mean' 00 00 00 00 'x'",
         tag::kOk, 16, 1},
        {"data: the value behind type and locale", [](const CMp4BoxHeader& h) { return new CMp4DataBox(h); },
         "00 00 00 13 'data' 00 00 00 01 00 00 00 00 'abc'", tag::kOk, 20, 3},
        {"asset: the text behind the language", [](const CMp4BoxHeader& h) { return new CMp4AssetBox(h); },
         "00 00 00 11 'titl' 00 00 00 00 15 c7 'ab' 00", tag::kOk, 18, 3},
        {"year", [](const CMp4BoxHeader& h) { return new CMp4YearBox(h); }, "00 00 00 0e 'yrrc' 00 00 00 00 07 d8",
         tag::kOk, 16, 2},
        {"full box shorter than its flags", [](const CMp4BoxHeader& h) { return new CMp4RawFullBox(h); },
         "00 00 00 0b 'abcd' 00 00 00", tag::kMalformed, 0, 0},
        {"data shorter than its locale", [](const CMp4BoxHeader& h) { return new CMp4DataBox(h); },
         "00 00 00 0f 'data' 00 00 00 01 00 00 00", tag::kMalformed, 0, 0},
        {"asset shorter than its language", [](const CMp4BoxHeader& h) { return new CMp4AssetBox(h); },
         "00 00 00 0d 'albm' 00 00 00 00 15", tag::kMalformed, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes boxBytes = Hex(c.box);
        const Bytes file = mp4test::Cat({Hex("de ad be ef"), boxBytes, Hex("ca fe")});
        CTagMemoryStream source(file.data(), uint32_t(file.size()));
        CMp4BoxHeader header;
        ASSERT_EQ(tag::kOk, header.Read(&source, 4, uint32_t(file.size())));
        std::unique_ptr<CMp4Box> box(c.make(header));
        ASSERT_EQ(tag::kOk, box->Load(&source));
        uint32_t offset = 0, size = 0;
        EXPECT_EQ(c.located, box->Locate(&offset, &size));
        if (c.located == tag::kOk) {
            EXPECT_EQ(c.offset, offset);
            EXPECT_EQ(c.size, size);
        }
        EXPECT_EQ(boxBytes.size(), box->Size());
        EXPECT_EQ(boxBytes, Written(*box, &source)) << "copied as it stands";
    }
}

TEST(Mp4Box, NameBodiesReadTheSameLoadedOrNew) {
    const Bytes file = Hex("00 00 00 12 'name' 00 00 00 00 'UFID' 00 'x'");
    CTagMemoryStream source(file.data(), uint32_t(file.size()));
    CMp4BoxHeader header;
    ASSERT_EQ(tag::kOk, header.Read(&source, 0, uint32_t(file.size())));
    CMp4NameBox loaded(header);
    CMp4NameBox made(std::string("UFID\0x", 6));
    for (CMp4NameBox* box : {&loaded, &made}) {
        std::string body;
        EXPECT_EQ(tag::kOk, box->ReadBody(&source, 64, &body));
        EXPECT_EQ(std::string("UFID\0x", 6), body);
        EXPECT_EQ(tag::kOk, box->ReadBody(&source, 3, &body));
        EXPECT_EQ("UFI", body) << "cut at the limit";
    }
}

TEST(Mp4Box, AlbumTrackByteLoadedOrNew) {
    const struct {
        const char* name;
        std::string box;
        std::string track;
    } loadedCases[] = {
        {"track behind the terminator", "00 00 00 13 'albm' 00 00 00 00 15 c7 'Alb' 00 07", "\x07"},
        {"no byte behind the terminator", "00 00 00 12 'albm' 00 00 00 00 15 c7 'Alb' 00", ""},
        {"two bytes behind it: no track", "00 00 00 14 'albm' 00 00 00 00 15 c7 'Alb' 00 07 08", ""},
        {"wide text, track behind two zero bytes", "00 00 00 15 'albm' 00 00 00 00 15 c7 fe ff 00 'A' 00 00 09",
         "\x09"},
        {"too short for its language", "00 00 00 0d 'albm' 00 00 00 00 15", ""},
    };
    for (const auto& c : loadedCases) {
        SCOPED_TRACE(c.name);
        const Bytes file = Hex(c.box);
        CTagMemoryStream source(file.data(), uint32_t(file.size()));
        CMp4BoxHeader header;
        ASSERT_EQ(tag::kOk, header.Read(&source, 0, uint32_t(file.size())));
        CMp4AssetBox album(header);
        std::string track = "unset";
        EXPECT_EQ(tag::kOk, album.Track(&source, &track));
        EXPECT_EQ(c.track, track);
    }
    CMp4AssetBox withTrack(mp4::kAlbm, Owned("New"), 3, 0, false, "\x0B");
    CMp4AssetBox without(mp4::kAlbm, Owned("New"), 3, 0, false, "");
    std::string track;
    EXPECT_EQ(tag::kOk, withTrack.Track(nullptr, &track));
    EXPECT_EQ("\x0B", track);
    EXPECT_EQ(tag::kOk, without.Track(nullptr, &track));
    EXPECT_EQ("", track);
}
