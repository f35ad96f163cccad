#include <gtest/gtest.h>

#include <memory>

#include "library/media/tags/Id3Editor.h"
#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"

using namespace tagtest;

namespace {

CTagStream* Text(const std::string& text) {
    // The bytes live in a static pool so the stream stays valid until Save, as callers guarantee.
    static std::vector<std::unique_ptr<std::string>> pool;
    pool.emplace_back(new std::string(text));
    return new CTagMemoryStream(pool.back()->data(), uint32_t(pool.back()->size()));
}

uint32_t TagSizeOf(const Bytes& file) { return id3::ReadSynchsafe(file.data() + 6); }

Bytes AfterTag(const Bytes& file) { return Bytes(file.begin() + 10 + TagSizeOf(file), file.end()); }

}  // namespace

TEST(Id3Editor, PaddingMakesTheTagAMultipleOf16) {
    struct Case {
        uint32_t frames, padding;
    } cases[] = {{100, 18}, {118, 32}, {0, 22}, {6, 32}, {7, 31}, {21, 17}, {22, 32}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.padding, CId3Editor::PaddingFor(c.frames)) << c.frames;
        EXPECT_EQ(0u, (10 + c.frames + c.padding) % 16);
    }
    // Through a save: one frame of 10 + 90 bytes gives a tag of 128 bytes.
    Bytes audio = FakeAudio();
    Bytes file = BuildTag(0x0300, {{"TIT2", TextBody(0, Bytes(89, 'x'))}}, 300, audio);
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    Bytes saved = Save(*editor);
    EXPECT_EQ(118u, TagSizeOf(saved));
    EXPECT_EQ(Bytes(18, 0), Bytes(saved.begin() + 110, saved.begin() + 128));
    EXPECT_EQ(audio, AfterTag(saved));
}

TEST(Id3Editor, UntouchedFramesAndAudioAreCopiedExactly) {
    Bytes audio = FakeAudio(5000);
    for (uint16_t version : {0x0200, 0x0300, 0x0400}) {
        SCOPED_TRACE(version);
        bool v22 = version == 0x0200;
        std::vector<Frame> frames = {
            {v22 ? "TT2" : "TIT2", TextBody(1, {0xFF, 0xFE, 'a', 0})},
            {v22 ? "TXX" : "TXXX", TextBody(0, ToBytes("replaygain\0-1 dB"))},
            {v22 ? "COM" : "PRIV", Bytes(3000, 0x5A), uint16_t(v22 ? 0 : 0x0040)},
            {v22 ? "UFI" : "UFID", UfidBody("someone", ToBytes("1234"))},
        };
        Bytes file = BuildTag(version, frames, 64, audio);
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        Bytes saved = Save(*editor);
        Bytes frameBytes = BuildTag(version, frames);
        ASSERT_GE(saved.size(), frameBytes.size());
        EXPECT_EQ(Bytes(frameBytes.begin() + 3, frameBytes.begin() + 6), Bytes(saved.begin() + 3, saved.begin() + 6));
        EXPECT_EQ(Bytes(frameBytes.begin() + 10, frameBytes.end()),
                  Bytes(saved.begin() + 10, saved.begin() + frameBytes.size()));
        EXPECT_EQ(audio, AfterTag(saved));
        // Saving twice, and saving what was saved, gives the same file.
        EXPECT_EQ(saved, Save(*editor));
        std::unique_ptr<CTagEditor> again(EditorOver(saved));
        ASSERT_TRUE(again);
        EXPECT_EQ(saved, Save(*again));
    }
}

TEST(Id3Editor, AudioWithoutATagGainsAnId3v23Tag) {
    Bytes audio = FakeAudio(3000);
    std::unique_ptr<CTagEditor> editor(EditorOver(audio));
    ASSERT_TRUE(editor);
    ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, Text("First"), 5, tag::kEncodingAnsi, 0, true));
    Bytes saved = Save(*editor);
    EXPECT_EQ(Bytes({'I', 'D', '3', 3, 0, 0}), Bytes(saved.begin(), saved.begin() + 6));
    EXPECT_EQ(Bytes({'T', 'I', 'T', '2', 0, 0, 0, 6, 0, 0, 0, 'F'}), Bytes(saved.begin() + 10, saved.begin() + 22));
    EXPECT_EQ(audio, AfterTag(saved));
    std::unique_ptr<CTagReader> reader(ReaderOver(saved));
    EXPECT_EQ("First", TextItem(*reader, tag::kItemTitle));
}

