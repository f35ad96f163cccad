// Loads the object tree of an ASF file, changes title, author, the named attributes, pictures,
// mood data and lookup identifier, and writes the whole file anew.
#pragma once

#include "library/media/tags/AsfObject.h"
#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagElementList.h"
#include "library/media/tags/TagOwnedPtr.h"

class CAsfAttributeObject;
class CAsfContentDescription;

class CAsfEditor : public CTagEditor {
public:
    int32_t Load(CTagOwnedPtr<CTagStream> stream);

    int32_t Close() override;
    int32_t Save(CTagWriteStream* output, bool owns) override;
    int32_t RemoveMoodData() override;
    int32_t SetMoodData(CTagStream* data, uint32_t size, uint32_t offset, bool owns) override;
    // index is the position among the metadata library's pictures of that type (from 0) that
    // the new picture takes; without one there it is appended.
    int32_t SetPicture(CTagStream* data, uint32_t size, int32_t imageFormat, uint8_t pictureType, int32_t index,
                       uint32_t offset, bool owns) override;
    // Counts from 1 in each list: index 0 removes nothing.
    int32_t RemovePicture(uint8_t pictureType, int32_t index) override;
    int32_t RemoveItem(int32_t itemType) override;
    // UTF-16 only (encodings 2 to 5); stored as UTF-16LE without a byte-order mark.
    int32_t SetItem(int32_t itemType, CTagStream* data, uint32_t size, int32_t encoding, uint32_t offset,
                    bool owns) override;
    int32_t SetLookupId(CTagStream* data, uint32_t size, uint32_t offset, bool owns) override;

private:
    CAsfHeaderObject* HeaderObject() const;
    // Each finds the object; with create set a missing one is made empty and added to its parent.
    CAsfContentDescription* ContentDescription(bool create) const;
    CAsfAttributeObject* ExtendedContentDescription(bool create) const;
    CAsfAttributeObject* MetadataLibrary(bool create) const;
    // The lists that hold pictures, in the order a reader meets them; null where there is none.
    void PictureLists(CAsfAttributeObject* lists[2]) const;

    CTagOwnedPtr<CTagStream> m_source;
    CTagElementList<CAsfObject> m_objects;
    bool m_loaded = false;
};
