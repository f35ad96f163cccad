// The editor interface of every tag format: edits change the loaded tree, Save writes a new file.
#pragma once

#include <cstdint>

#include "library/media/tags/TagStream.h"

// Data streams given to the set operations are read during Save and must stay valid until then;
// with owns set the editor deletes them when it is closed or destroyed (or when the call fails).
class CTagEditor {
public:
    virtual ~CTagEditor() = default;
    virtual int32_t Close() = 0;
    // Writes the whole edited file; the output is deleted afterwards when owned. The source is
    // still read here, so the output must be another file.
    virtual int32_t Save(CTagWriteStream* output, bool owns) = 0;
    virtual int32_t RemoveMoodData() = 0;
    virtual int32_t SetMoodData(CTagStream* data, uint32_t size, uint32_t offset, bool owns) = 0;
    virtual int32_t SetPicture(CTagStream* data, uint32_t size, int32_t imageFormat, uint8_t pictureType,
                               int32_t index, uint32_t offset, bool owns) = 0;
    virtual int32_t RemovePicture(uint8_t pictureType, int32_t index) = 0;
    virtual int32_t RemoveItem(int32_t itemType) = 0;
    virtual int32_t SetItem(int32_t itemType, CTagStream* data, uint32_t size, int32_t encoding, uint32_t offset,
                            bool owns) = 0;
    virtual int32_t SetLookupId(CTagStream* data, uint32_t size, uint32_t offset, bool owns) = 0;
};