TEST(Id3Editor, SetAndRemoveItems) {
    Bytes file = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("old"))}, {"TPE1", TextBody(0, ToBytes("a1"))},
                                   {"TPE1", TextBody(0, ToBytes("a2"))}, {"TCON", TextBody(0, ToBytes("Rock"))}},
                          0, FakeAudio());
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, Text("xxnewxx"), 3, tag::kEncodingAnsi, 2, true));
    ASSERT_EQ(0, editor->RemoveItem(tag::kItemArtist));
    ASSERT_EQ(0, editor->SetItem(tag::kItemYear, Text("2007"), 4, tag::kEncodingAnsi, 0, true));
    ASSERT_EQ(0, editor->SetItem(tag::kItemTrack, Text("3/12"), 4, tag::kEncodingAnsi, 0, true));
    EXPECT_EQ(tag::kNoCounterpart, editor->RemoveItem(tag::kItemAlbumArtist));
    EXPECT_EQ(tag::kNoCounterpart, editor->RemoveItem(tag::kItemOther));
    EXPECT_EQ(tag::kInvalidArgument, editor->RemoveItem(8));
    Bytes saved = Save(*editor);
    std::unique_ptr<CTagReader> reader(ReaderOver(saved));
    ASSERT_TRUE(reader);
    EXPECT_EQ("new", TextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemArtist));
    EXPECT_EQ("Rock", TextItem(*reader, tag::kItemGenre));
    EXPECT_EQ("2007", TextItem(*reader, tag::kItemYear));
    EXPECT_EQ("3/12", TextItem(*reader, tag::kItemTrack));
}

TEST(Id3Editor, SetOperationsRefuseBadStreamsAndDeleteOwnedOnes) {
    Bytes file = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("t"))}});
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    const char data[8] = "payload";
    struct Case {
        const char* name;
        int32_t expected;
        int32_t (*call)(CTagEditor&, CTagStream*);
    } cases[] = {
        {"item without a frame", tag::kNoCounterpart,
         [](CTagEditor& e, CTagStream* s) { return e.SetItem(tag::kItemAlbumArtist, s, 2, 0, 0, true); }},
        {"item type out of range", tag::kInvalidArgument,
         [](CTagEditor& e, CTagStream* s) { return e.SetItem(-1, s, 2, 0, 0, true); }},
        {"text beyond the stream", tag::kInvalidArgument,
         [](CTagEditor& e, CTagStream* s) { return e.SetItem(tag::kItemTitle, s, 2, 0, 7, true); }},
        {"mood data beyond the stream", tag::kInvalidArgument,
         [](CTagEditor& e, CTagStream* s) { return e.SetMoodData(s, 9, 0, true); }},
        {"picture beyond the stream", tag::kInvalidArgument,
         [](CTagEditor& e, CTagStream* s) { return e.SetPicture(s, 1, 0, 3, 0, 8, true); }},
        {"lookup identifier beyond the stream", tag::kInvalidArgument,
         [](CTagEditor& e, CTagStream* s) { return e.SetLookupId(s, 0xFFFFFFFF, 2, true); }},
    };
    for (const Case& c : cases) {
        bool deleted = false;
        EXPECT_EQ(c.expected, c.call(*editor, new CTrackedStream(data, 8, &deleted))) << c.name;
        EXPECT_TRUE(deleted) << c.name;
    }
    EXPECT_EQ(tag::kInvalidArgument, editor->SetItem(tag::kItemTitle, nullptr, 0, 0, 0, true));
    EXPECT_EQ(tag::kInvalidArgument, editor->SetMoodData(nullptr, 0, 0, true));
    EXPECT_EQ(tag::kInvalidArgument, editor->Save(nullptr, true));
    EXPECT_EQ(Save(*editor), BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("t"))}}, 26));

    // A borrowed stream is never deleted; an owned one goes with the editor.
    bool borrowedDeleted = false, ownedDeleted = false;
    CTrackedStream borrowed(data, 8, &borrowedDeleted);
    ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, &borrowed, 7, 0, 0, false));
    ASSERT_EQ(0, editor->SetItem(tag::kItemAlbum, new CTrackedStream(data, 8, &ownedDeleted), 7, 0, 0, true));
    EXPECT_EQ(0, editor->Close());
    EXPECT_TRUE(ownedDeleted);
    EXPECT_FALSE(borrowedDeleted);
    EXPECT_EQ(tag::kNotReady, editor->RemoveItem(tag::kItemTitle));
    CCollectingWriteStream output;
    EXPECT_EQ(tag::kNotReady, editor->Save(&output, false));
}

