#include "tests/tags/Mp4TestSupport.h"

#include <cstring>
#include <deque>
#include <functional>

#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"

namespace mp4test {

Bytes Be16(uint32_t value) { return {uint8_t(value >> 8), uint8_t(value)}; }
Bytes Be32(uint32_t value) { return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)}; }

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Box(const std::string& type, const Bytes& payload) {
    return Cat({Be32(uint32_t(payload.size() + 8)), tagtest::ToBytes(type.substr(0, 4)), payload});
}

Bytes FullBox(const std::string& type, const Bytes& payload) { return Box(type, Cat({Bytes(4, 0), payload})); }

Bytes UuidBox(const uint8_t* userType, const Bytes& payload) {
    return Cat({Be32(uint32_t(payload.size() + 24)), tagtest::ToBytes("uuid"), Bytes(userType, userType + 16), payload});
}

Bytes Item(const std::string& type, uint32_t dataType, const Bytes& value) {
    return Box(type, Box("data", Cat({Be32(dataType), Be32(0), value})));
}

Bytes Stco(const std::vector<uint32_t>& entries) {
    Bytes body = Be32(uint32_t(entries.size()));
    for (uint32_t entry : entries) body = Cat({body, Be32(entry)});
    return FullBox("stco", body);
}

Bytes Co64(const std::vector<uint64_t>& entries) {
    Bytes body = Be32(uint32_t(entries.size()));
    for (uint64_t entry : entries) body = Cat({body, Be32(uint32_t(entry >> 32)), Be32(uint32_t(entry))});
    return FullBox("co64", body);
}

namespace {
Bytes MoovOf(const MovieParts& parts, const Bytes& chunkOffsets) {
    Bytes stbl = Box("stbl", Cat({FullBox("stsd", Be32(0)), chunkOffsets}));
    Bytes minf = Box("minf", Cat({FullBox("smhd", Be32(0)), stbl}));
    Bytes trak = Box("trak", Box("mdia", minf));
    return Box("moov", Cat({FullBox("mvhd", Bytes(96, 0)), trak, parts.moovExtra}));
}
}  // namespace

Bytes Movie(const MovieParts& parts) {
    Bytes ftyp = Box("ftyp", Cat({tagtest::ToBytes(parts.majorBrand), Be32(0), tagtest::ToBytes(parts.compatibleBrands)}));
    Bytes mdat = Box("mdat", parts.media);
    // The offsets depend on where mdat lands, which depends on moov's size: build moov twice.
    auto offsets = [&](uint32_t mediaStart) {
        if (!parts.chunkOffsetBox.empty()) return parts.chunkOffsetBox;
        return Stco({mediaStart, mediaStart + 16, mediaStart + 40});
    };
    if (parts.moovFirst) {
        Bytes draft = MoovOf(parts, offsets(0));
        uint32_t mediaStart = uint32_t(ftyp.size() + draft.size() + 8);
        return Cat({ftyp, MoovOf(parts, offsets(mediaStart)), mdat, parts.trailer});
    }
    uint32_t mediaStart = uint32_t(ftyp.size() + 8);
    return Cat({ftyp, mdat, MoovOf(parts, offsets(mediaStart)), parts.trailer});
}

namespace {
uint64_t Read32At(const Bytes& file, uint64_t at) {
    return (uint64_t(file[at]) << 24) | (uint64_t(file[at + 1]) << 16) | (uint64_t(file[at + 2]) << 8) | file[at + 3];
}

void Walk(const Bytes& file, uint64_t begin, uint64_t end,
          const std::function<void(const std::string&, uint64_t, uint64_t)>& visit) {
    for (uint64_t at = begin; at + 8 <= end;) {
        uint64_t size = Read32At(file, at);
        std::string type(file.begin() + at + 4, file.begin() + at + 8);
        if (size == 1 && at + 16 <= end) size = (Read32At(file, at + 8) << 32) | Read32At(file, at + 12);
        if (size == 0) size = end - at;
        if (size < 8 || size > end - at) return;
        visit(type, at, size);
        at += size;
    }
}
}  // namespace

std::vector<TopBox> TopLevel(const Bytes& file) {
    std::vector<TopBox> boxes;
    Walk(file, 0, file.size(), [&](const std::string& type, uint64_t at, uint64_t size) {
        boxes.push_back({type, at, size});
    });
    return boxes;
}

std::vector<uint64_t> ChunkOffsets(const Bytes& file) {
    std::vector<uint64_t> entries;
    std::function<void(uint64_t, uint64_t)> descend = [&](uint64_t begin, uint64_t end) {
        Walk(file, begin, end, [&](const std::string& type, uint64_t at, uint64_t size) {
            if (type == "moov" || type == "trak" || type == "mdia" || type == "minf" || type == "stbl")
                descend(at + 8, at + size);
            if (type != "stco" && type != "co64") return;
            const uint64_t width = type == "stco" ? 4 : 8, count = Read32At(file, at + 12);
            for (uint64_t i = 0; i < count && at + 16 + (i + 1) * width <= at + size; ++i) {
                const uint64_t entry = at + 16 + i * width;
                entries.push_back(width == 4 ? Read32At(file, entry)
                                             : (Read32At(file, entry) << 32) | Read32At(file, entry + 4));
            }
        });
    };
    descend(0, file.size());
    return entries;
}

