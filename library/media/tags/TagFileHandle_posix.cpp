#include "library/media/tags/TagFileHandle.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

int32_t CTagFileHandle::Open(const char* path, Mode mode) {
    if (!path) return tag::kInvalidArgument;
    std::u16string wide;
    if (IsOpen() || !tag::PathToUtf16(path, &wide)) return tag::kOpenFailed;
    do {
        m_descriptor = mode == kReadShared ? open(path, O_RDONLY | O_CLOEXEC)
                                           : open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (m_descriptor < 0 && errno == EINTR);
    return IsOpen() ? tag::kOk : tag::kOpenFailed;
}

bool CTagFileHandle::IsOpen() const { return m_descriptor >= 0; }

int64_t CTagFileHandle::Size() const {
    struct stat status;
    if (!IsOpen() || fstat(m_descriptor, &status) != 0) return -1;
    return int64_t(status.st_size);
}

int32_t CTagFileHandle::ReadAt(uint64_t offset, void* buffer, uint32_t length) {
    if (!IsOpen()) return tag::kNotReady;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    while (length) {
        ssize_t got = pread(m_descriptor, out, length, off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return tag::kShortRead;
        out += got;
        offset += uint64_t(got);
        length -= uint32_t(got);
    }
    return tag::kOk;
}

int32_t CTagFileHandle::Write(const void* buffer, uint32_t length) {
    if (!IsOpen()) return tag::kNotReady;
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    while (length) {
        ssize_t wrote = write(m_descriptor, in, length);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return tag::kShortWrite;
        in += wrote;
        length -= uint32_t(wrote);
    }
    return tag::kOk;
}

int32_t CTagFileHandle::Close() {
    if (!IsOpen()) return tag::kOk;
    // POSIX leaves the descriptor closed even when close fails, so it is never retried.
    int closed = close(m_descriptor);
    m_descriptor = -1;
    return closed == 0 ? tag::kOk : tag::kShortWrite;
}
