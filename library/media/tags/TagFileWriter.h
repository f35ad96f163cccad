// A write stream that creates (or truncates) a file named by a UTF-8 path. Writes are gathered in
// a fixed buffer, so the editor's many small writes become few system calls.
#pragma once

#include <memory>

#include "library/media/tags/TagFileHandle.h"
#include "library/media/tags/TagStream.h"

class CTagFileWriter : public CTagWriteStream {
public:
    static constexpr uint32_t kBufferSize = 65536;

    CTagFileWriter() = default;
    CTagFileWriter(const CTagFileWriter&) = delete;
    CTagFileWriter& operator=(const CTagFileWriter&) = delete;
    ~CTagFileWriter() override;

    int32_t OpenWriteStreamUtf8(const char* path);
    int32_t Write(const void* buffer, uint32_t length) override;
    // Reports -9 when the buffered bytes could not be written, so a caller never keeps a short file.
    int32_t Close() override;

private:
    int32_t Flush();

    CTagFileHandle m_file;
    std::unique_ptr<uint8_t[]> m_buffer;
    uint32_t m_buffered = 0;
    bool m_failed = false;
};
