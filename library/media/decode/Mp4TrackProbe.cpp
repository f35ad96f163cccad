#include "library/media/decode/Mp4TrackProbe.h"

#include <cstring>
#include <memory>

#include "library/media/decode/TagOpeners.h"
#include "library/media/tags/TagTypes.h"

namespace {

constexpr int32_t kNoProfile = -1;
constexpr int32_t kUnknownCodec = -2;
constexpr int32_t kAacLowComplexity = 2;
constexpr int32_t kMpeg4VisualBase = 0x1000000;

struct CodecScan {
    bool seenVisual = false;
    bool seenAudio = false;
    bool seenVideoProfile = false;
    bool seenAudioProfile = false;
    Mp4VisualEntry visual{};
    Mp4AudioEntry audioEntry{};
    Mp4VideoProfile videoProfile{};
    Mp4AudioProfile audioProfile{};

    // Stops the parse once all four have been seen.
    int32_t Next() const {
        return seenVisual && seenAudio && seenVideoProfile && seenAudioProfile ? tag::kHandlerStop : 0;
    }
};

// Keeps the record of one kind and ends the parse once every kind has been seen.
template <class Record, Record CodecScan::*kept, bool CodecScan::*seen>
int32_t KeepRecord(void* context, const Record* record) {
    auto* scan = static_cast<CodecScan*>(context);
    scan->*kept = *record;
    scan->*seen = true;
    return scan->Next();
}

bool IsCode(const uint8_t code[4], const char* fourCc) { return std::memcmp(code, fourCc, 4) == 0; }

int32_t VideoCodec(const CodecScan& scan) {
    if (!scan.seenVideoProfile) return kNoProfile;
    const uint32_t value = scan.videoProfile.values[0];
    if (IsCode(scan.videoProfile.code, "avc1")) {
        // The H.264 profile: Baseline, Main or Extended.
        const int32_t profile = static_cast<int32_t>((value >> 16) & 0xFF);
        return profile == 66 || profile == 77 || profile == 88 ? profile : kUnknownCodec;
    }
    if (IsCode(scan.videoProfile.code, "mp4v")) {
        const uint32_t level = (value >> 8) & 0xFF;
        if ((value >> 24) == 0 && level >= 1 && level <= 4) return kMpeg4VisualBase + static_cast<int32_t>(level);
    }
    return kUnknownCodec;
}

int32_t AudioCodec(const CodecScan& scan) {
    if (!scan.seenAudioProfile) return kNoProfile;
    const uint32_t objectType = (scan.audioProfile.values[0] >> 8) & 0x1F;
    return IsCode(scan.audioProfile.code, "mp4a") && objectType == kAacLowComplexity ? kAacLowComplexity
                                                                                      : kUnknownCodec;
}

int32_t OnVideoHeader(void* context) {
    *static_cast<bool*>(context) = true;
    return tag::kHandlerStop;
}

int32_t OnUnsupportedEntry(void* context) {
    *static_cast<bool*>(context) = true;
    return 0;
}

// The parse's own results are negative; a handler's stop is not a failure.
bool ParsedCleanly(int32_t result) { return result >= 0; }

}  // namespace

int32_t CheckMp4Codecs(const std::wstring& path, MediaVideoInfo* video, MediaAudioInfo* audio) {
    if (video == nullptr || audio == nullptr) return -1;
    *video = MediaVideoInfo{};
    *audio = MediaAudioInfo{};
    std::unique_ptr<CMp4Reader> reader(OpenTagReaderForPath(path, kTagReaderMp4Kind1));
    if (!reader) return -1;
    CodecScan scan;
    reader->SetVideoEntryHandler(KeepRecord<Mp4VisualEntry, &CodecScan::visual, &CodecScan::seenVisual>, &scan);
    reader->SetAudioEntryHandler(KeepRecord<Mp4AudioEntry, &CodecScan::audioEntry, &CodecScan::seenAudio>, &scan);
    reader->SetAudioProfileHandler(
        KeepRecord<Mp4AudioProfile, &CodecScan::audioProfile, &CodecScan::seenAudioProfile>, &scan);
    reader->SetVideoProfileHandler(
        KeepRecord<Mp4VideoProfile, &CodecScan::videoProfile, &CodecScan::seenVideoProfile>, &scan);
    const int32_t result = reader->Parse();
    reader->SetVideoEntryHandler(nullptr, nullptr);
    reader->SetAudioEntryHandler(nullptr, nullptr);
    reader->SetAudioProfileHandler(nullptr, nullptr);
    reader->SetVideoProfileHandler(nullptr, nullptr);
    reader->Close();
    if (!ParsedCleanly(result)) return -1;
    if (scan.seenVisual) {
        video->width = scan.visual.width;
        video->height = scan.visual.height;
    }
    if (scan.seenAudio) {
        audio->channelCount = scan.audioEntry.channelCount;
        audio->sampleRate = static_cast<int32_t>(scan.audioEntry.sampleRate >> 16);
    }
    video->codec = VideoCodec(scan);
    audio->codec = AudioCodec(scan);
    return 0;
}

int32_t HasVideoTrack(const std::wstring& path) {
    std::unique_ptr<CMp4Reader> reader(OpenTagReaderForPath(path, kTagReaderMp4Kind1));
    if (!reader) return -1;
    bool found = false;
    reader->SetVmhdHandler(OnVideoHeader, &found);
    const int32_t result = reader->Parse();
    reader->SetVmhdHandler(nullptr, nullptr);
    reader->Close();
    if (!ParsedCleanly(result)) return -1;
    return found ? 1 : 0;
}

int32_t HasUnsupportedMp4Audio(const std::wstring& path) {
    std::unique_ptr<CMp4Reader> reader(OpenTagReaderForPath(path, kTagReaderMp4Kind1));
    if (!reader) return -1;
    bool found = false;
    reader->SetDrmsHandler(OnUnsupportedEntry, &found);
    reader->SetAlacHandler(OnUnsupportedEntry, &found);
    const int32_t result = reader->Parse();
    reader->SetDrmsHandler(nullptr, nullptr);
    reader->SetAlacHandler(nullptr, nullptr);
    reader->Close();
    if (!ParsedCleanly(result)) return -1;
    return found ? 1 : 0;
}
