#pragma once
// Byte-buffer searches of the MP3 probe: the first frame that a second one follows, the ID3v2
// header, and the encoder's information frame.

#include <cstddef>
#include <cstdint>

#include "library/media/decode/ProbeResult.h"

// The offset of the first valid header followed one frame length later by another valid header.
HRESULT FindFrameSync(const uint8_t* buffer, size_t length, uint32_t* offset);

// The whole tag size (header included) of an ID3v2 tag whose 10-byte header is given.
HRESULT ParseId3Header(const uint8_t* header, uint32_t* size);

// The length of an MPEG-1 Layer III frame from its header; 0 when the header is not one.
uint32_t Mpeg1Layer3FrameLength(const uint8_t* header);

// True when the frame bytes carry the encoder tag "LAME" (an information frame, no audio).
bool IsEncoderInfoFrame(const uint8_t* frame, size_t length);
