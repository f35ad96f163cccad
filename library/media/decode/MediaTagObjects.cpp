#include "library/media/decode/MediaTagObjects.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "library/media/decode/MediaProbeRecords.h"
#include "library/media/decode/MediaTagReaderTypes.h"
#include "library/media/decode/MediaTagText.h"
#include "library/media/decode/TagOpeners.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagReader.h"
#include "library/media/tags/TagTypes.h"

namespace {

using ObjectFinder = int32_t (*)(CTagReader& reader, uint32_t* offset, uint32_t* size);

int32_t FindFirstMoodData(CTagReader& reader, uint32_t* offset, uint32_t* size) {
    return reader.FindMoodData(0, offset, size);
}

int32_t FindLookupId(CTagReader& reader, uint32_t* offset, uint32_t* size) { return reader.FindLookupId(offset, size); }

int32_t ReadObjectBlob(CTNByteArray** blob, const std::wstring& path, int32_t readerType, ObjectFinder find) {
    CTagParser* parser = OpenTagReaderByType(path, readerType);
    if (parser == nullptr) return -1;
    CTagReader reader(parser, true);
    int32_t result = -1;
    uint32_t offset = 0;
    uint32_t size = 0;
    if (find(reader, &offset, &size) == tag::kOk && size > 0) {
        delete *blob;
        *blob = CTNByteArray::Create(size);
        if (*blob != nullptr && reader.ReadObjectData(offset, size, 0, (*blob)->data, size) == tag::kOk) {
            (*blob)->length = size;
            result = 0;
        }
    }
    reader.Close();
    return result;
}

bool IsEmpty(const CTNByteArray* blob) { return blob == nullptr || blob->length == 0; }

}  // namespace

int32_t CountCoverArt(const std::wstring& path, int32_t readerType) {
    CTagParser* parser = OpenTagReaderByType(path, readerType);
    if (parser == nullptr) return -1;
    CTagReader reader(parser, true);
    uint32_t count = 0;
    const int32_t result = reader.CountPictures(tag::kPictureAnyType, &count);
    reader.Close();
    return result == tag::kOk && count <= INT32_MAX ? static_cast<int32_t>(count) : -1;
}

bool HasCoverArt(const std::wstring& path, int32_t mediaType) {
    const MediaTagReaderTypes readers = TagReaderTypesForMediaType(mediaType);
    for (int32_t i = 0; i < readers.count; ++i) {
        if (CountCoverArt(path, readers.types[i]) > 0) return true;
    }
    return false;
}

int32_t ReadMoodDataBlob(CTNByteArray** blob, const std::wstring& path, int32_t readerType) {
    return blob != nullptr ? ReadObjectBlob(blob, path, readerType, FindFirstMoodData) : -1;
}

int32_t ReadLookupIdBlob(CTNByteArray** blob, const std::wstring& path, int32_t readerType) {
    return blob != nullptr ? ReadObjectBlob(blob, path, readerType, FindLookupId) : -1;
}

int32_t ReadMoodData(CTNByteArray** blob, const std::wstring& path, int32_t mediaType) {
    const MediaTagReaderTypes readers = TagReaderTypesForMediaType(mediaType);
    if (blob == nullptr || readers.count == 0) return -1;
    int32_t result = -1;
    for (int32_t i = 0; i < readers.count; ++i) {
        result = ReadMoodDataBlob(blob, path, readers.types[i]);
        if (result == 0 && !IsEmpty(*blob)) break;
    }
    return result;
}

int32_t ReadLookupId(std::wstring* lookupId, const std::wstring& path, int32_t mediaType) {
    const MediaTagReaderTypes readers = TagReaderTypesForMediaType(mediaType, true);
    if (lookupId == nullptr || readers.count == 0) return -1;
    CTNByteArray* blob = nullptr;
    int32_t result = -1;
    int32_t readerType = -1;
    for (int32_t i = 0; i < readers.count; ++i) {
        readerType = readers.types[i];
        result = ReadLookupIdBlob(&blob, path, readerType);
        if (result == 0 && (mediaType != kMediaMp4Family3 || !IsEmpty(blob))) break;
    }
    if (result == 0 && blob != nullptr && readerType == kTagReaderAsf) {
        // ASF keeps the identifier as a Unicode attribute: UTF-16LE, read as ANSI it would end
        // after its first character.
        std::wstring text;
        for (uint32_t at = 0; at + 1 < blob->length; at += 2) {
            const wchar_t unit = static_cast<wchar_t>(blob->data[at] | (blob->data[at + 1] << 8));
            if (unit == L'\0') break;
            text.push_back(unit);
        }
        *lookupId = text;
    } else if (result == 0 && blob != nullptr) {
        std::vector<char> text(blob->data, blob->data + blob->length);
        text.push_back('\0');
        const std::unique_ptr<wchar_t[]> wide = AnsiToWide(text.data(), CP_THREAD_ACP);
        if (wide) *lookupId = wide.get();
        result = wide ? 0 : -1;
    } else if (result == 0) {
        result = -1;
    }
    delete blob;
    return result;
}
