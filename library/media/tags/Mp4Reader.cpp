#include "library/media/tags/Mp4Reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/Id3IndexedKinds.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/Id3Reader.h"
#include "library/media/tags/Id3TagImage.h"
#include "library/media/tags/Mp4BoundedStream.h"
#include "library/media/tags/Mp4BoxFields.h"
#include "library/media/tags/TagBufferedStream.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

namespace {

constexpr uint32_t kTextLimit = 1024;
// What a search among children returns once it has what it looks for.
constexpr int32_t kFound = 1;
constexpr uint32_t kVisualEntrySize = 76;
constexpr uint32_t kAudioEntrySize = 28;
constexpr uint32_t kVideoProfileSize = 4 + 40;
constexpr uint32_t kAudioProfileSize = 4 + 32;

int32_t ReadBytes(CTagStream* stream, uint32_t offset, void* buffer, uint32_t length) {
    int32_t result = stream->Seek(offset, kSeekBegin);
    return result == tag::kOk ? stream->Read(buffer, length) : result;
}

}  // namespace

int32_t CMp4Reader::Load(CTagOwnedPtr<CTagStream> stream) {
    Close();
    if (!stream) return tag::kInvalidArgument;
    // Top-level headers are read from the stream itself: a buffer's read-ahead would read the
    // media data behind them. The boxes that are walked get a buffer of their own (Parse).
    CTagOwnedPtr<CTagStream> input(std::move(stream));
    uint32_t size;
    int32_t result = input->GetSize(&size);
    if (result != tag::kOk) return result;
    for (uint32_t at = 0; at < size;) {
        CMp4BoxHeader header;
        result = header.Read(input.Get(), at, size);
        if (result != tag::kOk) return result;
        if (header.type == mp4::kMdat) {
            m_stream = std::move(input);
            return tag::kOk;
        }
        at = header.End();
    }
    return tag::kMalformed;
}

int32_t CMp4Reader::Close() {
    if (m_stream) m_stream->Close();
    m_stream.Reset();
    m_cleanTags.clear();
    return tag::kOk;
}

int32_t CMp4Reader::ReadAt(uint32_t offset, void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_stream) return tag::kNotReady;
    int32_t result = tag::ReadStreamAt(m_stream.Get(), offset, buffer, length);
    if (result != tag::kOk) return result;
    // Where a tag was read from its clean copy, the copy's bytes stand in for the file's.
    const uint64_t readEnd = uint64_t(offset) + length;
    for (const CleanTag& clean : m_cleanTags) {
        const uint64_t from = std::max<uint64_t>(offset, clean.start);
        const uint64_t to = std::min<uint64_t>(readEnd, clean.start + uint64_t(clean.image.size()));
        if (from < to)
            std::memcpy(static_cast<uint8_t*>(buffer) + (from - offset), clean.image.data() + (from - clean.start),
                        size_t(to - from));
    }
    return tag::kOk;
}

#define QB_MP4_SETTER(name, type, member)                    \
    int32_t CMp4Reader::name(type handler, void* context) { \
        m_##member##Handler = handler;                       \
        m_##member##Context = context;                       \
        return tag::kOk;                                     \
    }
QB_MP4_SETTER(SetDrmsHandler, Mp4SignalHandler, drms)
QB_MP4_SETTER(SetAlacHandler, Mp4SignalHandler, alac)
QB_MP4_SETTER(SetVmhdHandler, Mp4SignalHandler, vmhd)
QB_MP4_SETTER(SetVideoEntryHandler, Mp4VisualEntryHandler, videoEntry)
QB_MP4_SETTER(SetAudioEntryHandler, Mp4AudioEntryHandler, audioEntry)
QB_MP4_SETTER(SetVideoProfileHandler, Mp4VideoProfileHandler, videoProfile)
QB_MP4_SETTER(SetAudioProfileHandler, Mp4AudioProfileHandler, audioProfile)
#undef QB_MP4_SETTER

template <class Visit>
int32_t CMp4Reader::ForEachChild(const CMp4BoxHeader& parent, uint32_t skip, Visit visit) {
    if (skip > parent.PayloadSize()) return tag::kMalformed;
    const uint32_t end = parent.End();
    for (uint32_t at = parent.dataOffset + skip; at < end;) {
        // Writers may close a list with a few zero bytes that are no box.
        if (end - at < 8) break;
        CMp4BoxHeader child;
        int32_t result = child.Read(m_walk, at, end);
        if (result != tag::kOk) return result;
        result = visit(child);
        if (result != 0) return result;
        at = child.End();
    }
    return 0;
}

