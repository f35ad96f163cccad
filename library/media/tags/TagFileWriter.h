// A write stream that creates (or truncates) a file named by a UTF-8 path.
#pragma once

#include <cstdio>

#include "library/media/tags/TagStream.h"

class CTagFileWriter : public CTagWriteStream {
public:
    CTagFileWriter() = default;
    CTagFileWriter(const CTagFileWriter&) = delete;
    CTagFileWriter& operator=(const CTagFileWriter&) = delete;
    ~CTagFileWriter() override;

    int32_t OpenWriteStreamUtf8(const char* path);
    int32_t Write(const void* buffer, uint32_t length) override;
    // Reports -9 when the buffered bytes could not be flushed, so a caller never keeps a short file.
    int32_t Close() override;

private:
    FILE* m_file = nullptr;
};
