#include "library/media/tags/AsfObject.h"

#include <cstring>
#include <new>

#include "library/media/tags/AsfAttributeList.h"
#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

namespace {

int32_t ReadFields(CTagStream* source, const CAsfObjectHeader& header, void* buffer, uint32_t length) {
    if (!source) return tag::kInvalidArgument;
    if (header.PayloadSize() < length) return tag::kMalformed;
    return tag::ReadStreamAt(source, header.dataOffset, buffer, length);
}

}  // namespace

int32_t CAsfRawObject::Write(CTagStream* source, CTagWriteStream* output) {
    if (!source || !output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, m_header.size);
    return result == tag::kOk ? tag::CopyStreamRange(source, m_header.dataOffset, m_header.PayloadSize(), output)
                              : result;
}

// ---- containers

int32_t CAsfContainerObject::SetFileSize(uint32_t low, uint32_t high) {
    for (auto* node = m_children.First(); node != m_children.End(); node = node->next) {
        int32_t result = node->element->SetFileSize(low, high);
        if (result != tag::kOk) return result;
    }
    return tag::kOk;
}

CAsfObject* CAsfContainerObject::Find(int32_t objectIndex) const {
    return m_children.Find([objectIndex](const CAsfObject& child) { return child.Index() == objectIndex; });
}

CAsfObject* CAsfContainerObject::AddNew(int32_t objectIndex) {
    CAsfObject* child = CreateChild(CAsfObjectHeader::New(objectIndex));
    if (!child || m_children.Append(child, true) != tag::kOk) return nullptr;
    return child;
}

int32_t CAsfContainerObject::LoadChildren(CTagStream* source, uint32_t begin, uint32_t end, uint32_t count) {
    for (uint32_t at = begin; count && at < end; --count) {
        CAsfObjectHeader header;
        int32_t result = header.Read(source, at, end);
        if (result != tag::kOk) return result;
        result = m_children.LoadAndAppend(CreateChild(header), source);
        if (result != tag::kOk) return result;
        at = header.End();
    }
    return tag::kOk;
}

int32_t CAsfContainerObject::WriteChildren(CTagStream* source, CTagWriteStream* output) {
    for (auto* node = m_children.First(); node != m_children.End(); node = node->next) {
        int32_t result = node->element->Write(source, output);
        if (result != tag::kOk) return result;
    }
    return tag::kOk;
}

uint64_t CAsfContainerObject::ChildrenSize() const {
    uint64_t size = 0;
    for (auto* node = m_children.First(); node != m_children.End(); node = node->next) size += node->element->Size();
    return size;
}

int32_t CAsfHeaderObject::Load(CTagStream* source) {
    uint8_t fields[6];
    int32_t result = ReadFields(source, m_header, fields, sizeof(fields));
    if (result != tag::kOk) return result;
    std::memcpy(m_reserved, fields + 4, sizeof(m_reserved));
    return LoadChildren(source, m_header.dataOffset + sizeof(fields), m_header.End(), asf::Read32(fields));
}

CAsfObject* CAsfHeaderObject::CreateChild(const CAsfObjectHeader& header) {
    switch (header.Index()) {
        case asf::kObjectContentDescription: return new (std::nothrow) CAsfContentDescription(header);
        case asf::kObjectExtendedContentDescription: return new (std::nothrow) CAsfExtendedContentDescription(header);
        case asf::kObjectHeaderExtension: return new (std::nothrow) CAsfHeaderExtension(header);
        case asf::kObjectFileProperties: return new (std::nothrow) CAsfFileProperties(header);
        default: return new (std::nothrow) CAsfRawObject(header);
    }
}

int32_t CAsfHeaderObject::Write(CTagStream* source, CTagWriteStream* output) {
    int32_t result = m_header.Write(output, Size());
    if (result != tag::kOk) return result;
    uint8_t fields[6];
    asf::Put32(m_children.Count(), fields);
    std::memcpy(fields + 4, m_reserved, sizeof(m_reserved));
    result = output->Write(fields, sizeof(fields));
    return result == tag::kOk ? WriteChildren(source, output) : result;
}

CAsfHeaderExtension::CAsfHeaderExtension(const CAsfObjectHeader& header) : CAsfContainerObject(header) {
    std::memcpy(m_reserved, asf::kHeaderExtensionReservedGuid, asf::kGuidSize);
    asf::Put16(asf::kHeaderExtensionReservedValue, m_reserved + asf::kGuidSize);
}

