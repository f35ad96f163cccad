// A full box copied from the source, whose data start behind its version, its flags and the
// fields its class keeps in front of the data. The classes built on it also make new boxes of
// their type; those write their own fields and have no data in the source.
#pragma once

#include <cstdint>
#include <string>

#include "library/media/tags/Mp4Box.h"

class CMp4RawFullBox : public CMp4Box {
public:
    explicit CMp4RawFullBox(const CMp4BoxHeader& header) : CMp4RawFullBox(header, 0, true) {}
    // -3 when the box is shorter than its fields; -5 for a new box.
    int32_t Locate(uint32_t* offset, uint32_t* size) const override;

protected:
    // fieldsLength: the bytes between the flags and the data.
    CMp4RawFullBox(const CMp4BoxHeader& header, uint32_t fieldsLength, bool loaded)
        : CMp4Box(header), m_loaded(loaded), m_fieldsLength(fieldsLength) {}
    // The loaded box's data as Locate gives them, at most limit bytes.
    int32_t ReadData(CTagStream* source, uint32_t limit, std::string* data) const;

    const bool m_loaded;

private:
    const uint32_t m_fieldsLength;
};
