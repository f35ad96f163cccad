// The byte streams the tag library reads from and writes to.
#pragma once

#include <cstdint>

// Origins of CTagStream::Seek.
enum TagSeekOrigin : int32_t { kSeekBegin = 0, kSeekCurrent = 1, kSeekEnd = 2 };

namespace tag {
// The absolute position a seek asks for; -10 when it lies outside 0 to size (from the end, only
// zero or negative offsets are allowed).
int32_t SeekTarget(int64_t offset, int32_t origin, uint32_t current, uint32_t size, uint32_t* target);
}  // namespace tag

class CTagStream {
public:
    virtual ~CTagStream() = default;
    // Reads exactly length bytes or fails with -8 (short read).
    virtual int32_t Read(void* buffer, uint32_t length) = 0;
    virtual int32_t Seek(int64_t offset, int32_t origin) = 0;
    virtual int32_t Tell(uint32_t* position) = 0;
    virtual int32_t GetSize(uint32_t* size) = 0;
    virtual int32_t Close() = 0;
    // Whether the bytes already sit in memory, so that reads cost no more than a copy and a
    // buffer in front of the stream would only add one.
    virtual bool InMemory() const { return false; }
};

class CTagWriteStream {
public:
    virtual ~CTagWriteStream() = default;
    // Writes all of buffer or fails with -9 (short write).
    virtual int32_t Write(const void* buffer, uint32_t length) = 0;
    virtual int32_t Close() = 0;
};
