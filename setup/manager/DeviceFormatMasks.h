#pragma once
// The contents manager's file-type masks of a player, read from its capability: which extensions
// it plays, as ordinary content and as feed content. Each mask keeps audio and image bits in its
// low 32 bits and video bits and the feed-list bit in its high 32 bits.

#include <cstdint>

#include "library/capability/DevCapability.h"

struct DeviceFormatMasks {
    uint64_t ordinary = 0;
    uint64_t feed = 0;
    bool audio = false;
    bool image = false;
    bool video = false;
    // Any feed format, or "opml" accepted as a feed list.
    bool podcast = false;
};

namespace DeviceFormatBits {
constexpr uint64_t kHigh = 32;
constexpr uint64_t kFeedList = 0x2000000ull << kHigh;
// The video bits of the high half.
constexpr uint64_t kVideoMask = 0xFFFFFFull << kHigh;
}  // namespace DeviceFormatBits

DeviceFormatMasks ReadDeviceFormatMasks(const CTNDevCapability& capability);
