// "ftyp": major brand, minor version, compatible brands.
#pragma once

#include <cstdint>
#include <vector>

#include "library/media/tags/Mp4Box.h"

class CMp4FileTypeBox : public CMp4Box {
public:
    using CMp4Box::CMp4Box;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override { return m_header.HeaderLength() + 8 + 4 * uint64_t(m_brands.size()); }

    // The old major brand joins the compatible brands.
    void SetMajorBrand(uint32_t brand);
    // Goes in front of the first zero entry, or last; nothing when it is listed already.
    void AddCompatibleBrand(uint32_t brand);
    uint32_t MajorBrand() const { return m_major; }
    const std::vector<uint32_t>& Brands() const { return m_brands; }

private:
    uint32_t m_major = 0;
    uint32_t m_minor = 0;
    std::vector<uint32_t> m_brands;
};
