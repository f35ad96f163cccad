// A read stream over a file opened by a UTF-8 path; others may read and write the file meanwhile.
// The position lives here: seeking and telling cost no system call, and each read is one
// positioned read of the system's file.
#pragma once

#include "library/media/tags/TagFileHandle.h"
#include "library/media/tags/TagStream.h"

class CTagFileReader : public CTagStream {
public:
    CTagFileReader() = default;
    CTagFileReader(const CTagFileReader&) = delete;
    CTagFileReader& operator=(const CTagFileReader&) = delete;
    ~CTagFileReader() override;

    int32_t OpenReadStreamUtf8(const char* path);
    int32_t Read(void* buffer, uint32_t length) override;
    int32_t Seek(int64_t offset, int32_t origin) override;
    int32_t Tell(uint32_t* position) override;
    int32_t GetSize(uint32_t* size) override;
    int32_t Close() override;

private:
    CTagFileHandle m_file;
    uint32_t m_size = 0;
    uint32_t m_position = 0;
};
