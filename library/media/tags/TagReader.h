// The facade through which the program queries one parsed file; each query is one full parse.
#pragma once

#include <cstdint>

#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagParser.h"

class CTagReader {
public:
    CTagReader(CTagParser* parser, bool owns) : m_parser(parser, owns) {}

    int32_t Close();
    CTagParser* Parser() const { return m_parser.Get(); }
    int32_t ReadObjectData(uint32_t objectOffset, uint32_t objectSize, uint32_t position, void* buffer,
                           uint32_t length);
    int32_t FindMoodData(int32_t index, uint32_t* offset, uint32_t* size);
    int32_t CountPictures(uint8_t pictureType, uint32_t* count);
    int32_t GetPictureInfo(uint8_t pictureType, int32_t index, uint32_t* offset, uint32_t* size, uint8_t* type,
                           int32_t* imageFormat);
    // A null buffer asks only for the length; the text is never zero-terminated.
    int32_t GetTextItem(int32_t itemType, void* buffer, uint32_t* size, int32_t* encoding);
    int32_t FindLookupId(uint32_t* offset, uint32_t* size);

private:
    CTagOwnedPtr<CTagParser> m_parser;
};
