#include "library/media/tags/Mp4AssetBox.h"

#include <utility>
#include <vector>

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/Mp4BoxFields.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

namespace {
// "eng" as three 5-bit letters behind a zero pad bit.
constexpr uint8_t kLanguageEnglish[2] = {0x15, 0xC7};
// Longer texts are not worth scanning for the byte behind their terminator.
constexpr uint32_t kTrackScanLimit = 64 * 1024;
}  // namespace

CMp4AssetBox::CMp4AssetBox(uint32_t type, CTagOwnedPtr<CTagStream> text, uint32_t size, uint32_t offset,
                           bool wideText, const std::string& track)
    : CMp4RawFullBox(NewMp4BoxHeader(type), kLanguageSize, false),
      m_text(std::move(text)),
      m_textSize(m_text ? size : 0),
      m_textOffset(offset),
      m_trailer(std::string(wideText ? 2 : 1, '\0') + track) {}

uint64_t CMp4AssetBox::Size() const {
    if (m_loaded) return CMp4RawFullBox::Size();
    return m_header.HeaderLength() + 4 + kLanguageSize + uint64_t(m_textSize) + m_trailer.size();
}

int32_t CMp4AssetBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (m_loaded) return CMp4RawFullBox::Write(source, output);
    if (!output) return tag::kInvalidArgument;
    const uint8_t fields[4 + kLanguageSize] = {0, 0, 0, 0, kLanguageEnglish[0], kLanguageEnglish[1]};
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(fields, sizeof(fields));
    if (result == tag::kOk && m_textSize) result = tag::CopyStreamRange(m_text.Get(), m_textOffset, m_textSize, output);
    if (result == tag::kOk) result = output->Write(m_trailer.data(), uint32_t(m_trailer.size()));
    return result;
}

int32_t CMp4AssetBox::Track(CTagStream* source, std::string* track) const {
    if (!track) return tag::kInvalidArgument;
    track->clear();
    std::string text;
    uint64_t textSize;
    if (m_loaded) {
        int32_t result = ReadData(source, kTrackScanLimit, &text);
        // A box too short for its language holds no text and so no track.
        if (result == tag::kMalformed) return tag::kOk;
        if (result != tag::kOk) return result;
        textSize = Size() - m_header.HeaderLength() - 4 - kLanguageSize;
    } else {
        const uint32_t count = m_textSize < kTrackScanLimit ? m_textSize : kTrackScanLimit;
        text.assign(count, '\0');
        if (count) {
            int32_t result = tag::ReadStreamAt(m_text.Get(), m_textOffset, &text[0], count);
            if (result != tag::kOk) return result;
        }
        if (count == m_textSize) text += m_trailer;
        textSize = uint64_t(m_textSize) + m_trailer.size();
    }
    const mp4::AssetText split = mp4::SplitAssetText(reinterpret_cast<const uint8_t*>(text.data()),
                                                     uint32_t(text.size()), uint32_t(textSize));
    if (split.hasTrack) track->assign(1, char(split.track));
    return tag::kOk;
}
