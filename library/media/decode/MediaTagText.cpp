#include "library/media/decode/MediaTagText.h"

#include <memory>
#include <new>
#include <vector>

#include "library/media/decode/GenreNames.h"
#include "library/media/decode/MediaProbeRecords.h"
#include "library/media/decode/MediaTagReaderTypes.h"
#include "library/media/decode/TagOpeners.h"
#include "library/media/tags/TagTypes.h"
#include "library/util/TextConversion.h"

namespace {

// Tag item types and the fields they fill; the year and the other text trade places.
const std::pair<int32_t, int32_t> kItemFields[] = {
    {tag::kItemArtist, kFieldArtist}, {tag::kItemTitle, kFieldTitle},   {tag::kItemGenre, kFieldGenre},
    {tag::kItemAlbum, kFieldAlbum},   {tag::kItemAlbumArtist, kFieldAlbumArtist},
    {tag::kItemOther, kFieldOther},   {tag::kItemYear, kFieldYear},     {tag::kItemTrack, kFieldTrack},
};

std::wstring Utf16Units(const uint8_t* bytes, uint32_t length, bool bigEndian) {
    std::wstring text(length / 2, L'\0');
    for (size_t unit = 0; unit < text.size(); ++unit) {
        const uint8_t first = bytes[2 * unit];
        const uint8_t second = bytes[2 * unit + 1];
        text[unit] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    // The text ends at its terminator, as a zero-terminated string would.
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return text;
}

// The item's bytes (zero-terminated by the caller's spare bytes) as a wide string.
std::wstring ItemText(const uint8_t* bytes, uint32_t length, int32_t encoding) {
    switch (encoding) {
        case tag::kEncodingUtf8:
            // Text for display: a bad byte costs one character, not the field.
            return Utf8ToWideLenient(reinterpret_cast<const char*>(bytes), length);
        case tag::kEncodingUtf16BeNoMark:
        case tag::kEncodingUtf16BeMarked: return Utf16Units(bytes, length, true);
        case tag::kEncodingUtf16LeNoMark:
        case tag::kEncodingUtf16LeMarked: return Utf16Units(bytes, length, false);
        default: {
            const std::unique_ptr<wchar_t[]> wide = AnsiToWide(reinterpret_cast<const char*>(bytes), CP_THREAD_ACP);
            return wide ? std::wstring(wide.get()) : std::wstring();
        }
    }
}

void ResolveGenreField(MediaTagFields& fields) {
    auto genre = fields.find(kFieldGenre);
    if (genre != fields.end()) ResolveNumericGenre(genre->second);
}

}  // namespace

std::pair<int32_t, std::wstring> MakeTagField(int32_t field, const std::wstring& text) { return {field, text}; }

std::unique_ptr<wchar_t[]> AnsiToWide(const char* text, UINT codePage) {
    if (text == nullptr) return nullptr;
    const int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 0) return nullptr;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[static_cast<size_t>(units)]);
    if (!wide || MultiByteToWideChar(codePage, 0, text, -1, wide.get(), units) != units) return nullptr;
    return wide;
}

int32_t ReadTagTextFields(MediaTagFields& fields, const std::wstring& path, int32_t readerType) {
    CTagParser* parser = OpenTagReaderByType(path, readerType);
    if (parser == nullptr) return -1;
    CTagReader reader(parser, true);
    int32_t result = 0;
    for (const auto& itemField : kItemFields) {
        uint32_t length = 0;
        int32_t encoding = tag::kEncodingUndefined;
        if (reader.GetTextItem(itemField.first, nullptr, &length, &encoding) != tag::kOk || length == 0) continue;
        // Two spare zero bytes terminate the text whatever its unit size.
        if (length > UINT32_MAX - 2) continue;
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size_t(length) + 2]());
        if (!buffer) {
            result = -1;
            break;
        }
        const uint32_t capacity = length;
        if (reader.GetTextItem(itemField.first, buffer.get(), &length, &encoding) != tag::kOk) continue;
        // The second parse may report a longer item than the first; only the buffer holds bytes.
        if (length > capacity) length = capacity;
        const uint8_t* bytes = buffer.get();
        if (encoding == tag::kEncodingUtf16BeMarked || encoding == tag::kEncodingUtf16LeMarked) {
            if (length < 2) continue;
            bytes += 2;
            length -= 2;
            if (length == 0) continue;
        }
        std::wstring text = ItemText(bytes, length, encoding);
        if (!text.empty()) fields.insert(MakeTagField(itemField.second, text));
    }
    reader.Close();
    return result;
}

int32_t ReadTagTextFieldsByType(MediaTagFields& fields, const std::wstring& path, int32_t mediaType) {
    const MediaTagReaderTypes readers = TagReaderTypesForMediaType(mediaType);
    if (readers.count == 0) return -1;
    int32_t result = 0;
    if (readers.count == 1) {
        result = ReadTagTextFields(fields, path, readers.types[0]);
    } else {
        const int32_t first = ReadTagTextFields(fields, path, readers.types[0]);
        const int32_t second = ReadTagTextFields(fields, path, readers.types[1]);
        result = first == 0 && second == 0 ? 0 : 1;
    }
    ResolveGenreField(fields);
    return result;
}
