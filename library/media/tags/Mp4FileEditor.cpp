#include "library/media/tags/Mp4FileEditor.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3IndexedKinds.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/Mp4AssetBox.h"
#include "library/media/tags/Mp4ChunkOffsetBox.h"
#include "library/media/tags/Mp4DataBox.h"
#include "library/media/tags/Mp4FileTypeBox.h"
#include "library/media/tags/Mp4FullBox.h"
#include "library/media/tags/Mp4Id3Box.h"
#include "library/media/tags/Mp4MeanBox.h"
#include "library/media/tags/Mp4NameBox.h"
#include "library/media/tags/Mp4TrackNumberItem.h"
#include "library/media/tags/Mp4YearBox.h"
#include "library/media/tags/TagAnsiText.h"
#include "library/media/tags/TagBufferedStream.h"
#include "library/media/tags/TagByteStream.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

namespace {

// The reverse-domain name under which free-form items are defined.
constexpr char kFreeformMean[] = "com.apple.iTunes";
constexpr char kLookupName[] = "gnid";
// Names longer than this are no lookup identifier's.
constexpr uint32_t kLookupNameLimit = 64;
// Data types of "data" boxes.
constexpr uint8_t kDataText = 1, kDataJpeg = 13, kDataPng = 14;

// Boxes other readers need to see in a new "meta": the handler that says what it holds.
std::string HandlerBody(int32_t kind) {
    std::string body(4, '\0');  // pre-defined
    body += kind == kMp4KindMovie ? "ID32" : "mdir";
    body += kind == kMp4KindMovie ? std::string(4, '\0') : std::string("appl");
    body += std::string(8, '\0');
    body += '\0';  // empty name
    return body;
}

// The decimal number at the start of text (0 when it starts with none).
uint32_t LeadingNumber(const char* text, size_t length, size_t* used) {
    uint32_t value = 0;
    size_t at = 0;
    for (; at < length && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value > 100000000u ? value : value * 10 + uint32_t(text[at] - '0');
    if (used) *used = at;
    return value;
}

// M4A items and 3GP assets hold Unicode text: 8-bit text stored as it stands would be invalid
// UTF-8 wherever it leaves ASCII, so it is converted first.
int32_t ConvertAnsiToUtf8(CTagOwnedPtr<CTagStream>* text, uint32_t* size, uint32_t* offset) {
    std::vector<uint8_t> bytes(*size);
    int32_t result = *size ? tag::ReadStreamAt(text->Get(), *offset, bytes.data(), *size) : tag::kOk;
    if (result != tag::kOk) return result;
    std::u16string units;
    if (!tag::AnsiToUtf16(bytes.data(), bytes.size(), &units)) return tag::kInvalidArgument;
    const std::string utf8 = tag::Utf16ToUtf8(units);
    if (utf8.size() > 0xFFFFFFFFu - 64) return tag::kInvalidArgument;
    CTagStream* converted = new (std::nothrow) CTagByteStream(std::vector<uint8_t>(utf8.begin(), utf8.end()));
    if (!converted) return tag::kOutOfMemory;
    *text = CTagOwnedPtr<CTagStream>(converted, true);
    *size = uint32_t(utf8.size());
    *offset = 0;
    return tag::kOk;
}

int32_t ItemBoxOf(int32_t itemType, uint32_t* type) {
    switch (itemType) {
        case tag::kItemArtist: *type = mp4::kArtUpper; return tag::kOk;
        case tag::kItemTitle: *type = mp4::kNam; return tag::kOk;
        case tag::kItemGenre: *type = mp4::kGen; return tag::kOk;
        case tag::kItemAlbum: *type = mp4::kAlb; return tag::kOk;
        case tag::kItemAlbumArtist: *type = mp4::kWrt; return tag::kOk;
        case tag::kItemYear: *type = mp4::kDay; return tag::kOk;
        default: return tag::kNoCounterpart;
    }
}

int32_t AssetBoxOf(int32_t itemType, uint32_t* type) {
    switch (itemType) {
        case tag::kItemArtist: *type = mp4::kPerf; return tag::kOk;
        case tag::kItemTitle: *type = mp4::kTitl; return tag::kOk;
        case tag::kItemGenre: *type = mp4::kGnre; return tag::kOk;
        case tag::kItemAlbum: *type = mp4::kAlbm; return tag::kOk;
        case tag::kItemYear: *type = mp4::kYrrc; return tag::kOk;
        default: return tag::kNoCounterpart;
    }
}

}  // namespace

int32_t CMp4FileEditor::Load(CTagOwnedPtr<CTagStream> stream) {
    Close();
    if (!stream) return tag::kInvalidArgument;
    CTagBufferedStream* buffered = new (std::nothrow) CTagBufferedStream(std::move(stream));
    if (!buffered) return tag::kOutOfMemory;
    m_source = CTagOwnedPtr<CTagStream>(buffered, true);
    uint32_t size;
    int32_t result = m_source->GetSize(&size);
    if (result != tag::kOk) return result;
    bool mdatSeen = false;
    for (uint32_t at = 0; at < size;) {
        CMp4BoxHeader header;
        result = header.Read(m_source.Get(), at, size);
        if (result != tag::kOk) return result;
        // Fragments locate their media by offsets that no box here corrects.
        if (header.type == mp4::kMoof || header.type == mp4::kMfra || header.type == mp4::kSidx)
            return tag::kMalformed;
        if (header.type == mp4::kMdat && !mdatSeen) {
            mdatSeen = true;
            m_mdatDataOffset = header.dataOffset;
        }
        result = m_boxes.LoadAndAppend(CreateTopLevelBox(header), m_source.Get());
        if (result != tag::kOk) return result;
        at = header.End();
    }
    if (!mdatSeen) return tag::kMalformed;
    SetBrands();
    m_loaded = true;
    return tag::kOk;
}

CMp4Box* CMp4FileEditor::CreateTopLevelBox(const CMp4BoxHeader& header) {
    if (header.type == mp4::kFtyp) return new (std::nothrow) CMp4FileTypeBox(header);
    if (header.type == mp4::kMoov) return new (std::nothrow) CMp4ContainerBox(header, m_kind, false);
    if (m_kind == kMp4Kind3gp && header.IsUuid(mp4::kTagContainerUserType))
        return new (std::nothrow) CMp4ContainerBox(header, m_kind, false);
    return new (std::nothrow) CMp4Box(header);
}

void CMp4FileEditor::SetBrands() {
    CMp4Box* box = m_boxes.Find([](const CMp4Box& candidate) { return candidate.Type() == mp4::kFtyp; });
    if (!box) return;
    // Only the "ftyp" box has this type at the top level, and it is always a file-type box.
    CMp4FileTypeBox* fileType = static_cast<CMp4FileTypeBox*>(box);
    switch (m_kind) {
        case kMp4KindMovie:
            fileType->SetMajorBrand(mp4::FourCc('m', 'p', '4', '2'));
            fileType->AddCompatibleBrand(mp4::FourCc('3', 'g', 'p', '7'));
            break;
        case kMp4KindAudio:
            fileType->SetMajorBrand(mp4::FourCc('M', '4', 'A', ' '));
            fileType->AddCompatibleBrand(mp4::FourCc('M', '4', 'A', ' '));
            break;
        default: fileType->SetMajorBrand(mp4::FourCc('3', 'g', 'p', '6')); break;
    }
}

int32_t CMp4FileEditor::Close() {
    m_boxes.Clear();
    if (m_source) m_source->Close();
    m_source.Reset();
    m_mdatDataOffset = 0;
    m_loaded = false;
    return tag::kOk;
}

// ---- paths

int32_t CMp4FileEditor::AppendChild(CMp4ContainerBox* parent, CMp4Box* child) {
    if (!child) return tag::kOutOfMemory;
    return parent ? parent->Children().Append(child, true) : m_boxes.Append(child, true);
}

int32_t CMp4FileEditor::Moov(bool create, CMp4ContainerBox** moov) {
    *moov = nullptr;
    CMp4Box* box = m_boxes.Find([](const CMp4Box& candidate) { return candidate.Type() == mp4::kMoov; });
    if (box) {
        *moov = box->AsContainer();
        return *moov ? tag::kOk : tag::kMalformed;
    }
    if (!create) return tag::kOk;
    CMp4ContainerBox* created = new (std::nothrow) CMp4ContainerBox(NewMp4BoxHeader(mp4::kMoov), m_kind, false);
    int32_t result = AppendChild(nullptr, created);
    if (result == tag::kOk) *moov = created;
    return result;
}

int32_t CMp4FileEditor::ChildContainer(CMp4ContainerBox* parent, uint32_t type, bool create,
                                       CMp4ContainerBox** child) {
    *child = nullptr;
    if (!parent) return tag::kOk;
    if (CMp4Box* box = parent->Find(type)) {
        *child = box->AsContainer();
        return *child ? tag::kOk : tag::kMalformed;
    }
    if (!create) return tag::kOk;
    const bool meta = type == mp4::kMeta;
    CMp4ContainerBox* created = new (std::nothrow) CMp4ContainerBox(NewMp4BoxHeader(type), m_kind, meta);
    int32_t result = AppendChild(parent, created);
    if (result != tag::kOk) return result;
    if (meta) {
        result = AppendChild(created, new (std::nothrow) CMp4FullBox(mp4::kHdlr, HandlerBody(m_kind)));
        if (result != tag::kOk) return result;
    }
    *child = created;
    return tag::kOk;
}

int32_t CMp4FileEditor::Id3Tag(CId3Editor** id3) {
    CMp4ContainerBox *moov, *meta;
    int32_t result = Moov(true, &moov);
    if (result == tag::kOk) result = ChildContainer(moov, mp4::kMeta, true, &meta);
    if (result != tag::kOk) return result;
    CMp4Box* box = meta->Find(mp4::kId32);
    if (!box) {
        CMp4Id3Box* created = new (std::nothrow) CMp4Id3Box();
        if (!created) return tag::kOutOfMemory;
        result = created->Load(nullptr);
        if (result != tag::kOk) {
            delete created;
            return result;
        }
        result = AppendChild(meta, created);
        if (result != tag::kOk) return result;
        box = created;
    }
    // Inside a kind 0 "meta" the "ID32" type is always an ID32 box.
    *id3 = static_cast<CMp4Id3Box*>(box)->Tag();
    return *id3 ? tag::kOk : tag::kNotReady;
}

int32_t CMp4FileEditor::ForwardTarget(CTagStream* data, bool owns, CId3Editor** id3) {
    int32_t result = Id3Tag(id3);
    // The ID3 editor takes the stream over on success; on failure it is ours to release.
    if (result != tag::kOk && owns) delete data;
    return result;
}

int32_t CMp4FileEditor::ItemList(bool create, CMp4ContainerBox** ilst) {
    CMp4ContainerBox *moov, *udta, *meta;
    int32_t result = Moov(create, &moov);
    if (result == tag::kOk) result = ChildContainer(moov, mp4::kUdta, create, &udta);
    if (result == tag::kOk) result = ChildContainer(udta, mp4::kMeta, create, &meta);
    if (result == tag::kOk) result = ChildContainer(meta, mp4::kIlst, create, ilst);
    return result;
}

int32_t CMp4FileEditor::AssetList(bool create, CMp4ContainerBox** udta) {
    CMp4ContainerBox* moov;
    int32_t result = Moov(create, &moov);
    return result == tag::kOk ? ChildContainer(moov, mp4::kUdta, create, udta) : result;
}

int32_t CMp4FileEditor::TagContainer(CMp4ContainerBox** container) {
    CMp4Box* box = m_boxes.Find([](const CMp4Box& candidate) {
        return candidate.Header().IsUuid(mp4::kTagContainerUserType);
    });
    if (box) {
        *container = box->AsContainer();
        return *container ? tag::kOk : tag::kMalformed;
    }
    CMp4ContainerBox* created = new (std::nothrow)
        CMp4ContainerBox(NewMp4BoxHeader(mp4::kUuid, mp4::kTagContainerUserType), m_kind, false);
    int32_t result = AppendChild(nullptr, created);
    if (result == tag::kOk) *container = created;
    return result;
}

// ---- save

int32_t CMp4FileEditor::Save(CTagWriteStream* output, bool owns) {
    CTagOwnedPtr<CTagWriteStream> target(output, owns);
    if (!m_loaded) return tag::kNotReady;
    if (!output) return tag::kInvalidArgument;
    // Every media data box must move by the same amount, or one delta cannot correct the offsets.
    uint64_t at = 0;
    int64_t delta = 0;
    bool mdatSeen = false;
    for (auto* node = m_boxes.First(); node != m_boxes.End(); node = node->next) {
        const CMp4BoxHeader& header = node->element->Header();
        if (header.type == mp4::kMdat) {
            const int64_t shift = int64_t(at) - int64_t(header.Start());
            if (mdatSeen && shift != delta) return tag::kMalformed;
            if (!mdatSeen) delta = int64_t(at + header.HeaderLength()) - int64_t(m_mdatDataOffset);
            mdatSeen = true;
        }
        at += node->element->Size();
    }
    if (at > 0xFFFFFFFFu) return tag::kMalformed;
    int32_t result = tag::kOk;
    for (auto* node = m_boxes.First(); result == tag::kOk && node != m_boxes.End(); node = node->next)
        result = node->element->SetOffsetDelta(delta);
    for (auto* node = m_boxes.First(); result == tag::kOk && node != m_boxes.End(); node = node->next)
        result = node->element->Write(m_source.Get(), output);
    if (owns) {
        int32_t closed = output->Close();
        if (result == tag::kOk) result = closed;
    }
    return result;
}

// ---- items

int32_t CMp4FileEditor::RemoveItem(int32_t itemType) {
    if (!m_loaded) return tag::kNotReady;
    if (m_kind == kMp4KindMovie) {
        CId3Editor* id3;
        int32_t result = Id3Tag(&id3);
        return result == tag::kOk ? id3->RemoveItem(itemType) : result;
    }
    uint32_t type;
    if (m_kind == kMp4KindAudio) {
        // Types without an item box have nothing to remove.
        if (itemType == tag::kItemTrack) type = mp4::kTrkn;
        else if (ItemBoxOf(itemType, &type) != tag::kOk) return tag::kOk;
        CMp4ContainerBox* ilst;
        int32_t result = ItemList(false, &ilst);
        if (result != tag::kOk || !ilst) return result;
        const uint32_t alternative = type == mp4::kArtUpper ? mp4::kArtLower : type == mp4::kGen ? mp4::kGnre : type;
        auto& items = ilst->Children();
        for (auto* node = items.First(); node != items.End(); node = node->next) {
            if (node->element->Type() == type || node->element->Type() == alternative) {
                items.Remove(node);
                break;
            }
        }
        return tag::kOk;
    }
    int32_t result = AssetBoxOf(itemType, &type);
    if (result != tag::kOk) return result;
    CMp4ContainerBox* udta;
    result = AssetList(false, &udta);
    if (result != tag::kOk || !udta) return result;
    auto& assets = udta->Children();
    for (auto* node = assets.First(); node != assets.End();)
        node = node->element->Type() == type ? assets.Remove(node) : node->next;
    return tag::kOk;
}

int32_t CMp4FileEditor::SetItem(int32_t itemType, CTagStream* data, uint32_t size, int32_t encoding, uint32_t offset,
                                bool owns) {
    if (m_loaded && m_kind == kMp4KindMovie) {
        CId3Editor* id3;
        int32_t result = ForwardTarget(data, owns, &id3);
        return result == tag::kOk ? id3->SetItem(itemType, data, size, encoding, offset, owns) : result;
    }
    CTagOwnedPtr<CTagStream> text(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    uint32_t type;
    if (m_kind == kMp4KindAudio) {
        if (encoding != tag::kEncodingAnsi && encoding != tag::kEncodingUtf8) return tag::kInvalidArgument;
        if (size == 0) return tag::kInvalidArgument;
    }
    if (encoding == tag::kEncodingAnsi) {
        result = ConvertAnsiToUtf8(&text, &size, &offset);
        if (result != tag::kOk) return result;
        data = text.Get();
        encoding = tag::kEncodingUtf8;
    } else if (encoding == tag::kEncodingUtf8) {
        result = tag::CheckUtf8Data(data, size, offset);
        if (result != tag::kOk) return result;
    }
    if (m_kind == kMp4KindAudio) {
        if (itemType == tag::kItemTrack) return SetTrackItem(std::move(text), size, offset);
        result = ItemBoxOf(itemType, &type);
        if (result != tag::kOk) return result;
        result = RemoveItem(itemType);
        CMp4ContainerBox* ilst = nullptr;
        if (result == tag::kOk) result = ItemList(true, &ilst);
        if (result != tag::kOk) return result;
        CMp4ContainerBox* item = new (std::nothrow) CMp4ContainerBox(NewMp4BoxHeader(type), m_kind, false);
        result = AppendChild(ilst, item);
        if (result != tag::kOk) return result;
        return AppendChild(item, new (std::nothrow) CMp4DataBox(kDataText, std::move(text), size, offset));
    }
    result = AssetBoxOf(itemType, &type);
    // The track number rides in the album box: a new album keeps the old one's.
    std::string albumTrack;
    if (result == tag::kOk && type == mp4::kAlbm) result = AlbumTrack(&albumTrack);
    if (result == tag::kOk) result = RemoveItem(itemType);
    CMp4ContainerBox* udta = nullptr;
    if (result == tag::kOk) result = AssetList(true, &udta);
    if (result != tag::kOk) return result;
    if (type == mp4::kYrrc) {
        std::string digits(size < 5 ? size : 5, '\0');
        result = tag::ReadStreamAt(data, offset, &digits[0], uint32_t(digits.size()));
        if (result != tag::kOk) return result;
        return AppendChild(udta, new (std::nothrow) CMp4YearBox(digits));
    }
    const bool wide = encoding >= tag::kEncodingUtf16BeNoMark && encoding <= tag::kEncodingUtf16LeMarked;
    return AppendChild(udta, new (std::nothrow) CMp4AssetBox(type, std::move(text), size, offset, wide, albumTrack));
}

int32_t CMp4FileEditor::AlbumTrack(std::string* track) {
    track->clear();
    CMp4ContainerBox* udta;
    int32_t result = AssetList(false, &udta);
    if (result != tag::kOk || !udta) return result;
    auto& assets = udta->Children();
    for (auto* node = assets.First(); node != assets.End(); node = node->next) {
        if (node->element->Type() != mp4::kAlbm) continue;
        // Every album of a 3GP "udta" is made as an asset box, loaded or new.
        result = static_cast<CMp4AssetBox*>(node->element)->Track(m_source.Get(), track);
        if (result != tag::kOk || !track->empty()) return result;
    }
    return tag::kOk;
}

int32_t CMp4FileEditor::SetTrackItem(CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    char text[32] = {};
    const uint32_t count = size < sizeof(text) ? size : uint32_t(sizeof(text));
    int32_t result = tag::ReadStreamAt(data.Get(), offset, text, count);
    if (result != tag::kOk) return result;
    size_t used;
    const uint32_t track = LeadingNumber(text, count, &used);
    const uint32_t total = used < count && text[used] == '/' ? LeadingNumber(text + used + 1, count - used - 1, nullptr) : 0;
    result = RemoveItem(tag::kItemTrack);
    CMp4ContainerBox* ilst = nullptr;
    if (result == tag::kOk) result = ItemList(true, &ilst);
    if (result != tag::kOk) return result;
    return AppendChild(ilst, new (std::nothrow) CMp4TrackNumberItem(uint16_t(track), uint16_t(total)));
}

// ---- pictures

int32_t CMp4FileEditor::SetPicture(CTagStream* data, uint32_t size, int32_t imageFormat, uint8_t pictureType,
                                   int32_t index, uint32_t offset, bool owns) {
    if (m_loaded && m_kind == kMp4KindMovie) {
        CId3Editor* id3;
        int32_t result = ForwardTarget(data, owns, &id3);
        return result == tag::kOk ? id3->SetPicture(data, size, imageFormat, pictureType, index, offset, owns)
                                  : result;
    }
    CTagOwnedPtr<CTagStream> image(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (index < 0) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    if (m_kind == kMp4Kind3gp) {
        // Pictures are numbered from 1 within their kind; the new one takes its place in that order.
        const uint32_t number = uint32_t(index) + 1;
        if (number > id3::kMaxIndex) return tag::kInvalidArgument;
        CMp4ContainerBox* container;
        result = TagContainer(&container);
        if (result != tag::kOk) return result;
        std::unique_ptr<CMp4FrameBox> frame(
            CreateMp4PictureFrameBox(pictureType, number, imageFormat, std::move(image), size, offset));
        if (!frame) return id3::PictureDescription(pictureType, 0).empty() ? tag::kInvalidArgument : tag::kOutOfMemory;
        result = ShiftPictureNumbers(container, pictureType, number, 1);
        return result == tag::kOk ? AppendChild(container, frame.release()) : result;
    }
    CMp4ContainerBox *ilst, *covr;
    result = ItemList(true, &ilst);
    if (result == tag::kOk) result = ChildContainer(ilst, mp4::kCovr, true, &covr);
    if (result != tag::kOk) return result;
    CMp4Box* picture = new (std::nothrow)
        CMp4DataBox(imageFormat == tag::kImagePng ? kDataPng : kDataJpeg, std::move(image), size, offset);
    if (!picture) return tag::kOutOfMemory;
    int32_t seen = -1;
    auto& children = covr->Children();
    for (auto* node = children.First(); node != children.End(); node = node->next) {
        if (node->element->Type() != mp4::kData || ++seen != index) continue;
        if (node->owns) delete node->element;
        node->element = picture;
        node->owns = true;
        return tag::kOk;
    }
    return AppendChild(covr, picture);
}

int32_t CMp4FileEditor::RemovePicture(uint8_t pictureType, int32_t index) {
    if (index < 0) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    if (m_kind == kMp4KindMovie) {
        CId3Editor* id3;
        int32_t result = Id3Tag(&id3);
        return result == tag::kOk ? id3->RemovePicture(pictureType, index) : result;
    }
    if (m_kind == kMp4Kind3gp) {
        // The picture and the texts that belong to it go; those numbered above it move down one.
        const uint32_t number = uint32_t(index) + 1;
        CMp4ContainerBox* container;
        int32_t result = TagContainer(&container);
        if (result == tag::kOk) result = CheckPictureNumbers(container, pictureType, UINT32_MAX);
        if (result == tag::kOk) {
            result = RemoveFrames([&](CMp4FrameBox& frame) -> int32_t {
                int32_t kind;
                uint32_t entryNumber;
                int32_t read = frame.NumberedEntry(m_source.Get(), &kind, &entryNumber);
                if (read == tag::kNotFound) return 1;
                if (read != tag::kOk) return read;
                return kind == pictureType && entryNumber == number ? 0 : 1;
            });
        }
        return result == tag::kOk ? ShiftPictureNumbers(container, pictureType, number + 1, -1) : result;
    }
    CMp4ContainerBox* ilst;
    int32_t result = ItemList(false, &ilst);
    if (result != tag::kOk || !ilst) return result;
    CMp4Box* covr = ilst->Find(mp4::kCovr);
    if (!covr || !covr->AsContainer()) return tag::kOk;
    auto& children = covr->AsContainer()->Children();
    int32_t seen = -1;
    for (auto* node = children.First(); node != children.End(); node = node->next) {
        if (node->element->Type() == mp4::kData && ++seen == index) {
            children.Remove(node);
            break;
        }
    }
    return tag::kOk;
}

int32_t CMp4FileEditor::CheckPictureNumbers(CMp4ContainerBox* container, int32_t pictureKind, uint32_t raiseFrom) {
    auto& frames = container->Children();
    for (auto* node = frames.First(); node != frames.End(); node = node->next) {
        CMp4FrameBox* frame = node->element->AsFrameBox();
        int32_t kind;
        uint32_t number;
        const int32_t result = frame ? frame->NumberedEntry(m_source.Get(), &kind, &number) : tag::kNotFound;
        if (result == tag::kNotFound) continue;
        if (result != tag::kOk) return result;
        if (kind == pictureKind && number >= raiseFrom && number >= id3::kMaxIndex) return tag::kInvalidArgument;
    }
    return tag::kOk;
}

int32_t CMp4FileEditor::ShiftPictureNumbers(CMp4ContainerBox* container, int32_t pictureKind, uint32_t from,
                                            int32_t step) {
    int32_t result = CheckPictureNumbers(container, pictureKind, step > 0 ? from : UINT32_MAX);
    if (result != tag::kOk) return result;
    auto& frames = container->Children();
    for (auto* node = frames.First(); node != frames.End(); node = node->next) {
        CMp4FrameBox* frame = node->element->AsFrameBox();
        int32_t kind;
        uint32_t number;
        if (!frame || frame->NumberedEntry(m_source.Get(), &kind, &number) != tag::kOk) continue;
        if (kind != pictureKind || number < from) continue;
        result = frame->Renumber(step > 0 ? number + 1 : number - 1);
        if (result != tag::kOk) return result;
    }
    return tag::kOk;
}

// ---- mood data and lookup identifier

template <class Check>
int32_t CMp4FileEditor::RemoveFrames(Check check) {
    CMp4ContainerBox* container;
    int32_t result = TagContainer(&container);
    if (result != tag::kOk) return result;
    auto& frames = container->Children();
    for (auto* node = frames.First(); node != frames.End();) {
        CMp4FrameBox* frame = node->element->AsFrameBox();
        result = frame ? check(*frame) : 1;
        if (result < 0) return result;
        node = result == 0 ? frames.Remove(node) : node->next;
    }
    return tag::kOk;
}

int32_t CMp4FileEditor::RemoveMoodData() {
    if (!m_loaded) return tag::kNotReady;
    if (m_kind == kMp4KindAudio) return tag::kNoCounterpart;
    if (m_kind == kMp4KindMovie) {
        CId3Editor* id3;
        int32_t result = Id3Tag(&id3);
        return result == tag::kOk ? id3->RemoveMoodData() : result;
    }
    return RemoveFrames([&](CMp4FrameBox& frame) { return frame.CheckMoodData(m_source.Get()); });
}

int32_t CMp4FileEditor::RemoveLookupId() {
    if (!m_loaded) return tag::kNotReady;
    if (m_kind != kMp4Kind3gp) return tag::kNoCounterpart;
    return RemoveFrames([&](CMp4FrameBox& frame) { return frame.CheckLookupId(m_source.Get()); });
}

int32_t CMp4FileEditor::SetMoodData(CTagStream* data, uint32_t size, uint32_t offset, bool owns) {
    if (m_loaded && m_kind == kMp4KindMovie) {
        CId3Editor* id3;
        int32_t result = ForwardTarget(data, owns, &id3);
        return result == tag::kOk ? id3->SetMoodData(data, size, offset, owns) : result;
    }
    CTagOwnedPtr<CTagStream> payload(data, owns);
    if (m_kind == kMp4KindAudio) return tag::kNoCounterpart;
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    result = RemoveMoodData();
    CMp4ContainerBox* container = nullptr;
    if (result == tag::kOk) result = TagContainer(&container);
    if (result != tag::kOk) return result;
    const std::string fields(reinterpret_cast<const char*>(id3::kMoodHeader), id3::kMoodHeaderSize);
    return AppendChild(container,
                       new (std::nothrow) CMp4FrameBox(id3::kFrameObject, fields, std::move(payload), size, offset));
}

int32_t CMp4FileEditor::RemoveLookupItem(CMp4ContainerBox* ilst) {
    auto& items = ilst->Children();
    for (auto* node = items.First(); node != items.End(); node = node->next) {
        CMp4ContainerBox* item = node->element->AsContainer();
        if (node->element->Type() != mp4::kFreeform || !item) continue;
        CMp4Box* name = item->Find(mp4::kName);
        if (!name || !item->Find(mp4::kData)) continue;
        // Every "name" of a free-form item is made as a name box, loaded or new.
        std::string text;
        int32_t result = static_cast<CMp4NameBox*>(name)->ReadBody(m_source.Get(), kLookupNameLimit + 1, &text);
        if (result != tag::kOk) return result;
        if (text.size() > kLookupNameLimit ||
            !mp4::IsLookupIdName(reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size())))
            continue;
        items.Remove(node);
        break;
    }
    return tag::kOk;
}

int32_t CMp4FileEditor::SetLookupId(CTagStream* data, uint32_t size, uint32_t offset, bool owns) {
    CTagOwnedPtr<CTagStream> identifier(data, owns);
    if (m_kind == kMp4KindMovie) return tag::kNoCounterpart;
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    if (m_kind == kMp4Kind3gp) {
        result = RemoveLookupId();
        CMp4ContainerBox* container = nullptr;
        if (result == tag::kOk) result = TagContainer(&container);
        if (result != tag::kOk) return result;
        const std::string fields = std::string(id3::kLookupOwner) + '\0';
        return AppendChild(container, new (std::nothrow) CMp4FrameBox(id3::kFrameUniqueId, fields,
                                                                      std::move(identifier), size, offset));
    }
    CMp4ContainerBox* ilst;
    result = ItemList(true, &ilst);
    if (result == tag::kOk) result = RemoveLookupItem(ilst);
    if (result != tag::kOk) return result;
    CMp4ContainerBox* item = new (std::nothrow) CMp4ContainerBox(NewMp4BoxHeader(mp4::kFreeform), m_kind, false);
    result = AppendChild(ilst, item);
    if (result == tag::kOk)
        result = AppendChild(item, new (std::nothrow) CMp4MeanBox(kFreeformMean));
    if (result == tag::kOk)
        result = AppendChild(item, new (std::nothrow) CMp4NameBox(kLookupName));
    if (result != tag::kOk) return result;
    return AppendChild(item, new (std::nothrow) CMp4DataBox(kDataText, std::move(identifier), size, offset));
}
