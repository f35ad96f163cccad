#include "library/media/tags/AsfEditor.h"

#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "library/media/tags/AsfAttributeList.h"
#include "library/media/tags/TagAnsiText.h"
#include "library/media/tags/TagBufferedStream.h"
#include "library/media/tags/TagByteStream.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

namespace {

// The 16-bit length fields of the content description and of the extended content description.
constexpr uint32_t kMaxTextLength = 0xFFFF;

bool IsUtf16(int32_t encoding) { return encoding >= tag::kEncodingUtf16BeNoMark && encoding <= tag::kEncodingUtf16LeMarked; }

// ASF text is UTF-16LE without a mark: big-endian text is swapped and a leading mark dropped.
int32_t ToPlainUtf16Le(int32_t encoding, CTagOwnedPtr<CTagStream>* text, uint32_t* size, uint32_t* offset) {
    if (encoding == tag::kEncodingUtf16LeNoMark) return tag::kOk;
    std::vector<uint8_t> bytes(*size);
    int32_t result = *size ? tag::ReadStreamAt(text->Get(), *offset, bytes.data(), *size) : tag::kOk;
    if (result != tag::kOk) return result;
    const bool big = encoding == tag::kEncodingUtf16BeNoMark || encoding == tag::kEncodingUtf16BeMarked;
    const uint8_t first = big ? 0xFE : 0xFF, second = big ? 0xFF : 0xFE;
    if (encoding != tag::kEncodingUtf16BeNoMark && bytes.size() >= 2 && bytes[0] == first && bytes[1] == second)
        bytes.erase(bytes.begin(), bytes.begin() + 2);
    if (big)
        for (size_t at = 0; at + 1 < bytes.size(); at += 2) std::swap(bytes[at], bytes[at + 1]);
    *size = uint32_t(bytes.size());
    *offset = 0;
    CTagStream* converted = new (std::nothrow) CTagByteStream(std::move(bytes));
    if (!converted) return tag::kOutOfMemory;
    *text = CTagOwnedPtr<CTagStream>(converted, true);
    return tag::kOk;
}

// Units of UTF-16LE with every surrogate paired; false for an odd length.
bool IsWellFormedUtf16Le(const std::vector<uint8_t>& bytes) {
    if (bytes.size() % 2) return false;
    for (size_t at = 0; at < bytes.size(); at += 2) {
        const uint32_t unit = bytes[at] | bytes[at + 1] << 8;
        if (unit < 0xD800 || unit > 0xDFFF) continue;
        if (unit > 0xDBFF || at + 2 >= bytes.size()) return false;
        const uint32_t low = bytes[at + 2] | bytes[at + 3] << 8;
        if (low < 0xDC00 || low > 0xDFFF) return false;
        at += 2;
    }
    return true;
}

// The lookup identifier is a Unicode-string attribute, and a value that is not UTF-16LE makes
// the whole file unreadable to some readers. Callers hand either UTF-16LE (with or without its
// zero unit) or 8-bit text (with or without its zero byte): the first is kept, the second
// converted, and the stored value always ends with a zero unit. Bytes that are neither give -2.
int32_t ToTerminatedUtf16Le(CTagOwnedPtr<CTagStream>* value, uint32_t* size, uint32_t* offset) {
    std::vector<uint8_t> bytes(*size);
    int32_t result = *size ? tag::ReadStreamAt(value->Get(), *offset, bytes.data(), *size) : tag::kOk;
    if (result != tag::kOk) return result;
    size_t zeros = 0;
    for (uint8_t byte : bytes) zeros += byte == 0;
    const bool eightBit = zeros == 0 || (zeros == 1 && bytes.back() == 0);
    if (eightBit) {
        std::u16string units;
        if (!tag::AnsiToUtf16(bytes.data(), bytes.size() - zeros, &units)) return tag::kInvalidArgument;
        bytes.clear();
        for (char16_t unit : units) {
            bytes.push_back(uint8_t(unit & 0xFF));
            bytes.push_back(uint8_t(unit >> 8));
        }
    } else if (!IsWellFormedUtf16Le(bytes)) {
        return tag::kInvalidArgument;
    }
    // Only the last unit may be zero: one inside would cut the identifier short for every reader.
    while (bytes.size() >= 2 && bytes[bytes.size() - 1] == 0 && bytes[bytes.size() - 2] == 0) bytes.resize(bytes.size() - 2);
    for (size_t at = 0; at < bytes.size(); at += 2)
        if (bytes[at] == 0 && bytes[at + 1] == 0) return tag::kInvalidArgument;
    bytes.push_back(0);
    bytes.push_back(0);
    if (bytes.size() > kMaxTextLength) return tag::kInvalidArgument;
    *size = uint32_t(bytes.size());
    *offset = 0;
    CTagStream* converted = new (std::nothrow) CTagByteStream(std::move(bytes));
    if (!converted) return tag::kOutOfMemory;
    *value = CTagOwnedPtr<CTagStream>(converted, true);
    return tag::kOk;
}

// The child of that index; with create set a missing one is made empty and added.
CAsfObject* FindOrAdd(CAsfContainerObject* container, int32_t objectIndex, bool create) {
    if (!container) return nullptr;
    CAsfObject* found = container->Find(objectIndex);
    return found || !create ? found : container->AddNew(objectIndex);
}

}  // namespace

