#include "tests/tags/AsfTestSupport.h"

#include <gtest/gtest.h>

#include "library/media/tags/AsfObjectHeader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"

namespace asftest {

Bytes Le16(uint32_t value) { return {uint8_t(value), uint8_t(value >> 8)}; }
Bytes Le32(uint32_t value) { return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)}; }

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Utf16(const std::string& ascii, bool terminated) {
    Bytes bytes;
    for (char c : ascii) bytes.insert(bytes.end(), {uint8_t(c), 0});
    if (terminated) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

Bytes Fixture(const std::string& name) { return tagtest::ReadFileBytes(tagtest::FixturePath("asf/" + name)); }

Bytes ObjectWithGuid(const Bytes& guid, const Bytes& body) {
    return Cat({guid, Le32(uint32_t(body.size() + 24)), Le32(0), body});
}

Bytes Object(int32_t objectIndex, const Bytes& body) {
    const uint8_t* guid = asf::kObjectGuids[objectIndex];
    return ObjectWithGuid(Bytes(guid, guid + 16), body);
}

Bytes ContentDescription(const Bytes& title, const Bytes& author, const Bytes& copyright, const Bytes& description,
                         const Bytes& rating) {
    return Object(asf::kObjectContentDescription,
                  Cat({Le16(uint32_t(title.size())), Le16(uint32_t(author.size())), Le16(uint32_t(copyright.size())),
                       Le16(uint32_t(description.size())), Le16(uint32_t(rating.size())), title, author, copyright,
                       description, rating}));
}

Bytes Descriptor(const Bytes& name, uint16_t dataType, const Bytes& value) {
    return Cat({Le16(uint32_t(name.size())), name, Le16(dataType), Le16(uint32_t(value.size())), value});
}

Bytes ExtendedContentDescription(const std::vector<Bytes>& descriptors) {
    Bytes body = Le16(uint32_t(descriptors.size()));
    for (const Bytes& descriptor : descriptors) body.insert(body.end(), descriptor.begin(), descriptor.end());
    return Object(asf::kObjectExtendedContentDescription, body);
}

Bytes Record(const Bytes& name, uint16_t dataType, const Bytes& value, uint16_t language, uint16_t stream) {
    return Cat({Le16(language), Le16(stream), Le16(uint32_t(name.size())), Le16(dataType), Le32(uint32_t(value.size())),
                name, value});
}

Bytes MetadataLibrary(const std::vector<Bytes>& records) {
    Bytes body = Le16(uint32_t(records.size()));
    for (const Bytes& record : records) body.insert(body.end(), record.begin(), record.end());
    return Object(asf::kObjectMetadataLibrary, body);
}

Bytes HeaderExtension(const std::vector<Bytes>& children) {
    Bytes data;
    for (const Bytes& child : children) data.insert(data.end(), child.begin(), child.end());
    const uint8_t* reserved = asf::kHeaderExtensionReservedGuid;
    return Object(asf::kObjectHeaderExtension, Cat({Bytes(reserved, reserved + 16), Le16(6), Le32(uint32_t(data.size())), data}));
}

Bytes FileProperties(uint32_t fileSize) {
    Bytes body(80, 0);
    for (int i = 0; i < 16; ++i) body[i] = uint8_t(0xA0 + i);
    const Bytes size = Le32(fileSize);
    std::copy(size.begin(), size.end(), body.begin() + 16);
    body[72] = 0x10;  // a maximum bit rate, so the fields after the size are told apart
    return Object(asf::kObjectFileProperties, body);
}

Bytes PictureValue(uint8_t pictureType, const std::string& mime, const Bytes& image) {
    return Cat({{pictureType}, Le32(uint32_t(image.size())), Utf16(mime), Utf16(""), image});
}

Bytes File(const std::vector<Bytes>& headerChildren, const Bytes& packets) {
    Bytes children;
    for (const Bytes& child : headerChildren) children.insert(children.end(), child.begin(), child.end());
    Bytes header = Object(asf::kObjectHeader, Cat({Le32(uint32_t(headerChildren.size())), {1, 2}, children}));
    Bytes dataGuid = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    return Cat({header, ObjectWithGuid(dataGuid, packets)});
}

std::vector<TopObject> Children(const Bytes& file, uint32_t offset, uint32_t end, uint32_t skip) {
    std::vector<TopObject> objects;
    for (uint32_t at = offset + skip; at + 24 <= end;) {
        CAsfObjectHeader header;
        CTagMemoryStream stream(file.data(), uint32_t(file.size()));
        if (header.Read(&stream, at, end) != 0) {
            ADD_FAILURE() << "no object at " << at;
            break;
        }
        objects.push_back({header.Index(), at, header.size});
        at += header.size;
    }
    return objects;
}

std::vector<TopObject> HeaderChildren(const Bytes& file) {
    const std::vector<TopObject> top = Children(file, 0, uint32_t(file.size()), 0);
    if (top.empty() || top[0].index != asf::kObjectHeader) return {};
    return Children(file, top[0].offset, top[0].offset + top[0].size, 30);
}

Bytes ChildBody(const Bytes& file, int32_t objectIndex) {
    for (const TopObject& child : HeaderChildren(file)) {
        if (child.index == objectIndex) return Bytes(file.begin() + child.offset + 24, file.begin() + child.offset + child.size);
        if (child.index != asf::kObjectHeaderExtension) continue;
        for (const TopObject& inner : Children(file, child.offset, child.offset + child.size, 46))
            if (inner.index == objectIndex)
                return Bytes(file.begin() + inner.offset + 24, file.begin() + inner.offset + inner.size);
    }
    return {};
}

uint64_t FilePropertiesSize(const Bytes& file) {
    const Bytes body = ChildBody(file, asf::kObjectFileProperties);
    if (body.size() < 24) return 0;
    uint64_t size = 0;
    for (int i = 7; i >= 0; --i) size = (size << 8) | body[16 + i];
    return size;
}

CTagReader* AsfReaderOver(const Bytes& file, int32_t* result) {
    CTagParser* parser = nullptr;
    int32_t created = CreateAsfReader(new CTagMemoryStream(file.data(), uint32_t(file.size())), &parser, true);
    if (result) *result = created;
    return created == 0 ? new CTagReader(parser, true) : nullptr;
}

}  // namespace asftest