// Text is written so that its encoding byte tells the truth: UTF-16 always carries its mark, and
// UTF-8 goes into ID3v2.2 and 2.3 tags (which know no UTF-8) as UTF-16.
TEST(Id3Editor, WritesTextEncodingsReadersUnderstand) {
    struct Case {
        uint16_t version;
        int32_t encoding;
        Bytes text;
        Bytes body;  // as written
        int32_t readBack;
    } cases[] = {
        {0x0300, tag::kEncodingAnsi, {'a', 0xE4}, {0, 'a', 0xE4}, tag::kEncodingAnsi},
        {0x0400, tag::kEncodingUtf8, {'a', 0xC3, 0xA4}, {3, 'a', 0xC3, 0xA4}, tag::kEncodingUtf8},
        {0x0300, tag::kEncodingUtf8, {'a', 0xC3, 0xA4}, {1, 0xFF, 0xFE, 'a', 0, 0xE4, 0}, tag::kEncodingUtf16LeMarked},
        {0x0200, tag::kEncodingUtf8, {0xF0, 0x9F, 0x8E, 0xB5}, {1, 0xFF, 0xFE, 0x3C, 0xD8, 0xB5, 0xDF},
         tag::kEncodingUtf16LeMarked},
        {0x0300, tag::kEncodingUtf16BeNoMark, {0, 'a'}, {1, 0xFE, 0xFF, 0, 'a'}, tag::kEncodingUtf16BeMarked},
        {0x0300, tag::kEncodingUtf16LeNoMark, {'a', 0}, {1, 0xFF, 0xFE, 'a', 0}, tag::kEncodingUtf16LeMarked},
        {0x0300, tag::kEncodingUtf16BeMarked, {0xFE, 0xFF, 0, 'a'}, {1, 0xFE, 0xFF, 0, 'a'}, tag::kEncodingUtf16BeMarked},
        {0x0400, tag::kEncodingUtf16LeMarked, {0xFF, 0xFE, 'a', 0}, {1, 0xFF, 0xFE, 'a', 0}, tag::kEncodingUtf16LeMarked},
        {0x0300, tag::kEncodingUndefined, {'a'}, {0, 'a'}, tag::kEncodingAnsi},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.version << " encoding " << c.encoding);
        const Bytes file = BuildTag(c.version, {});
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        CTagMemoryStream text(c.text.data(), uint32_t(c.text.size()));
        ASSERT_EQ(0, editor->SetItem(tag::kItemArtist, &text, uint32_t(c.text.size()), c.encoding, 0, false));
        Bytes saved = Save(*editor);
        uint32_t header = c.version == 0x0200 ? 6 : 10;
        ASSERT_GE(saved.size(), 10 + header + c.body.size());
        EXPECT_EQ(c.body, Bytes(saved.begin() + 10 + header, saved.begin() + 10 + header + c.body.size()));
        std::unique_ptr<CTagReader> reader(ReaderOver(saved));
        int32_t encoding = 99;
        TextItem(*reader, tag::kItemArtist, &encoding);
        EXPECT_EQ(c.readBack, encoding);
    }
}

