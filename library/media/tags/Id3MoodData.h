// The mood-analysis payload wrapped in a "GEOB" frame: how it is written and how it is found.
#pragma once

#include <cstdint>

#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/TagStream.h"

namespace id3 {

// Bytes in front of the payload in a frame we write.
constexpr uint32_t kMoodHeaderSize = 30;
extern const uint8_t kMoodHeader[kMoodHeaderSize];

// 0 with the payload's size when the frame carries the mood data (it is the tail of the body),
// 1 when it does not. The stream position is restored.
int32_t LocateMoodPayload(CTagStream* stream, const CId3FrameHeader& header, uint32_t* payloadSize);
// The same test on bytes that are laid out as such a frame body (an attribute value of another format).
int32_t LocateMoodPayload(CTagStream* stream, uint32_t bodyOffset, uint32_t bodySize, uint32_t* payloadSize);

}  // namespace id3
