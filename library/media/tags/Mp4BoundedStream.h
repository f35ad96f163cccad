// A view of another stream that ends early: offsets are those of the inner stream, but reads and
// seeks stop at the limit. Embedded tags (an ID3v2 tag in an "ID32" box) are read through one so
// they report file offsets and cannot run past their box.
#pragma once

#include "library/media/tags/TagStream.h"

class CMp4BoundedStream : public CTagStream {
public:
    // The inner stream is borrowed; it is sought before every read, so others may share it.
    CMp4BoundedStream(CTagStream* inner, uint32_t position, uint32_t limit)
        : m_inner(inner), m_position(position), m_limit(limit) {}
    int32_t Read(void* buffer, uint32_t length) override;
    int32_t Seek(int64_t offset, int32_t origin) override;
    int32_t Tell(uint32_t* position) override;
    int32_t GetSize(uint32_t* size) override;
    int32_t Close() override;
    bool InMemory() const override { return m_inner && m_inner->InMemory(); }

private:
    CTagStream* m_inner;
    uint32_t m_position;
    uint32_t m_limit;
};
