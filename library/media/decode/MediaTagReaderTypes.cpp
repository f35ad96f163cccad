#include "library/media/decode/MediaTagReaderTypes.h"

#include "library/media/decode/MediaProbeRecords.h"
#include "library/media/tags/TagFactories.h"

MediaTagReaderTypes TagReaderTypesForMediaType(int32_t mediaType, bool forLookupId) {
    switch (mediaType) {
        case kMediaMp3: return {1, {kTagReaderId3}};
        case kMediaWma: return {1, {kTagReaderAsf}};
        case kMediaM4a: return {1, {kTagReaderMp4Kind1}};
        case kMediaMp4Family3: return {2, {kTagReaderMp4Kind0, kTagReaderMp4Kind2}};
        case kMediaMp4:
            if (forLookupId) return {3, {kTagReaderMp4Kind0, kTagReaderMp4Kind2, kTagReaderMp4Kind1}};
            return {1, {kTagReaderMp4Kind0}};
        case kMediaWav: return {0, {}};
        default:
            if (mediaType > kMediaWav && mediaType <= kMediaLastTagged) return {1, {kTagReaderId3}};
            return {0, {}};
    }
}
