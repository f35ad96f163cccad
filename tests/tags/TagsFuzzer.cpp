// Reads arbitrary bytes as a file through every tag reader and editor (ID3v2, ASF and the MP4
// kinds), edits and saves it, and checks that what the editor saved reads back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagReader.h"
#include "library/media/tags/TagTypes.h"

namespace {

// Saves go to memory, into one buffer kept from input to input: growing a fresh one for every
// save cost more than the editors themselves.
class CBufferWriteStream : public CTagWriteStream {
public:
    CBufferWriteStream() : data(Buffer()) { data.clear(); }
    int32_t Write(const void* buffer, uint32_t length) override {
        if (!buffer) return tag::kInvalidArgument;
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        data.insert(data.end(), bytes, bytes + length);
        return tag::kOk;
    }
    int32_t Close() override { return tag::kOk; }
    std::vector<uint8_t>& data;

private:
    static std::vector<uint8_t>& Buffer() {
        static std::vector<uint8_t> buffer;
        return buffer;
    }
};

// What one walk over the file reported: the objects the fuzzer then reads back through the facade.
struct Reported {
    uint32_t moodOffset = 0, moodSize = 0, moodCount = 0;
    uint32_t pictureOffset = 0, pictureSize = 0, pictureCount = 0;
    uint32_t lookupOffset = 0, lookupSize = 0;
    bool lookupFound = false;
    uint32_t textBytes = 0;
    int32_t parsed = 0;  // what the walk returned
};

int32_t OnMood(void* context, uint32_t offset, uint32_t size) {
    auto* reported = static_cast<Reported*>(context);
    if (reported->moodCount++ == 0) reported->moodOffset = offset, reported->moodSize = size;
    return 0;
}

int32_t OnPicture(void* context, uint32_t offset, uint32_t size, uint8_t, int32_t) {
    auto* reported = static_cast<Reported*>(context);
    if (reported->pictureCount++ == 0) reported->pictureOffset = offset, reported->pictureSize = size;
    return 0;
}

int32_t OnText(void* context, const uint8_t* bytes, uint32_t count, uint8_t, int32_t) {
    // Touch the first and last byte so a wrong count shows as an out-of-bounds read.
    auto* reported = static_cast<Reported*>(context);
    if (count) reported->textBytes += bytes[0] + bytes[count - 1];
    return 0;
}

int32_t OnLookup(void* context, uint32_t offset, uint32_t size) {
    auto* reported = static_cast<Reported*>(context);
    reported->lookupOffset = offset, reported->lookupSize = size, reported->lookupFound = true;
    return 0;
}

// Each facade query is a full parse of its own, so an input gets one walk with every handler set
// (every object kind reported) and the facade asks one query, chosen by the input: the queries
// and their indexes are all reached across inputs at the cost of two parses, not six. Without
// askFacade only the walk is made.
Reported Query(CTagReader& reader, uint32_t pick, bool askFacade = true) {
    CTagParser* parser = reader.Parser();
    Reported reported;
    parser->SetMoodDataHandler(OnMood, &reported);
    parser->SetPictureHandler(OnPicture, &reported);
    parser->SetTextItemHandler(OnText, &reported);
    parser->SetLookupIdHandler(OnLookup, &reported);
    reported.parsed = parser->Parse();
    parser->SetMoodDataHandler(nullptr, nullptr);
    parser->SetPictureHandler(nullptr, nullptr);
    parser->SetTextItemHandler(nullptr, nullptr);
    parser->SetLookupIdHandler(nullptr, nullptr);

    uint8_t buffer[64];
    const uint32_t moodSize = reported.moodSize, pictureSize = reported.pictureSize;
    if (reported.moodCount)
        reader.ReadObjectData(reported.moodOffset, moodSize, moodSize > 8 ? moodSize - 8 : 0, buffer,
                              moodSize > 8 ? 8 : moodSize);
    if (reported.pictureCount)
        reader.ReadObjectData(reported.pictureOffset, pictureSize, 0, buffer,
                              pictureSize < sizeof(buffer) ? pictureSize : sizeof(buffer));
    if (reported.lookupFound)
        reader.ReadObjectData(reported.lookupOffset, reported.lookupSize, 0, buffer,
                              reported.lookupSize < 4 ? reported.lookupSize : 4);

    if (!askFacade) return reported;
    uint32_t offset, size, count;
    uint8_t type;
    int32_t format, encoding;
    uint32_t length = pick % 2 ? sizeof(buffer) : 0;
    switch (pick % 5) {
        case 0: reader.FindMoodData(int32_t(pick % 3), &offset, &size); break;
        case 1: reader.CountPictures(pick % 2 ? tag::kPictureAnyType : tag::kPictureFrontCover, &count); break;
        case 2: reader.GetPictureInfo(tag::kPictureAnyType, int32_t(pick % 3), &offset, &size, &type, &format); break;
        case 3:
            reader.GetTextItem(int32_t(pick % tag::kItemTypeCount), length ? buffer : nullptr, &length, &encoding);
            break;
        default: reader.FindLookupId(&offset, &size); break;
    }
    return reported;
}

// What chooses the queries of an input.
uint32_t Pick(const uint8_t* data, size_t size) { return uint32_t(size) + (size ? data[size - 1] : 0); }

using ReaderFactory = int32_t (*)(CTagStream*, CTagParser**, bool);

// Whether the reader took the input for its format.
bool ReadAll(const uint8_t* data, size_t size, ReaderFactory factory) {
    CTagParser* parser = nullptr;
    if (factory(new CTagMemoryStream(data, uint32_t(size)), &parser, true) != 0) return false;
    CTagReader reader(parser, true);
    Query(reader, Pick(data, size));
    return true;
}

int32_t CountCall(void* context) { return ++*static_cast<int*>(context), 0; }

// Whether the reader took the input for its kind, and whether the walk with every handler set
// went through: the pictures then read, and must read after an edit too.
bool ReadKind(const uint8_t* data, size_t size, int32_t kind, bool askFacade, bool* picturesRead) {
    *picturesRead = false;
    CTagParser* parser = nullptr;
    if (CreateMp4Reader(new CTagMemoryStream(data, uint32_t(size)), &parser, kind, true) != 0) return false;
    CMp4Reader* reader = static_cast<CMp4Reader*>(parser);
    int calls = 0;
    reader->SetDrmsHandler(CountCall, &calls);
    reader->SetVmhdHandler(CountCall, &calls);
    reader->SetVideoEntryHandler([](void* c, const Mp4VisualEntry*) { return CountCall(c); }, &calls);
    reader->SetAudioEntryHandler([](void* c, const Mp4AudioEntry*) { return CountCall(c); }, &calls);
    reader->SetVideoProfileHandler([](void* c, const Mp4VideoProfile*) { return CountCall(c); }, &calls);
    reader->SetAudioProfileHandler([](void* c, const Mp4AudioProfile*) { return CountCall(c); }, &calls);
    CTagReader facade(parser, true);
    *picturesRead = Query(facade, Pick(data, size), askFacade).parsed == 0;
    return true;
}

void EditKind(const uint8_t* data, size_t size, int32_t kind, bool picturesRead) {
    CTagEditor* created = nullptr;
    if (CreateMp4FileEditor(new CTagMemoryStream(data, uint32_t(size)), &created, kind, true) != 0) return;
    std::unique_ptr<CTagEditor> editor(created);
    static const uint8_t kPayload[] = "2009/12\xFF\x00\xFE";
    const uint32_t half = size > 1 ? uint32_t(size / 2) : 0;
    editor->RemovePicture(data[size / 3], 0);
    editor->RemovePicture(tag::kPictureFrontCover, int32_t(size % 2));
    editor->RemoveItem(tag::kItemGenre);
    editor->RemoveMoodData();
    editor->SetItem(tag::kItemTitle, new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 2), 0, true);
    editor->SetItem(tag::kItemTrack, new CTagMemoryStream(kPayload, 10), 7, tag::kEncodingUtf8, 0, true);
    editor->SetItem(tag::kItemYear, new CTagMemoryStream(kPayload, 10), 4, tag::kEncodingUtf8, 0, true);
    editor->SetPicture(new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 3), 3, int32_t(size % 3), 0,
                       true);
    editor->SetMoodData(new CTagMemoryStream(kPayload, 10), 10, 0, true);
    editor->SetLookupId(new CTagMemoryStream(kPayload, 10), 4, 2, true);
    CBufferWriteStream output;
    if (editor->Save(&output, false) != 0) return;
    // What we write must open again, and the mood data set must be found where the kind keeps it.
    CTagParser* parser = nullptr;
    if (CreateMp4Reader(new CTagMemoryStream(output.data.data(), uint32_t(output.data.size())), &parser, kind, true) !=
        0)
        __builtin_trap();
    CTagReader reader(parser, true);
    uint32_t offset, length;
    const int32_t found = reader.FindMoodData(0, &offset, &length);
    if (kind != kMp4KindAudio && (found == tag::kNotFound || (found == 0 && length != 10))) __builtin_trap();
    uint32_t count;
    if (picturesRead && reader.CountPictures(tag::kPictureAnyType, &count) != 0) __builtin_trap();
}

