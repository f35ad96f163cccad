#include "library/media/tags/Id3Editor.h"

#include <new>
#include <string>

#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/Id3NewFrame.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagByteStream.h"
#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

namespace {

// ID3v2.2 and 2.3 know no UTF-8: such text is written as UTF-16 with a byte-order mark.
int32_t ConvertUtf8ToMarkedUtf16(CTagStream* data, uint32_t size, uint32_t offset, CTagStream** converted) {
    std::vector<uint8_t> utf8(size);
    int32_t result = tag::ReadStreamAt(data, offset, utf8.data(), size);
    if (result != tag::kOk) return result;
    std::u16string units;
    tag::Utf8ToUtf16(utf8.data(), utf8.size(), false, &units);
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    for (char16_t unit : units) {
        bytes.push_back(uint8_t(unit & 0xFF));
        bytes.push_back(uint8_t(unit >> 8));
    }
    *converted = new (std::nothrow) CTagByteStream(std::move(bytes));
    return *converted ? tag::kOk : tag::kOutOfMemory;
}

}  // namespace

int32_t CId3Editor::Load(CTagOwnedPtr<CTagStream> stream) {
    Close();
    int32_t result = m_source.Load(std::move(stream), CId3TagSource::kRefuse);
    if (result != tag::kOk) return result;
    const CId3TagHeader& tagHeader = m_source.TagHeader();
    if (tagHeader.present) {
        CTagStream* source = FrameSource();
        const int32_t versionCode = m_source.TagHeader().VersionCode();
        const uint32_t end = tagHeader.bodyStart + tagHeader.size;
        result = source->Seek(tagHeader.bodyStart, kSeekBegin);
        if (result != tag::kOk) return result;
        for (;;) {
            CTagOwnedPtr<CId3FrameHeader> header(CreateId3FrameHeader(versionCode), true);
            if (!header) return tag::kOutOfMemory;
            bool more;
            // A frame that overruns the tag is refused: writing it back would contradict its sizes.
            result = ReadNextId3Frame(source, end, header.Get(), &more);
            if (result != tag::kOk) return result;
            if (!more) break;
            result = source->Seek(header->bodyOffset + header->bodySize, kSeekBegin);
            if (result != tag::kOk) return result;
            result = Append(CreateLoadedId3Frame(std::move(header), versionCode));
            if (result != tag::kOk) return result;
        }
    }
    m_loaded = true;
    return tag::kOk;
}

int32_t CId3Editor::Close() {
    m_frames.Clear();
    m_source.Close();
    m_loaded = false;
    return tag::kOk;
}

int32_t CId3Editor::Append(CId3Frame* frame) {
    if (!frame) return tag::kOutOfMemory;
    return m_frames.Append(frame, true);
}

int32_t CId3Editor::RemoveFrames(int32_t kind, bool located) {
    auto* node = m_frames.First();
    while (node != m_frames.End()) {
        if (node->element->Kind() != kind) {
            node = node->next;
            continue;
        }
        if (located) {
            uint32_t offset, size;
            int32_t result = node->element->Locate(FrameSource(), &offset, &size);
            if (result < 0) return result;
            if (result != tag::kOk) {
                node = node->next;
                continue;
            }
        }
        node = m_frames.Remove(node);
    }
    return tag::kOk;
}

int32_t CId3Editor::RemoveMoodData() {
    if (!m_loaded) return tag::kNotReady;
    return RemoveFrames(id3::kFrameObject, true);
}

