#pragma once
// Which tag readers serve a media type code, in the order they are tried.

#include <cstdint>

struct MediaTagReaderTypes {
    int32_t count;  // 0: the code carries no tags that can be read
    int32_t types[3];
};

// The lookup identifier of an MP4 movie (code 4) may also sit where the other MP4 layouts keep it.
MediaTagReaderTypes TagReaderTypesForMediaType(int32_t mediaType, bool forLookupId = false);