TEST(Id3Editor, NewFramesFollowTheTagVersion) {
    const Bytes image = ToBytes("\x89PNG-image");
    const Bytes mood(1000, 0x42);
    for (uint16_t version : {0x0200, 0x0300, 0x0400}) {
        SCOPED_TRACE(version);
        const Bytes file = BuildTag(version, {}, 0, FakeAudio());
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        CTagMemoryStream imageStream(image.data(), uint32_t(image.size()));
        CTagMemoryStream moodStream(mood.data(), uint32_t(mood.size()));
        ASSERT_EQ(0, editor->SetPicture(&imageStream, uint32_t(image.size()), tag::kImagePng, 3, 0, 0, false));
        ASSERT_EQ(0, editor->SetMoodData(&moodStream, uint32_t(mood.size()), 0, false));
        ASSERT_EQ(0, editor->SetLookupId(Text("LOOKUP"), 6, 0, true));
        Bytes saved = Save(*editor);
        bool v22 = version == 0x0200;
        uint32_t header = v22 ? 6 : 10;
        uint32_t pictureFields = v22 ? 6 : 13;  // "image/png" and its terminator
        // Picture, mood data (30 + payload), lookup identifier (owner, terminator, identifier).
        const std::string owner = id3::kLookupOwner;
        uint32_t expected = 3 * header + pictureFields + uint32_t(image.size()) + 1030 + uint32_t(owner.size()) + 1 + 6;
        Bytes picture(saved.begin() + 10, saved.begin() + 10 + header);
        EXPECT_EQ(v22 ? ToBytes("PIC") : ToBytes("APIC"), Bytes(picture.begin(), picture.begin() + (v22 ? 3 : 4)));
        Bytes moodStart(saved.begin() + 10 + header + pictureFields + image.size(), saved.end());
        uint32_t moodSize = v22 ? id3::ReadBigEndian(moodStart.data() + 3, 3)
                                : version == 0x0400 ? id3::ReadSynchsafe(moodStart.data() + 4)
                                                    : id3::ReadBigEndian(moodStart.data() + 4, 4);
        EXPECT_EQ(1030u, moodSize);
        EXPECT_EQ(expected + CId3Editor::PaddingFor(expected), TagSizeOf(saved));

        std::unique_ptr<CTagReader> reader(ReaderOver(saved));
        ASSERT_TRUE(reader);
        EXPECT_EQ(mood, MoodPayload(*reader));
        uint32_t offset, size;
        uint8_t type;
        int32_t format;
        ASSERT_EQ(0, reader->GetPictureInfo(3, 0, &offset, &size, &type, &format));
        EXPECT_EQ(image, Bytes(saved.begin() + offset, saved.begin() + offset + size));
        EXPECT_EQ(tag::kImagePng, format);
        ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
        EXPECT_EQ(ToBytes("LOOKUP"), Bytes(saved.begin() + offset, saved.begin() + offset + size));
    }
}

TEST(Id3Editor, ReplacesMoodDataAndLookupIdButKeepsOtherObjects) {
    Bytes otherObject = {0, 'i', 'm', 'a', 'g', 'e', '/', 'p', 'n', 'g', 0, 0, 'x', 0, 'k', 'e', 'e', 'p'};
    Bytes oddMood = {0, 'A', 'P', 'P', 'L', 'I', 'C', 'A', 'T', 'I', 'O', 'N', '/', 'V', 'E', 'X', 'A', 'L', 0,
                     0, 'o', 't', 'h', 'e', 'r', 0, 'o', 'l', 'd'};
    Bytes file = BuildTag(0x0300, {{"GEOB", otherObject}, {"GEOB", MoodBody(ToBytes("old-1"))}, {"GEOB", oddMood},
                                   {"UFID", UfidBody("someone", ToBytes("kept"))},
                                   {"UFID", UfidBody(id3::kLookupOwnerOld, ToBytes("old-id"))}});
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    ASSERT_EQ(0, editor->SetMoodData(Text("new-mood"), 8, 0, true));
    ASSERT_EQ(0, editor->SetMoodData(Text("newer-mood"), 10, 0, true));  // replaces the new one too
    ASSERT_EQ(0, editor->SetLookupId(Text("new-id"), 6, 0, true));
    Bytes saved = Save(*editor);
    std::unique_ptr<CTagReader> reader(ReaderOver(saved));
    ASSERT_TRUE(reader);
    EXPECT_EQ(ToBytes("newer-mood"), MoodPayload(*reader, 0));
    EXPECT_EQ(Bytes(), MoodPayload(*reader, 1));
    uint32_t offset, size;
    ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
    EXPECT_EQ(ToBytes("new-id"), Bytes(saved.begin() + offset, saved.begin() + offset + size));
    // The unrelated object and the other owner's identifier are still there, byte for byte.
    Bytes kept = BuildTag(0x0300, {{"GEOB", otherObject}, {"UFID", UfidBody("someone", ToBytes("kept"))}});
    EXPECT_EQ(Bytes(kept.begin() + 10, kept.end()), Bytes(saved.begin() + 10, saved.begin() + kept.size()));

    ASSERT_EQ(0, editor->RemoveMoodData());
    const Bytes resaved = Save(*editor);
    reader.reset(ReaderOver(resaved));
    uint32_t moodOffset;
    EXPECT_EQ(tag::kNotFound, reader->FindMoodData(0, &moodOffset, &size));
}

