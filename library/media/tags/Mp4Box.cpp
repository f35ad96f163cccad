#include "library/media/tags/Mp4Box.h"

#include <cstring>
#include <new>

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/Id3IndexedKinds.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/Mp4BoundedStream.h"
#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

namespace {

// An ID3v2.4 tag header with no frames: the tag of a new "ID32" box.
const uint8_t kEmptyId3Tag[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0};

int32_t ReadAt(CTagStream* stream, uint32_t offset, void* buffer, uint32_t length) {
    int32_t result = stream->Seek(offset, kSeekBegin);
    return result == tag::kOk ? stream->Read(buffer, length) : result;
}

std::string Be32(uint32_t value) {
    uint8_t bytes[4];
    mp4::Put32(value, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), 4);
}

// A new frame box's fields: frame size, 16-bit frame kind, the body in front of the payload.
std::string FrameFields(int32_t frameKind, const std::string& bodyFields, uint32_t payloadSize) {
    return Be32(uint32_t(bodyFields.size()) + payloadSize) + char(frameKind >> 8) + char(frameKind) + bodyFields;
}

}  // namespace

CMp4BoxHeader NewMp4BoxHeader(uint32_t type, const uint8_t* userType) {
    CMp4BoxHeader header;
    header.type = type;
    if (type == mp4::kUuid && userType) std::memcpy(header.userType, userType, mp4::kUserTypeSize);
    header.size = header.HeaderLength();
    header.dataOffset = header.HeaderLength();
    return header;
}

int32_t CMp4Box::Locate(uint32_t* offset, uint32_t* size) const {
    if (!offset || !size) return tag::kInvalidArgument;
    *offset = m_header.dataOffset;
    *size = m_header.PayloadSize();
    return tag::kOk;
}

int32_t CMp4Box::Load(CTagStream* source) { return source ? tag::kOk : tag::kInvalidArgument; }

namespace {
// The media data is copied in large blocks: small ones would cost more than the copy itself.
int32_t CopyPayload(CTagStream* source, uint32_t offset, uint32_t length, CTagWriteStream* output) {
    constexpr uint32_t kLargeBlock = 65536;
    if (length <= kLargeBlock) return tag::CopyStreamRange(source, offset, length, output);
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kLargeBlock]);
    if (!block) return tag::kOutOfMemory;
    uint32_t saved;
    int32_t result = source->Tell(&saved);
    if (result == tag::kOk) result = source->Seek(offset, kSeekBegin);
    while (result == tag::kOk && length) {
        const uint32_t chunk = length < kLargeBlock ? length : kLargeBlock;
        result = source->Read(block.get(), chunk);
        if (result == tag::kOk) result = output->Write(block.get(), chunk);
        length -= chunk;
    }
    const int32_t restored = source->Seek(saved, kSeekBegin);
    return result != tag::kOk ? result : restored;
}
}  // namespace

int32_t CMp4Box::Write(CTagStream* source, CTagWriteStream* output) {
    if (!source || !output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, m_header.size);
    if (result != tag::kOk) return result;
    return CopyPayload(source, m_header.dataOffset, m_header.PayloadSize(), output);
}

int32_t CMp4Box::SetOffsetDelta(int64_t) { return tag::kOk; }

int32_t CMp4Box::ReadPayload(CTagStream* source, uint32_t limit, std::vector<uint8_t>* bytes) {
    const uint32_t length = m_header.PayloadSize() < limit ? m_header.PayloadSize() : limit;
    bytes->assign(length, 0);
    return length ? tag::ReadStreamAt(source, m_header.dataOffset, bytes->data(), length) : tag::kOk;
}

// ---- containers