bool CMp4Reader::WantsTracks() const {
    return m_drmsHandler || m_alacHandler || m_vmhdHandler || m_smhdHandler || m_videoEntryHandler ||
           m_audioEntryHandler;
}

int32_t CMp4Reader::Parse() {
    if (!m_stream) return tag::kNotReady;
    uint32_t size;
    int32_t result = m_stream->GetSize(&size);
    if (result != tag::kOk) return result;
    m_trackKind = 0;
    m_cleanTags.clear();
    for (uint32_t at = 0; at < size;) {
        CMp4BoxHeader box;
        result = box.Read(m_stream.Get(), at, size);
        if (result != tag::kOk) return result;
        result = WalkBox(box);
        if (result != 0) return result;
        at = box.End();
    }
    return tag::kOk;
}

int32_t CMp4Reader::WalkBox(const CMp4BoxHeader& box) {
    // Reads inside the box go through a buffer that ends with the box.
    CMp4BoundedStream view(m_stream.Get(), box.Start(), box.End());
    CTagBufferedStream buffered(CTagOwnedPtr<CTagStream>(&view, false));
    m_walk = &buffered;
    const int32_t result = WalkBoxContents(box);
    m_walk = nullptr;
    return result;
}

int32_t CMp4Reader::WalkBoxContents(const CMp4BoxHeader& box) {
    int32_t result = 0;
    switch (box.TypeIn(mp4::kSetBase)) {
        case mp4::kFtyp:
            if (m_fileTypeHandler) result = ReadFileType(box);
            break;
        case mp4::kMoov:
            if (WantsTracks()) result = WalkTracks(box);
            if (result != 0) break;
            if (m_kind == kMp4KindMovie) result = ReadId3Metadata(box);
            if (m_kind == kMp4KindAudio) result = ReadItemMetadata(box);
            if (m_kind == kMp4Kind3gp && m_textItemHandler) result = ReadAssetMetadata(box);
            break;
        case mp4::kUuid:
            if (box.IsUuid(mp4::kProfileUserType) && (m_videoProfileHandler || m_audioProfileHandler))
                result = ReadProfiles(box);
            if (box.IsUuid(mp4::kTagContainerUserType) && m_kind == kMp4Kind3gp &&
                (m_moodDataHandler || m_pictureHandler || m_lookupIdHandler))
                result = ReadTagContainer(box);
            break;
        default: break;
    }
    return result;
}

int32_t CMp4Reader::ReadFileType(const CMp4BoxHeader& box) {
    if (box.PayloadSize() < 8) return tag::kMalformed;
    const uint32_t count = (box.PayloadSize() - 8) / 4;
    std::vector<uint8_t> bytes(8 + size_t(count) * 4);
    int32_t result = ReadBytes(m_walk, box.dataOffset, bytes.data(), uint32_t(bytes.size()));
    if (result != tag::kOk) return result;
    std::vector<uint32_t> brands(count);
    for (uint32_t i = 0; i < count; ++i) brands[i] = mp4::Read32(&bytes[8 + 4 * i]);
    return m_fileTypeHandler(m_fileTypeContext, mp4::Read32(bytes.data()), brands.data(), count);
}

int32_t CMp4Reader::WalkTracks(const CMp4BoxHeader& moov) {
    return ForEachChild(moov, 0, [&](const CMp4BoxHeader& trak) -> int32_t {
        if (trak.TypeIn(mp4::kSetBase) != mp4::kTrak) return 0;
        m_trackKind = 0;
        return ForEachChild(trak, 0, [&](const CMp4BoxHeader& mdia) -> int32_t {
            if (mdia.TypeIn(mp4::kSetBase) != mp4::kMdia) return 0;
            return ForEachChild(mdia, 0, [&](const CMp4BoxHeader& minf) -> int32_t {
                if (minf.TypeIn(mp4::kSetBase) != mp4::kMinf) return 0;
                return ForEachChild(minf, 0, [&](const CMp4BoxHeader& box) -> int32_t {
                    switch (box.TypeIn(mp4::kSetBase)) {
                        case mp4::kVmhd:
                            m_trackKind = 1;
                            return m_vmhdHandler ? m_vmhdHandler(m_vmhdContext) : 0;
                        case mp4::kSmhd:
                            m_trackKind = 2;
                            return m_smhdHandler ? m_smhdHandler(m_smhdContext) : 0;
                        case mp4::kStbl:
                            return ForEachChild(box, 0, [&](const CMp4BoxHeader& stsd) -> int32_t {
                                return stsd.TypeIn(mp4::kSetBase) == mp4::kStsd ? ReadSampleEntries(stsd) : 0;
                            });
                        default: return 0;
                    }
                });
            });
        });
    });
}

