#pragma once
// Helpers of the filter tests: COM on the test thread, samples from the platform's allocator,
// the filter servers beside the test program, WAV files written for a test and screenshots.

#include <windows.h>
#include "platform/dshow/DShow.h"

#include <string>
#include <vector>

class CComThread {
public:
    CComThread() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~CComThread() { CoUninitialize(); }
};

// A committed allocator handing out samples of up to `size` bytes.
class CSampleSource {
public:
    explicit CSampleSource(LONG size);
    ~CSampleSource();
    // A sample holding the bytes (the caller releases it); null on failure.
    IMediaSample* Make(const std::vector<BYTE>& bytes);

private:
    IMemAllocator* allocator_ = nullptr;
};

// Folder of the test program (the servers are built beside it).
std::wstring ProgramFolder();
// A fresh temporary folder, deleted with its files by the destructor.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// Writes a 16-bit PCM WAV with the given interleaved samples.
bool WriteWav(const std::wstring& path, WORD channels, DWORD rate, const std::vector<SHORT>& samples);
