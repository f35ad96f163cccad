#pragma once
// Prepares an MP3 file for the memory source: its stream type and its audio bytes.

#include <windows.h>

#include <cstdint>

struct StreamMediaType {
    GUID majorType;
    GUID subType;
};

// The stream type and the offset of the first audio frame (encoder information frames skipped).
HRESULT DetectStreamMediaType(const wchar_t* path, StreamMediaType* type, uint32_t* dataOffset);

// Loads the file from its first audio frame; the caller owns the buffer (delete[]).
HRESULT PrepareMemorySource(const wchar_t* path, uint8_t** buffer, uint32_t* length, StreamMediaType* type);