int32_t CMp4Reader::ReadSampleEntries(const CMp4BoxHeader& stsd) {
    return ForEachChild(stsd, 8, [&](const CMp4BoxHeader& entry) -> int32_t {
        int32_t result = 0;
        const uint32_t type = entry.TypeIn(mp4::kSetBase);
        if (type == mp4::kDrms && m_drmsHandler) result = m_drmsHandler(m_drmsContext);
        if (result == 0 && type == mp4::kAlac && m_alacHandler) result = m_alacHandler(m_alacContext);
        if (result != 0) return result;
        if (m_trackKind == 1 && m_videoEntryHandler) {
            uint8_t bytes[kVisualEntrySize];
            if (entry.PayloadSize() < sizeof(bytes)) return tag::kMalformed;
            result = ReadBytes(m_walk, entry.dataOffset, bytes, sizeof(bytes));
            if (result != tag::kOk) return result;
            Mp4VisualEntry record;
            record.width = mp4::Read16(bytes + 24);
            record.height = mp4::Read16(bytes + 26);
            record.horizontalResolution = mp4::Read32(bytes + 28);
            record.verticalResolution = mp4::Read32(bytes + 32);
            record.frameCount = mp4::Read16(bytes + 40);
            std::memcpy(record.compressorName, bytes + 42, sizeof(record.compressorName));
            record.depth = mp4::Read16(bytes + 74);
            return m_videoEntryHandler(m_videoEntryContext, &record);
        }
        if (m_trackKind == 2 && m_audioEntryHandler) {
            uint8_t bytes[kAudioEntrySize];
            if (entry.PayloadSize() < sizeof(bytes)) return tag::kMalformed;
            result = ReadBytes(m_walk, entry.dataOffset, bytes, sizeof(bytes));
            if (result != tag::kOk) return result;
            Mp4AudioEntry record;
            record.channelCount = mp4::Read16(bytes + 16);
            record.sampleSize = mp4::Read16(bytes + 18);
            record.preDefined = mp4::Read16(bytes + 20);
            record.sampleRate = mp4::Read32(bytes + 24);
            return m_audioEntryHandler(m_audioEntryContext, &record);
        }
        return 0;
    });
}

int32_t CMp4Reader::ReadProfiles(const CMp4BoxHeader& box) {
    return ForEachChild(box, 8, [&](const CMp4BoxHeader& child) -> int32_t {
        const uint32_t type = child.TypeIn(mp4::kSetBase);
        if (type == mp4::kVprf && m_videoProfileHandler) {
            uint8_t bytes[kVideoProfileSize];
            if (child.PayloadSize() < sizeof(bytes)) return tag::kMalformed;
            int32_t result = ReadBytes(m_walk, child.dataOffset, bytes, sizeof(bytes));
            if (result != tag::kOk) return result;
            Mp4VideoProfile profile;
            profile.value = mp4::Read32(bytes + 4);
            std::memcpy(profile.code, bytes + 8, 4);
            for (int i = 0; i < 8; ++i) profile.values[i] = mp4::Read32(bytes + 12 + 4 * i);
            return m_videoProfileHandler(m_videoProfileContext, &profile);
        }
        if (type == mp4::kAprf && m_audioProfileHandler) {
            uint8_t bytes[kAudioProfileSize];
            if (child.PayloadSize() < sizeof(bytes)) return tag::kMalformed;
            int32_t result = ReadBytes(m_walk, child.dataOffset, bytes, sizeof(bytes));
            if (result != tag::kOk) return result;
            Mp4AudioProfile profile;
            profile.value = mp4::Read32(bytes + 4);
            std::memcpy(profile.code, bytes + 8, 4);
            for (int i = 0; i < 6; ++i) profile.values[i] = mp4::Read32(bytes + 12 + 4 * i);
            return m_audioProfileHandler(m_audioProfileContext, &profile);
        }
        return 0;
    });
}

int32_t CMp4Reader::MetaChildrenSkip(const CMp4BoxHeader& meta, uint32_t* skip) {
    return mp4::MetaChildrenOffset(m_walk, meta, skip);
}

