// Frames the editor adds: fixed fields of their own, then a payload copied from the caller's stream.
#pragma once

#include <string>

#include "library/media/tags/Id3Frame.h"

class CId3NewFrame : public CId3Frame {
public:
    CId3NewFrame(CTagOwnedPtr<CId3FrameHeader> header, std::string fields, CTagOwnedPtr<CTagStream> data,
                 uint32_t payloadSize, uint32_t payloadOffset);
    int32_t Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) override;
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    int32_t PictureType(CTagStream* stream, uint8_t* type) override;

private:
    std::string m_fields;
    CTagOwnedPtr<CTagStream> m_data;
    uint32_t m_payloadSize;
    uint32_t m_payloadOffset;
};

// Each builds the frame for a version code (1 to 3); null when memory runs out or the code is 0.
// The data stream is deleted by then when it was owned.
CId3Frame* CreateId3NewMoodFrame(int32_t versionCode, CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset);
CId3Frame* CreateId3NewPictureFrame(int32_t versionCode, CTagOwnedPtr<CTagStream> data, uint32_t size,
                                    uint32_t offset, int32_t imageFormat, uint8_t pictureType);
// encodingByte is the ID3 text encoding; prefix goes between it and the text (a byte-order mark).
CId3Frame* CreateId3NewTextFrame(int32_t versionCode, int32_t kind, uint8_t encodingByte, const std::string& prefix,
                                 CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset);
CId3Frame* CreateId3NewUfidFrame(int32_t versionCode, CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset);
