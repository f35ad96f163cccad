#pragma once
// The picture size a movie is encoded at: the source size scaled into the player's box, keeping
// the aspect, with each side aligned to 16 as the video encoder prefers.

#include <cstdint>

struct EncodeSize {
    uint32_t width;
    uint32_t height;
};

// A side aligned to 16 within its box side: remainders up to 8 round down, larger ones round up
// while that stays within the box. Never 0.
uint32_t AlignToSixteen(uint32_t value, uint32_t box);
// The aligned encode size of a source in the box; a source of unknown (zero) size gets the box.
EncodeSize FitEncodeSize(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t boxWidth, uint32_t boxHeight);
