#include "library/media/tags/Mp4PlacedStream.h"

#include <cstring>

#include "library/media/tags/TagTypes.h"

int32_t CMp4PlacedStream::Read(void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_data) return tag::kNotReady;
    const uint32_t at = m_position - m_start;
    if (length > m_size - at) return tag::kShortRead;
    if (length) std::memcpy(buffer, m_data + at, length);
    m_position += length;
    return tag::kOk;
}

int32_t CMp4PlacedStream::Seek(int64_t offset, int32_t origin) {
    if (!m_data) return tag::kNotReady;
    uint32_t target;
    const uint32_t end = m_start + m_size;
    int32_t result = tag::SeekTarget(offset, origin, m_position, end, &target);
    if (result != tag::kOk) return result;
    // Nothing stands before the range.
    if (target < m_start) return tag::kSeekFailed;
    m_position = target;
    return tag::kOk;
}

int32_t CMp4PlacedStream::Tell(uint32_t* position) {
    if (!position) return tag::kInvalidArgument;
    if (!m_data) return tag::kNotReady;
    *position = m_position;
    return tag::kOk;
}

int32_t CMp4PlacedStream::GetSize(uint32_t* size) {
    if (!size) return tag::kInvalidArgument;
    if (!m_data) return tag::kNotReady;
    *size = m_start + m_size;
    return tag::kOk;
}

int32_t CMp4PlacedStream::Close() {
    m_data = nullptr;
    return tag::kOk;
}
