// Frames loaded from a tag: each keeps its header and is written back as a raw copy of its bytes.
#pragma once

#include <cstdint>

#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagStream.h"

namespace tag {
// Copies length bytes from offset of source to output in small blocks; the source position is restored.
int32_t CopyStreamRange(CTagStream* source, uint32_t offset, uint32_t length, CTagWriteStream* output);
}  // namespace tag

class CId3Frame {
public:
    explicit CId3Frame(CTagOwnedPtr<CId3FrameHeader> header) : m_header(std::move(header)) {}
    virtual ~CId3Frame() = default;
    virtual uint32_t Size() const;
    // Where the frame's data lie in the source: the whole body unless a subclass knows better.
    virtual int32_t Locate(CTagStream* stream, uint32_t* offset, uint32_t* size);
    virtual int32_t Prepare(CTagStream* stream);
    virtual int32_t Write(CTagStream* source, CTagWriteStream* output);
    // The picture-type byte of a picture frame; -5 for every other frame.
    virtual int32_t PictureType(CTagStream* stream, uint8_t* type);

    const CId3FrameHeader* Header() const { return m_header.Get(); }
    int32_t Kind() const { return m_header ? m_header->Kind() : -1; }

protected:
    CTagOwnedPtr<CId3FrameHeader> m_header;
};

// "GEOB": locates the mood-data payload (1 when the object is something else).
class CId3GeobFrame : public CId3Frame {
public:
    using CId3Frame::CId3Frame;
    int32_t Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) override;
};

class CId3PictureFrame : public CId3Frame {
public:
    CId3PictureFrame(CTagOwnedPtr<CId3FrameHeader> header, int32_t versionCode)
        : CId3Frame(std::move(header)), m_versionCode(versionCode) {}
    int32_t Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) override;
    // The byte as stored; -3 when the body is too short to hold one.
    int32_t PictureType(CTagStream* stream, uint8_t* type) override;

private:
    int32_t m_versionCode;
};

class CId3TextFrame : public CId3Frame {
public:
    using CId3Frame::CId3Frame;
    int32_t Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) override;
};

// "UFID": locates the identifier when the owner is the lookup service (1 for another owner).
class CId3UfidFrame : public CId3Frame {
public:
    using CId3Frame::CId3Frame;
    int32_t Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) override;
};

// The frame object for a loaded header of that kind; null when memory runs out (the header is then freed).
CId3Frame* CreateLoadedId3Frame(CTagOwnedPtr<CId3FrameHeader> header, int32_t versionCode);
