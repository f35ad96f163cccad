#pragma once
// The frame count that an encoder writes into the first frame of an MP3 stream (a "Xing" or
// "Info" header, or a "VBRI" header), and what one frame holds: together they give the stream's
// length without walking its frames.

#include <cstddef>
#include <cstdint>

#include "library/media/decode/MPEGFrame.h"

// Decoded samples per channel in one frame of the header's layer and version.
uint32_t SamplesPerFrame(const MPEGFrame& header);

struct EncoderFrameCount {
    uint32_t frames = 0;
    // Samples the encoder added before and after the audio (its "LAME" tag), 0 when not told.
    uint32_t delaySamples = 0;
    uint32_t paddingSamples = 0;
};

// The number of audio frames the encoder counted, read from the frame bytes (its header parsed
// into `header`); false when the frame carries no count.
bool ReadEncoderFrameCount(const uint8_t* frame, size_t length, const MPEGFrame& header, EncoderFrameCount* count);
