#include "standins/analysis/StandinPayload.h"

#include <cstdlib>

namespace {

void AppendRecord(std::vector<uint8_t>& payload, const char tag[4], const std::vector<uint8_t>& data) {
    payload.insert(payload.end(), tag, tag + 4);
    payload.insert(payload.end(), 12, 0);
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) payload.push_back(static_cast<uint8_t>(length >> shift));
    payload.insert(payload.end(), data.begin(), data.end());
}

// The engine's layout of its score records: entries of a fixed size that begin with a big-endian
// identifier and hold the value at a fixed offset; the other bytes are zero.
struct ScoreRecord {
    const char* tag;
    size_t count;
    uint16_t firstId;
    size_t entrySize;
    size_t valueOffset;
};
const ScoreRecord kMoodScores = {"STMO", 10, 0x100, 16, 3};
const ScoreRecord kHighLevelMeasures = {"STHF", 40, 0x800, 4, 2};

template <typename Value>
void AppendScores(std::vector<uint8_t>& payload, const ScoreRecord& layout, Value value) {
    std::vector<uint8_t> entries(layout.count * layout.entrySize, 0);
    for (size_t k = 0; k < layout.count; ++k) {
        uint8_t* entry = &entries[k * layout.entrySize];
        const uint16_t id = static_cast<uint16_t>(layout.firstId + k);
        entry[0] = static_cast<uint8_t>(id >> 8);
        entry[1] = static_cast<uint8_t>(id);
        entry[layout.valueOffset] = value(k);
    }
    AppendRecord(payload, layout.tag, entries);
}

}  // namespace

void CStandinPayload::SetFormat(long channels, long sampleRate, long bitsPerSample) {
    channels_ = channels > 0 ? channels : 1;
    sampleRate_ = sampleRate > 0 ? sampleRate : 1;
    bits_ = bitsPerSample;
}

void CStandinPayload::Feed(const uint8_t* data, size_t length) {
    bytes_ += length;
    if (bits_ != 16) return;
    for (size_t i = 0; i < length; ++i) {
        if (!odd_) {
            carry_ = data[i];
            odd_ = true;
            continue;
        }
        odd_ = false;
        const int16_t sample = static_cast<int16_t>(carry_ | (data[i] << 8));
        absoluteSum_ += static_cast<uint64_t>(std::abs(static_cast<int>(sample)));
        if ((sample < 0) != (previous_ < 0)) ++zeroCrossings_;
        previous_ = sample;
        ++samples_;
    }
}

std::vector<uint8_t> CStandinPayload::Measures() const {
    std::vector<uint8_t> measures(36, 0);
    const uint64_t meanAbsolute = samples_ ? absoluteSum_ / samples_ : 0;
    measures[0] = static_cast<uint8_t>(meanAbsolute * 254 / 32768);
    const uint64_t seconds = samples_ / static_cast<uint64_t>(channels_ * sampleRate_);
    const uint64_t crossingsPerSecond = seconds ? zeroCrossings_ / seconds / channels_ : 0;
    measures[1] = static_cast<uint8_t>(60 + crossingsPerSecond % 120);
    for (int k = 2; k < 36; ++k) measures[k] = static_cast<uint8_t>((absoluteSum_ >> (k % 24)) % 200);
    return measures;
}

std::vector<uint8_t> CStandinPayload::Build(bool withMoodScores) const {
    std::vector<uint8_t> payload;
    std::vector<uint8_t> fed(4);
    for (int i = 0; i < 4; ++i) fed[i] = static_cast<uint8_t>(static_cast<uint32_t>(bytes_) >> (24 - 8 * i));
    AppendRecord(payload, "STSA", fed);
    const std::vector<uint8_t> measures = Measures();
    AppendRecord(payload, "STBF", measures);
    if (withMoodScores) {
        // Scores from 1 to 100 taken from the measures, so they too follow the audio; none is the
        // engine's "not measured" value.
        const auto score = [&measures](size_t k) { return static_cast<uint8_t>(1 + measures[2 + k % 34] % 100); };
        AppendScores(payload, kMoodScores, score);
        AppendScores(payload, kHighLevelMeasures, [&score](size_t k) { return score(k + kMoodScores.count); });
    }
    AppendRecord(payload, "GMMD", std::vector<uint8_t>(8, 0));
    return payload;
}
