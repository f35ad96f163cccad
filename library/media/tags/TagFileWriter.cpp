#include "library/media/tags/TagFileWriter.h"

#include "library/media/tags/TagFileOpen.h"
#include "library/media/tags/TagTypes.h"

CTagFileWriter::~CTagFileWriter() { Close(); }

int32_t CTagFileWriter::OpenWriteStreamUtf8(const char* path) {
    if (!path) return tag::kInvalidArgument;
    if (m_file) return tag::kOpenFailed;
    return tag::OpenFileUtf8(path, true, &m_file);
}

int32_t CTagFileWriter::Write(const void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_file) return tag::kNotReady;
    if (length == 0) return tag::kOk;
    return std::fwrite(buffer, 1, length, m_file) == length ? tag::kOk : tag::kShortWrite;
}

int32_t CTagFileWriter::Close() {
    if (!m_file) return tag::kOk;
    int closed = std::fclose(m_file);
    m_file = nullptr;
    return closed == 0 ? tag::kOk : tag::kShortWrite;
}
