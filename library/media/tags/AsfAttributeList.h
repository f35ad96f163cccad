// The two attribute lists of an ASF header: the extended content description (content
// descriptors) and the metadata library (description records), and the attributes they hold.
#pragma once

#include <cstdint>
#include <vector>

#include "library/media/tags/AsfAttribute.h"
#include "library/media/tags/AsfObject.h"

// One attribute: a loaded one is written as its header and its value copied from the source; a
// new one as its header, fixed value fields (a picture's head) and a value copied from a data stream.
class CAsfAttribute {
public:
    explicit CAsfAttribute(CTagOwnedPtr<CAsfAttributeHeader> header) : m_header(std::move(header)) {}
    CAsfAttribute(CTagOwnedPtr<CAsfAttributeHeader> header, std::vector<uint8_t> prefix, CTagOwnedPtr<CTagStream> data,
                  uint32_t size, uint32_t offset);
    virtual ~CAsfAttribute() = default;
    // The value in the source file (a loaded attribute).
    virtual int32_t Locate(uint32_t* offset, uint32_t* size) const;
    virtual int32_t Write(CTagStream* source, CTagWriteStream* output);

    uint64_t Size() const { return m_header->Size(); }
    int32_t Id() const { return m_header->Id(); }
    // The picture-type byte of a picture value; -5 for other attributes.
    int32_t PictureType(CTagStream* source, uint8_t* type) const;

private:
    CTagOwnedPtr<CAsfAttributeHeader> m_header;
    std::vector<uint8_t> m_prefix;
    CTagOwnedPtr<CTagStream> m_data;
    uint32_t m_dataOffset = 0;
};

// A 16-bit count and that many attributes.
class CAsfAttributeObject : public CAsfObject {
public:
    using CAsfObject::CAsfObject;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;
    CAsfAttributeObject* AsAttributeObject() override { return this; }

    // A new attribute of that identifier for this list, with prefix bytes in front of size bytes
    // of data; -2 when the value is too long for the list's length field.
    int32_t CreateAttribute(int32_t attributeId, std::vector<uint8_t> prefix, CTagOwnedPtr<CTagStream> data,
                            uint32_t size, uint32_t offset, CAsfAttribute** attribute) const;
    // Whether a value of that length fits the list's length field.
    bool Holds(uint64_t valueLength) const;
    // -2 when the list is full (a 16-bit count); the attribute is deleted on failure.
    int32_t Append(CAsfAttribute* attribute) { return InsertBefore(m_attributes.End(), attribute); }
    int32_t InsertBefore(const CTagElementList<CAsfAttribute>::Node* at, CAsfAttribute* attribute);
    void RemoveAll(int32_t attributeId);
    // The position-th picture of that type (from 0); null when there are fewer, and then count
    // (when given) says how many there are.
    CTagElementList<CAsfAttribute>::Node* FindPicture(CTagStream* source, uint8_t pictureType, uint32_t position,
                                                      uint32_t* count = nullptr);
    CTagElementList<CAsfAttribute>& Attributes() { return m_attributes; }

protected:
    virtual CAsfAttributeHeader* NewHeader() const = 0;

private:
    CTagElementList<CAsfAttribute> m_attributes;
};

class CAsfExtendedContentDescription : public CAsfAttributeObject {
public:
    using CAsfAttributeObject::CAsfAttributeObject;

protected:
    CAsfAttributeHeader* NewHeader() const override;
};

class CAsfMetadataLibrary : public CAsfAttributeObject {
public:
    using CAsfAttributeObject::CAsfAttributeObject;

protected:
    CAsfAttributeHeader* NewHeader() const override;
};
