#include "library/util/ZelFile.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr size_t kTagHeaderLength = 10;
constexpr size_t kAudioHeaderPrefixLength = 8;
// The header must reach the base codec information at offset 48.
constexpr uint16_t kMinAudioHeaderLength = 52;
constexpr size_t kBlockHeaderLength = 24;
constexpr uint16_t kLosslessFormatWord = 0xFF80;
constexpr int kLosslessOverQuavex3Plus = 3;
constexpr int kLosslessOverQuavex3 = 4;
constexpr size_t kCopyChunk = 64 * 1024;

uint16_t ReadBigEndian16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]); }

uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

void WriteBigEndian32(uint32_t value, uint8_t* bytes) {
    bytes[0] = static_cast<uint8_t>(value >> 24);
    bytes[1] = static_cast<uint8_t>(value >> 16);
    bytes[2] = static_cast<uint8_t>(value >> 8);
    bytes[3] = static_cast<uint8_t>(value);
}

bool ReadExactly(FILE* file, void* buffer, size_t length) { return fread(buffer, 1, length, file) == length; }

bool WriteExactly(FILE* file, const void* buffer, size_t length) {
    return fwrite(buffer, 1, length, file) == length;
}

// Skips forward only, by reading: the length comes from the file and may run past its end.
bool SkipForward(FILE* file, uint32_t length) {
    uint8_t buffer[4096];
    while (length > 0) {
        size_t part = length < sizeof(buffer) ? length : sizeof(buffer);
        if (!ReadExactly(file, buffer, part)) return false;
        length -= static_cast<uint32_t>(part);
    }
    return true;
}

bool IsConvertible(const CZelConversion& conversion) {
    return (conversion.codecNumber == kLosslessOverQuavex3Plus || conversion.codecNumber == kLosslessOverQuavex3) &&
           conversion.formatWord == kLosslessFormatWord;
}

void ReportToDebugger(const wchar_t* text) {
#ifdef _WIN32
    OutputDebugStringW(text);
#else
    (void)text;
#endif
}

}  // namespace

HRESULT ErrnoToHResult(int error) {
    switch (error) {
        case 0:
            return S_OK;
        case ENOENT:
            return E_INVALIDARG;
        case ENOMEM:
            return E_OUTOFMEMORY;
        default:
            return E_FAIL;
    }
}

int SetZelCodec(CZelConversion* conversion, uint8_t codecId) {
    struct CodecRow {
        uint8_t id;
        int number;
        const wchar_t* text;
    };
    static const CodecRow kCodecs[] = {
        {0, 0, L"CODEC is Quavex3\n"},
        {1, 1, L"CODEC is Quavex3 plus\n"},
        {2, 7, L"CODEC is Quavex AAC\n"},
        {3, 5, L"CODEC is Quavex3 MP3\n"},
        {4, 6, L"CODEC is Quavex3 LPCM\n"},
        {5, 8, L"CODEC is Quavex WMA\n"},
        {32, 2, L"CODEC is Quavex3 Loss Less Non Base Layer\n"},
        {33, 3, L"CODEC is Quavex3 Loss Less Quavex3Plus Base Layer\n"},
        {34, 4, L"CODEC is Quavex3 Loss Less Quavex3 Base Layer\n"},
    };
    int number = 9;
    const wchar_t* text = L"CODEC is QuavexUnknown\n";
    for (const CodecRow& row : kCodecs) {
        if (row.id == codecId) {
            number = row.number;
            text = row.text;
            break;
        }
    }
    ReportToDebugger(text);
    conversion->codecNumber = number;
    return number;
}

uint32_t GetZelFrameSize(uint32_t baseCodecInfo) {
    struct FrameRow {
        uint32_t codecInfo;
        uint32_t frameSize;
    };
    static const FrameRow kFrames[] = {
        {0x00002026, 304},  {0x00002030, 384},  {0x0002200C, 96},   {0x00022011, 136},  {0x00022018, 192},
        {0x01002817, 192},  {0x01002822, 280},  {0x0100282E, 376},  {0x01002847, 936},  {0x01002854, 560},
        {0x0100285C, 744},  {0x0100288B, 1120}, {0x010028B9, 1488}, {0x010028E8, 1864}, {0x010028FF, 2048},
    };
    for (const FrameRow& row : kFrames) {
        if (row.codecInfo == baseCodecInfo) return row.frameSize;
    }
    return 0;
}

