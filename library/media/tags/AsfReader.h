// Reads the tag objects of an ASF file (WMA, WMV): title and author, the named attributes of the
// extended content description, and the pictures and mood data of the metadata library.
#pragma once

#include <memory>

#include "library/media/tags/AsfObjectHeader.h"
#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagParser.h"

class CAsfAttributeHeader;

class CAsfReader : public CTagParser {
public:
    // Takes the stream (read through a buffer from then on); the header is read by Parse.
    int32_t Load(CTagOwnedPtr<CTagStream> stream);
    int32_t Close() override;
    int32_t Parse() override;
    int32_t ReadAt(uint32_t offset, void* buffer, uint32_t length) override;

private:
    int32_t WalkHeaderObject(const CAsfObjectHeader& header);
    int32_t WalkContentDescription(const CAsfObjectHeader& object);
    int32_t WalkHeaderExtension(const CAsfObjectHeader& object);
    // Reads each attribute of the list into attribute (a descriptor or a record) and offers it.
    int32_t WalkAttributes(const CAsfObjectHeader& object, CAsfAttributeHeader& attribute, bool textItems);
    // Fires the handler the attribute's identifier asks for; 0 to go on.
    int32_t OfferAttribute(const CAsfAttributeHeader& attribute, bool textItems);
    int32_t OfferText(uint32_t offset, uint32_t length, int32_t itemType);
    int32_t ReadFields(uint32_t offset, uint32_t limit, void* buffer, uint32_t length);

    CTagOwnedPtr<CTagStream> m_stream;
    std::unique_ptr<uint8_t[]> m_textBuffer;
};
