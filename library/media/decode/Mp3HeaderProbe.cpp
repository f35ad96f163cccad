#include "library/media/decode/Mp3HeaderProbe.h"

#include <windows.h>
#include <mmreg.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "library/media/decode/FrameSync.h"
#include "library/media/decode/MPEGAudioFile.h"
#include "library/media/decode/MPEGFrame.h"
#include "library/media/decode/Mp3EncoderInfo.h"
#include "library/util/ScopedWin.h"

namespace {

// Enough for the largest frame (layer I at 448 kbit/s and 32 kHz is 1,680 bytes).
const uint32_t kFrameBytes = 2048;
const uint32_t kId3v1Bytes = 128;

// The frames that carry the encoder's information and no audio, as the decoder graph skips them.
uint64_t EncoderInfoBytes(HANDLE file, uint64_t firstFrame, uint64_t end) {
    uint64_t skipped = 0;
    std::vector<uint8_t> frame;
    for (;;) {
        uint8_t header[4];
        if (firstFrame + skipped + sizeof(header) > end ||
            FAILED(ReadAt(file, firstFrame + skipped, sizeof(header), header))) {
            return 0;
        }
        const uint32_t length = Mpeg1Layer3FrameLength(header);
        if (length == 0 || firstFrame + skipped + length > end) return skipped;
        frame.resize(length);
        if (FAILED(ReadAt(file, firstFrame + skipped, length, frame.data()))) return 0;
        if (!IsEncoderInfoFrame(frame.data(), length)) return skipped;
        skipped += length;
    }
}

}  // namespace

int32_t ReadMp3FormatAndDuration(const std::wstring& path, MediaAudioInfo* info) {
    if (info == nullptr) return -1;
    CScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size)) return -1;
    MPEGAudioFile audio;
    if (FAILED(audio.Parse(file.Get()))) return -1;
    uint64_t end = uint64_t(size.QuadPart);
    if (end <= audio.firstFrame) return -1;
    // A closing ID3v1 tag holds no audio.
    char tail[3] = {};
    if (end - audio.firstFrame > kId3v1Bytes && SUCCEEDED(ReadAt(file.Get(), end - kId3v1Bytes, sizeof(tail), tail)) &&
        std::memcmp(tail, "TAG", sizeof(tail)) == 0) {
        end -= kId3v1Bytes;
    }
    std::vector<uint8_t> frame(size_t(std::min<uint64_t>(kFrameBytes, end - audio.firstFrame)));
    if (FAILED(ReadAt(file.Get(), audio.firstFrame, uint32_t(frame.size()), frame.data()))) return -1;
    MPEGFrame header;
    if (FAILED(header.ParseHeader(frame.data(), frame.size()))) return -1;

    // The decoder graph drops the encoder's MPEG-1 information frames before its splitter: the
    // splitter then measures the frames behind them by their bytes. Any other stream's splitter
    // reads the encoder's count and leaves out the samples the encoder added.
    const uint64_t infoBytes = EncoderInfoBytes(file.Get(), audio.firstFrame, end);
    const uint64_t streamBytes = end - audio.firstFrame - infoBytes;
    const uint64_t bytesMs = streamBytes * 8 * 1000 / header.bitRate;
    uint64_t durationMs = bytesMs;
    EncoderFrameCount count;
    if (infoBytes == 0 && ReadEncoderFrameCount(frame.data(), frame.size(), header, &count)) {
        const uint64_t samples = uint64_t(count.frames) * SamplesPerFrame(header);
        const uint64_t added = uint64_t(count.delaySamples) + count.paddingSamples;
        const uint64_t countMs = (samples > added ? samples - added : 0) * 1000 / header.samplingFrequency;
        // A count the bytes could not hold even at the lowest bit rate (8 kbit/s: one byte a
        // millisecond) belongs to a cut or damaged file: its bytes tell more.
        if (countMs <= streamBytes) durationMs = countMs;
    }
    info->formatTag = header.layerBits == 1 ? WAVE_FORMAT_MPEGLAYER3 : WAVE_FORMAT_MPEG;
    info->channelCount = int32_t(header.channels);
    info->sampleRate = int32_t(header.samplingFrequency);
    info->bitRate = int32_t(header.bitRate);
    info->durationMs = int64_t(durationMs);
    return 0;
}
