// Reads the tag objects of an ID3v2 tag at the start of an MP3 file.
#pragma once

#include <memory>
#include <vector>

#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagParser.h"

class CId3FrameHeader;

class CId3Reader : public CTagParser {
public:
    // Reads the tag header; the stream is read through a buffer from then on.
    int32_t Load(CTagOwnedPtr<CTagStream> stream);
    int32_t Close() override;
    int32_t Parse() override;
    int32_t ReadAt(uint32_t offset, void* buffer, uint32_t length) override;

private:
    // Where the frames are read: the file, or the clean copy of a tag that needed one.
    CTagStream* TagSource() const;
    int32_t OfferFrame(CTagStream* source, const CId3FrameHeader& frame);

    CTagOwnedPtr<CTagStream> m_stream;
    CId3TagHeader m_header;
    std::vector<uint8_t> m_image;
    std::unique_ptr<CTagMemoryStream> m_imageStream;
    std::unique_ptr<uint8_t[]> m_textBuffer;
};
