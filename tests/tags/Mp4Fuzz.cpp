#include "tests/tags/Mp4Fuzz.h"

#include <memory>
#include <vector>

#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"

namespace {

class CVectorWriteStream : public CTagWriteStream {
public:
    int32_t Write(const void* buffer, uint32_t length) override {
        if (!buffer) return tag::kInvalidArgument;
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        data.insert(data.end(), bytes, bytes + length);
        return tag::kOk;
    }
    int32_t Close() override { return tag::kOk; }
    std::vector<uint8_t> data;
};

int32_t CountCall(void* context) { return ++*static_cast<int*>(context), 0; }

void ReadKind(const uint8_t* data, size_t size, int32_t kind, void (*query)(CTagReader&)) {
    CTagParser* parser = nullptr;
    if (CreateMp4Reader(new CTagMemoryStream(data, uint32_t(size)), &parser, kind, true) != 0) return;
    CMp4Reader* reader = static_cast<CMp4Reader*>(parser);
    int calls = 0;
    reader->SetDrmsHandler(CountCall, &calls);
    reader->SetVmhdHandler(CountCall, &calls);
    reader->SetVideoEntryHandler([](void* c, const Mp4VisualEntry*) { return CountCall(c); }, &calls);
    reader->SetAudioEntryHandler([](void* c, const Mp4AudioEntry*) { return CountCall(c); }, &calls);
    reader->SetVideoProfileHandler([](void* c, const Mp4VideoProfile*) { return CountCall(c); }, &calls);
    reader->SetAudioProfileHandler([](void* c, const Mp4AudioProfile*) { return CountCall(c); }, &calls);
    reader->Parse();
    CTagReader facade(parser, true);
    query(facade);
}

void EditKind(const uint8_t* data, size_t size, int32_t kind) {
    CTagEditor* created = nullptr;
    if (CreateMp4FileEditor(new CTagMemoryStream(data, uint32_t(size)), &created, kind, true) != 0) return;
    std::unique_ptr<CTagEditor> editor(created);
    static const uint8_t kPayload[] = "2009/12\xFF\x00\xFE";
    const uint32_t half = size > 1 ? uint32_t(size / 2) : 0;
    editor->RemovePicture(data[size / 3], 0);
    editor->RemoveItem(tag::kItemGenre);
    editor->RemoveMoodData();
    editor->SetItem(tag::kItemTitle, new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 2), 0, true);
    editor->SetItem(tag::kItemTrack, new CTagMemoryStream(kPayload, 10), 7, tag::kEncodingUtf8, 0, true);
    editor->SetItem(tag::kItemYear, new CTagMemoryStream(kPayload, 10), 4, tag::kEncodingUtf8, 0, true);
    editor->SetPicture(new CTagMemoryStream(data, uint32_t(size)), half, int32_t(size % 3), 3, int32_t(size % 3), 0,
                       true);
    editor->SetMoodData(new CTagMemoryStream(kPayload, 10), 10, 0, true);
    editor->SetLookupId(new CTagMemoryStream(kPayload, 10), 4, 2, true);
    CVectorWriteStream output;
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
}

}  // namespace

void FuzzMp4Formats(const uint8_t* data, size_t size, void (*query)(CTagReader&)) {
    if (size == 0) return;
    for (int32_t kind = 0; kind < kMp4KindCount; ++kind) {
        ReadKind(data, size, kind, query);
        EditKind(data, size, kind);
    }
}