int32_t CMp4ContainerBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    uint32_t skip = 0;
    if (m_header.type == mp4::kMeta) {
        int32_t result = mp4::MetaChildrenOffset(source, m_header, &skip);
        if (result != tag::kOk) return result;
        m_fullBox = skip == 4;
    }
    if (m_fullBox) {
        if (m_header.PayloadSize() < 4) return tag::kMalformed;
        int32_t result = ReadAt(source, m_header.dataOffset, m_fullBoxFields, 4);
        if (result != tag::kOk) return result;
    }
    const uint32_t end = m_header.End();
    for (uint32_t at = m_header.dataOffset + (m_fullBox ? 4 : 0); at < end;) {
        // A few zero bytes that close a list are no box; they are left out when written.
        if (end - at < 8) break;
        CMp4BoxHeader header;
        int32_t result = header.Read(source, at, end);
        if (result != tag::kOk) return result;
        result = m_children.LoadAndAppend(CreateChild(header), source);
        if (result != tag::kOk) return result;
        at = header.End();
    }
    return tag::kOk;
}

CMp4Box* CMp4ContainerBox::CreateChild(const CMp4BoxHeader& header) {
    const uint32_t type = header.type;
    bool container = false, fullBox = false;
    switch (m_header.type) {
        case mp4::kMoov:
            container = type == mp4::kTrak || (type == mp4::kMeta && m_kind == kMp4KindMovie) ||
                        (type == mp4::kUdta && m_kind != kMp4KindMovie);
            fullBox = type == mp4::kMeta;
            break;
        case mp4::kTrak: container = type == mp4::kMdia; break;
        case mp4::kMdia: container = type == mp4::kMinf; break;
        case mp4::kMinf: container = type == mp4::kStbl; break;
        case mp4::kStbl:
            if (type == mp4::kStco || type == mp4::kCo64) return new (std::nothrow) CMp4ChunkOffsetBox(header);
            break;
        case mp4::kUdta:
            container = type == mp4::kMeta && m_kind == kMp4KindAudio;
            fullBox = container;
            break;
        case mp4::kMeta:
            if (type == mp4::kId32 && m_kind == kMp4KindMovie) return new (std::nothrow) CMp4Id3Box(header);
            container = type == mp4::kIlst && m_kind == kMp4KindAudio;
            break;
        case mp4::kIlst: container = type == mp4::kCovr || type == mp4::kFreeform; break;
        case mp4::kUuid:
            if (header.IsUuid(mp4::kFrameBoxUserType)) return new (std::nothrow) CMp4FrameBox(header);
            break;
        default: break;
    }
    if (container) return new (std::nothrow) CMp4ContainerBox(header, m_kind, fullBox);
    return new (std::nothrow) CMp4Box(header);
}

CMp4Box* CMp4ContainerBox::Find(uint32_t type) const {
    return m_children.Find([type](const CMp4Box& box) { return box.Type() == type; });
}

uint64_t CMp4ContainerBox::Size() const {
    uint64_t size = m_header.HeaderLength() + (m_fullBox ? 4 : 0);
    for (auto* node = m_children.First(); node != m_children.End(); node = node->next) size += node->element->Size();
    return size;
}

int32_t CMp4ContainerBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk && m_fullBox) result = output->Write(m_fullBoxFields, 4);
    for (auto* node = m_children.First(); result == tag::kOk && node != m_children.End(); node = node->next)
        result = node->element->Write(source, output);
    return result;
}

int32_t CMp4ContainerBox::SetOffsetDelta(int64_t delta) {
    for (auto* node = m_children.First(); node != m_children.End(); node = node->next) {
        int32_t result = node->element->SetOffsetDelta(delta);
        if (result != tag::kOk) return result;
    }
    return tag::kOk;
}

// ---- chunk offsets

int32_t CMp4ChunkOffsetBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    if (m_header.PayloadSize() < sizeof(m_fields)) return tag::kMalformed;
    int32_t result = ReadAt(source, m_header.dataOffset, m_fields, sizeof(m_fields));
    if (result != tag::kOk) return result;
    m_count = mp4::Read32(m_fields + 4);
    if (m_count > (m_header.PayloadSize() - sizeof(m_fields)) / EntryWidth()) return tag::kMalformed;
    m_entries.assign(size_t(m_count) * EntryWidth(), 0);
    return m_entries.empty() ? tag::kOk : source->Read(m_entries.data(), uint32_t(m_entries.size()));
}

uint64_t CMp4ChunkOffsetBox::Entry(uint32_t index) const {
    const uint8_t* bytes = &m_entries[size_t(index) * EntryWidth()];
    if (EntryWidth() == 4) return mp4::Read32(bytes);
    return (uint64_t(mp4::Read32(bytes)) << 32) | mp4::Read32(bytes + 4);
}

