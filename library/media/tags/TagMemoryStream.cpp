#include "library/media/tags/TagMemoryStream.h"

#include <cstring>

#include "library/media/tags/TagTypes.h"

int32_t CTagMemoryStream::Read(void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_data) return tag::kNotReady;
    if (length > m_size - m_position) return tag::kShortRead;
    if (length) std::memcpy(buffer, m_data + m_position, length);
    m_position += length;
    return tag::kOk;
}

int32_t CTagMemoryStream::Seek(int64_t offset, int32_t origin) {
    int64_t base;
    switch (origin) {
        case kSeekBegin: base = 0; break;
        case kSeekCurrent: base = m_position; break;
        case kSeekEnd:
            if (offset > 0) return tag::kSeekFailed;
            base = m_size;
            break;
        default: return tag::kSeekFailed;
    }
    int64_t target = base + offset;
    if (target < 0 || target > int64_t(m_size)) return tag::kSeekFailed;
    m_position = uint32_t(target);
    return tag::kOk;
}

int32_t CTagMemoryStream::Tell(uint32_t* position) {
    if (!position) return tag::kInvalidArgument;
    *position = m_position;
    return tag::kOk;
}

int32_t CTagMemoryStream::GetSize(uint32_t* size) {
    if (!size) return tag::kInvalidArgument;
    *size = m_size;
    return tag::kOk;
}

int32_t CTagMemoryStream::Close() {
    m_data = nullptr;
    m_size = 0;
    m_position = 0;
    return tag::kOk;
}
