#include "library/media/decode/MPEGAudioFile.h"

#include <vector>

#include "library/media/decode/FrameSync.h"

namespace {
// Two consecutive frames must lie within this much of the data start.
const uint32_t kSearchWindow = 65536;
}  // namespace

HRESULT ReadAt(HANDLE file, uint64_t offset, uint32_t count, void* buffer) {
    if (buffer == nullptr) return E_INVALIDARG;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return E_FAIL;
    DWORD read = 0;
    if (!ReadFile(file, buffer, count, &read, nullptr) || read != count) return E_FAIL;
    return S_OK;
}

HRESULT MPEGAudioFile::Parse(HANDLE file) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE) return E_INVALIDARG;
    uint8_t head[32];
    if (FAILED(ReadAt(file, 0, sizeof(head), head))) return E_FAIL;
    dataStart = 0;
    firstFrame = 0;
    // A RIFF wrapper ("RMP3") or a bare stream is searched from the file's start.
    if (head[0] == 'I' && head[1] == 'D' && head[2] == '3') {
        if (FAILED(ParseId3Header(head, &dataStart))) return E_FAIL;
    }

    LARGE_INTEGER position;
    position.QuadPart = dataStart;
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return E_FAIL;
    std::vector<uint8_t> window(kSearchWindow, 0);
    DWORD read = 0;
    if (!ReadFile(file, window.data(), kSearchWindow, &read, nullptr)) return E_FAIL;
    uint32_t offset = 0;
    const HRESULT hr = FindFrameSync(window.data(), read, &offset);
    if (FAILED(hr)) return hr;
    firstFrame = dataStart + offset;
    return S_OK;
}
