// A box whose payload is a list of boxes, optionally behind the four full-box bytes. Which child
// types it interprets depends on its own type and on the editor's kind.
#pragma once

#include <cstdint>

#include "library/media/tags/Mp4Box.h"
#include "library/media/tags/TagElementList.h"

class CMp4ContainerBox : public CMp4Box {
public:
    CMp4ContainerBox(const CMp4BoxHeader& header, int32_t kind, bool fullBox)
        : CMp4Box(header, kContainerBox), m_kind(kind), m_fullBox(fullBox) {}
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    int32_t SetOffsetDelta(int64_t delta) override;
    uint64_t Size() const override;
    // The bytes between the header and the first child: the full-box fields, or none.
    virtual uint32_t FieldsSize() const { return m_fullBox ? 4 : 0; }

    CTagElementList<CMp4Box>& Children() { return m_children; }
    CMp4Box* Find(uint32_t type) const;

protected:
    // The box for a child that this container interprets in its kind, or an opaque one; null
    // without memory.
    virtual CMp4Box* CreateChild(const CMp4BoxHeader& header);

    int32_t m_kind;
    bool m_fullBox;
    uint8_t m_fullBoxFields[4] = {0, 0, 0, 0};
    CTagElementList<CMp4Box> m_children;
};