int32_t CMp4Reader::ReadId3Metadata(const CMp4BoxHeader& moov) {
    if (!m_moodDataHandler && !m_pictureHandler && !m_textItemHandler) return 0;
    return ForEachChild(moov, 0, [&](const CMp4BoxHeader& meta) -> int32_t {
        if (meta.TypeIn(mp4::kSetId3Meta) != mp4::kMeta) return 0;
        uint32_t skip;
        int32_t result = MetaChildrenSkip(meta, &skip);
        if (result != tag::kOk) return result;
        return ForEachChild(meta, skip, [&](const CMp4BoxHeader& id32) -> int32_t {
            return id32.TypeIn(mp4::kSetId3Meta) == mp4::kId32 ? ReadEmbeddedId3(id32) : 0;
        });
    });
}

int32_t CMp4Reader::ReadEmbeddedId3(const CMp4BoxHeader& id32) {
    // Version, flags and the language come before the tag.
    if (id32.PayloadSize() < 6) return tag::kMalformed;
    const uint32_t start = id32.dataOffset + 6, end = id32.End();
    if (end - start < 10) return 0;
    CMp4BoundedStream probe(m_walk, start, end);
    CId3TagHeader header;
    int32_t result = header.Read(&probe);
    if (result != tag::kOk) return result;
    bool needsCopy = false;
    std::vector<uint8_t> image;
    if (header.present) {
        if (header.size > end - header.bodyStart) header.size = end - header.bodyStart;
        CId3TagHeader imageHeader;
        result = id3::BuildCleanTagImage(&probe, header, &needsCopy, &image, &imageHeader);
        if (result != tag::kOk) return result;
    }
    CTagStream* view;
    if (needsCopy) {
        // The clean copy is never longer than the tag, so it takes the tag's own place: its objects
        // are reported at offsets inside the "ID32" box, and ReadAt serves those bytes from the copy.
        const uint32_t tagStart = header.bodyStart - 10;
        if (image.size() > end - tagStart) return tag::kMalformed;
        try {
            m_cleanTags.push_back(CleanTag{tagStart, std::move(image)});
        } catch (const std::bad_alloc&) {
            return tag::kOutOfMemory;
        }
        const CleanTag& clean = m_cleanTags.back();
        view = new (std::nothrow) CTagMemoryStream(clean.image.data(), uint32_t(clean.image.size()), tagStart);
    } else {
        view = new (std::nothrow) CMp4BoundedStream(m_walk, start, end);
    }
    if (!view) return tag::kOutOfMemory;
    CId3Reader inner;
    result = inner.Load(CTagOwnedPtr<CTagStream>(view, true));
    if (result != tag::kOk) return result;
    inner.SetMoodDataHandler(m_moodDataHandler, m_moodDataContext);
    inner.SetPictureHandler(m_pictureHandler, m_pictureContext);
    inner.SetTextItemHandler(m_textItemHandler, m_textItemContext);
    return inner.Parse();
}

int32_t CMp4Reader::ReadItemMetadata(const CMp4BoxHeader& moov) {
    if (!m_pictureHandler && !m_textItemHandler && !m_lookupIdHandler) return 0;
    return ForEachChild(moov, 0, [&](const CMp4BoxHeader& udta) -> int32_t {
        if (udta.TypeIn(mp4::kSetItems) != mp4::kUdta) return 0;
        return ForEachChild(udta, 0, [&](const CMp4BoxHeader& meta) -> int32_t {
            if (meta.TypeIn(mp4::kSetItems) != mp4::kMeta) return 0;
            uint32_t skip;
            int32_t result = MetaChildrenSkip(meta, &skip);
            if (result != tag::kOk) return result;
            return ForEachChild(meta, skip, [&](const CMp4BoxHeader& ilst) -> int32_t {
                if (ilst.TypeIn(mp4::kSetItems) != mp4::kIlst) return 0;
                return ForEachChild(ilst, 0, [&](const CMp4BoxHeader& item) { return ReadItem(item); });
            });
        });
    });
}

int32_t CMp4Reader::FireText(const uint8_t* bytes, uint32_t count, uint8_t itemType, int32_t encoding) {
    return m_textItemHandler(m_textItemContext, bytes, count, itemType, encoding);
}

int32_t CMp4Reader::FireNumber(uint32_t number, uint8_t itemType) {
    char text[12];
    int length = std::snprintf(text, sizeof(text), "%u", number);
    return FireText(reinterpret_cast<const uint8_t*>(text), uint32_t(length), itemType, tag::kEncodingUtf8);
}

