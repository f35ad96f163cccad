#include "library/media/tags/Mp4Id3Box.h"

#include <new>

#include "library/media/tags/Mp4BoundedStream.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

namespace {
// An ID3v2.4 tag header with no frames: the tag of a new "ID32" box.
const uint8_t kEmptyId3Tag[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0};
}  // namespace

CMp4Id3Box::CMp4Id3Box() : CMp4Box(NewMp4BoxHeader(mp4::kId32)) {}

int32_t CMp4Id3Box::Load(CTagStream* source) {
    m_tag.reset(new (std::nothrow) CId3Editor());
    if (!m_tag) return tag::kOutOfMemory;
    const bool fresh = !source;
    if (!fresh) {
        if (m_header.PayloadSize() < sizeof(m_fields)) return tag::kMalformed;
        int32_t result = tag::ReadStreamAt(source, m_header.dataOffset, m_fields, sizeof(m_fields));
        if (result != tag::kOk) return result;
    }
    const uint32_t start = m_header.dataOffset + sizeof(m_fields), end = m_header.End();
    CTagStream* tagStream;
    if (fresh || end - start < sizeof(kEmptyId3Tag))
        tagStream = new (std::nothrow) CTagMemoryStream(kEmptyId3Tag, sizeof(kEmptyId3Tag));
    else
        tagStream = new (std::nothrow) CMp4BoundedStream(source, start, end);
    if (!tagStream) return tag::kOutOfMemory;
    return m_tag->Load(CTagOwnedPtr<CTagStream>(tagStream, true));
}

uint64_t CMp4Id3Box::Size() const {
    return m_header.HeaderLength() + sizeof(m_fields) + 10 + (m_tag ? m_tag->FramesSize() : 0);
}

int32_t CMp4Id3Box::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    if (!m_tag) return tag::kNotReady;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(m_fields, sizeof(m_fields));
    return result == tag::kOk ? m_tag->WriteBareTag(output) : result;
}
