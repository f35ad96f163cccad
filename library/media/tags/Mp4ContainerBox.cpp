#include "library/media/tags/Mp4ContainerBox.h"

#include <new>

#include "library/media/tags/Mp4AssetBox.h"
#include "library/media/tags/Mp4BoxFields.h"
#include "library/media/tags/Mp4ChunkOffsetBox.h"
#include "library/media/tags/Mp4DataBox.h"
#include "library/media/tags/Mp4FrameBox.h"
#include "library/media/tags/Mp4Id3Box.h"
#include "library/media/tags/Mp4MeanBox.h"
#include "library/media/tags/Mp4NameBox.h"
#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/Mp4YearBox.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

int32_t CMp4ContainerBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    uint32_t skip = 0;
    if (m_header.type == mp4::kMeta) {
        int32_t result = mp4::MetaChildrenOffset(source, m_header, &skip);
        if (result != tag::kOk) return result;
        m_fullBox = skip == 4;
    }
    if (m_fullBox) {
        if (m_header.PayloadSize() < 4) return tag::kMalformed;
        int32_t result = tag::ReadStreamAt(source, m_header.dataOffset, m_fullBoxFields, 4);
        if (result != tag::kOk) return result;
    }
    const uint32_t end = m_header.End();
    for (uint32_t at = m_header.dataOffset + FieldsSize(); at < end;) {
        // A few zero bytes that close a list are no box; they are left out when written.
        if (end - at < 8) break;
        CMp4BoxHeader header;
        int32_t result = header.Read(source, at, end);
        if (result != tag::kOk) return result;
        result = m_children.LoadAndAppend(CreateChild(header), source);
        if (result != tag::kOk) return result;
        at = header.End();
    }
    return tag::kOk;
}

CMp4Box* CMp4ContainerBox::CreateChild(const CMp4BoxHeader& header) {
    const uint32_t type = header.type;
    bool container = false, fullBox = false;
    switch (m_header.type) {
        case mp4::kMoov:
            container = type == mp4::kTrak || (type == mp4::kMeta && m_kind == kMp4KindMovie) ||
                        (type == mp4::kUdta && m_kind != kMp4KindMovie);
            fullBox = type == mp4::kMeta;
            break;
        case mp4::kTrak: container = type == mp4::kMdia; break;
        case mp4::kMdia: container = type == mp4::kMinf; break;
        case mp4::kMinf: container = type == mp4::kStbl; break;
        case mp4::kStbl:
            if (type == mp4::kStco || type == mp4::kCo64) return new (std::nothrow) CMp4ChunkOffsetBox(header);
            break;
        case mp4::kUdta:
            if (m_kind == kMp4Kind3gp) {
                if (type == mp4::kYrrc) return new (std::nothrow) CMp4YearBox(header);
                if (type == mp4::kTitl || type == mp4::kPerf || type == mp4::kAlbm || type == mp4::kGnre)
                    return new (std::nothrow) CMp4AssetBox(header);
            }
            container = type == mp4::kMeta && m_kind == kMp4KindAudio;
            fullBox = container;
            break;
        case mp4::kMeta:
            if (type == mp4::kId32 && m_kind == kMp4KindMovie) return new (std::nothrow) CMp4Id3Box(header);
            container = type == mp4::kIlst && m_kind == kMp4KindAudio;
            break;
        case mp4::kIlst: container = type == mp4::kCovr || type == mp4::kFreeform; break;
        case mp4::kCovr:
            if (type == mp4::kData) return new (std::nothrow) CMp4DataBox(header);
            break;
        case mp4::kFreeform:
            if (type == mp4::kMean) return new (std::nothrow) CMp4MeanBox(header);
            if (type == mp4::kName) return new (std::nothrow) CMp4NameBox(header);
            if (type == mp4::kData) return new (std::nothrow) CMp4DataBox(header);
            break;
        case mp4::kUuid:
            if (header.IsUuid(mp4::kFrameBoxUserType)) return new (std::nothrow) CMp4FrameBox(header);
            break;
        default: break;
    }
    if (container) return new (std::nothrow) CMp4ContainerBox(header, m_kind, fullBox);
    return new (std::nothrow) CMp4Box(header);
}

CMp4Box* CMp4ContainerBox::Find(uint32_t type) const {
    return m_children.Find([type](const CMp4Box& box) { return box.Type() == type; });
}

uint64_t CMp4ContainerBox::Size() const {
    uint64_t size = m_header.HeaderLength() + FieldsSize();
    for (auto* node = m_children.First(); node != m_children.End(); node = node->next) size += node->element->Size();
    return size;
}

int32_t CMp4ContainerBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk && FieldsSize()) result = output->Write(m_fullBoxFields, FieldsSize());
    for (auto* node = m_children.First(); result == tag::kOk && node != m_children.End(); node = node->next)
        result = node->element->Write(source, output);
    return result;
}

int32_t CMp4ContainerBox::SetOffsetDelta(int64_t delta) {
    for (auto* node = m_children.First(); node != m_children.End(); node = node->next) {
        int32_t result = node->element->SetOffsetDelta(delta);
        if (result != tag::kOk) return result;
    }
    return tag::kOk;
}