int32_t CMp4ChunkOffsetBox::SetOffsetDelta(int64_t delta) {
    const uint64_t maximum = EntryWidth() == 4 ? 0xFFFFFFFFull : uint64_t(INT64_MAX);
    for (uint32_t i = 0; i < m_count; ++i) {
        const uint64_t entry = Entry(i);
        if (delta < 0 ? entry < uint64_t(-delta) : entry > maximum - uint64_t(delta)) return tag::kMalformed;
    }
    m_delta = delta;
    return tag::kOk;
}

uint64_t CMp4ChunkOffsetBox::Size() const { return m_header.HeaderLength() + sizeof(m_fields) + m_entries.size(); }

int32_t CMp4ChunkOffsetBox::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(m_fields, sizeof(m_fields));
    uint8_t block[1024];
    uint32_t used = 0;
    for (uint32_t i = 0; result == tag::kOk && i < m_count; ++i) {
        const uint64_t moved = Entry(i) + uint64_t(m_delta);
        if (EntryWidth() == 8) mp4::Put32(uint32_t(moved >> 32), block + used), used += 4;
        mp4::Put32(uint32_t(moved), block + used), used += 4;
        if (used > sizeof(block) - 8 || i + 1 == m_count) result = output->Write(block, used), used = 0;
    }
    return result;
}

// ---- file type

int32_t CMp4FileTypeBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    if (m_header.PayloadSize() < 8) return tag::kMalformed;
    std::vector<uint8_t> bytes(8 + size_t((m_header.PayloadSize() - 8) / 4) * 4);
    int32_t result = ReadAt(source, m_header.dataOffset, bytes.data(), uint32_t(bytes.size()));
    if (result != tag::kOk) return result;
    m_major = mp4::Read32(bytes.data());
    m_minor = mp4::Read32(bytes.data() + 4);
    for (size_t at = 8; at < bytes.size(); at += 4) m_brands.push_back(mp4::Read32(&bytes[at]));
    return tag::kOk;
}

void CMp4FileTypeBox::SetMajorBrand(uint32_t brand) {
    if (m_major == brand) return;
    AddCompatibleBrand(m_major);
    m_major = brand;
}

void CMp4FileTypeBox::AddCompatibleBrand(uint32_t brand) {
    for (uint32_t listed : m_brands)
        if (listed == brand) return;
    for (auto at = m_brands.begin(); at != m_brands.end(); ++at) {
        if (*at == 0) {
            m_brands.insert(at, brand);
            return;
        }
    }
    m_brands.push_back(brand);
}

int32_t CMp4FileTypeBox::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    std::vector<uint8_t> bytes(8 + 4 * m_brands.size());
    mp4::Put32(m_major, bytes.data());
    mp4::Put32(m_minor, bytes.data() + 4);
    for (size_t i = 0; i < m_brands.size(); ++i) mp4::Put32(m_brands[i], &bytes[8 + 4 * i]);
    int32_t result = m_header.Write(output, Size());
    return result == tag::kOk ? output->Write(bytes.data(), uint32_t(bytes.size())) : result;
}

// ---- new boxes

CMp4NewBox::CMp4NewBox(const CMp4BoxHeader& header, std::string fields, CTagOwnedPtr<CTagStream> data,
                       uint32_t payloadSize, uint32_t payloadOffset, std::string trailer)
    : CMp4Box(header),
      m_fields(std::move(fields)),
      m_data(std::move(data)),
      m_payloadSize(m_data ? payloadSize : 0),
      m_payloadOffset(payloadOffset),
      m_trailer(std::move(trailer)) {}

uint64_t CMp4NewBox::Size() const {
    return m_header.HeaderLength() + m_fields.size() + uint64_t(m_payloadSize) + m_trailer.size();
}

int32_t CMp4NewBox::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk && !m_fields.empty()) result = output->Write(m_fields.data(), uint32_t(m_fields.size()));
    if (result == tag::kOk && m_payloadSize)
        result = tag::CopyStreamRange(m_data.Get(), m_payloadOffset, m_payloadSize, output);
    if (result == tag::kOk && !m_trailer.empty()) result = output->Write(m_trailer.data(), uint32_t(m_trailer.size()));
    return result;
}

