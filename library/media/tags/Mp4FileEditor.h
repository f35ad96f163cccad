// Rewrites the tags of an MP4 (kind 0), M4A (kind 1) or 3GP (kind 2) file: loads its box tree,
// changes the tag boxes and writes the whole file anew, the media data copied unchanged and the
// chunk offsets moved by as much as the media data moved.
#pragma once

#include <cstdint>
#include <string>

#include "library/media/tags/Id3Editor.h"
#include "library/media/tags/Mp4Box.h"
#include "library/media/tags/Mp4ContainerBox.h"
#include "library/media/tags/Mp4FrameBox.h"
#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagElementList.h"
#include "library/media/tags/TagOwnedPtr.h"

class CMp4FileEditor : public CTagEditor {
public:
    explicit CMp4FileEditor(int32_t kind) : m_kind(kind) {}
    ~CMp4FileEditor() override { Close(); }
    int32_t Load(CTagOwnedPtr<CTagStream> stream);

    int32_t Close() override;
    int32_t Save(CTagWriteStream* output, bool owns) override;
    int32_t RemoveMoodData() override;
    int32_t SetMoodData(CTagStream* data, uint32_t size, uint32_t offset, bool owns) override;
    int32_t SetPicture(CTagStream* data, uint32_t size, int32_t imageFormat, uint8_t pictureType, int32_t index,
                       uint32_t offset, bool owns) override;
    int32_t RemovePicture(uint8_t pictureType, int32_t index) override;
    int32_t RemoveItem(int32_t itemType) override;
    int32_t SetItem(int32_t itemType, CTagStream* data, uint32_t size, int32_t encoding, uint32_t offset,
                    bool owns) override;
    int32_t SetLookupId(CTagStream* data, uint32_t size, uint32_t offset, bool owns) override;
    // 3GP: removes every frame box that holds the lookup identifier.
    int32_t RemoveLookupId();

private:
    CMp4Box* CreateTopLevelBox(const CMp4BoxHeader& header);
    void SetBrands();
    // The tag boxes of the kind, created empty where missing (create false: null when missing).
    int32_t Moov(bool create, CMp4ContainerBox** moov);
    int32_t ChildContainer(CMp4ContainerBox* parent, uint32_t type, bool create, CMp4ContainerBox** child);
    int32_t Id3Tag(CId3Editor** id3);
    // The ID3 tag that a kind 0 operation is handed to; an owned stream is deleted when there is none.
    int32_t ForwardTarget(CTagStream* data, bool owns, CId3Editor** id3);
    int32_t ItemList(bool create, CMp4ContainerBox** ilst);
    int32_t AssetList(bool create, CMp4ContainerBox** udta);
    int32_t TagContainer(CMp4ContainerBox** container);
    int32_t AppendChild(CMp4ContainerBox* parent, CMp4Box* child);
    // Kind 1.
    int32_t SetTrackItem(CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset);
    int32_t RemoveLookupItem(CMp4ContainerBox* ilst);
    // Kind 2: the track byte behind the terminator of the first album that has one; empty when none.
    int32_t AlbumTrack(std::string* track);
    // Kind 2: reads the picture number of every frame box, so the edits that follow cannot stop
    // half-way on a frame that cannot be read; -2 when one numbered from raiseFrom on is at the
    // largest number already.
    int32_t CheckPictureNumbers(CMp4ContainerBox* container, int32_t pictureKind, uint32_t raiseFrom);
    // Kind 2: the pictures of that kind numbered from on, and the user texts that name them, move
    // up (step 1) or down (step -1) by one.
    int32_t ShiftPictureNumbers(CMp4ContainerBox* container, int32_t pictureKind, uint32_t from, int32_t step);
    // Kind 2: removes every frame box for which check gives 0.
    template <class Check>
    int32_t RemoveFrames(Check check);

    CTagOwnedPtr<CTagStream> m_source;
    CTagElementList<CMp4Box> m_boxes;
    uint32_t m_mdatDataOffset = 0;
    int32_t m_kind;
    bool m_loaded = false;
};
