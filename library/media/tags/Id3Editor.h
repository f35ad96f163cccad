// Loads every frame of an ID3v2 tag, lets the caller remove and add frames, and writes a new file:
// the new tag followed by the unchanged audio.
#pragma once

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/Id3TagSource.h"
#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagElementList.h"

class CId3Editor : public CTagEditor {
public:
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

    // The new file: tag header, frames, padding to a multiple of 16 bytes, then the audio.
    virtual int32_t WriteTagAndAudio(CTagWriteStream* output);
    // The tag alone, with no padding and no audio, for containers that embed a tag.
    int32_t WriteBareTag(CTagWriteStream* output);
    uint32_t FramesSize() const;
    static uint32_t PaddingFor(uint32_t framesSize);

private:
    CTagStream* FrameSource() const { return m_source.Frames(); }
    int32_t WriteHeader(CTagWriteStream* output, uint32_t tagSize) const;
    int32_t WriteFrames(CTagWriteStream* output);
    int32_t Append(CId3Frame* frame);
    // Removes every frame of the kind whose Locate gives 0 (all of them when located is false).
    int32_t RemoveFrames(int32_t kind, bool located);

    // Its tag header is the one written back, with only the flags that still hold for what is written.
    CId3TagSource m_source;
    CTagElementList<CId3Frame> m_frames;
    bool m_loaded = false;
};
