// "ID32": full box, 16-bit language, then a whole ID3v2 tag kept in an ID3 editor.
#pragma once

#include <cstdint>
#include <memory>

#include "library/media/tags/Id3Editor.h"
#include "library/media/tags/Mp4Box.h"

class CMp4Id3Box : public CMp4Box {
public:
    // A new box: version 0, flags 0, language "und", an empty tag.
    CMp4Id3Box();
    explicit CMp4Id3Box(const CMp4BoxHeader& header) : CMp4Box(header) {}
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;
    CId3Editor* Tag() { return m_tag.get(); }

private:
    uint8_t m_fields[6] = {0, 0, 0, 0, 0x55, 0xC4};
    std::unique_ptr<CId3Editor> m_tag;
};
