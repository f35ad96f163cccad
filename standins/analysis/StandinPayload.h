#pragma once
// The simulated engine's analysis: statistics of the 16-bit PCM it was fed, shaped as a mood
// payload (tagged records with big-endian lengths), so a test can tell real audio reached it.

#include <cstdint>
#include <vector>

class CStandinPayload {
public:
    void SetFormat(long channels, long sampleRate, long bitsPerSample);
    void Feed(const uint8_t* data, size_t length);

    uint64_t BytesFed() const { return bytes_; }
    // "STSA" (bytes fed), "STBF" (36 measures; B0 loudness, B1 a tempo-like figure), and a "GMMD"
    // record that the program is expected to strip. With mood scores, as a full engine writes them,
    // also "STMO" (10 mood scores) and "STHF" (40 high-level measures).
    std::vector<uint8_t> Build(bool withMoodScores) const;
    // The 36 STBF measures.
    std::vector<uint8_t> Measures() const;

private:
    long channels_ = 2;
    long sampleRate_ = 44100;
    long bits_ = 16;
    uint64_t bytes_ = 0;
    uint64_t samples_ = 0;
    uint64_t absoluteSum_ = 0;
    uint64_t zeroCrossings_ = 0;
    int16_t previous_ = 0;
    bool odd_ = false;
    uint8_t carry_ = 0;
};
