// An opaque box of the MP4 editor's tree ("mdat" included), and the operations every box of the
// tree answers. Loaded boxes are copied from the source when written unless they interpret their
// body; new boxes write their own fields.
#pragma once

#include <cstdint>

#include "library/media/tags/Mp4BoxHeader.h"
#include "library/media/tags/TagStream.h"

class CMp4ContainerBox;
class CMp4FrameBox;

class CMp4Box {
public:
    explicit CMp4Box(const CMp4BoxHeader& header) : m_header(header) {}
    virtual ~CMp4Box() = default;
    // The box's data in the source file.
    virtual int32_t Locate(uint32_t* offset, uint32_t* size) const;
    virtual int32_t Load(CTagStream* source);
    virtual int32_t Write(CTagStream* source, CTagWriteStream* output);
    // Chunk offsets this box holds are written moved by delta; -3 when one would leave its range.
    virtual int32_t SetOffsetDelta(int64_t delta);
    virtual uint64_t Size() const { return m_header.size; }

    // Stand-ins for a cast (the library has no run-time type information): null unless the box
    // was made as one.
    CMp4ContainerBox* AsContainer();
    CMp4FrameBox* AsFrameBox();

    const CMp4BoxHeader& Header() const { return m_header; }
    uint32_t Type() const { return m_header.type; }

protected:
    enum Family : uint8_t { kOpaqueBox, kContainerBox, kFrameBox };
    CMp4Box(const CMp4BoxHeader& header, Family family) : m_header(header), m_family(family) {}

    CMp4BoxHeader m_header;

private:
    Family m_family = kOpaqueBox;
};

// A header for a box the editor makes (user type only for "uuid").
CMp4BoxHeader NewMp4BoxHeader(uint32_t type, const uint8_t* userType = nullptr);

namespace mp4 {
// Copies a range of the source, putting its position back; large ranges (the media data) go in
// large blocks, as small ones would cost more than the copy itself.
int32_t CopyPayload(CTagStream* source, uint32_t offset, uint32_t length, CTagWriteStream* output);
}  // namespace mp4
