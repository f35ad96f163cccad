#include "library/media/tags/Mp4FileTypeBox.h"

#include <cstddef>
#include <vector>

#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

int32_t CMp4FileTypeBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    if (m_header.PayloadSize() < 8) return tag::kMalformed;
    std::vector<uint8_t> bytes(8 + size_t((m_header.PayloadSize() - 8) / 4) * 4);
    int32_t result = tag::ReadStreamAt(source, m_header.dataOffset, bytes.data(), uint32_t(bytes.size()));
    if (result != tag::kOk) return result;
    m_major = mp4::Read32(bytes.data());
    m_minor = mp4::Read32(bytes.data() + 4);
    for (size_t at = 8; at < bytes.size(); at += 4) m_brands.push_back(mp4::Read32(&bytes[at]));
    return tag::kOk;
}

void CMp4FileTypeBox::SetMajorBrand(uint32_t brand) {
    if (m_major == brand) return;
    AddCompatibleBrand(m_major);
    m_major = brand;
}

void CMp4FileTypeBox::AddCompatibleBrand(uint32_t brand) {
    for (uint32_t listed : m_brands)
        if (listed == brand) return;
    for (auto at = m_brands.begin(); at != m_brands.end(); ++at) {
        if (*at == 0) {
            m_brands.insert(at, brand);
            return;
        }
    }
    m_brands.push_back(brand);
}

int32_t CMp4FileTypeBox::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    std::vector<uint8_t> bytes(8 + 4 * m_brands.size());
    mp4::Put32(m_major, bytes.data());
    mp4::Put32(m_minor, bytes.data() + 4);
    for (size_t i = 0; i < m_brands.size(); ++i) mp4::Put32(m_brands[i], &bytes[8 + 4 * i]);
    int32_t result = m_header.Write(output, Size());
    return result == tag::kOk ? output->Write(bytes.data(), uint32_t(bytes.size())) : result;
}
