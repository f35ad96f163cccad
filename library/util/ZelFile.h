#pragma once
// Copies of lossless files of the maker's codec family (".zel") that keep only their lossy base
// layer: the tag part unchanged, the audio header rewritten for the base codec, and the base frame
// of every block. All numbers in the file are big-endian.

#include "library/util/ResultCodes.h"

#include <cstdint>
#include <cstdio>
#include <string>

// What one conversion learns from the source and where it writes.
struct CZelConversion {
    uint32_t baseCodecInfo = 0;
    uint16_t formatWord = 0;
    int codecNumber = 9;
    int32_t lastBlockNumber = 0;
    FILE* source = nullptr;
    FILE* destination = nullptr;
};

// S_OK converted; S_FALSE not converted (not a lossless file with a base layer, a format word other
// than 0xFF80, or a base codec of unknown frame size): no destination is made. E_INVALIDARG,
// E_OUTOFMEMORY or E_FAIL on failure (a truncated or inconsistent file among them); a destination
// begun is deleted again.
HRESULT CopyZelFile(const std::wstring& sourcePath, const std::wstring& destinationPath);

// The two passes of CopyZelFile over open streams. The first learns what the source is without
// writing: S_OK when it can be converted, S_FALSE when not, or the error. The second converts from
// the start of the source into the destination.
HRESULT InspectZelSource(CZelConversion* conversion);
HRESULT WriteZelBaseLayer(CZelConversion* conversion);

// Copies (when the conversion has a destination) or skips the tag part at the start of the source.
HRESULT ReadZelTag(CZelConversion* conversion);
// Reads the audio header at the current position, keeps its fields and, with `write`, writes the
// header rewritten for the base layer.
HRESULT ReadZelAudioHeader(CZelConversion* conversion, bool write);
// Codec id (byte 32 of the audio header) to the codec number kept while converting.
int SetZelCodec(CZelConversion* conversion, uint8_t codecId);
// Bytes of one base-layer frame for the base codec information; 0 when unknown.
uint32_t GetZelFrameSize(uint32_t baseCodecInfo);
// Writes the base frame of every block.
HRESULT CopyZelBlocks(CZelConversion* conversion);
// C-library error number to HRESULT: 0 -> S_OK, ENOENT -> E_INVALIDARG, ENOMEM -> E_OUTOFMEMORY,
// anything else -> E_FAIL.
HRESULT ErrnoToHResult(int error);