int32_t CMp4Reader::ReadItem(const CMp4BoxHeader& item) {
    const uint32_t type = item.TypeIn(mp4::kSetItems);
    if (type == mp4::kCovr) {
        if (!m_pictureHandler) return 0;
        return ForEachChild(item, 0, [&](const CMp4BoxHeader& data) -> int32_t {
            if (data.TypeIn(mp4::kSetItems) != mp4::kData) return 0;
            uint8_t fields[4];
            if (data.PayloadSize() < 8) return tag::kMalformed;
            int32_t result = ReadBytes(m_walk, data.dataOffset, fields, sizeof(fields));
            if (result != tag::kOk) return result;
            const uint32_t dataType = mp4::Read32(fields) & 0xFFFFFF;
            const int32_t format = dataType == 13 ? tag::kImageJpeg : dataType == 14 ? tag::kImagePng : tag::kImageOther;
            return m_pictureHandler(m_pictureContext, data.dataOffset + 8, data.PayloadSize() - 8, 0, format);
        });
    }
    if (type == mp4::kFreeform) return m_lookupIdHandler ? ReadFreeformItem(item) : 0;
    int32_t itemType;
    switch (type) {
        case mp4::kArtUpper:
        case mp4::kArtLower: itemType = tag::kItemArtist; break;
        case mp4::kNam: itemType = tag::kItemTitle; break;
        case mp4::kGen:
        case mp4::kGnre: itemType = tag::kItemGenre; break;
        case mp4::kAlb: itemType = tag::kItemAlbum; break;
        case mp4::kWrt: itemType = tag::kItemAlbumArtist; break;
        case mp4::kDay: itemType = tag::kItemYear; break;
        case mp4::kTrkn: itemType = tag::kItemTrack; break;
        default: return 0;
    }
    if (!m_textItemHandler) return 0;
    // The first "data" child holds the value.
    CMp4BoxHeader data;
    int32_t result = ForEachChild(item, 0, [&](const CMp4BoxHeader& child) -> int32_t {
        if (child.TypeIn(mp4::kSetItems) != mp4::kData) return 0;
        data = child;
        return kFound;
    });
    if (result != kFound) return result;
    if (data.PayloadSize() < 8) return tag::kMalformed;
    const uint32_t valueOffset = data.dataOffset + 8, valueSize = data.PayloadSize() - 8;
    uint8_t value[kTextLimit];
    if (type == mp4::kGnre) {
        if (valueSize < 2) return tag::kMalformed;
        result = ReadBytes(m_walk, valueOffset, value, 2);
        if (result != tag::kOk) return result;
        // The stored number is the ID3v1 genre index plus one; 0 means no genre.
        const uint32_t stored = mp4::Read16(value);
        return stored ? FireNumber(stored - 1, uint8_t(itemType)) : 0;
    }
    if (type == mp4::kTrkn) {
        if (valueSize < 6) return tag::kMalformed;
        result = ReadBytes(m_walk, valueOffset, value, 6);
        if (result != tag::kOk) return result;
        const unsigned track = mp4::Read16(value + 2), total = mp4::Read16(value + 4);
        char text[12];
        int length = total ? std::snprintf(text, sizeof(text), "%u/%u", track, total)
                           : std::snprintf(text, sizeof(text), "%u", track);
        return FireText(reinterpret_cast<const uint8_t*>(text), uint32_t(length), uint8_t(itemType),
                        tag::kEncodingUtf8);
    }
    uint32_t count = std::min(valueSize, kTextLimit);
    result = ReadBytes(m_walk, valueOffset, value, count);
    if (result != tag::kOk) return result;
    if (count < valueSize) count = tag::CharacterBoundary(value, count, tag::kEncodingUtf8);
    return FireText(value, count, uint8_t(itemType), tag::kEncodingUtf8);
}

int32_t CMp4Reader::ReadFreeformItem(const CMp4BoxHeader& item) {
    CMp4BoxHeader name, data;
    bool haveName = false, haveData = false;
    int32_t result = ForEachChild(item, 0, [&](const CMp4BoxHeader& child) -> int32_t {
        const uint32_t type = child.TypeIn(mp4::kSetItems);
        if (type == mp4::kName && !haveName) name = child, haveName = true;
        if (type == mp4::kData && !haveData) data = child, haveData = true;
        return 0;
    });
    if (result != 0) return result;
    if (!haveName || !haveData) return 0;
    bool isLookupId;
    result = mp4::IsLookupIdName(m_walk, name, &isLookupId);
    if (result != tag::kOk) return result;
    if (!isLookupId) return 0;
    if (data.PayloadSize() < 8) return tag::kMalformed;
    return m_lookupIdHandler(m_lookupIdContext, data.dataOffset + 8, data.PayloadSize() - 8);
}

