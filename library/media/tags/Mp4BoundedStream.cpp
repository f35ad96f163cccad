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
    int64_t base;
    switch (origin) {
        case kSeekBegin: base = 0; break;
        case kSeekCurrent: base = m_position; break;
        case kSeekEnd:
            if (offset > 0) return tag::kSeekFailed;
            base = m_limit;
            break;
        default: return tag::kSeekFailed;
    }
    int64_t target = base + offset;
    if (target < 0 || target > int64_t(m_limit)) return tag::kSeekFailed;
    m_position = uint32_t(target);
    return tag::kOk;
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