HRESULT ReadZelTag(CZelConversion* conversion) {
    uint8_t header[kTagHeaderLength];
    if (!ReadExactly(conversion->source, header, 3)) return E_FAIL;
    if (memcmp(header, "ea3", 3) != 0 && memcmp(header, "ID3", 3) != 0) return E_INVALIDARG;
    if (!ReadExactly(conversion->source, header + 3, kTagHeaderLength - 3)) return E_FAIL;
    const uint32_t tagSize = (header[6] & 0x7Fu) << 21 | (header[7] & 0x7Fu) << 14 | (header[8] & 0x7Fu) << 7 |
                             (header[9] & 0x7Fu);
    if (conversion->destination == nullptr) return SkipForward(conversion->source, tagSize) ? S_OK : E_FAIL;

    // Copied in chunks: the size comes from the file, so memory stays bounded whatever it says.
    if (!WriteExactly(conversion->destination, header, kTagHeaderLength)) return E_FAIL;
    std::vector<uint8_t> chunk(kCopyChunk);
    uint32_t remaining = tagSize;
    while (remaining > 0) {
        size_t part = remaining < chunk.size() ? remaining : chunk.size();
        if (!ReadExactly(conversion->source, chunk.data(), part)) return E_FAIL;
        if (!WriteExactly(conversion->destination, chunk.data(), part)) return E_FAIL;
        remaining -= static_cast<uint32_t>(part);
    }
    return S_OK;
}

HRESULT ReadZelAudioHeader(CZelConversion* conversion, bool write) {
    uint8_t prefix[kAudioHeaderPrefixLength];
    if (!ReadExactly(conversion->source, prefix, 3)) return E_FAIL;
    if (memcmp(prefix, "EA3", 3) != 0) {
        ReportToDebugger(L"Illegal Audio Data Header Part\n");
        return E_INVALIDARG;
    }
    if (!ReadExactly(conversion->source, prefix + 3, kAudioHeaderPrefixLength - 3)) return E_FAIL;
    const uint16_t headerLength = ReadBigEndian16(prefix + 4);
    conversion->formatWord = ReadBigEndian16(prefix + 6);
    if (headerLength < kMinAudioHeaderLength) return E_FAIL;

    std::vector<uint8_t> header;
    try {
        header.resize(headerLength);
    } catch (const std::bad_alloc&) {
        ReportToDebugger(L"Failed to allocate buffer\n");
        return E_OUTOFMEMORY;
    }
    memcpy(header.data(), prefix, kAudioHeaderPrefixLength);
    if (!ReadExactly(conversion->source, header.data() + kAudioHeaderPrefixLength,
                     headerLength - kAudioHeaderPrefixLength)) {
        return E_FAIL;
    }
    SetZelCodec(conversion, header[32]);
    if (!IsConvertible(*conversion)) return S_OK;

    conversion->lastBlockNumber = static_cast<int32_t>(ReadBigEndian32(header.data() + 40));
    conversion->baseCodecInfo = ReadBigEndian32(header.data() + 48);
    if (!write) return S_OK;
    header[3] = 1;
    header[6] = 0xFF;
    header[7] = 0xFF;
    WriteBigEndian32(conversion->baseCodecInfo, header.data() + 32);
    memset(header.data() + 36, 0, headerLength - 36);
    return WriteExactly(conversion->destination, header.data(), header.size()) ? S_OK : E_FAIL;
}

HRESULT CopyZelBlocks(CZelConversion* conversion) {
    const uint32_t frameSize = GetZelFrameSize(conversion->baseCodecInfo);
    if (frameSize == 0) return E_FAIL;
    std::vector<uint8_t> frame(frameSize);
    for (int64_t block = 0; block <= conversion->lastBlockNumber; ++block) {
        uint8_t blockHeader[kBlockHeaderLength];
        if (!ReadExactly(conversion->source, blockHeader, sizeof(blockHeader))) return E_FAIL;
        if (memcmp(blockHeader, "BLK", 3) != 0) {
            // A damaged block ends the copy; the frames before it stay playable.
            ReportToDebugger(L"Block Error\n");
            return S_OK;
        }
        const uint16_t dataLength = ReadBigEndian16(blockHeader + 4);
        if (dataLength < frameSize) return E_FAIL;
        if (!ReadExactly(conversion->source, frame.data(), frameSize)) return E_FAIL;
        if (!SkipForward(conversion->source, dataLength - frameSize)) return E_FAIL;
        if (!WriteExactly(conversion->destination, frame.data(), frameSize)) return E_FAIL;
    }
    return S_OK;
}

HRESULT InspectZelSource(CZelConversion* conversion) {
    HRESULT hr = ReadZelTag(conversion);
    if (SUCCEEDED(hr)) hr = ReadZelAudioHeader(conversion, false);
    if (hr == E_INVALIDARG) return S_FALSE;  // not a file of this family at all
    if (FAILED(hr)) return hr;
    if (!IsConvertible(*conversion) || GetZelFrameSize(conversion->baseCodecInfo) == 0) return S_FALSE;
    return S_OK;
}

HRESULT WriteZelBaseLayer(CZelConversion* conversion) {
    if (fseek(conversion->source, 0, SEEK_SET) != 0) return E_FAIL;
    HRESULT hr = ReadZelTag(conversion);
    if (SUCCEEDED(hr)) hr = ReadZelAudioHeader(conversion, true);
    if (SUCCEEDED(hr)) hr = CopyZelBlocks(conversion);
    return hr;
}
