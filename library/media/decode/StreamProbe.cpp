#include "library/media/decode/StreamProbe.h"

#include <cguid.h>
#include <uuids.h>

#include <new>
#include <vector>

#include "library/media/decode/FrameSync.h"
#include "library/media/decode/MPEGAudioFile.h"
#include "library/util/ScopedWin.h"

namespace {

HANDLE OpenForReading(const wchar_t* path) {
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Bytes taken up, from the first frame on, by frames that carry the encoder's information.
uint32_t SkippedInfoFrameBytes(const wchar_t* path, uint32_t firstFrame) {
    CScopedHandle file(OpenForReading(path));
    if (!file.IsValid()) return 0;
    uint32_t skipped = 0;
    uint64_t position = firstFrame;
    std::vector<uint8_t> frame;
    for (;;) {
        uint8_t header[4];
        if (FAILED(ReadAt(file.Get(), position, sizeof(header), header))) return 0;
        const uint32_t length = Mpeg1Layer3FrameLength(header);
        if (length == 0) return 0;
        frame.resize(length);
        if (FAILED(ReadAt(file.Get(), position, length, frame.data()))) return 0;
        if (!IsEncoderInfoFrame(frame.data(), length)) return skipped;
        skipped += length;
        position += length;
    }
}

}  // namespace

HRESULT DetectStreamMediaType(const wchar_t* path, StreamMediaType* type, uint32_t* dataOffset) {
    if (path == nullptr || type == nullptr || dataOffset == nullptr) return E_INVALIDARG;
    type->majorType = MEDIATYPE_Stream;
    type->subType = GUID_NULL;
    *dataOffset = 0;
    uint32_t firstFrame = 0;
    {
        CScopedHandle file(OpenForReading(path));
        if (!file.IsValid()) return E_FAIL;
        MPEGAudioFile parser;
        const HRESULT hr = parser.Parse(file.Get());
        if (FAILED(hr)) return hr;
        firstFrame = parser.firstFrame;
    }
    type->subType = MEDIASUBTYPE_MPEG1Audio;
    *dataOffset = firstFrame + SkippedInfoFrameBytes(path, firstFrame);
    return S_OK;
}

HRESULT PrepareMemorySource(const wchar_t* path, uint8_t** buffer, uint32_t* length, StreamMediaType* type) {
    if (buffer != nullptr) *buffer = nullptr;
    if (length != nullptr) *length = 0;
    if (path == nullptr || buffer == nullptr || length == nullptr || type == nullptr) return E_INVALIDARG;
    uint32_t offset = 0;
    HRESULT hr = DetectStreamMediaType(path, type, &offset);
    if (FAILED(hr)) {
        type->majorType = MEDIATYPE_Stream;
        type->subType = GUID_NULL;
        return hr;
    }
    CScopedHandle file(OpenForReading(path));
    if (!file.IsValid()) return E_FAIL;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart == 0 || size.QuadPart <= offset) return E_FAIL;
    const uint64_t remaining = static_cast<uint64_t>(size.QuadPart) - offset;
    // The memory source addresses its bytes with 32-bit lengths.
    if (remaining > 0xFFFFFFFFu) return E_FAIL;
    uint8_t* data = new (std::nothrow) uint8_t[remaining];
    if (data == nullptr) return E_OUTOFMEMORY;
    hr = ReadAt(file.Get(), offset, static_cast<uint32_t>(remaining), data);
    if (FAILED(hr)) {
        delete[] data;
        return E_FAIL;
    }
    *buffer = data;
    *length = static_cast<uint32_t>(remaining);
    return S_OK;
}
