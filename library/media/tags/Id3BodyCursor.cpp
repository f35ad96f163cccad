#include "library/media/tags/Id3BodyCursor.h"

#include "library/media/tags/TagTypes.h"

CId3BodyCursor::CId3BodyCursor(CTagStream* stream, uint32_t bodyOffset, uint32_t bodySize)
    : m_stream(stream), m_bodyOffset(bodyOffset), m_bodySize(bodySize) {}

CId3BodyCursor::~CId3BodyCursor() {
    if (m_restore) m_stream->Seek(m_saved, kSeekBegin);
}

int32_t CId3BodyCursor::Start() {
    if (!m_stream) return tag::kInvalidArgument;
    int32_t result = m_stream->Tell(&m_saved);
    if (result != tag::kOk) return result;
    m_restore = true;
    m_used = 0;
    return m_stream->Seek(m_bodyOffset, kSeekBegin);
}

int32_t CId3BodyCursor::Read(void* buffer, uint32_t length) {
    if (length > Remaining()) return tag::kMalformed;
    int32_t result = m_stream->Read(buffer, length);
    if (result != tag::kOk) return result;
    m_used += length;
    return tag::kOk;
}

int32_t CId3BodyCursor::SkipString(int width) {
    uint8_t unit[2];
    for (;;) {
        int32_t result = Read(unit, uint32_t(width));
        if (result != tag::kOk) return result;
        if (unit[0] == 0 && (width == 1 || unit[1] == 0)) return tag::kOk;
    }
}
