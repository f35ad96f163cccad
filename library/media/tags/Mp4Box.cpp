#include "library/media/tags/Mp4Box.h"

#include <cstring>
#include <memory>
#include <new>

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/Mp4ContainerBox.h"
#include "library/media/tags/Mp4FrameBox.h"
#include "library/media/tags/TagTypes.h"

CMp4BoxHeader NewMp4BoxHeader(uint32_t type, const uint8_t* userType) {
    CMp4BoxHeader header;
    header.type = type;
    if (type == mp4::kUuid && userType) std::memcpy(header.userType, userType, mp4::kUserTypeSize);
    header.size = header.HeaderLength();
    header.dataOffset = header.HeaderLength();
    return header;
}

int32_t mp4::CopyPayload(CTagStream* source, uint32_t offset, uint32_t length, CTagWriteStream* output) {
    constexpr uint32_t kLargeBlock = 65536;
    if (length <= kLargeBlock) return tag::CopyStreamRange(source, offset, length, output);
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kLargeBlock]);
    if (!block) return tag::kOutOfMemory;
    uint32_t saved;
    int32_t result = source->Tell(&saved);
    if (result == tag::kOk) result = source->Seek(offset, kSeekBegin);
    while (result == tag::kOk && length) {
        const uint32_t chunk = length < kLargeBlock ? length : kLargeBlock;
        result = source->Read(block.get(), chunk);
        if (result == tag::kOk) result = output->Write(block.get(), chunk);
        length -= chunk;
    }
    const int32_t restored = source->Seek(saved, kSeekBegin);
    return result != tag::kOk ? result : restored;
}

int32_t CMp4Box::Locate(uint32_t* offset, uint32_t* size) const {
    if (!offset || !size) return tag::kInvalidArgument;
    *offset = m_header.dataOffset;
    *size = m_header.PayloadSize();
    return tag::kOk;
}

int32_t CMp4Box::Load(CTagStream* source) { return source ? tag::kOk : tag::kInvalidArgument; }

int32_t CMp4Box::Write(CTagStream* source, CTagWriteStream* output) {
    if (!source || !output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, m_header.size);
    if (result != tag::kOk) return result;
    return mp4::CopyPayload(source, m_header.dataOffset, m_header.PayloadSize(), output);
}

int32_t CMp4Box::SetOffsetDelta(int64_t) { return tag::kOk; }

CMp4ContainerBox* CMp4Box::AsContainer() {
    return m_family == kContainerBox ? static_cast<CMp4ContainerBox*>(this) : nullptr;
}

CMp4FrameBox* CMp4Box::AsFrameBox() { return m_family == kFrameBox ? static_cast<CMp4FrameBox*>(this) : nullptr; }