// Every MP4 reader kind walks the input; for one kind, chosen by the input, the facade answers a
// query and the editor edits and saves it, and what was saved must open again. Loading the box
// tree for all three editor kinds cost more than the rest of a run, and across inputs every
// editor kind still edits. Whether any reader kind took the input.
bool FuzzMp4Formats(const uint8_t* data, size_t size) {
    if (size == 0) return false;
    const int32_t edited = int32_t(Pick(data, size) / 7 % kMp4KindCount);
    bool taken = false;
    for (int32_t kind = 0; kind < kMp4KindCount; ++kind) {
        bool picturesRead;
        taken |= ReadKind(data, size, kind, kind == edited, &picturesRead);
        if (kind == edited) EditKind(data, size, kind, picturesRead);
    }
    return taken;
}

// The ASF editor edits and saves the input; what it saved must load again with the mood data set.
void EditAsf(const uint8_t* data, size_t size) {
    CTagEditor* created = nullptr;
    if (CreateAsfEditor(new CTagMemoryStream(data, uint32_t(size)), &created, true) != 0) return;
    std::unique_ptr<CTagEditor> editor(created);
    static const uint8_t kPayload[] = "payload\xFF\x00\xFE";
    const uint32_t half = size > 1 ? uint32_t(size / 2) : 0;
    editor->RemovePicture(data[size / 3], 1);
    editor->RemoveItem(int32_t(size % 8));
    editor->SetItem(tag::kItemTitle, new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 7) - 1, 0, true);
    editor->SetItem(tag::kItemGenre, new CTagMemoryStream(kPayload, 10), 10, tag::kEncodingUtf16BeMarked, 0, true);
    editor->SetPicture(new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 3), 3, int32_t(size % 2), 0,
                       true);
    editor->SetMoodData(new CTagMemoryStream(kPayload, 10), 10, 0, true);
    editor->SetLookupId(new CTagMemoryStream(kPayload, 10), 4, 2, true);
    CBufferWriteStream output;
    if (editor->Save(&output, false) != 0) return;
    CTagEditor* again = nullptr;
    if (CreateAsfEditor(new CTagMemoryStream(output.data.data(), uint32_t(output.data.size())), &again, true) != 0)
        __builtin_trap();
    delete again;
    CTagParser* parser = nullptr;
    if (CreateAsfReader(new CTagMemoryStream(output.data.data(), uint32_t(output.data.size())), &parser, true) != 0)
        __builtin_trap();
    CTagReader reader(parser, true);
    uint32_t offset, length;
    if (reader.FindMoodData(0, &offset, &length) != 0 || length != 10) __builtin_trap();
    Query(reader, Pick(data, size));
}

