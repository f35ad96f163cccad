// Where an ID3v2 reader or editor reads a tag from: the file through a buffer, and for a tag that
// needs it the clean in-memory copy (see Id3TagImage.h).
#pragma once

#include <memory>
#include <vector>

#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagOwnedPtr.h"

class CId3TagSource {
public:
    enum TruncatedTag { kReadWhatIsThere, kRefuse };

    int32_t Load(CTagOwnedPtr<CTagStream> stream, TruncatedTag truncated);
    void Close();

    bool IsOpen() const { return static_cast<bool>(m_file); }
    CTagStream* File() const { return m_file.Get(); }
    // The stream the frames are read from, and the header that describes them there.
    CTagStream* Frames() const;
    const CId3TagHeader& TagHeader() const { return m_tagHeader; }
    // The header as it stands in the file: where the audio starts.
    const CId3TagHeader& FileHeader() const { return m_fileHeader; }

private:
    CTagOwnedPtr<CTagStream> m_file;
    CId3TagHeader m_fileHeader;
    CId3TagHeader m_tagHeader;
    std::vector<uint8_t> m_image;
    std::unique_ptr<CTagMemoryStream> m_imageStream;
};
