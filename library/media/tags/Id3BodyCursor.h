// Reads the fields of one frame body without ever passing the body's end, and puts the stream
// back where it was when it goes out of scope.
#pragma once

#include <cstdint>

#include "library/media/tags/TagStream.h"

class CId3BodyCursor {
public:
    CId3BodyCursor(CTagStream* stream, uint32_t bodyOffset, uint32_t bodySize);
    CId3BodyCursor(const CId3BodyCursor&) = delete;
    CId3BodyCursor& operator=(const CId3BodyCursor&) = delete;
    ~CId3BodyCursor();

    // 0 once the cursor stands at the body's start; the stream's own error otherwise.
    int32_t Start();
    // -3 when the body ends first.
    int32_t Read(void* buffer, uint32_t length);
    // Skips a string up to and including its terminator: one zero byte, or an aligned zero
    // 16-bit unit when width is 2. -3 when the body ends first.
    int32_t SkipString(int width);
    uint32_t Position() const { return m_bodyOffset + m_used; }
    uint32_t Remaining() const { return m_bodySize - m_used; }

private:
    CTagStream* m_stream;
    uint32_t m_bodyOffset;
    uint32_t m_bodySize;
    uint32_t m_used = 0;
    uint32_t m_saved = 0;
    bool m_restore = false;
};
