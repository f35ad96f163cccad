#include "library/media/decode/MemStream.h"

#include <mmsystem.h>

#include <cstring>

CMemStream::CMemStream(BYTE* data, LONGLONG length, DWORD kbPerSecond)
    : data_(data), length_(length), kbPerSecond_(kbPerSecond), startTime_(timeGetTime()) {}

CMemStream::~CMemStream() { delete[] data_; }

HRESULT CMemStream::SetPointer(LONGLONG position) {
    if (position < 0 || position > length_) return S_FALSE;
    position_ = position;
    return S_OK;
}

HRESULT CMemStream::Read(BYTE* buffer, DWORD count, BOOL, LPDWORD read) {
    CScopedLock lock(lock_);
    const LONGLONG left = length_ - position_;
    if (static_cast<LONGLONG>(count) > left) count = static_cast<DWORD>(left);
    if (kbPerSecond_ != kUnlimitedRate && kbPerSecond_ != 0) {
        // A kilobyte per second is a byte per millisecond.
        const LONGLONG arrival = (position_ + count) / kbPerSecond_;
        const LONGLONG elapsed = static_cast<DWORD>(timeGetTime() - startTime_);
        if (arrival > elapsed) Sleep(static_cast<DWORD>(arrival - elapsed));
    }
    if (count != 0) std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    *read = count;
    return S_OK;
}

LONGLONG CMemStream::Size(LONGLONG* available) {
    if (available != nullptr) {
        *available = length_;
        if (kbPerSecond_ != kUnlimitedRate) {
            const LONGLONG elapsed = static_cast<DWORD>(timeGetTime() - startTime_);
            const LONGLONG arrived = elapsed * kbPerSecond_;
            if (arrived < length_) *available = arrived;
        }
    }
    return length_;
}