int32_t CAsfEditor::Load(CTagOwnedPtr<CTagStream> stream) {
    Close();
    if (!stream) return tag::kInvalidArgument;
    CTagStream* buffered = new (std::nothrow) CTagBufferedStream(std::move(stream));
    if (!buffered) return tag::kOutOfMemory;
    m_source = CTagOwnedPtr<CTagStream>(buffered, true);
    uint32_t size;
    int32_t result = m_source->GetSize(&size);
    if (result != tag::kOk) return result;
    for (uint32_t at = 0; at < size;) {
        CAsfObjectHeader header;
        result = header.Read(m_source.Get(), at, size);
        if (result != tag::kOk) return result;
        const bool isHeader = header.Index() == asf::kObjectHeader;
        CAsfObject* object = isHeader ? static_cast<CAsfObject*>(new (std::nothrow) CAsfHeaderObject(header))
                                      : new (std::nothrow) CAsfRawObject(header);
        result = m_objects.LoadAndAppend(object, m_source.Get());
        if (result != tag::kOk) return result;
        at = header.End();
    }
    if (!HeaderObject()) return tag::kMalformed;
    m_loaded = true;
    return tag::kOk;
}

int32_t CAsfEditor::Close() {
    m_objects.Clear();
    if (m_source) m_source->Close();
    m_source.Reset();
    m_loaded = false;
    return tag::kOk;
}

CAsfHeaderObject* CAsfEditor::HeaderObject() const {
    CAsfObject* header = m_objects.Find([](const CAsfObject& object) { return object.Index() == asf::kObjectHeader; });
    return header ? header->AsHeaderObject() : nullptr;
}

CAsfContentDescription* CAsfEditor::ContentDescription(bool create) const {
    CAsfObject* found = FindOrAdd(HeaderObject(), asf::kObjectContentDescription, create);
    return found ? found->AsContentDescription() : nullptr;
}

CAsfAttributeObject* CAsfEditor::ExtendedContentDescription(bool create) const {
    CAsfObject* found = FindOrAdd(HeaderObject(), asf::kObjectExtendedContentDescription, create);
    return found ? found->AsAttributeObject() : nullptr;
}

CAsfAttributeObject* CAsfEditor::MetadataLibrary(bool create) const {
    CAsfObject* extension = FindOrAdd(HeaderObject(), asf::kObjectHeaderExtension, create);
    CAsfObject* found = FindOrAdd(extension ? extension->AsHeaderExtension() : nullptr, asf::kObjectMetadataLibrary, create);
    return found ? found->AsAttributeObject() : nullptr;
}

int32_t CAsfEditor::RemoveMoodData() {
    if (!m_loaded) return tag::kNotReady;
    if (CAsfAttributeObject* list = ExtendedContentDescription(false)) list->RemoveAll(asf::kAttributeMood);
    if (CAsfAttributeObject* list = MetadataLibrary(false)) list->RemoveAll(asf::kAttributeMood);
    return tag::kOk;
}

