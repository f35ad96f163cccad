#include "library/media/tags/Mp4TrackNumberItem.h"

#include "library/media/tags/TagTypes.h"

CMp4TrackNumberItem::CMp4TrackNumberItem(uint16_t track, uint16_t total)
    : CMp4Box(NewMp4BoxHeader(mp4::kTrkn)), m_track(track), m_total(total) {}

int32_t CMp4TrackNumberItem::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    uint8_t data[kDataBoxSize] = {};
    mp4::Put32(kDataBoxSize, data);
    mp4::Put32(mp4::kData, data + 4);
    // Version, data type 0 (numbers) and locale stay 0; the value: 0, track, total, 0.
    mp4::Put16(m_track, data + 18);
    mp4::Put16(m_total, data + 20);
    int32_t result = m_header.Write(output, Size());
    return result == tag::kOk ? output->Write(data, sizeof(data)) : result;
}
