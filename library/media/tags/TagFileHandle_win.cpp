#include "library/media/tags/TagFileHandle.h"

#include <windows.h>

#include <string>

#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

int32_t CTagFileHandle::Open(const char* path, Mode mode) {
    if (!path) return tag::kInvalidArgument;
    std::u16string wide;
    if (IsOpen() || !tag::PathToUtf16(path, &wide)) return tag::kOpenFailed;
    const std::wstring widePath(wide.begin(), wide.end());
    // No sequential-scan hint: a tag read touches one region once, and the hint measured no faster.
    if (mode == kReadShared) {
        m_handle = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    } else {
        m_handle = CreateFileW(widePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    m_pointer = 0;
    return IsOpen() ? tag::kOk : tag::kOpenFailed;
}

bool CTagFileHandle::IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

int64_t CTagFileHandle::Size() const {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(m_handle, &size)) return -1;
    return size.QuadPart;
}

int32_t CTagFileHandle::ReadAt(uint64_t offset, void* buffer, uint32_t length) {
    if (!IsOpen()) return tag::kNotReady;
    // A read that names its offset through an OVERLAPPED structure costs Wine a round trip to its
    // server (it posts a completion for it); a plain read at the file pointer does not, and a
    // seek is only needed when the read does not follow the last one.
    if (offset != m_pointer) {
        LARGE_INTEGER target;
        target.QuadPart = LONGLONG(offset);
        m_pointer = kPointerUnknown;
        if (offset > uint64_t(INT64_MAX) || !SetFilePointerEx(m_handle, target, nullptr, FILE_BEGIN))
            return tag::kShortRead;
        m_pointer = offset;
    }
    uint8_t* out = static_cast<uint8_t*>(buffer);
    while (length) {
        DWORD got = 0;
        if (!ReadFile(m_handle, out, length, &got, nullptr) || got == 0) {
            m_pointer = kPointerUnknown;
            return tag::kShortRead;
        }
        out += got;
        m_pointer += got;
        length -= got;
    }
    return tag::kOk;
}

int32_t CTagFileHandle::Write(const void* buffer, uint32_t length) {
    if (!IsOpen()) return tag::kNotReady;
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    while (length) {
        DWORD wrote = 0;
        m_pointer = kPointerUnknown;
        if (!WriteFile(m_handle, in, length, &wrote, nullptr) || wrote == 0) return tag::kShortWrite;
        in += wrote;
        length -= wrote;
    }
    return tag::kOk;
}

int32_t CTagFileHandle::Close() {
    if (!IsOpen()) return tag::kOk;
    BOOL closed = CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    m_pointer = kPointerUnknown;
    return closed ? tag::kOk : tag::kShortWrite;
}
