// Reads the tag objects of an ID3v2 tag at the start of an MP3 file.
#pragma once

#include <memory>

#include "library/media/tags/Id3TagSource.h"
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
    int32_t OfferFrame(CTagStream* source, const CId3FrameHeader& frame);

    CId3TagSource m_source;
    std::unique_ptr<uint8_t[]> m_textBuffer;
};
