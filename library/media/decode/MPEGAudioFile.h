#pragma once
// Finds where the audio of an MP3 file begins: behind an ID3v2 tag, at its first frame.

#include <windows.h>

#include <cstdint>

class MPEGAudioFile {
public:
    MPEGAudioFile() = default;
    virtual ~MPEGAudioFile() = default;

    HRESULT Parse(HANDLE file);

    uint32_t dataStart = 0;
    uint32_t firstFrame = 0;
};

// Seeks from the file's start and reads exactly count bytes.
HRESULT ReadAt(HANDLE file, uint64_t offset, uint32_t count, void* buffer);