int32_t CMp4NewBox::ReadPayload(CTagStream*, uint32_t limit, std::vector<uint8_t>* bytes) {
    bytes->assign(m_fields.begin(), m_fields.end());
    const uint32_t room = limit > bytes->size() ? limit - uint32_t(bytes->size()) : 0;
    const uint32_t length = m_payloadSize < room ? m_payloadSize : room;
    bytes->resize(bytes->size() + length);
    if (length) {
        const int32_t result = tag::ReadStreamAt(m_data.Get(), m_payloadOffset, bytes->data() + m_fields.size(), length);
        if (result != tag::kOk) return result;
    }
    bytes->insert(bytes->end(), m_trailer.begin(), m_trailer.end());
    if (bytes->size() > limit) bytes->resize(limit);
    return tag::kOk;
}

// ---- frame boxes

CMp4FrameBox::CMp4FrameBox(int32_t frameKind, const std::string& bodyFields, CTagOwnedPtr<CTagStream> data,
                           uint32_t size, uint32_t offset)
    : CMp4NewBox(NewMp4BoxHeader(mp4::kUuid, mp4::kFrameBoxUserType), FrameFields(frameKind, bodyFields, size),
                 std::move(data), size, offset),
      m_loaded(false) {
    m_fields32.kind = frameKind;
}

int32_t CMp4FrameBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    return mp4::ReadFrameBoxFields(source, m_header, &m_fields32);
}

int32_t CMp4FrameBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (!m_loaded) return CMp4NewBox::Write(source, output);
    if (!m_renumbered) return CMp4Box::Write(source, output);
    if (!source || !output) return tag::kInvalidArgument;
    // The body as loaded, its description replaced; the frame size follows the change.
    const uint32_t oldLength = uint32_t(m_description.bytes.size());
    uint8_t fields[mp4::kFrameBoxFieldsSize];
    mp4::Put32(m_fields32.bodySize - oldLength + uint32_t(m_newDescription.size()), fields);
    fields[4] = uint8_t(m_fields32.kind >> 8), fields[5] = uint8_t(m_fields32.kind);
    const uint32_t before = m_description.offset - m_fields32.bodyOffset;
    const uint32_t after = m_description.offset + oldLength;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(fields, sizeof(fields));
    if (result == tag::kOk) result = tag::CopyStreamRange(source, m_fields32.bodyOffset, before, output);
    if (result == tag::kOk) result = output->Write(m_newDescription.data(), uint32_t(m_newDescription.size()));
    if (result == tag::kOk) result = tag::CopyStreamRange(source, after, m_header.End() - after, output);
    return result;
}

uint64_t CMp4FrameBox::Size() const {
    if (!m_loaded) return CMp4NewBox::Size();
    if (!m_renumbered) return CMp4Box::Size();
    return CMp4Box::Size() - m_description.bytes.size() + m_newDescription.size();
}

int32_t CMp4FrameBox::LoadedFrameHeader(CTagOwnedPtr<CId3FrameHeader>* frame) const {
    *frame = CTagOwnedPtr<CId3FrameHeader>(CreateId3FrameHeader(id3::kVersion24), true);
    if (!*frame) return tag::kOutOfMemory;
    (*frame)->bodyOffset = m_fields32.bodyOffset;
    (*frame)->bodySize = m_fields32.bodySize;
    return tag::kOk;
}

int32_t CMp4FrameBox::CheckMoodData(CTagStream* source) const {
    if (m_fields32.kind != id3::kFrameObject) return 1;
    // Every object frame we make is the mood data.
    if (!m_loaded) return tag::kOk;
    CTagOwnedPtr<CId3FrameHeader> frame;
    int32_t result = LoadedFrameHeader(&frame);
    uint32_t payload;
    return result == tag::kOk ? id3::LocateMoodPayload(source, *frame, &payload) : result;
}

