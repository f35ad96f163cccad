// Builders of ASF objects in memory and walkers of saved files for the ASF tag tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagReader.h"
#include "tests/tags/TagTestSupport.h"

namespace asftest {

using tagtest::Bytes;

Bytes Le16(uint32_t value);
Bytes Le32(uint32_t value);
Bytes Cat(std::initializer_list<Bytes> parts);
// ASCII as UTF-16LE, with the terminating zero unit when terminated.
Bytes Utf16(const std::string& ascii, bool terminated = true);
Bytes Fixture(const std::string& name);

// An object of that index of ours (AsfObjectHeader.h) around the body.
Bytes Object(int32_t objectIndex, const Bytes& body);
Bytes ObjectWithGuid(const Bytes& guid, const Bytes& body);
// The five strings as given (bytes, no terminator added).
Bytes ContentDescription(const Bytes& title, const Bytes& author, const Bytes& copyright = {},
                         const Bytes& description = {}, const Bytes& rating = {});
Bytes Descriptor(const Bytes& name, uint16_t dataType, const Bytes& value);
Bytes ExtendedContentDescription(const std::vector<Bytes>& descriptors);
Bytes Record(const Bytes& name, uint16_t dataType, const Bytes& value, uint16_t language = 0, uint16_t stream = 0);
Bytes MetadataLibrary(const std::vector<Bytes>& records);
Bytes HeaderExtension(const std::vector<Bytes>& children);
// A file properties object that claims that file size.
Bytes FileProperties(uint32_t fileSize);
Bytes PictureValue(uint8_t pictureType, const std::string& mime, const Bytes& image);
// Header object with those children, then a data object with some packet bytes.
Bytes File(const std::vector<Bytes>& headerChildren, const Bytes& packets = Bytes(100, 0x82));

struct TopObject {
    int32_t index;  // ours; 0 for another GUID
    uint32_t offset;
    uint32_t size;
};
std::vector<TopObject> Children(const Bytes& file, uint32_t offset, uint32_t end, uint32_t skip);
// The header object's children.
std::vector<TopObject> HeaderChildren(const Bytes& file);
// The body of the first child of the header object (or of the header extension) with that index.
Bytes ChildBody(const Bytes& file, int32_t objectIndex);
// The 64-bit file size that the file properties object holds.
uint64_t FilePropertiesSize(const Bytes& file);

CTagReader* AsfReaderOver(const Bytes& file, int32_t* result = nullptr);

}  // namespace asftest
