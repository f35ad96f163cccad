#include "library/media/tags/TagFileReader.h"

#include "library/media/tags/TagFileOpen.h"
#include "library/media/tags/TagTypes.h"

CTagFileReader::~CTagFileReader() { Close(); }

int32_t CTagFileReader::OpenReadStreamUtf8(const char* path) {
    if (!path) return tag::kInvalidArgument;
    if (m_file) return tag::kOpenFailed;
    int32_t result = tag::OpenFileUtf8(path, false, &m_file);
    if (result != tag::kOk) return result;
    int64_t size = -1;
    if (tag::SeekFile(m_file, 0, SEEK_END) == tag::kOk) size = tag::TellFile(m_file);
    // Positions are 32-bit throughout the library: larger files are refused, never misread.
    if (size < 0 || size > int64_t(UINT32_MAX) || tag::SeekFile(m_file, 0, SEEK_SET) != tag::kOk) {
        Close();
        return tag::kSeekFailed;
    }
    m_size = uint32_t(size);
    return tag::kOk;
}

int32_t CTagFileReader::Read(void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_file) return tag::kNotReady;
    if (length == 0) return tag::kOk;
    return std::fread(buffer, 1, length, m_file) == length ? tag::kOk : tag::kShortRead;
}

int32_t CTagFileReader::Seek(int64_t offset, int32_t origin) {
    if (!m_file) return tag::kNotReady;
    int64_t current = tag::TellFile(m_file);
    uint32_t target;
    if (current < 0 || current > int64_t(m_size)) return tag::kSeekFailed;
    int32_t result = tag::SeekTarget(offset, origin, uint32_t(current), m_size, &target);
    return result == tag::kOk ? tag::SeekFile(m_file, target, SEEK_SET) : result;
}

int32_t CTagFileReader::Tell(uint32_t* position) {
    if (!position) return tag::kInvalidArgument;
    if (!m_file) return tag::kNotReady;
    int64_t at = tag::TellFile(m_file);
    if (at < 0 || at > int64_t(UINT32_MAX)) return tag::kSeekFailed;
    *position = uint32_t(at);
    return tag::kOk;
}

int32_t CTagFileReader::GetSize(uint32_t* size) {
    if (!size) return tag::kInvalidArgument;
    if (!m_file) return tag::kNotReady;
    *size = m_size;
    return tag::kOk;
}

int32_t CTagFileReader::Close() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    m_size = 0;
    return tag::kOk;
}