int32_t CMp4FrameBox::CheckLookupId(CTagStream* source) const {
    if (m_fields32.kind != id3::kFrameUniqueId) return 1;
    if (!m_loaded) return tag::kOk;
    CTagOwnedPtr<CId3FrameHeader> frame;
    int32_t result = LoadedFrameHeader(&frame);
    uint32_t offset, size;
    return result == tag::kOk ? id3::LocateLookupId(source, *frame, &offset, &size) : result;
}

int32_t CMp4FrameBox::NumberedEntry(CTagStream* source, int32_t* kind, uint32_t* number) {
    if (!m_loaded) {
        if (m_fields32.kind != id3::kFramePicture) return tag::kNotFound;
        *kind = m_newPictureKind;
        *number = m_newPictureNumber;
        return tag::kOk;
    }
    if (!m_descriptionRead) {
        CTagOwnedPtr<CId3FrameHeader> frame;
        int32_t result = LoadedFrameHeader(&frame);
        if (result == tag::kOk) result = mp4::ReadNumberedDescription(source, m_fields32.kind, *frame, &m_description);
        if (result != tag::kOk) return result;
        m_descriptionRead = true;
        m_number = m_description.parsed.index;
    }
    *kind = m_description.pictureKind;
    *number = m_number;
    return tag::kOk;
}

int32_t CMp4FrameBox::Renumber(uint32_t number) {
    if (number > id3::kMaxIndex) return tag::kInvalidArgument;
    if (!m_loaded) {
        if (m_fields32.kind != id3::kFramePicture) return tag::kNotFound;
        m_newPictureNumber = number;
        m_fields = FrameFields(m_fields32.kind, id3::IndexedPictureFields(m_newPictureKind, number, m_newImageFormat),
                               m_payloadSize);
        return tag::kOk;
    }
    if (!m_descriptionRead) return tag::kNotReady;
    m_number = number;
    m_newDescription = id3::WithIndex(m_description.encodingByte, m_description.bytes.data(), m_description.parsed,
                                      number);
    m_renumbered = true;
    return tag::kOk;
}

CMp4FrameBox* CreateMp4PictureFrameBox(int32_t pictureKind, uint32_t number, int32_t imageFormat,
                                      CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    const std::string fields = id3::IndexedPictureFields(pictureKind, number, imageFormat);
    if (fields.empty()) return nullptr;
    CMp4FrameBox* box = new (std::nothrow) CMp4FrameBox(id3::kFramePicture, fields, std::move(data), size, offset);
    if (!box) return nullptr;
    box->m_newPictureKind = pictureKind;
    box->m_newPictureNumber = number;
    box->m_newImageFormat = imageFormat;
    return box;
}

// ---- ID32

CMp4Id3Box::CMp4Id3Box() : CMp4Box(NewMp4BoxHeader(mp4::kId32)) {}

int32_t CMp4Id3Box::Load(CTagStream* source) {
    m_tag.reset(new (std::nothrow) CId3Editor());
    if (!m_tag) return tag::kOutOfMemory;
    const bool fresh = !source;
    if (!fresh) {
        if (m_header.PayloadSize() < sizeof(m_fields)) return tag::kMalformed;
        int32_t result = ReadAt(source, m_header.dataOffset, m_fields, sizeof(m_fields));
        if (result != tag::kOk) return result;
    }
    const uint32_t start = m_header.dataOffset + sizeof(m_fields), end = m_header.End();
    CTagStream* tagStream;
    if (fresh || end - start < sizeof(kEmptyId3Tag))
        tagStream = new (std::nothrow) CTagMemoryStream(kEmptyId3Tag, sizeof(kEmptyId3Tag));
    else
        tagStream = new (std::nothrow) CMp4BoundedStream(source, start, end);
    if (!tagStream) return tag::kOutOfMemory;
    return m_tag->Load(CTagOwnedPtr<CTagStream>(tagStream, true));
}

uint64_t CMp4Id3Box::Size() const {
    return m_header.HeaderLength() + sizeof(m_fields) + 10 + (m_tag ? m_tag->FramesSize() : 0);
}

int32_t CMp4Id3Box::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    if (!m_tag) return tag::kNotReady;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(m_fields, sizeof(m_fields));
    return result == tag::kOk ? m_tag->WriteBareTag(output) : result;
}
