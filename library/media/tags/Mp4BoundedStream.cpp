#include "library/media/tags/Mp4BoundedStream.h"

#include "library/media/tags/TagTypes.h"

int32_t CMp4BoundedStream::Read(void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_inner) return tag::kNotReady;
    if (m_position > m_limit || length > m_limit - m_position) return tag::kShortRead;
    int32_t result = m_inner->Seek(m_position, kSeekBegin);
    if (result == tag::kOk) result = m_inner->Read(buffer, length);
    if (result == tag::kOk) m_position += length;
    return result;
}

int32_t CMp4BoundedStream::Seek(int64_t offset, int32_t origin) {
    if (!m_inner) return tag::kNotReady;
    return tag::SeekTarget(offset, origin, m_position, m_limit, &m_position);
}

int32_t CMp4BoundedStream::Tell(uint32_t* position) {
    if (!position) return tag::kInvalidArgument;
    if (!m_inner) return tag::kNotReady;
    *position = m_position;
    return tag::kOk;
}

int32_t CMp4BoundedStream::GetSize(uint32_t* size) {
    if (!size) return tag::kInvalidArgument;
    if (!m_inner) return tag::kNotReady;
    *size = m_limit;
    return tag::kOk;
}

int32_t CMp4BoundedStream::Close() {
    m_inner = nullptr;
    return tag::kOk;
}
