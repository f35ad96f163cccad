#include "library/media/tags/TagMemoryStream.h"

#include <cstring>

#include "library/media/tags/TagTypes.h"

int32_t CTagMemoryStream::Read(void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_data) return tag::kNotReady;
    const uint32_t at = m_position - m_base;
    if (length > m_size - at) return tag::kShortRead;
    if (length) std::memcpy(buffer, m_data + at, length);
    m_position += length;
    return tag::kOk;
}

int32_t CTagMemoryStream::Seek(int64_t offset, int32_t origin) {
    uint32_t target;
    int32_t result = tag::SeekTarget(offset, origin, m_position, m_base + m_size, &target);
    if (result != tag::kOk) return result;
    // Nothing stands before the bytes.
    if (target < m_base) return tag::kSeekFailed;
    m_position = target;
    return tag::kOk;
}

int32_t CTagMemoryStream::Tell(uint32_t* position) {
    if (!position) return tag::kInvalidArgument;
    *position = m_position;
    return tag::kOk;
}

int32_t CTagMemoryStream::GetSize(uint32_t* size) {
    if (!size) return tag::kInvalidArgument;
    *size = m_base + m_size;
    return tag::kOk;
}

int32_t CTagMemoryStream::Close() {
    m_data = nullptr;
    m_size = 0;
    m_position = m_base;
    return tag::kOk;
}

namespace tag {

int32_t SeekTarget(int64_t offset, int32_t origin, uint32_t current, uint32_t size, uint32_t* target) {
    int64_t base;
    switch (origin) {
        case kSeekBegin: base = 0; break;
        case kSeekCurrent: base = current; break;
        case kSeekEnd:
            if (offset > 0) return kSeekFailed;
            base = size;
            break;
        default: return kSeekFailed;
    }
    if (offset < -base || offset > int64_t(size) - base) return kSeekFailed;
    *target = uint32_t(base + offset);
    return kOk;
}

}  // namespace tag