int32_t CMp4Reader::ReadAssetMetadata(const CMp4BoxHeader& moov) {
    return ForEachChild(moov, 0, [&](const CMp4BoxHeader& udta) -> int32_t {
        if (udta.TypeIn(mp4::kSetAssets) != mp4::kUdta) return 0;
        return ForEachChild(udta, 0, [&](const CMp4BoxHeader& asset) { return ReadAsset(asset); });
    });
}

int32_t CMp4Reader::ReadAsset(const CMp4BoxHeader& asset) {
    int32_t itemType;
    switch (asset.TypeIn(mp4::kSetAssets)) {
        case mp4::kPerf: itemType = tag::kItemArtist; break;
        case mp4::kTitl: itemType = tag::kItemTitle; break;
        case mp4::kGnre: itemType = tag::kItemGenre; break;
        case mp4::kAlbm: itemType = tag::kItemAlbum; break;
        case mp4::kYrrc: itemType = tag::kItemYear; break;
        default: return 0;
    }
    // Version, flags and a 16-bit language (or, for the year, the year itself).
    if (asset.PayloadSize() < 6) return tag::kMalformed;
    uint8_t bytes[kTextLimit + 3];
    if (itemType == tag::kItemYear) {
        int32_t result = ReadBytes(m_walk, asset.dataOffset, bytes, 6);
        return result != tag::kOk ? result : FireNumber(mp4::Read16(bytes + 4), uint8_t(itemType));
    }
    const uint32_t textSize = asset.PayloadSize() - 6;
    const uint32_t count = std::min<uint32_t>(textSize, sizeof(bytes));
    int32_t result = ReadBytes(m_walk, asset.dataOffset + 6, bytes, count);
    if (result != tag::kOk) return result;
    const mp4::AssetText text = mp4::SplitAssetText(bytes, count, textSize);
    const uint32_t kept = text.length > kTextLimit ? tag::CharacterBoundary(bytes, kTextLimit, text.encoding) : text.length;
    result = FireText(bytes, kept, uint8_t(itemType), text.encoding);
    if (result != 0 || itemType != tag::kItemAlbum || !text.hasTrack) return result;
    return FireNumber(text.track, tag::kItemTrack);
}

int32_t CMp4Reader::ReadTagContainer(const CMp4BoxHeader& container) {
    return ForEachChild(container, 0, [&](const CMp4BoxHeader& frameBox) -> int32_t {
        return frameBox.IsUuid(mp4::kFrameBoxUserType) ? ReadFrameBox(frameBox) : 0;
    });
}

int32_t CMp4Reader::ReadFrameBox(const CMp4BoxHeader& frameBox) {
    mp4::FrameBoxFields fields;
    int32_t result = mp4::ReadFrameBoxFields(m_walk, frameBox, &fields);
    if (result != tag::kOk) return result;
    CTagOwnedPtr<CId3FrameHeader> frame(CreateId3FrameHeader(id3::kVersion24), true);
    if (!frame) return tag::kOutOfMemory;
    frame->bodyOffset = fields.bodyOffset;
    frame->bodySize = fields.bodySize;
    if (fields.kind == id3::kFrameObject && m_moodDataHandler) {
        uint32_t payload;
        result = id3::LocateMoodPayload(m_walk, *frame, &payload);
        if (result < 0) return result;
        if (result == tag::kOk)
            return m_moodDataHandler(m_moodDataContext, fields.bodyOffset + (fields.bodySize - payload), payload);
    } else if (fields.kind == id3::kFramePicture && m_pictureHandler) {
        id3::PictureField picture;
        int32_t pictureKind;
        result = mp4::ReadIndexedPicture(m_walk, *frame, &picture, &pictureKind, nullptr);
        if (result != tag::kOk) return result;
        return m_pictureHandler(m_pictureContext, picture.offset, picture.size, uint8_t(pictureKind),
                                picture.imageFormat);
    } else if (fields.kind == id3::kFrameUniqueId && m_lookupIdHandler) {
        uint32_t offset, size;
        result = id3::LocateLookupId(m_walk, *frame, &offset, &size);
        if (result < 0) return result;
        if (result == tag::kOk) return m_lookupIdHandler(m_lookupIdContext, offset, size);
    }
    return 0;
}

