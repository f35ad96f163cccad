#include "library/media/tags/Id3TagImage.h"

#include <cstring>
#include <new>

#include "library/media/tags/TagTypes.h"

namespace id3 {

namespace {

constexpr uint16_t kFrameUnsynchronised = 0x0002;
constexpr uint16_t kFrameDataLength = 0x0001;
constexpr uint16_t kFrameCompressed = 0x0008;

void Resynchronise(const uint8_t* in, uint32_t length, std::vector<uint8_t>* out) {
    for (uint32_t i = 0; i < length; ++i) {
        out->push_back(in[i]);
        if (in[i] == 0xFF && i + 1 < length && in[i + 1] == 0x00) ++i;
    }
}

// Whether any ID3v2.4 frame announces its own unsynchronisation.
int32_t AnyFrameUnsynchronised(CTagStream* stream, const CId3TagHeader& header, bool* found) {
    *found = false;
    uint32_t at = header.bodyStart, end = header.bodyStart + header.size;
    uint8_t bytes[10];
    while (end - at >= sizeof(bytes)) {
        int32_t result = stream->Seek(at, kSeekBegin);
        if (result == tag::kOk) result = stream->Read(bytes, sizeof(bytes));
        if (result != tag::kOk) return result;
        if (bytes[0] == 0) break;
        uint32_t bodySize = ReadFrameSize24(bytes + 4);
        if (bytes[9] & kFrameUnsynchronised) {
            *found = true;
            break;
        }
        if (bodySize > end - at - sizeof(bytes)) break;
        at += sizeof(bytes) + bodySize;
    }
    return stream->Seek(header.bodyStart, kSeekBegin);
}

// ID3v2.4: sizes are per frame after unsynchronisation, so each frame is undone on its own.
void CleanFrames24(const uint8_t* body, uint32_t length, bool tagUnsynchronised, std::vector<uint8_t>* out) {
    uint32_t at = 0;
    while (length - at >= 10 && body[at] != 0) {
        const uint8_t* frame = body + at;
        uint32_t bodySize = ReadFrameSize24(frame + 4);
        if (bodySize > length - at - 10) break;
        uint16_t flags = uint16_t((frame[8] << 8) | frame[9]);
        std::vector<uint8_t> frameBody;
        if ((flags & kFrameUnsynchronised) || tagUnsynchronised) {
            Resynchronise(frame + 10, bodySize, &frameBody);
            flags &= uint16_t(~kFrameUnsynchronised);
        } else {
            frameBody.assign(frame + 10, frame + 10 + bodySize);
        }
        if ((flags & kFrameDataLength) && !(flags & kFrameCompressed) && frameBody.size() >= 4) {
            frameBody.erase(frameBody.begin(), frameBody.begin() + 4);
            flags &= uint16_t(~kFrameDataLength);
        }
        uint8_t head[10];
        std::memcpy(head, frame, 4);
        WriteSynchsafe(uint32_t(frameBody.size()), head + 4);
        head[8] = uint8_t(flags >> 8), head[9] = uint8_t(flags);
        out->insert(out->end(), head, head + 10);
        out->insert(out->end(), frameBody.begin(), frameBody.end());
        at += 10 + bodySize;
    }
}

int32_t BuildImage(CTagStream* stream, const CId3TagHeader& header, std::vector<uint8_t>* image,
                   CId3TagHeader* imageHeader);

}  // namespace

int32_t BuildCleanTagImage(CTagStream* stream, const CId3TagHeader& header, bool* needed, std::vector<uint8_t>* image,
                           CId3TagHeader* imageHeader) {
    *needed = false;
    if (!header.present) return tag::kOk;
    int32_t versionCode = header.VersionCode();
    // ID3v2.2 uses this bit for a compression that was never defined: such a tag cannot be read.
    if (versionCode == kVersion22 && (header.flags & kFlagExtendedHeader)) return tag::kMalformed;
    bool unsynchronised = (header.flags & kFlagUnsynchronisation) != 0;
    bool extended = (header.flags & kFlagExtendedHeader) != 0;
    bool frameUnsynchronised = false;
    if (versionCode == kVersion24 && !unsynchronised) {
        int32_t result = AnyFrameUnsynchronised(stream, header, &frameUnsynchronised);
        if (result != tag::kOk) return result;
    }
    if (!unsynchronised && !extended && !frameUnsynchronised) return tag::kOk;
    *needed = true;
    // The copy is bounded by the file's size, which the header check has already enforced.
    try {
        return BuildImage(stream, header, image, imageHeader);
    } catch (const std::bad_alloc&) {
        return tag::kOutOfMemory;
    }
}

namespace {

int32_t BuildImage(CTagStream* stream, const CId3TagHeader& header, std::vector<uint8_t>* image,
                   CId3TagHeader* imageHeader) {
    int32_t versionCode = header.VersionCode();
    bool unsynchronised = (header.flags & kFlagUnsynchronisation) != 0;
    bool extended = (header.flags & kFlagExtendedHeader) != 0;
    std::vector<uint8_t> raw(header.size);
    int32_t result = stream->Seek(header.bodyStart, kSeekBegin);
    if (result == tag::kOk && !raw.empty()) result = stream->Read(raw.data(), uint32_t(raw.size()));
    if (result != tag::kOk) return result;

    // ID3v2.3 unsynchronises the whole tag, its extended header included.
    std::vector<uint8_t> body;
    if (unsynchronised && versionCode != kVersion24) {
        Resynchronise(raw.data(), uint32_t(raw.size()), &body);
    } else {
        body.swap(raw);
    }
    uint32_t skip = 0;
    if (extended) {
        if (body.size() < 4) return tag::kMalformed;
        // ID3v2.3 counts the bytes after the size field; ID3v2.4 counts the whole extended header.
        skip = versionCode == kVersion24 ? ReadSynchsafe(body.data()) : ReadBigEndian(body.data(), 4) + 4;
        if (skip < 4 || skip > body.size()) return tag::kMalformed;
    }
    image->assign(10, 0);
    if (versionCode == kVersion24) {
        CleanFrames24(body.data() + skip, uint32_t(body.size() - skip), unsynchronised, image);
    } else {
        image->insert(image->end(), body.begin() + skip, body.end());
    }
    *imageHeader = header;
    imageHeader->flags = uint8_t(header.flags & ~(kFlagUnsynchronisation | kFlagExtendedHeader | kFlagFooter));
    imageHeader->size = uint32_t(image->size() - 10);
    imageHeader->bodyStart = 10;
    uint8_t* head = image->data();
    std::memcpy(head, header.identifier, 3);
    head[3] = uint8_t(header.version >> 8), head[4] = uint8_t(header.version);
    head[5] = imageHeader->flags;
    WriteSynchsafe(imageHeader->size, head + 6);
    return tag::kOk;
}

}  // namespace

}  // namespace id3
