#include "library/media/tags/TagFileWriter.h"

#include <cstring>
#include <new>

#include "library/media/tags/TagTypes.h"

CTagFileWriter::~CTagFileWriter() { Close(); }

int32_t CTagFileWriter::OpenWriteStreamUtf8(const char* path) {
    if (!path) return tag::kInvalidArgument;
    if (m_file.IsOpen()) return tag::kOpenFailed;
    m_buffer.reset(new (std::nothrow) uint8_t[kBufferSize]);
    if (!m_buffer) return tag::kOutOfMemory;
    m_buffered = 0;
    m_failed = false;
    int32_t result = m_file.Open(path, CTagFileHandle::kCreateForWriting);
    if (result != tag::kOk) m_buffer.reset();
    return result;
}

int32_t CTagFileWriter::Flush() {
    const uint32_t pending = m_buffered;
    m_buffered = 0;
    int32_t result = m_file.Write(m_buffer.get(), pending);
    if (result != tag::kOk) m_failed = true;
    return result;
}

int32_t CTagFileWriter::Write(const void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_file.IsOpen()) return tag::kNotReady;
    // After a failed write the file has a hole: nothing later may make it look whole.
    if (m_failed) return tag::kShortWrite;
    if (length == 0) return tag::kOk;
    if (length <= kBufferSize - m_buffered) {
        std::memcpy(m_buffer.get() + m_buffered, buffer, length);
        m_buffered += length;
        return m_buffered == kBufferSize ? Flush() : tag::kOk;
    }
    int32_t result = Flush();
    if (result != tag::kOk) return result;
    if (length < kBufferSize) {
        std::memcpy(m_buffer.get(), buffer, length);
        m_buffered = length;
        return tag::kOk;
    }
    result = m_file.Write(buffer, length);
    if (result != tag::kOk) m_failed = true;
    return result;
}

int32_t CTagFileWriter::Close() {
    if (!m_file.IsOpen()) return tag::kOk;
    int32_t result = m_failed ? tag::kShortWrite : Flush();
    int32_t closed = m_file.Close();
    m_buffer.reset();
    m_buffered = 0;
    m_failed = false;
    return result != tag::kOk ? result : closed;
}
