#pragma once
// An in-memory stream over an owned buffer, optionally paced to a byte rate.

#include "library/media/decode/AsyncStream.h"
#include "library/util/ScopedWin.h"

class CMemStream : public CAsyncStream {
public:
    // No pacing: the rate the decoder graph passes.
    static const DWORD kUnlimitedRate = 0xFFFFFFFF;

    // Takes ownership of data (allocated with new[]); rate in kilobytes per second.
    CMemStream(BYTE* data, LONGLONG length, DWORD kbPerSecond = kUnlimitedRate);
    ~CMemStream() override;

    HRESULT SetPointer(LONGLONG position) override;
    HRESULT Read(BYTE* buffer, DWORD count, BOOL aligned, LPDWORD read) override;
    LONGLONG Size(LONGLONG* available = nullptr) override;
    DWORD Alignment() override { return 1; }
    void Lock() override { lock_.Enter(); }
    void Unlock() override { lock_.Leave(); }

private:
    CCriticalSection lock_;
    BYTE* data_;
    LONGLONG length_;
    LONGLONG position_ = 0;
    DWORD kbPerSecond_;
    DWORD startTime_;
};
