#pragma once

#include <cstdint>

// The analysis payload and the mood tables store numbers big-endian.
inline uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint16_t ReadBigEndian16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
