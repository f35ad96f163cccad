// The "trkn" item of an "ilst" list that the editor makes: the item box and its one "data" box,
// whose value is the track number and the total as 16-bit numbers between zero pads.
#pragma once

#include <cstdint>

#include "library/media/tags/Mp4Box.h"

class CMp4TrackNumberItem : public CMp4Box {
public:
    CMp4TrackNumberItem(uint16_t track, uint16_t total);
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override { return m_header.HeaderLength() + kDataBoxSize; }

    uint16_t Track() const { return m_track; }
    uint16_t Total() const { return m_total; }

private:
    static constexpr uint32_t kDataBoxSize = 24;

    uint16_t m_track;
    uint16_t m_total;
};