int32_t CAsfHeaderExtension::Load(CTagStream* source) {
    uint8_t fields[22];
    int32_t result = ReadFields(source, m_header, fields, sizeof(fields));
    if (result != tag::kOk) return result;
    std::memcpy(m_reserved, fields, sizeof(m_reserved));
    const uint32_t dataSize = asf::Read32(fields + 18);
    if (dataSize > m_header.PayloadSize() - sizeof(fields)) return tag::kMalformed;
    const uint32_t begin = m_header.dataOffset + sizeof(fields);
    return LoadChildren(source, begin, begin + dataSize, UINT32_MAX);
}

CAsfObject* CAsfHeaderExtension::CreateChild(const CAsfObjectHeader& header) {
    if (header.Index() == asf::kObjectMetadataLibrary) return new (std::nothrow) CAsfMetadataLibrary(header);
    return new (std::nothrow) CAsfRawObject(header);
}

int32_t CAsfHeaderExtension::Write(CTagStream* source, CTagWriteStream* output) {
    int32_t result = m_header.Write(output, Size());
    if (result != tag::kOk) return result;
    uint8_t dataSize[4];
    asf::Put32(uint32_t(ChildrenSize()), dataSize);
    result = output->Write(m_reserved, sizeof(m_reserved));
    if (result == tag::kOk) result = output->Write(dataSize, sizeof(dataSize));
    return result == tag::kOk ? WriteChildren(source, output) : result;
}

// ---- content description

int32_t CAsfContentDescription::Load(CTagStream* source) {
    uint8_t lengths[2 * kFieldCount];
    int32_t result = ReadFields(source, m_header, lengths, sizeof(lengths));
    if (result != tag::kOk) return result;
    uint32_t offset = m_header.dataOffset + sizeof(lengths);
    uint32_t room = m_header.PayloadSize() - sizeof(lengths);
    for (int32_t field = 0; field < kFieldCount; ++field) {
        Text& text = m_texts[field];
        text.length = asf::Read16(lengths + 2 * field);
        if (text.length > room) return tag::kMalformed;
        text.offset = offset;
        offset += text.length;
        room -= text.length;
    }
    return tag::kOk;
}

void CAsfContentDescription::SetText(int32_t field, CTagOwnedPtr<CTagStream> data, uint32_t length, uint32_t offset) {
    Text& text = m_texts[field];
    text.data = std::move(data);
    text.length = text.data ? length : 0;
    text.offset = offset;
}

uint64_t CAsfContentDescription::Size() const {
    uint64_t size = asf::kObjectHeaderSize + 2 * kFieldCount;
    for (const Text& text : m_texts) size += text.length;
    return size;
}

int32_t CAsfContentDescription::Write(CTagStream* source, CTagWriteStream* output) {
    int32_t result = m_header.Write(output, Size());
    if (result != tag::kOk) return result;
    uint8_t lengths[2 * kFieldCount];
    for (int32_t field = 0; field < kFieldCount; ++field) asf::Put16(uint16_t(m_texts[field].length), lengths + 2 * field);
    result = output->Write(lengths, sizeof(lengths));
    for (Text& text : m_texts) {
        if (result != tag::kOk) return result;
        if (text.length) result = tag::CopyStreamRange(text.data ? text.data.Get() : source, text.offset, text.length, output);
    }
    return result;
}

// ---- file properties

int32_t CAsfFileProperties::Load(CTagStream* source) { return ReadFields(source, m_header, m_fields, kFieldsSize); }

int32_t CAsfFileProperties::SetFileSize(uint32_t low, uint32_t high) {
    asf::Put32(low, m_fields + 16);
    asf::Put32(high, m_fields + 20);
    return tag::kOk;
}

int32_t CAsfFileProperties::Write(CTagStream* source, CTagWriteStream* output) {
    if (!source) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, m_header.size);
    if (result == tag::kOk) result = output->Write(m_fields, kFieldsSize);
    if (result != tag::kOk) return result;
    // Fields a later version of the format may add are kept.
    return tag::CopyStreamRange(source, m_header.dataOffset + kFieldsSize, m_header.PayloadSize() - kFieldsSize, output);
}
