// A read stream over a caller's buffer; the buffer is borrowed and must outlive the stream.
// The bytes may stand in for a range of a larger file: positions are then the file's, from the
// range's start (the clean copy of an embedded tag is read at the tag's own place this way).
#pragma once

#include "library/media/tags/TagStream.h"

class CTagMemoryStream : public CTagStream {
public:
    CTagMemoryStream(const void* data, uint32_t size) : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}
    // The stream starts at base, where the bytes stand; base + size must fit 32 bits.
    CTagMemoryStream(const void* data, uint32_t size, uint32_t base)
        : m_data(static_cast<const uint8_t*>(data)), m_size(size), m_base(base), m_position(base) {}
    int32_t Read(void* buffer, uint32_t length) override;
    int32_t Seek(int64_t offset, int32_t origin) override;
    int32_t Tell(uint32_t* position) override;
    int32_t GetSize(uint32_t* size) override;
    int32_t Close() override;
    bool InMemory() const override { return true; }

private:
    const uint8_t* m_data;
    uint32_t m_size;
    uint32_t m_base = 0;
    uint32_t m_position = 0;
};
