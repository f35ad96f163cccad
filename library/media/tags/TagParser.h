// The base of every format reader: one walk over the file that reports tag objects to handlers.
#pragma once

#include <cstdint>

#include "library/media/tags/TagStream.h"

// Handlers return 0 to let the parse go on; any other value ends it and becomes its result.
// Offsets and sizes locate the object's bytes for ReadAt.
using TagMoodDataHandler = int32_t (*)(void* context, uint32_t offset, uint32_t size);
using TagPictureHandler = int32_t (*)(void* context, uint32_t offset, uint32_t size, uint8_t pictureType,
                                      int32_t imageFormat);
// The bytes live only for the duration of the call.
using TagTextItemHandler = int32_t (*)(void* context, const uint8_t* bytes, uint32_t count, uint8_t itemType,
                                       int32_t encoding);
using TagLookupIdHandler = int32_t (*)(void* context, uint32_t offset, uint32_t size);

class CTagParser {
public:
    virtual ~CTagParser() = default;
    virtual int32_t Close() = 0;
    virtual int32_t Parse() = 0;
    // Reads at an absolute offset; the stream position is restored afterwards.
    virtual int32_t ReadAt(uint32_t offset, void* buffer, uint32_t length) = 0;

    int32_t SetMoodDataHandler(TagMoodDataHandler handler, void* context);
    int32_t SetPictureHandler(TagPictureHandler handler, void* context);
    int32_t SetTextItemHandler(TagTextItemHandler handler, void* context);
    int32_t SetLookupIdHandler(TagLookupIdHandler handler, void* context);

protected:
    TagMoodDataHandler m_moodDataHandler = nullptr;
    void* m_moodDataContext = nullptr;
    TagPictureHandler m_pictureHandler = nullptr;
    void* m_pictureContext = nullptr;
    TagTextItemHandler m_textItemHandler = nullptr;
    void* m_textItemContext = nullptr;
    TagLookupIdHandler m_lookupIdHandler = nullptr;
    void* m_lookupIdContext = nullptr;
};

namespace tag {
// Reads at an absolute offset of a stream and puts the position back where it was.
int32_t ReadStreamAt(CTagStream* stream, uint32_t offset, void* buffer, uint32_t length);
// An editor's data range must lie inside its data stream, so Save never comes short on it.
int32_t CheckDataRange(CTagStream* data, uint32_t size, uint32_t offset);
// Text that goes into a file as UTF-8 must be UTF-8: -2 when the range is not, so the item keeps
// its old value rather than take bytes that every reader would garble.
int32_t CheckUtf8Data(CTagStream* data, uint32_t size, uint32_t offset);
}  // namespace tag
