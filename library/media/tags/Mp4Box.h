// The boxes of the MP4 editor's tree. Loaded boxes are copied from the source when written unless
// they interpret their body; new boxes write fixed fields and copy a payload from a data stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "library/media/tags/Id3Editor.h"
#include "library/media/tags/Mp4BoxFields.h"
#include "library/media/tags/Mp4BoxHeader.h"
#include "library/media/tags/TagElementList.h"
#include "library/media/tags/TagOwnedPtr.h"

class CMp4ContainerBox;
class CMp4FrameBox;

// An opaque box ("mdat" included): its header, and the payload copied unchanged.
class CMp4Box {
public:
    explicit CMp4Box(const CMp4BoxHeader& header) : m_header(header) {}
    virtual ~CMp4Box() = default;
    // The box's data in the source file.
    virtual int32_t Locate(uint32_t* offset, uint32_t* size) const;
    virtual int32_t Load(CTagStream* source);
    virtual int32_t Write(CTagStream* source, CTagWriteStream* output);
    // Chunk offsets this box holds are written moved by delta; -3 when one would leave its range.
    virtual int32_t SetOffsetDelta(int64_t delta);
    virtual uint64_t Size() const { return m_header.size; }
    // The payload as it will be written, at most limit bytes.
    virtual int32_t ReadPayload(CTagStream* source, uint32_t limit, std::vector<uint8_t>* bytes);
    // Stand-ins for a cast: the library has no run-time type information.
    virtual CMp4ContainerBox* AsContainer() { return nullptr; }
    virtual CMp4FrameBox* AsFrameBox() { return nullptr; }

    const CMp4BoxHeader& Header() const { return m_header; }
    uint32_t Type() const { return m_header.type; }

protected:
    CMp4BoxHeader m_header;
};

// A box whose payload is a list of boxes, optionally behind the four full-box bytes.
class CMp4ContainerBox : public CMp4Box {
public:
    CMp4ContainerBox(const CMp4BoxHeader& header, int32_t kind, bool fullBox)
        : CMp4Box(header), m_kind(kind), m_fullBox(fullBox) {}
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    int32_t SetOffsetDelta(int64_t delta) override;
    uint64_t Size() const override;
    CMp4ContainerBox* AsContainer() override { return this; }

    CTagElementList<CMp4Box>& Children() { return m_children; }
    CMp4Box* Find(uint32_t type) const;

protected:
    // The box for a child that this container interprets in its kind, or an opaque one; null
    // without memory.
    CMp4Box* CreateChild(const CMp4BoxHeader& header);

    int32_t m_kind;
    bool m_fullBox;
    uint8_t m_fullBoxFields[4] = {0, 0, 0, 0};
    CTagElementList<CMp4Box> m_children;
};

// "stco" (32-bit) and "co64" (64-bit) chunk offsets: the absolute file offsets of the media data.
class CMp4ChunkOffsetBox : public CMp4Box {
public:
    using CMp4Box::CMp4Box;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    int32_t SetOffsetDelta(int64_t delta) override;
    uint64_t Size() const override;

private:
    uint32_t EntryWidth() const { return m_header.type == mp4::kCo64 ? 8 : 4; }
    uint64_t Entry(uint32_t index) const;

    uint8_t m_fields[8] = {};  // version, flags, entry count
    uint32_t m_count = 0;
    std::vector<uint8_t> m_entries;
    int64_t m_delta = 0;
};

// "ftyp": major brand, minor version, compatible brands.
class CMp4FileTypeBox : public CMp4Box {
public:
    using CMp4Box::CMp4Box;
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override { return m_header.HeaderLength() + 8 + 4 * uint64_t(m_brands.size()); }

    // The old major brand joins the compatible brands.
    void SetMajorBrand(uint32_t brand);
    // Goes in front of the first zero entry, or last; nothing when it is listed already.
    void AddCompatibleBrand(uint32_t brand);
    uint32_t MajorBrand() const { return m_major; }
    const std::vector<uint32_t>& Brands() const { return m_brands; }

private:
    uint32_t m_major = 0;
    uint32_t m_minor = 0;
    std::vector<uint32_t> m_brands;
};

// A box the editor makes: fixed fields, a payload copied from a data stream, fixed trailing bytes.
class CMp4NewBox : public CMp4Box {
public:
    CMp4NewBox(const CMp4BoxHeader& header, std::string fields, CTagOwnedPtr<CTagStream> data = {},
               uint32_t payloadSize = 0, uint32_t payloadOffset = 0, std::string trailer = std::string());
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;
    int32_t ReadPayload(CTagStream* source, uint32_t limit, std::vector<uint8_t>* bytes) override;

protected:
    std::string m_fields;
    CTagOwnedPtr<CTagStream> m_data;
    uint32_t m_payloadSize;
    uint32_t m_payloadOffset;
    std::string m_trailer;
};

// A frame box of a 3GP tag container: frame size, 16-bit frame kind, an ID3v2 frame body.
class CMp4FrameBox : public CMp4NewBox {
public:
    // A loaded frame box: its fields are read by Load and the box is copied when written.
    explicit CMp4FrameBox(const CMp4BoxHeader& header) : CMp4NewBox(header, std::string()), m_loaded(true) {}
    // A new frame: fields is the body in front of the payload.
    CMp4FrameBox(int32_t frameKind, const std::string& bodyFields, CTagOwnedPtr<CTagStream> data, uint32_t size,
                 uint32_t offset);
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;
    CMp4FrameBox* AsFrameBox() override { return this; }

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

// "ID32": full box, 16-bit language, then a whole ID3v2 tag kept in an ID3 editor.
class CMp4Id3Box : public CMp4Box {
public:
    // A new box: version 0, flags 0, language "und", an empty tag.
    CMp4Id3Box();
    explicit CMp4Id3Box(const CMp4BoxHeader& header) : CMp4Box(header) {}
    int32_t Load(CTagStream* source) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;
    CId3Editor* Tag() { return m_tag.get(); }

private:
    uint8_t m_fields[6] = {0, 0, 0, 0, 0x55, 0xC4};
    std::unique_ptr<CId3Editor> m_tag;
};

// A header for a box the editor makes (user type only for "uuid").
CMp4BoxHeader NewMp4BoxHeader(uint32_t type, const uint8_t* userType = nullptr);