// The ID3v2 editor edits and saves the input; what it saved must read back with what was set.
void EditId3(const uint8_t* data, size_t size) {
    CTagEditor* created = nullptr;
    if (CreateId3Editor(new CTagMemoryStream(data, uint32_t(size)), &created, true) != 0) return;
    std::unique_ptr<CTagEditor> editor(created);
    static const uint8_t kPayload[] = "payload\xFF\x00\xFE";
    const uint32_t half = size > 1 ? uint32_t(size / 2) : 0;
    editor->RemovePicture(data[0 % (size ? size : 1)], 0);
    editor->RemoveItem(tag::kItemGenre);
    editor->SetItem(tag::kItemTitle, new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 7) - 1, 0, true);
    editor->SetItem(tag::kItemArtist, new CTagMemoryStream(kPayload, 10), 10, tag::kEncodingUtf8, 0, true);
    editor->SetPicture(new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 3), 3, 0, 0, true);
    editor->SetMoodData(new CTagMemoryStream(kPayload, 10), 10, 0, true);
    editor->SetLookupId(new CTagMemoryStream(kPayload, 10), 4, 2, true);
    CBufferWriteStream output;
    if (editor->Save(&output, false) != 0) return;
    CTagParser* parser = nullptr;
    if (CreateId3Reader(new CTagMemoryStream(output.data.data(), uint32_t(output.data.size())), &parser, true) != 0)
        __builtin_trap();
    CTagReader reader(parser, true);
    uint32_t offset, length;
    if (reader.FindMoodData(0, &offset, &length) != 0 || length != 10) __builtin_trap();
    Query(reader, Pick(data, size));
}

}  // namespace

// Every reader kind reads each input, and the editors edit it. The ID3v2 editor takes any input
// (a file without a tag gets a new one), so it edits an MP4 or ASF file only in one input of four,
// chosen by the input: saving a copy of every such file cost more than the rest of a run.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const bool id3 = ReadAll(data, size, CreateId3Reader);
    const bool asf = ReadAll(data, size, CreateAsfReader);
    const bool mp4 = FuzzMp4Formats(data, size);
    if (size) EditAsf(data, size);
    if (id3 || !(asf || mp4) || Pick(data, size) / 3 % 4 == 0) EditId3(data, size);
    return 0;
}