int32_t CId3Editor::SetMoodData(CTagStream* data, uint32_t size, uint32_t offset, bool owns) {
    CTagOwnedPtr<CTagStream> payload(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    const int32_t versionCode = m_source.TagHeader().VersionCode();
    if (versionCode == id3::kVersionUnknown) return tag::kNotReady;
    result = RemoveMoodData();
    if (result != tag::kOk) return result;
    return Append(CreateId3NewMoodFrame(versionCode, std::move(payload), size, offset));
}

int32_t CId3Editor::SetPicture(CTagStream* data, uint32_t size, int32_t imageFormat, uint8_t pictureType, int32_t,
                               uint32_t offset, bool owns) {
    CTagOwnedPtr<CTagStream> image(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    const int32_t versionCode = m_source.TagHeader().VersionCode();
    if (versionCode == id3::kVersionUnknown) return tag::kNotReady;
    return Append(CreateId3NewPictureFrame(versionCode, std::move(image), size, offset, imageFormat, pictureType));
}

int32_t CId3Editor::RemovePicture(uint8_t pictureType, int32_t index) {
    if (index < 0) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    int32_t seen = -1;
    for (auto* node = m_frames.First(); node != m_frames.End(); node = node->next) {
        uint8_t type;
        if (node->element->Kind() != id3::kFramePicture) continue;
        if (node->element->PictureType(FrameSource(), &type) != tag::kOk || type != pictureType) continue;
        if (++seen == index) {
            m_frames.Remove(node);
            break;
        }
    }
    return tag::kOk;
}

int32_t CId3Editor::RemoveItem(int32_t itemType) {
    if (itemType < 0 || itemType >= tag::kItemTypeCount) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    int32_t kind = id3::KindOfItemType(itemType);
    if (kind < 0) return tag::kNoCounterpart;
    return RemoveFrames(kind, false);
}

int32_t CId3Editor::SetItem(int32_t itemType, CTagStream* data, uint32_t size, int32_t encoding, uint32_t offset,
                            bool owns) {
    CTagOwnedPtr<CTagStream> text(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (itemType < 0 || itemType >= tag::kItemTypeCount) return tag::kInvalidArgument;
    const int32_t kind = id3::KindOfItemType(itemType);
    if (kind < 0) return tag::kNoCounterpart;
    if (!m_loaded) return tag::kNotReady;
    const int32_t versionCode = m_source.TagHeader().VersionCode();
    if (versionCode == id3::kVersionUnknown) return tag::kNotReady;
    // A 2.4 tag takes UTF-8 as it stands; the older versions convert it.
    if (encoding == tag::kEncodingUtf8 && versionCode == id3::kVersion24) {
        result = tag::CheckUtf8Data(data, size, offset);
        if (result != tag::kOk) return result;
    }
    result = RemoveItem(itemType);
    if (result != tag::kOk) return result;

    uint8_t encodingByte = 0;
    std::string mark;
    switch (encoding) {
        case tag::kEncodingUtf8:
            if (versionCode == id3::kVersion24) {
                encodingByte = 3;
                break;
            } else {
                CTagStream* converted = nullptr;
                result = ConvertUtf8ToMarkedUtf16(data, size, offset, &converted);
                if (result != tag::kOk) return result;
                text = CTagOwnedPtr<CTagStream>(converted, true);
                converted->GetSize(&size);
                offset = 0;
                encodingByte = 1;
                break;
            }
        // ID3 encoding 1 requires a byte-order mark: text given without one gets the mark of its order.
        case tag::kEncodingUtf16BeNoMark: encodingByte = 1, mark = "\xFE\xFF"; break;
        case tag::kEncodingUtf16LeNoMark: encodingByte = 1, mark = "\xFF\xFE"; break;
        case tag::kEncodingUtf16BeMarked:
        case tag::kEncodingUtf16LeMarked: encodingByte = 1; break;
        default: encodingByte = 0; break;
    }
    return Append(CreateId3NewTextFrame(versionCode, kind, encodingByte, mark, std::move(text), size, offset));
}

int32_t CId3Editor::SetLookupId(CTagStream* data, uint32_t size, uint32_t offset, bool owns) {
    CTagOwnedPtr<CTagStream> identifier(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    const int32_t versionCode = m_source.TagHeader().VersionCode();
    if (versionCode == id3::kVersionUnknown) return tag::kNotReady;
    result = RemoveFrames(id3::kFrameUniqueId, true);
    if (result != tag::kOk) return result;
    return Append(CreateId3NewUfidFrame(versionCode, std::move(identifier), size, offset));
}

uint32_t CId3Editor::FramesSize() const {
    uint32_t total = 0;
    for (auto* node = m_frames.First(); node != m_frames.End(); node = node->next) total += node->element->Size();
    return total;
}

uint32_t CId3Editor::PaddingFor(uint32_t framesSize) { return 32 - ((framesSize - 6) % 16); }

int32_t CId3Editor::WriteHeader(CTagWriteStream* output, uint32_t tagSize) const {
    if (tagSize > 0x0FFFFFFF) return tag::kInvalidArgument;
    uint8_t bytes[10];
    const CId3TagHeader fresh;
    const CId3TagHeader& header = m_source.TagHeader().present ? m_source.TagHeader() : fresh;
    bytes[0] = uint8_t(header.identifier[0]), bytes[1] = uint8_t(header.identifier[1]);
    bytes[2] = uint8_t(header.identifier[2]);
    bytes[3] = uint8_t(header.version >> 8), bytes[4] = uint8_t(header.version);
    // What is written is plain frames without an extended header or a footer; flags that
    // announced them would make readers skip or undo bytes that are not there.
    bytes[5] = uint8_t(header.flags & ~(id3::kFlagUnsynchronisation | id3::kFlagExtendedHeader | id3::kFlagFooter));
    id3::WriteSynchsafe(tagSize, bytes + 6);
    return output->Write(bytes, sizeof(bytes));
}

int32_t CId3Editor::WriteFrames(CTagWriteStream* output) {
    for (auto* node = m_frames.First(); node != m_frames.End(); node = node->next) {
        int32_t result = node->element->Write(FrameSource(), output);
        if (result != tag::kOk) return result;
    }
    return tag::kOk;
}

int32_t CId3Editor::WriteTagAndAudio(CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    const uint32_t framesSize = FramesSize();
    const uint32_t padding = PaddingFor(framesSize);
    if (framesSize > 0x0FFFFFFF - padding) return tag::kInvalidArgument;
    int32_t result = WriteHeader(output, framesSize + padding);
    if (result == tag::kOk) result = WriteFrames(output);
    static const uint8_t kZeros[32] = {};
    if (result == tag::kOk) result = output->Write(kZeros, padding);
    if (result != tag::kOk) return result;
    uint32_t sourceSize;
    result = m_source.File()->GetSize(&sourceSize);
    if (result != tag::kOk) return result;
    const uint64_t audioStart = m_source.FileHeader().End();
    if (audioStart > sourceSize) return tag::kMalformed;
    return tag::CopyStreamRange(m_source.File(), uint32_t(audioStart), sourceSize - uint32_t(audioStart), output);
}

int32_t CId3Editor::WriteBareTag(CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    int32_t result = WriteHeader(output, FramesSize());
    return result == tag::kOk ? WriteFrames(output) : result;
}

int32_t CId3Editor::Save(CTagWriteStream* output, bool owns) {
    CTagOwnedPtr<CTagWriteStream> target(output, owns);
    if (!output) return tag::kInvalidArgument;
    int32_t result = WriteTagAndAudio(output);
    if (owns) {
        int32_t closed = output->Close();
        if (result == tag::kOk) result = closed;
    }
    return result;
}
