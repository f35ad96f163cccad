// "stco" (32-bit) and "co64" (64-bit) chunk offsets: the absolute file offsets of the media data.
#pragma once

#include <cstdint>
#include <vector>

#include "library/media/tags/Mp4Box.h"

class CMp4ChunkOffsetBox : public CMp4Box {
public:
    using CMp4Box::CMp4Box;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    int32_t SetOffsetDelta(int64_t delta) override;
    uint64_t Size() const override;

private:
    uint32_t EntryWidth() const { return m_header.type == mp4::kCo64 ? 8 : 4; }
    uint64_t Entry(uint32_t index) const;

    uint8_t m_fields[8] = {};  // version, flags, entry count
    uint32_t m_count = 0;
    std::vector<uint8_t> m_entries;
    int64_t m_delta = 0;
};
