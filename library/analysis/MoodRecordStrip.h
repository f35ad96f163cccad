#pragma once
// Removing the engine's private "GMMD" records from a mood-analysis payload (records of a 20-byte
// header, the tag at offset 0 and a big-endian data length at offset 16, then the data).

#include <cstdint>

constexpr int32_t kStripMalformed = -1;
constexpr int32_t kStripEmpty = -2;
constexpr int32_t kStripNoRoom = -3;

// Copies every record not tagged "GMMD" to `output` when one is given (at most `capacity` bytes)
// and returns their total length; *written, when given, gets the bytes copied. kStripMalformed
// when a header or a record runs past the end (a trailing fragment too), kStripEmpty for size 0,
// kStripNoRoom when the output is too small.
int32_t StripMoodRecords(uint32_t size, uint32_t capacity, const uint8_t* payload, uint8_t* output,
                         uint32_t* written);
