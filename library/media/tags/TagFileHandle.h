// The operating system's file behind the tag library's file streams, opened by a UTF-8 path.
// Reads name their offset: a stream keeps its position itself, and the system's file pointer
// moves only when a read does not follow the last one.
#pragma once

#include <cstdint>

class CTagFileHandle {
public:
    enum Mode { kReadShared, kCreateForWriting };

    CTagFileHandle() = default;
    CTagFileHandle(const CTagFileHandle&) = delete;
    CTagFileHandle& operator=(const CTagFileHandle&) = delete;
    ~CTagFileHandle() { Close(); }

    // Returns 0, or -2 for a null path and -6 when the path is not UTF-8 or the open fails.
    // Reading lets others read and write the file meanwhile; writing creates or truncates it.
    int32_t Open(const char* path, Mode mode);
    bool IsOpen() const;
    // The size in bytes, or -1 when the system cannot tell it.
    int64_t Size() const;
    // Reads exactly length bytes at offset, or fails with -8.
    int32_t ReadAt(uint64_t offset, void* buffer, uint32_t length);
    // Writes all of buffer where the last write ended, or fails with -9.
    int32_t Write(const void* buffer, uint32_t length);
    // Returns -9 when the system reports an error closing a written file.
    int32_t Close();

private:
#ifdef _WIN32
    static constexpr uint64_t kPointerUnknown = UINT64_MAX;

    void* m_handle = reinterpret_cast<void*>(intptr_t(-1));  // INVALID_HANDLE_VALUE
    // Where the system's file pointer stands, so a read that follows the last one needs no seek.
    uint64_t m_pointer = kPointerUnknown;
#else
    int m_descriptor = -1;
#endif
};
