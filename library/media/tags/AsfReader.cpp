#include "library/media/tags/AsfReader.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "library/media/tags/AsfAttribute.h"
#include "library/media/tags/TagBufferedStream.h"
#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

namespace {
constexpr uint32_t kTextLimit = 1024;
}

int32_t CAsfReader::Load(CTagOwnedPtr<CTagStream> stream) {
    Close();
    if (!stream) return tag::kInvalidArgument;
    CTagStream* buffered = new (std::nothrow) CTagBufferedStream(std::move(stream));
    if (!buffered) return tag::kOutOfMemory;
    m_stream = CTagOwnedPtr<CTagStream>(buffered, true);
    return tag::kOk;
}

int32_t CAsfReader::Close() {
    if (m_stream) m_stream->Close();
    m_stream.Reset();
    return tag::kOk;
}

int32_t CAsfReader::ReadAt(uint32_t offset, void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_stream) return tag::kNotReady;
    return tag::ReadStreamAt(m_stream.Get(), offset, buffer, length);
}

int32_t CAsfReader::ReadFields(uint32_t offset, uint32_t limit, void* buffer, uint32_t length) {
    if (offset > limit || length > limit - offset) return tag::kMalformed;
    int32_t result = m_stream->Seek(offset, kSeekBegin);
    return result == tag::kOk ? m_stream->Read(buffer, length) : result;
}

int32_t CAsfReader::Parse() {
    if (!m_stream) return tag::kNotReady;
    uint32_t size;
    int32_t result = m_stream->GetSize(&size);
    if (result != tag::kOk) return result;
    for (uint32_t at = 0; at < size;) {
        CAsfObjectHeader header;
        if (size - at < asf::kObjectHeaderSize) return tag::kMalformed;
        result = header.Read(m_stream.Get(), at, UINT32_MAX);
        if (result != tag::kOk) return result;
        const bool isHeader = header.Index() == asf::kObjectHeader;
        // A file cut short in its media still has all of its tags in the header object before it.
        if (header.End() > size) return isHeader ? tag::kMalformed : tag::kOk;
        if (isHeader) {
            result = WalkHeaderObject(header);
            if (result != tag::kOk) return result;
        }
        at = header.End();
    }
    return tag::kOk;
}

int32_t CAsfReader::WalkHeaderObject(const CAsfObjectHeader& header) {
    uint8_t fields[6];
    int32_t result = ReadFields(header.dataOffset, header.End(), fields, sizeof(fields));
    if (result != tag::kOk) return result;
    uint32_t count = asf::Read32(fields);
    for (uint32_t at = header.dataOffset + sizeof(fields); count && at < header.End(); --count) {
        CAsfObjectHeader child;
        result = child.Read(m_stream.Get(), at, header.End());
        if (result != tag::kOk) return result;
        switch (child.Index()) {
            case asf::kObjectContentDescription: result = WalkContentDescription(child); break;
            case asf::kObjectExtendedContentDescription: {
                CAsfContentDescriptor descriptor;
                result = WalkAttributes(child, descriptor, true);
                break;
            }
            case asf::kObjectHeaderExtension: result = WalkHeaderExtension(child); break;
            default: result = tag::kOk; break;
        }
        if (result != tag::kOk) return result;
        at = child.End();
    }
    return tag::kOk;
}

int32_t CAsfReader::OfferText(uint32_t offset, uint32_t length, int32_t itemType) {
    if (!m_textBuffer) {
        m_textBuffer.reset(new (std::nothrow) uint8_t[kTextLimit]);
        if (!m_textBuffer) return tag::kOutOfMemory;
    }
    uint32_t count = std::min(length, kTextLimit);
    int32_t result = tag::ReadStreamAt(m_stream.Get(), offset, m_textBuffer.get(), count);
    if (result != tag::kOk) return result;
    const int32_t encoding = asf::TextEncodingOf(m_textBuffer.get(), count);
    if (count < length) count = tag::CharacterBoundary(m_textBuffer.get(), count, encoding);
    return m_textItemHandler(m_textItemContext, m_textBuffer.get(), count, uint8_t(itemType), encoding);
}

