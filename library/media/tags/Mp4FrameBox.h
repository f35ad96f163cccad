// A frame box of a 3GP tag container: frame size, 16-bit frame kind, an ID3v2 frame body.
#pragma once

#include <cstdint>
#include <string>

#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/Mp4Box.h"
#include "library/media/tags/Mp4BoxFields.h"
#include "library/media/tags/TagOwnedPtr.h"

class CMp4FrameBox : public CMp4Box {
public:
    // A loaded frame box: its fields are read by Load and the box is copied when written.
    explicit CMp4FrameBox(const CMp4BoxHeader& header) : CMp4Box(header, kFrameBox), m_loaded(true) {}
    // A new frame: fields is the body in front of the payload.
    CMp4FrameBox(int32_t frameKind, const std::string& bodyFields, CTagOwnedPtr<CTagStream> data, uint32_t size,
                 uint32_t offset);
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;

    int32_t FrameKind() const { return m_fields32.kind; }
    // 0 when the frame is the mood data (or, for the second, the lookup identifier); 1 when not.
    int32_t CheckMoodData(CTagStream* source) const;
    int32_t CheckLookupId(CTagStream* source) const;
    // The picture kind and number of an attached picture, or of a user text frame that names
    // one; -5 for other frames. A loaded frame's description is read once and kept.
    int32_t NumberedEntry(CTagStream* source, int32_t* kind, uint32_t* number);
    // Gives the frame another number; NumberedEntry must have succeeded first.
    int32_t Renumber(uint32_t number);

private:
    int32_t LoadedFrameHeader(CTagOwnedPtr<CId3FrameHeader>* frame) const;

    bool m_loaded;
    // A new frame: frame size, kind and the body in front of the payload, then the payload's range.
    std::string m_fields;
    CTagOwnedPtr<CTagStream> m_data;
    uint32_t m_payloadSize = 0;
    uint32_t m_payloadOffset = 0;
    mp4::FrameBoxFields m_fields32{0, 0, 0};
    // A new picture: what its fields are made of.
    int32_t m_newPictureKind = -1;
    uint32_t m_newPictureNumber = 0;
    int32_t m_newImageFormat = 0;
    // A loaded frame's numbered description, and the one written in its place once renumbered.
    bool m_descriptionRead = false;
    mp4::NumberedDescription m_description{};
    uint32_t m_number = 0;
    bool m_renumbered = false;
    std::string m_newDescription;

    friend CMp4FrameBox* CreateMp4PictureFrameBox(int32_t, uint32_t, int32_t, CTagOwnedPtr<CTagStream>, uint32_t,
                                                 uint32_t);
};

// An attached-picture frame box of that picture kind and number; null for a kind without a code
// or without memory.
CMp4FrameBox* CreateMp4PictureFrameBox(int32_t pictureKind, uint32_t number, int32_t imageFormat,
                                      CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset);
