#include "library/media/tags/TagBufferedStream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "library/media/tags/TagTypes.h"

int32_t CTagBufferedStream::Refill(uint32_t innerSize) {
    uint32_t amount = std::min(m_windowSize, innerSize - m_innerPosition);
    int32_t result = m_inner->Read(m_window.get(), amount);
    if (result != tag::kOk) {
        m_positionKnown = false;
        m_filled = m_cursor = 0;
        return result;
    }
    m_innerPosition += amount;
    m_filled = amount;
    m_cursor = 0;
    return tag::kOk;
}

int32_t CTagBufferedStream::Read(void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_inner) return tag::kNotReady;
    if (m_passThrough) return m_inner->Read(buffer, length);
    uint32_t innerSize;
    int32_t result = m_inner->GetSize(&innerSize);
    if (result != tag::kOk) return result;
    if (!m_window) {
        // Small files are common (and every fuzz input is one): no 64 KiB for a 2 KiB tag.
        m_windowSize = std::max(1u, std::min(kWindowSize, innerSize));
        m_window.reset(new (std::nothrow) uint8_t[m_windowSize]);
        if (!m_window) return tag::kOutOfMemory;
    }
    if (!m_positionKnown) {
        result = m_inner->Tell(&m_innerPosition);
        if (result != tag::kOk) return result;
        m_filled = m_cursor = 0;
        m_positionKnown = true;
    }
    if (m_innerPosition > innerSize) return tag::kShortRead;
    uint32_t buffered = m_filled - m_cursor;
    if (length > buffered && length - buffered > innerSize - m_innerPosition) return tag::kShortRead;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    while (length) {
        if (m_cursor == m_filled) {
            result = Refill(innerSize);
            if (result != tag::kOk) return result;
        }
        uint32_t chunk = std::min(length, m_filled - m_cursor);
        std::memcpy(out, m_window.get() + m_cursor, chunk);
        out += chunk;
        m_cursor += chunk;
        length -= chunk;
    }
    return tag::kOk;
}

int32_t CTagBufferedStream::Seek(int64_t offset, int32_t origin) {
    if (!m_inner) return tag::kNotReady;
    if (m_passThrough) return m_inner->Seek(offset, origin);
    uint32_t current, size;
    int32_t result = Tell(&current);
    if (result != tag::kOk) return result;
    result = m_inner->GetSize(&size);
    if (result != tag::kOk) return result;
    uint32_t target;
    result = tag::SeekTarget(offset, origin, current, size, &target);
    if (result != tag::kOk) return result;
    int64_t windowStart = int64_t(m_innerPosition) - m_filled;
    if (m_positionKnown && target >= windowStart && target <= int64_t(m_innerPosition)) {
        m_cursor = uint32_t(target - windowStart);
        return tag::kOk;
    }
    m_filled = m_cursor = 0;
    result = m_inner->Seek(target, kSeekBegin);
    if (result != tag::kOk) {
        m_positionKnown = false;
        return result;
    }
    m_innerPosition = target;
    m_positionKnown = true;
    return tag::kOk;
}

int32_t CTagBufferedStream::Tell(uint32_t* position) {
    if (!position) return tag::kInvalidArgument;
    if (!m_inner) return tag::kNotReady;
    if (m_passThrough || !m_positionKnown) return m_inner->Tell(position);
    *position = m_innerPosition - (m_filled - m_cursor);
    return tag::kOk;
}

int32_t CTagBufferedStream::GetSize(uint32_t* size) {
    if (!size) return tag::kInvalidArgument;
    if (!m_inner) return tag::kNotReady;
    return m_inner->GetSize(size);
}

int32_t CTagBufferedStream::Close() {
    if (m_inner) m_inner->Close();
    m_inner.Reset();
    m_window.reset();
    m_windowSize = 0;
    m_filled = m_cursor = 0;
    m_positionKnown = false;
    return tag::kOk;
}