TEST(Id3Editor, RemovePictureByTypeAndIndex) {
    Bytes file = BuildTag(0x0300, {{"APIC", ApicBody("image/jpeg", 3, ToBytes("A"))},
                                   {"APIC", ApicBody("image/jpeg", 4, ToBytes("B"))},
                                   {"APIC", ApicBody("image/jpeg", 3, ToBytes("C"))},
                                   {"APIC", ApicBody("image/jpeg", 255, ToBytes("D"))}});
    struct Case {
        uint8_t type;
        int32_t index;
        std::string left;
    } cases[] = {{3, 0, "BCD"}, {3, 1, "ABD"}, {3, 2, "ABCD"}, {255, 0, "ABC"}, {255, 1, "ABCD"}, {4, 0, "ACD"}};
    for (const Case& c : cases) {
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        EXPECT_EQ(0, editor->RemovePicture(c.type, c.index));
        Bytes saved = Save(*editor);
        std::unique_ptr<CTagReader> reader(ReaderOver(saved));
        std::string left;
        for (int32_t i = 0;; ++i) {
            uint32_t offset, size;
            uint8_t type;
            int32_t format;
            if (reader->GetPictureInfo(255, i, &offset, &size, &type, &format) != 0) break;
            left += char(saved[offset]);
        }
        EXPECT_EQ(c.left, left) << int(c.type) << "/" << c.index;
    }
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    EXPECT_EQ(tag::kInvalidArgument, editor->RemovePicture(3, -1));
    // Pictures added since the load count too, in the tag's version.
    for (uint16_t version : {0x0200, 0x0400}) {
        const Bytes fresh = BuildTag(version, {});
        editor.reset(EditorOver(fresh));
        ASSERT_TRUE(editor);
        ASSERT_EQ(0, editor->SetPicture(Text("new"), 3, tag::kImageJpeg, 7, 0, 0, true));
        ASSERT_EQ(0, editor->RemovePicture(7, 0));
        const Bytes saved = Save(*editor);
        std::unique_ptr<CTagReader> reader(ReaderOver(saved));
        uint32_t count = 99;
        EXPECT_EQ(0, reader->CountPictures(255, &count));
        EXPECT_EQ(0u, count) << version;
    }
}

// Tags the frame walk cannot take as they stand are written back clean: frames undone and
// without the extended header, the header flags cleared to match.
TEST(Id3Editor, WritesUnsynchronisedAndExtendedTagsBackClean) {
    Bytes audio = FakeAudio(700);
    Bytes body = {0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 'T', 'I', 'T', '2', 0, 0, 0, 5, 0, 0, 1, 0xFF, 0x00, 0xFE, 'A', 0};
    Bytes v23 = {'I', 'D', '3', 3, 0, 0xC0, 0, 0, 0, uint8_t(body.size())};
    v23.insert(v23.end(), body.begin(), body.end());
    v23.insert(v23.end(), audio.begin(), audio.end());
    // ID3v2.4 with a footer: the ten footer bytes are not audio.
    Bytes v24 = BuildTag(0x0400, {{"TIT2", {0, 0, 0, 7, 1, 0xFF, 0x00, 0xFE, 'A', 0}, 0x0003}}, 0, {}, 0x10);
    Bytes footer = {'3', 'D', 'I', 4, 0, 0x10, v24[6], v24[7], v24[8], v24[9]};
    v24.insert(v24.end(), footer.begin(), footer.end());
    v24.insert(v24.end(), audio.begin(), audio.end());
    for (const Bytes& file : {v23, v24}) {
        std::unique_ptr<CTagEditor> editor(EditorOver(file));
        ASSERT_TRUE(editor);
        ASSERT_EQ(0, editor->SetItem(tag::kItemArtist, Text("Z"), 1, 0, 0, true));
        Bytes saved = Save(*editor);
        EXPECT_EQ(0, saved[5]);
        EXPECT_EQ(audio, AfterTag(saved));
        std::unique_ptr<CTagReader> reader(ReaderOver(saved));
        EXPECT_EQ(std::string("\xFF\xFE" "A\0", 4), TextItem(*reader, tag::kItemTitle));
        EXPECT_EQ("Z", TextItem(*reader, tag::kItemArtist));
        EXPECT_EQ(Bytes({'T', 'I', 'T', '2', 0, 0, 0, 5, 0, 0}), Bytes(saved.begin() + 10, saved.begin() + 20));
    }
    Bytes sample = ReadFileBytes(FixturePath("unsynch.id3"));
    std::unique_ptr<CTagEditor> editor(EditorOver(sample));
    ASSERT_TRUE(editor);
    Bytes saved = Save(*editor);
    EXPECT_EQ(0, saved[5]);
    EXPECT_EQ(Bytes(sample.begin() + 186, sample.end()), AfterTag(saved));
    std::unique_ptr<CTagReader> reader(ReaderOver(saved));
    EXPECT_EQ(std::string("\xFE\xFF\0N\0i\0n\0a", 10), TextItem(*reader, tag::kItemArtist).substr(0, 10));
}

