// A 3GP text asset ("titl", "perf", "albm", "gnre"): version, flags, the 16-bit packed language,
// then the text. A new box copies its text from the caller's data stream and closes it with a
// terminator, so the track byte an album may carry behind it stays unambiguous.
#pragma once

#include <cstdint>
#include <string>

#include "library/media/tags/Mp4RawFullBox.h"
#include "library/media/tags/TagOwnedPtr.h"

class CMp4AssetBox : public CMp4RawFullBox {
public:
    explicit CMp4AssetBox(const CMp4BoxHeader& header) : CMp4RawFullBox(header, kLanguageSize, true) {}
    // Language "eng"; a wide text gets a two-byte terminator; track is empty or the one track byte.
    CMp4AssetBox(uint32_t type, CTagOwnedPtr<CTagStream> text, uint32_t size, uint32_t offset, bool wideText,
                 const std::string& track);
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;

    // The track byte behind the text's terminator, as the box will be written; empty when none.
    int32_t Track(CTagStream* source, std::string* track) const;

private:
    static constexpr uint32_t kLanguageSize = 2;

    CTagOwnedPtr<CTagStream> m_text;
    uint32_t m_textSize = 0;
    uint32_t m_textOffset = 0;
    // The terminator and the track byte.
    std::string m_trailer;
};
