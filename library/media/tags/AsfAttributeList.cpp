#include "library/media/tags/AsfAttributeList.h"

#include <new>

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

CAsfAttribute::CAsfAttribute(CTagOwnedPtr<CAsfAttributeHeader> header, std::vector<uint8_t> prefix,
                             CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset)
    : m_header(std::move(header)), m_prefix(std::move(prefix)), m_data(std::move(data)), m_dataOffset(offset) {
    m_header->valueLength = uint32_t(m_prefix.size()) + size;
}

int32_t CAsfAttribute::Locate(uint32_t* offset, uint32_t* size) const {
    if (!offset || !size) return tag::kInvalidArgument;
    if (m_data) return tag::kNotFound;
    *offset = m_header->valueOffset;
    *size = m_header->valueLength;
    return tag::kOk;
}

int32_t CAsfAttribute::Write(CTagStream* source, CTagWriteStream* output) {
    int32_t result = m_header->Write(output);
    if (result != tag::kOk) return result;
    if (!m_data) return tag::CopyStreamRange(source, m_header->valueOffset, m_header->valueLength, output);
    if (!m_prefix.empty()) result = output->Write(m_prefix.data(), uint32_t(m_prefix.size()));
    const uint32_t size = m_header->valueLength - uint32_t(m_prefix.size());
    return result == tag::kOk ? tag::CopyStreamRange(m_data.Get(), m_dataOffset, size, output) : result;
}

int32_t CAsfAttribute::PictureType(CTagStream* source, uint8_t* type) const {
    if (Id() != asf::kAttributePicture || m_header->valueLength == 0) return tag::kNotFound;
    if (!m_prefix.empty()) {
        *type = m_prefix[0];
        return tag::kOk;
    }
    return m_data ? tag::ReadStreamAt(m_data.Get(), m_dataOffset, type, 1)
                  : tag::ReadStreamAt(source, m_header->valueOffset, type, 1);
}

int32_t CAsfAttributeObject::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    uint8_t field[2];
    if (m_header.PayloadSize() < sizeof(field)) return tag::kMalformed;
    int32_t result = tag::ReadStreamAt(source, m_header.dataOffset, field, sizeof(field));
    if (result != tag::kOk) return result;
    uint32_t count = asf::Read16(field);
    for (uint32_t at = m_header.dataOffset + sizeof(field); count && at < m_header.End(); --count) {
        CTagOwnedPtr<CAsfAttributeHeader> header(NewHeader(), true);
        if (!header) return tag::kOutOfMemory;
        result = header->Read(source, at, m_header.End());
        if (result != tag::kOk) return result;
        at = header->End();
        CAsfAttribute* attribute = new (std::nothrow) CAsfAttribute(std::move(header));
        if (!attribute) return tag::kOutOfMemory;
        result = m_attributes.Append(attribute, true);
        if (result != tag::kOk) return result;
    }
    return tag::kOk;
}

uint64_t CAsfAttributeObject::Size() const {
    uint64_t size = asf::kObjectHeaderSize + 2;
    for (auto* node = m_attributes.First(); node != m_attributes.End(); node = node->next) size += node->element->Size();
    return size;
}

int32_t CAsfAttributeObject::Write(CTagStream* source, CTagWriteStream* output) {
    int32_t result = m_header.Write(output, Size());
    if (result != tag::kOk) return result;
    uint8_t count[2];
    asf::Put16(uint16_t(m_attributes.Count()), count);
    result = output->Write(count, sizeof(count));
    for (auto* node = m_attributes.First(); result == tag::kOk && node != m_attributes.End(); node = node->next)
        result = node->element->Write(source, output);
    return result;
}

int32_t CAsfAttributeObject::CreateAttribute(int32_t attributeId, std::vector<uint8_t> prefix,
                                             CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset,
                                             CAsfAttribute** attribute) const {
    *attribute = nullptr;
    CTagOwnedPtr<CAsfAttributeHeader> header(NewHeader(), true);
    if (!header) return tag::kOutOfMemory;
    // A longer value would wrap the list's length field and break every attribute after it.
    if (size > header->MaxValueLength() || prefix.size() > header->MaxValueLength() - size)
        return tag::kInvalidArgument;
    header->name = asf::AttributeName(attributeId);
    header->dataType = asf::AttributeDataType(attributeId);
    *attribute = new (std::nothrow) CAsfAttribute(std::move(header), std::move(prefix), std::move(data), size, offset);
    return *attribute ? tag::kOk : tag::kOutOfMemory;
}

bool CAsfAttributeObject::Holds(uint64_t valueLength) const {
    CTagOwnedPtr<CAsfAttributeHeader> header(NewHeader(), true);
    return header && valueLength <= header->MaxValueLength();
}

int32_t CAsfAttributeObject::InsertBefore(const CTagElementList<CAsfAttribute>::Node* at, CAsfAttribute* attribute) {
    if (!attribute) return tag::kOutOfMemory;
    if (m_attributes.Count() >= 0xFFFF) {
        delete attribute;
        return tag::kInvalidArgument;
    }
    return m_attributes.InsertBefore(at, attribute, true);
}

void CAsfAttributeObject::RemoveAll(int32_t attributeId) {
    for (auto* node = m_attributes.First(); node != m_attributes.End();)
        node = node->element->Id() == attributeId ? m_attributes.Remove(node) : node->next;
}

CTagElementList<CAsfAttribute>::Node* CAsfAttributeObject::FindPicture(CTagStream* source, uint8_t pictureType,
                                                                      uint32_t position, uint32_t* count) {
    uint32_t seen = 0;
    for (auto* node = m_attributes.First(); node != m_attributes.End(); node = node->next) {
        uint8_t type;
        if (node->element->PictureType(source, &type) != tag::kOk || type != pictureType) continue;
        if (seen++ == position) return node;
    }
    if (count) *count = seen;
    return nullptr;
}

CAsfAttributeHeader* CAsfExtendedContentDescription::NewHeader() const {
    return new (std::nothrow) CAsfContentDescriptor();
}

CAsfAttributeHeader* CAsfMetadataLibrary::NewHeader() const { return new (std::nothrow) CAsfDescriptionRecord(); }