uint64_t MediaStart(const Bytes& file) {
    for (const TopBox& box : TopLevel(file))
        if (box.type == "mdat") return box.offset + 8;
    return 0;
}

Bytes Payload(const Bytes& file, const std::string& path) {
    uint64_t begin = 0, end = file.size();
    size_t from = 0;
    while (from < path.size()) {
        size_t slash = path.find('/', from);
        std::string wanted = path.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
        bool found = false;
        Walk(file, begin, end, [&](const std::string& type, uint64_t at, uint64_t size) {
            if (found || type != wanted) return;
            found = true;
            begin = at + 8 + (type == "meta" ? 4 : 0);
            end = at + size;
        });
        if (!found) return {};
        from = slash == std::string::npos ? path.size() : slash + 1;
    }
    return Bytes(file.begin() + begin, file.begin() + end);
}

Bytes MovieWithId3Tag(const Bytes& tag) {
    MovieParts parts;
    parts.moovExtra = FullBox("meta", Box("ID32", Cat({Be32(0), Be16(0x55C4), tag})));
    return Movie(parts);
}

namespace {
// A zero byte after every 0xFF: undoing it gives the bytes back whatever follows.
Bytes Unsynchronise(const Bytes& bytes) {
    Bytes out;
    for (uint8_t byte : bytes) {
        out.push_back(byte);
        if (byte == 0xFF) out.push_back(0);
    }
    return out;
}

Bytes TagOf(uint16_t version, uint8_t flags, const Bytes& body) {
    Bytes tag = {'I', 'D', '3', uint8_t(version >> 8), uint8_t(version), flags, 0, 0, 0, 0};
    id3::WriteSynchsafe(uint32_t(body.size()), tag.data() + 6);
    return Cat({tag, body});
}
}  // namespace

std::vector<Id3Variant> Id3Variants(const Bytes& image, const Bytes& mood) {
    using tagtest::Frame;
    const Bytes title = tagtest::TextBody(0, tagtest::ToBytes("Clean Title"));
    const Bytes picture = tagtest::ApicBody("image/jpeg", 3, image);
    const Bytes object = tagtest::MoodBody(mood);
    // Frames without a tag header: BuildTag's body.
    auto frames = [](uint16_t version, const std::vector<Frame>& list) {
        Bytes tag = tagtest::BuildTag(version, list);
        return Bytes(tag.begin() + 10, tag.end());
    };
    std::vector<Id3Variant> variants;
    // ID3v2.3: the whole tag, extended header included, is unsynchronised.
    const Bytes extended23 = {0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
    variants.push_back({"2.3 unsynchronised with extended header",
                        TagOf(0x0300, 0xC0, Unsynchronise(Cat({extended23, frames(0x0300, {{"TIT2", title},
                              {"APIC", picture}, {"GEOB", object}})})))});
    // ID3v2.4: each frame says so itself, with a data-length indicator in front.
    auto perFrame = [&](const Bytes& body) {
        uint8_t length[4];
        id3::WriteSynchsafe(uint32_t(body.size()), length);
        return Frame{"", Cat({Bytes(length, length + 4), Unsynchronise(body)}), 0x0003};
    };
    Frame apic24 = perFrame(picture), geob24 = perFrame(object);
    apic24.id = "APIC", geob24.id = "GEOB";
    variants.push_back({"2.4 frames unsynchronised", TagOf(0x0400, 0, frames(0x0400, {{"TIT2", title}, apic24, geob24}))});
    // ID3v2.4 with the tag flag: every frame body is unsynchronised, the sizes count the stored bytes.
    const Bytes extended24 = {0, 0, 0, 6, 1, 0};
    variants.push_back({"2.4 unsynchronised with extended header",
                        TagOf(0x0400, 0xC0, Cat({extended24, frames(0x0400, {{"TIT2", title},
                              {"APIC", Unsynchronise(picture)}, {"GEOB", Unsynchronise(object)}})}))});
    // ID3v2.4 with a footer: read as it stands.
    Bytes footed = TagOf(0x0400, 0x10, frames(0x0400, {{"TIT2", title}, {"APIC", picture}, {"GEOB", object}}));
    footed = Cat({footed, {'3', 'D', 'I', 4, 0, 0x10, footed[6], footed[7], footed[8], footed[9]}});
    variants.push_back({"2.4 with footer", footed});
    return variants;
}

CTagReader* Mp4ReaderOver(const Bytes& file, int32_t kind, int32_t* result) {
    CTagParser* parser = nullptr;
    int32_t code = CreateMp4Reader(new CTagMemoryStream(file.data(), uint32_t(file.size())), &parser, kind, true);
    if (result) *result = code;
    return code == 0 ? new CTagReader(parser, true) : nullptr;
}

CTagEditor* Mp4EditorOver(const Bytes& file, int32_t kind, int32_t* result) {
    CTagEditor* editor = nullptr;
    int32_t code = CreateMp4FileEditor(new CTagMemoryStream(file.data(), uint32_t(file.size())), &editor, kind, true);
    if (result) *result = code;
    return code == 0 ? editor : nullptr;
}

CTagStream* TextStream(const std::string& text) {
    static std::deque<std::string> kept;
    kept.push_back(text);
    return new CTagMemoryStream(kept.back().data(), uint32_t(kept.back().size()));
}

}  // namespace mp4test