int32_t CAsfEditor::SetMoodData(CTagStream* data, uint32_t size, uint32_t offset, bool owns) {
    CTagOwnedPtr<CTagStream> value(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    RemoveMoodData();
    CAsfAttributeObject* library = MetadataLibrary(true);
    if (!library) return tag::kOutOfMemory;
    CAsfAttribute* attribute;
    result = library->CreateAttribute(asf::kAttributeMood, {}, std::move(value), size, offset, &attribute);
    return result == tag::kOk ? library->Append(attribute) : result;
}

void CAsfEditor::PictureLists(CAsfAttributeObject* lists[2]) const {
    lists[0] = ExtendedContentDescription(false);
    lists[1] = MetadataLibrary(false);
    auto& children = HeaderObject()->Children();
    for (auto* node = children.First(); node != children.End(); node = node->next) {
        if (node->element->Index() == asf::kObjectExtendedContentDescription) return;
        if (node->element->Index() == asf::kObjectHeaderExtension) {
            std::swap(lists[0], lists[1]);
            return;
        }
    }
}

int32_t CAsfEditor::SetPicture(CTagStream* data, uint32_t size, int32_t imageFormat, uint8_t pictureType,
                               int32_t index, uint32_t offset, bool owns) {
    CTagOwnedPtr<CTagStream> image(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (index < 0) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    CAsfAttributeObject* library = MetadataLibrary(true);
    if (!library) return tag::kOutOfMemory;
    std::vector<uint8_t> prefix = asf::PictureValuePrefix(pictureType, imageFormat, size);
    const uint64_t valueLength = uint64_t(prefix.size()) + size;
    // Other taggers keep pictures in the extended content description as well: the picture at
    // that position is replaced where it is held, or a player could go on showing the old one.
    CAsfAttributeObject* lists[2];
    PictureLists(lists);
    uint32_t position = uint32_t(index);
    CAsfAttributeObject* holder = library;
    CTagElementList<CAsfAttribute>::Node* replaced = nullptr;
    for (CAsfAttributeObject* list : lists) {
        uint32_t count = 0;
        if (list && (replaced = list->FindPicture(m_source.Get(), pictureType, position, &count))) {
            holder = list;
            break;
        }
        position -= count;
    }
    // A picture too large for the descriptor's 16-bit length moves to the library, as close to
    // its old place as the library allows.
    const CTagElementList<CAsfAttribute>::Node* before = library->Attributes().End();
    if (replaced && !holder->Holds(valueLength)) {
        holder->Attributes().Remove(replaced);
        replaced = nullptr;
        holder = library;
        uint32_t ahead = 0;
        if (lists[0] && lists[0] != library) lists[0]->FindPicture(m_source.Get(), pictureType, UINT32_MAX, &ahead);
        const uint32_t inLibrary = uint32_t(index) > ahead ? uint32_t(index) - ahead : 0;
        if (auto* node = library->FindPicture(m_source.Get(), pictureType, inLibrary)) before = node;
    }
    CAsfAttribute* picture;
    result = holder->CreateAttribute(asf::kAttributePicture, std::move(prefix), std::move(image), size, offset,
                                     &picture);
    if (result != tag::kOk) return result;
    if (replaced) {
        holder->Attributes().Replace(replaced, picture, true);
        return tag::kOk;
    }
    return library->InsertBefore(before, picture);
}

int32_t CAsfEditor::RemovePicture(uint8_t pictureType, int32_t index) {
    if (index < 0) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    if (index == 0) return tag::kOk;
    for (CAsfAttributeObject* list : {ExtendedContentDescription(false), MetadataLibrary(false)}) {
        if (!list) continue;
        if (auto* node = list->FindPicture(m_source.Get(), pictureType, uint32_t(index - 1)))
            list->Attributes().Remove(node);
    }
    return tag::kOk;
}

int32_t CAsfEditor::RemoveItem(int32_t itemType) {
    if (itemType < 0 || itemType >= tag::kItemTypeCount) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotReady;
    if (itemType == tag::kItemTitle || itemType == tag::kItemArtist) {
        if (CAsfContentDescription* description = ContentDescription(false))
            description->SetText(itemType == tag::kItemTitle ? CAsfContentDescription::kTitle
                                                             : CAsfContentDescription::kAuthor,
                                 CTagOwnedPtr<CTagStream>(), 0, 0);
        return tag::kOk;
    }
    const int32_t attributeId = asf::AttributeIdOfItemType(itemType);
    if (attributeId == asf::kAttributeOther) return tag::kOk;
    if (CAsfAttributeObject* list = ExtendedContentDescription(false)) list->RemoveAll(attributeId);
    return tag::kOk;
}

int32_t CAsfEditor::SetItem(int32_t itemType, CTagStream* data, uint32_t size, int32_t encoding, uint32_t offset,
                            bool owns) {
    CTagOwnedPtr<CTagStream> text(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (itemType < 0 || itemType >= tag::kItemTypeCount) return tag::kInvalidArgument;
    const int32_t attributeId = asf::AttributeIdOfItemType(itemType);
    const bool described = itemType == tag::kItemTitle || itemType == tag::kItemArtist;
    if (!IsUtf16(encoding) || (!described && attributeId == asf::kAttributeOther)) return tag::kNoCounterpart;
    if (!m_loaded) return tag::kNotReady;
    result = ToPlainUtf16Le(encoding, &text, &size, &offset);
    if (result != tag::kOk) return result;
    // The length fields hold 16 bits: a longer text would wrap them and break the header.
    if (size > kMaxTextLength) return tag::kInvalidArgument;
    result = RemoveItem(itemType);
    if (result != tag::kOk) return result;
    if (described) {
        CAsfContentDescription* description = ContentDescription(true);
        if (!description) return tag::kOutOfMemory;
        description->SetText(itemType == tag::kItemTitle ? CAsfContentDescription::kTitle
                                                         : CAsfContentDescription::kAuthor,
                             std::move(text), size, offset);
        return tag::kOk;
    }
    CAsfAttributeObject* list = ExtendedContentDescription(true);
    if (!list) return tag::kOutOfMemory;
    CAsfAttribute* attribute;
    result = list->CreateAttribute(attributeId, {}, std::move(text), size, offset, &attribute);
    return result == tag::kOk ? list->Append(attribute) : result;
}

int32_t CAsfEditor::SetLookupId(CTagStream* data, uint32_t size, uint32_t offset, bool owns) {
    CTagOwnedPtr<CTagStream> identifier(data, owns);
    int32_t result = tag::CheckDataRange(data, size, offset);
    if (result != tag::kOk) return result;
    if (!m_loaded) return tag::kNotReady;
    if (size > kMaxTextLength) return tag::kInvalidArgument;
    result = ToTerminatedUtf16Le(&identifier, &size, &offset);
    if (result != tag::kOk) return result;
    CAsfAttributeObject* list = ExtendedContentDescription(true);
    if (!list) return tag::kOutOfMemory;
    list->RemoveAll(asf::kAttributeLookupId);
    CAsfAttribute* attribute;
    result = list->CreateAttribute(asf::kAttributeLookupId, {}, std::move(identifier), size, offset, &attribute);
    return result == tag::kOk ? list->Append(attribute) : result;
}

int32_t CAsfEditor::Save(CTagWriteStream* output, bool owns) {
    CTagOwnedPtr<CTagWriteStream> target(output, owns);
    if (!m_loaded) return tag::kNotReady;
    if (!output) return tag::kInvalidArgument;
    uint64_t fileSize = 0;
    for (auto* node = m_objects.First(); node != m_objects.End(); node = node->next) fileSize += node->element->Size();
    // Positions and sizes are kept in 32 bits; a larger file would come out cut.
    if (fileSize > 0xFFFFFFFFu) return tag::kMalformed;
    int32_t result = tag::kOk;
    for (auto* node = m_objects.First(); result == tag::kOk && node != m_objects.End(); node = node->next)
        result = node->element->SetFileSize(uint32_t(fileSize), 0);
    for (auto* node = m_objects.First(); result == tag::kOk && node != m_objects.End(); node = node->next)
        result = node->element->Write(m_source.Get(), output);
    if (owns) {
        const int32_t closed = output->Close();
        if (result == tag::kOk) result = closed;
    }
    return result;
}
