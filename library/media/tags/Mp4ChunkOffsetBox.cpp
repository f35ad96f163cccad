#include "library/media/tags/Mp4ChunkOffsetBox.h"

#include <cstddef>

#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

int32_t CMp4ChunkOffsetBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    if (m_header.PayloadSize() < sizeof(m_fields)) return tag::kMalformed;
    int32_t result = tag::ReadStreamAt(source, m_header.dataOffset, m_fields, sizeof(m_fields));
    if (result != tag::kOk) return result;
    m_count = mp4::Read32(m_fields + 4);
    if (m_count > (m_header.PayloadSize() - sizeof(m_fields)) / EntryWidth()) return tag::kMalformed;
    m_entries.assign(size_t(m_count) * EntryWidth(), 0);
    return m_entries.empty() ? tag::kOk
                            : tag::ReadStreamAt(source, m_header.dataOffset + sizeof(m_fields), m_entries.data(),
                                                uint32_t(m_entries.size()));
}

uint64_t CMp4ChunkOffsetBox::Entry(uint32_t index) const {
    const uint8_t* bytes = &m_entries[size_t(index) * EntryWidth()];
    if (EntryWidth() == 4) return mp4::Read32(bytes);
    return (uint64_t(mp4::Read32(bytes)) << 32) | mp4::Read32(bytes + 4);
}

int32_t CMp4ChunkOffsetBox::SetOffsetDelta(int64_t delta) {
    const uint64_t maximum = EntryWidth() == 4 ? 0xFFFFFFFFull : uint64_t(INT64_MAX);
    for (uint32_t i = 0; i < m_count; ++i) {
        const uint64_t entry = Entry(i);
        if (delta < 0 ? entry < uint64_t(-delta) : entry > maximum - uint64_t(delta)) return tag::kMalformed;
    }
    m_delta = delta;
    return tag::kOk;
}

uint64_t CMp4ChunkOffsetBox::Size() const { return m_header.HeaderLength() + sizeof(m_fields) + m_entries.size(); }

int32_t CMp4ChunkOffsetBox::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(m_fields, sizeof(m_fields));
    uint8_t block[1024];
    uint32_t used = 0;
    for (uint32_t i = 0; result == tag::kOk && i < m_count; ++i) {
        const uint64_t moved = Entry(i) + uint64_t(m_delta);
        if (EntryWidth() == 8) mp4::Put32(uint32_t(moved >> 32), block + used), used += 4;
        mp4::Put32(uint32_t(moved), block + used), used += 4;
        if (used > sizeof(block) - 8 || i + 1 == m_count) result = output->Write(block, used), used = 0;
    }
    return result;
}
