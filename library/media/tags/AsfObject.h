// The objects of the ASF editor's tree. Loaded objects that we do not interpret are copied from
// the source when written; the header object and the header extension are containers whose sizes
// follow their children; the content description and the file properties are rewritten from
// their fields.
#pragma once

#include <cstdint>

#include "library/media/tags/AsfObjectHeader.h"
#include "library/media/tags/TagElementList.h"
#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagStream.h"
#include "library/media/tags/TagTypes.h"

class CAsfAttributeObject;
class CAsfContentDescription;
class CAsfHeaderExtension;
class CAsfHeaderObject;

class CAsfObject {
public:
    explicit CAsfObject(const CAsfObjectHeader& header) : m_header(header) {}
    virtual ~CAsfObject() = default;
    virtual int32_t Load(CTagStream* source) { return source ? tag::kOk : tag::kInvalidArgument; }
    virtual int32_t Write(CTagStream* source, CTagWriteStream* output) = 0;
    virtual uint64_t Size() const = 0;
    // The size of the whole file being written; only the file properties keep it.
    virtual int32_t SetFileSize(uint32_t, uint32_t) { return tag::kOk; }
    // Stand-ins for a cast: the library has no run-time type information.
    virtual CAsfHeaderObject* AsHeaderObject() { return nullptr; }
    virtual CAsfHeaderExtension* AsHeaderExtension() { return nullptr; }
    virtual CAsfContentDescription* AsContentDescription() { return nullptr; }
    virtual CAsfAttributeObject* AsAttributeObject() { return nullptr; }

    int32_t Index() const { return m_header.Index(); }

protected:
    CAsfObjectHeader m_header;
};

// Any object we do not interpret (the data object included): copied unchanged.
class CAsfRawObject : public CAsfObject {
public:
    using CAsfObject::CAsfObject;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override { return m_header.size; }
};

// An object whose body is a list of objects behind fixed fields of its own.
class CAsfContainerObject : public CAsfObject {
public:
    using CAsfObject::CAsfObject;
    int32_t SetFileSize(uint32_t low, uint32_t high) override;
    CTagElementList<CAsfObject>& Children() { return m_children; }
    CAsfObject* Find(int32_t objectIndex) const;
    // Appends a new empty object of that index; null without memory.
    CAsfObject* AddNew(int32_t objectIndex);

protected:
    // Reads the children lying between begin and end, at most count of them.
    int32_t LoadChildren(CTagStream* source, uint32_t begin, uint32_t end, uint32_t count);
    int32_t WriteChildren(CTagStream* source, CTagWriteStream* output);
    uint64_t ChildrenSize() const;
    // The object for a child of that header: interpreted where this container knows it.
    virtual CAsfObject* CreateChild(const CAsfObjectHeader& header) = 0;

    CTagElementList<CAsfObject> m_children;
};

// The header object: object count, two reserved bytes (kept), the header's objects.
class CAsfHeaderObject : public CAsfContainerObject {
public:
    using CAsfContainerObject::CAsfContainerObject;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override { return 30 + ChildrenSize(); }
    CAsfHeaderObject* AsHeaderObject() override { return this; }

private:
    CAsfObject* CreateChild(const CAsfObjectHeader& header) override;
    uint8_t m_reserved[2] = {1, 2};
};

// The header extension: reserved GUID and value (kept as read), data size, then its objects.
class CAsfHeaderExtension : public CAsfContainerObject {
public:
    // A new extension carries the reserved values the format prescribes.
    explicit CAsfHeaderExtension(const CAsfObjectHeader& header);
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override { return 46 + ChildrenSize(); }
    CAsfHeaderExtension* AsHeaderExtension() override { return this; }

private:
    CAsfObject* CreateChild(const CAsfObjectHeader& header) override;
    uint8_t m_reserved[18];
};

// Title, author, copyright, description and rating, each with a 16-bit length. Title and author
// may be cleared or given new text; the others are copied from the source.
class CAsfContentDescription : public CAsfObject {
public:
    enum Field { kTitle = 0, kAuthor = 1, kFieldCount = 5 };
    using CAsfObject::CAsfObject;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;
    CAsfContentDescription* AsContentDescription() override { return this; }

    // length bytes from offset of data; the length must fit 16 bits (the caller checks).
    void SetText(int32_t field, CTagOwnedPtr<CTagStream> data, uint32_t length, uint32_t offset);

private:
    struct Text {
        uint32_t length = 0;
        uint32_t offset = 0;  // in data, or in the source when there is no data
        CTagOwnedPtr<CTagStream> data;
    };
    Text m_texts[kFieldCount];
};

// File identifier and sixteen 32-bit fields, the first two holding the file size.
class CAsfFileProperties : public CAsfObject {
public:
    using CAsfObject::CAsfObject;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override { return m_header.size; }
    int32_t SetFileSize(uint32_t low, uint32_t high) override;

private:
    static constexpr uint32_t kFieldsSize = 80;
    uint8_t m_fields[kFieldsSize] = {};
};
