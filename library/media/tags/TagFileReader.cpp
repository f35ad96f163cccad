#include "library/media/tags/TagFileReader.h"

#include "library/media/tags/TagTypes.h"

CTagFileReader::~CTagFileReader() { Close(); }

int32_t CTagFileReader::OpenReadStreamUtf8(const char* path) {
    if (!path) return tag::kInvalidArgument;
    if (m_file.IsOpen()) return tag::kOpenFailed;
    int32_t result = m_file.Open(path, CTagFileHandle::kReadShared);
    if (result != tag::kOk) return result;
    const int64_t size = m_file.Size();
    // Positions are 32-bit throughout the library: larger files are refused, never misread.
    if (size < 0 || size > int64_t(UINT32_MAX)) {
        Close();
        return tag::kSeekFailed;
    }
    m_size = uint32_t(size);
    m_position = 0;
    return tag::kOk;
}

int32_t CTagFileReader::Read(void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_file.IsOpen()) return tag::kNotReady;
    if (length == 0) return tag::kOk;
    // A file that grew since it was opened may be read past its first size, as others may write it.
    if (length > UINT32_MAX - m_position) return tag::kShortRead;
    int32_t result = m_file.ReadAt(m_position, buffer, length);
    if (result == tag::kOk) m_position += length;
    return result;
}

int32_t CTagFileReader::Seek(int64_t offset, int32_t origin) {
    if (!m_file.IsOpen()) return tag::kNotReady;
    if (m_position > m_size) return tag::kSeekFailed;
    return tag::SeekTarget(offset, origin, m_position, m_size, &m_position);
}

int32_t CTagFileReader::Tell(uint32_t* position) {
    if (!position) return tag::kInvalidArgument;
    if (!m_file.IsOpen()) return tag::kNotReady;
    *position = m_position;
    return tag::kOk;
}

int32_t CTagFileReader::GetSize(uint32_t* size) {
    if (!size) return tag::kInvalidArgument;
    if (!m_file.IsOpen()) return tag::kNotReady;
    *size = m_size;
    return tag::kOk;
}

int32_t CTagFileReader::Close() {
    m_file.Close();
    m_size = 0;
    m_position = 0;
    return tag::kOk;
}