int32_t CAsfReader::WalkContentDescription(const CAsfObjectHeader& object) {
    if (!m_textItemHandler) return tag::kOk;
    uint8_t lengths[10];
    int32_t result = ReadFields(object.dataOffset, object.End(), lengths, sizeof(lengths));
    if (result != tag::kOk) return result;
    const uint32_t title = asf::Read16(lengths), author = asf::Read16(lengths + 2);
    const uint32_t titleOffset = object.dataOffset + sizeof(lengths);
    if (title + author > object.End() - titleOffset) return tag::kMalformed;
    if (title) {
        result = OfferText(titleOffset, title, tag::kItemTitle);
        if (result != 0) return result;
    }
    return author ? OfferText(titleOffset + title, author, tag::kItemArtist) : tag::kOk;
}

int32_t CAsfReader::OfferAttribute(const CAsfAttributeHeader& attribute, bool textItems) {
    const int32_t id = attribute.Id();
    if (id == asf::kAttributeMood && m_moodDataHandler) {
        uint32_t offset, size;
        int32_t result = asf::LocateMoodValue(m_stream.Get(), attribute.valueOffset, attribute.valueLength, &offset, &size);
        return result == tag::kOk ? m_moodDataHandler(m_moodDataContext, offset, size) : result;
    }
    if (id == asf::kAttributePicture && m_pictureHandler) {
        asf::PictureValue picture;
        // A value that breaks its own lengths is no picture; the attributes around it still count.
        int32_t result = asf::ReadPictureValue(m_stream.Get(), attribute.valueOffset, attribute.valueLength, &picture);
        if (result == tag::kMalformed) return tag::kOk;
        if (result != tag::kOk) return result;
        return m_pictureHandler(m_pictureContext, picture.imageOffset, picture.imageSize, picture.pictureType,
                                picture.imageFormat);
    }
    if (id == asf::kAttributeLookupId && m_lookupIdHandler && textItems)
        return m_lookupIdHandler(m_lookupIdContext, attribute.valueOffset, attribute.valueLength);
    const int32_t itemType = asf::ItemTypeOfAttributeId(id);
    if (itemType < 0 || !m_textItemHandler || !textItems) return tag::kOk;
    if (id != asf::kAttributeTrack || attribute.dataType == asf::kTypeUnicode)
        return OfferText(attribute.valueOffset, attribute.valueLength, itemType);
    if (attribute.dataType != asf::kTypeDword || attribute.valueLength != 4) return tag::kOk;
    uint8_t value[4];
    int32_t result = tag::ReadStreamAt(m_stream.Get(), attribute.valueOffset, value, sizeof(value));
    if (result != tag::kOk) return result;
    char digits[12];
    const int length = std::snprintf(digits, sizeof(digits), "%lu", static_cast<unsigned long>(asf::Read32(value)));
    return m_textItemHandler(m_textItemContext, reinterpret_cast<const uint8_t*>(digits), uint32_t(length),
                             uint8_t(itemType), tag::kEncodingAnsi);
}

int32_t CAsfReader::WalkAttributes(const CAsfObjectHeader& object, CAsfAttributeHeader& attribute, bool textItems) {
    uint8_t field[2];
    int32_t result = ReadFields(object.dataOffset, object.End(), field, sizeof(field));
    if (result != tag::kOk) return result;
    uint32_t count = asf::Read16(field);
    for (uint32_t at = object.dataOffset + sizeof(field); count && at < object.End(); --count) {
        result = attribute.Read(m_stream.Get(), at, object.End());
        if (result == tag::kOk) result = OfferAttribute(attribute, textItems);
        if (result != tag::kOk) return result;
        at = attribute.End();
    }
    return tag::kOk;
}

int32_t CAsfReader::WalkHeaderExtension(const CAsfObjectHeader& object) {
    uint8_t fields[22];
    int32_t result = ReadFields(object.dataOffset, object.End(), fields, sizeof(fields));
    if (result != tag::kOk) return result;
    const uint32_t start = object.dataOffset + sizeof(fields);
    const uint32_t dataSize = asf::Read32(fields + 18);
    if (dataSize > object.End() - start) return tag::kMalformed;
    for (uint32_t at = start; at < start + dataSize;) {
        CAsfObjectHeader child;
        result = child.Read(m_stream.Get(), at, start + dataSize);
        if (result != tag::kOk) return result;
        if (child.Index() == asf::kObjectMetadataLibrary) {
            // Text items and the lookup identifier are read from the extended content description only.
            CAsfDescriptionRecord record;
            result = WalkAttributes(child, record, false);
            if (result != tag::kOk) return result;
        }
        at = child.End();
    }
    return tag::kOk;
}
