#include "library/media/tags/Id3TagSource.h"

#include <new>

#include "library/media/tags/Id3TagImage.h"
#include "library/media/tags/TagBufferedStream.h"
#include "library/media/tags/TagTypes.h"

int32_t CId3TagSource::Load(CTagOwnedPtr<CTagStream> stream, TruncatedTag truncated) {
    Close();
    if (!stream) return tag::kInvalidArgument;
    CTagBufferedStream* buffered = new (std::nothrow) CTagBufferedStream(std::move(stream));
    if (!buffered) return tag::kOutOfMemory;
    m_file = CTagOwnedPtr<CTagStream>(buffered, true);
    int32_t result = m_fileHeader.Read(m_file.Get());
    if (result != tag::kOk) return result;
    uint32_t fileSize;
    result = m_file->GetSize(&fileSize);
    if (result != tag::kOk) return result;
    if (m_fileHeader.End() > fileSize) {
        // Writing such a tag back would lose whatever it was cut from; reading what is there is fine.
        if (truncated == kRefuse) return tag::kMalformed;
        if (m_fileHeader.size > fileSize - m_fileHeader.bodyStart) m_fileHeader.size = fileSize - m_fileHeader.bodyStart;
    }
    m_tagHeader = m_fileHeader;
    bool needed;
    CId3TagHeader imageHeader;
    result = id3::BuildCleanTagImage(m_file.Get(), m_fileHeader, &needed, &m_image, &imageHeader);
    if (result != tag::kOk || !needed) return result;
    m_imageStream.reset(new (std::nothrow) CTagMemoryStream(m_image.data(), uint32_t(m_image.size())));
    if (!m_imageStream) return tag::kOutOfMemory;
    m_tagHeader = imageHeader;
    return tag::kOk;
}

void CId3TagSource::Close() {
    if (m_file) m_file->Close();
    m_file.Reset();
    m_imageStream.reset();
    m_image.clear();
    m_fileHeader = m_tagHeader = CId3TagHeader();
}

CTagStream* CId3TagSource::Frames() const {
    return m_imageStream ? static_cast<CTagStream*>(m_imageStream.get()) : m_file.Get();
}