// A tag that needs no cleaning but ends in a footer: the rewritten tag has no footer, so its
// header must not announce one, or readers would take ten bytes of audio for it.
TEST(Id3Editor, FooterFlagIsDroppedWithTheFooter) {
    Bytes audio = FakeAudio(700);
    Bytes file = BuildTag(0x0400, {{"TIT2", TextBody(0, ToBytes("Kept"))}}, 0, {}, 0x10 | 0x20);
    Bytes footer = {'3', 'D', 'I', 4, 0, 0x30, file[6], file[7], file[8], file[9]};
    file.insert(file.end(), footer.begin(), footer.end());
    file.insert(file.end(), audio.begin(), audio.end());
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    ASSERT_EQ(0, editor->SetItem(tag::kItemArtist, Text("Z"), 1, 0, 0, true));
    Bytes saved = Save(*editor);
    ASSERT_GT(saved.size(), 10u);
    // The experimental flag still holds; the footer flag does not.
    EXPECT_EQ(0x20, saved[5]);
    EXPECT_EQ(audio, AfterTag(saved));
    // Edited once more, the audio stays whole: the new header places it right.
    editor.reset(EditorOver(saved));
    ASSERT_TRUE(editor);
    EXPECT_EQ(audio, AfterTag(Save(*editor)));
    std::unique_ptr<CTagReader> reader(ReaderOver(saved));
    EXPECT_EQ("Kept", TextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("Z", TextItem(*reader, tag::kItemArtist));
}

TEST(Id3Editor, RefusesTagsItCannotWriteBackWhole) {
    Bytes overrun = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("t"))}}, 0, FakeAudio());
    overrun[10 + 7] = 0x7F;
    int32_t result = 0;
    EXPECT_EQ(nullptr, EditorOver(overrun, &result));
    EXPECT_EQ(tag::kMalformed, result);
    Bytes truncated = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("t"))}}, 300);
    truncated.resize(100);
    EXPECT_EQ(nullptr, EditorOver(truncated, &result));
    EXPECT_EQ(tag::kMalformed, result);
    Bytes v22compressed = BuildTag(0x0200, {{"TT2", TextBody(0, ToBytes("t"))}}, 0, {}, 0x40);
    EXPECT_EQ(nullptr, EditorOver(v22compressed, &result));
    EXPECT_EQ(tag::kMalformed, result);
}

TEST(Id3Editor, ShortWriteEndsTheSave) {
    Bytes file = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("title"))}}, 0, FakeAudio(4000));
    std::unique_ptr<CTagEditor> editor(EditorOver(file));
    ASSERT_TRUE(editor);
    for (size_t limit : {size_t(0), size_t(5), size_t(15), size_t(40), size_t(2000)}) {
        CCollectingWriteStream output(limit);
        EXPECT_EQ(tag::kShortWrite, editor->Save(&output, false)) << limit;
    }
}
