#include "library/media/decode/TagOpeners.h"

#include "library/media/tags/TagTypes.h"
#include "library/util/TextConversion.h"

namespace {

// The tag library takes UTF-8 paths; a path that does not convert opens nothing.
bool ToTagPath(const std::wstring& path, std::string* utf8) { return WideToUtf8(path, utf8); }

}  // namespace

CTagStream* OpenTagReadStream(const std::wstring& path) {
    std::string utf8;
    return ToTagPath(path, &utf8) ? OpenTagReadStream(utf8.c_str()) : nullptr;
}

CTagWriteStream* OpenTagWriteStream(const std::wstring& path) {
    std::string utf8;
    return ToTagPath(path, &utf8) ? OpenTagWriteStream(utf8.c_str()) : nullptr;
}

CTagParser* OpenTagReaderByType(const std::wstring& path, int32_t readerType) {
    std::string utf8;
    return ToTagPath(path, &utf8) ? OpenTagReaderByType(utf8.c_str(), readerType) : nullptr;
}

CMp4Reader* OpenMp4Reader(CTagStream* stream, int32_t readerType) {
    if (!stream) return nullptr;
    if (readerType < kTagReaderMp4Kind0 || readerType > kTagReaderMp4Kind2) {
        delete stream;
        return nullptr;
    }
    CTagParser* reader = nullptr;
    if (CreateMp4Reader(stream, &reader, readerType - kTagReaderMp4Kind0, true) != tag::kOk) return nullptr;
    // CreateMp4Reader makes nothing but MP4 readers.
    return static_cast<CMp4Reader*>(reader);
}

CMp4Reader* OpenTagReaderForPath(const std::wstring& path, int32_t readerType) {
    CTagStream* stream = OpenTagReadStream(path);
    return stream ? OpenMp4Reader(stream, readerType) : nullptr;
}

CTagEditor* OpenTagEditorByType(const std::wstring& path, int32_t readerType) {
    std::string utf8;
    return ToTagPath(path, &utf8) ? OpenTagEditorByType(utf8.c_str(), readerType) : nullptr;
}
