// A read stream over bytes in memory that stand in for a range of a file: positions are those of
// the file, starting at the range's start. The clean copy of an embedded ID3v2 tag is read
// through one, so its objects are reported at offsets inside the tag's own box.
#pragma once

#include "library/media/tags/TagStream.h"

class CMp4PlacedStream : public CTagStream {
public:
    // The bytes are borrowed and must outlive the stream; the stream starts at start.
    CMp4PlacedStream(const uint8_t* data, uint32_t start, uint32_t size)
        : m_data(data), m_start(start), m_size(size), m_position(start) {}
    int32_t Read(void* buffer, uint32_t length) override;
    int32_t Seek(int64_t offset, int32_t origin) override;
    int32_t Tell(uint32_t* position) override;
    int32_t GetSize(uint32_t* size) override;
    int32_t Close() override;

private:
    const uint8_t* m_data;
    uint32_t m_start;
    uint32_t m_size;
    uint32_t m_position;
};
