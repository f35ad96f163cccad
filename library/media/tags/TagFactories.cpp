#include "library/media/tags/TagFactories.h"

#include <new>

#include "library/media/tags/Id3Editor.h"
#include "library/media/tags/Id3Reader.h"
#include "library/media/tags/TagFileReader.h"
#include "library/media/tags/TagFileWriter.h"
#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagTypes.h"

namespace {

using ReaderFactory = int32_t (*)(CTagStream*, CTagParser**, bool);
using EditorFactory = int32_t (*)(CTagStream*, CTagEditor**, bool);

// By tag reader type; a format without an entry has no reader or editor yet.
const ReaderFactory kReaderFactories[kTagReaderTypeCount] = {CreateId3Reader};
const EditorFactory kEditorFactories[kTagReaderTypeCount] = {CreateId3Editor};

// The steps every factory shares: check, rewind, create, hand the stream over, load.
template <class Object, class Interface>
int32_t CreateAndLoad(CTagStream* stream, Interface** out, bool owns) {
    if (!stream) return tag::kInvalidArgument;
    CTagOwnedPtr<CTagStream> input(stream, owns);
    if (!out) return tag::kInvalidArgument;
    int32_t result = stream->Seek(0, kSeekBegin);
    if (result != tag::kOk) return result;
    Object* object = new (std::nothrow) Object();
    if (!object) return tag::kOutOfMemory;
    result = object->Load(std::move(input));
    if (result != tag::kOk) {
        delete object;
        return result;
    }
    *out = object;
    return tag::kOk;
}

}  // namespace

int32_t CreateId3Reader(CTagStream* stream, CTagParser** reader, bool owns) {
    return CreateAndLoad<CId3Reader>(stream, reader, owns);
}

int32_t CreateId3Editor(CTagStream* stream, CTagEditor** editor, bool owns) {
    return CreateAndLoad<CId3Editor>(stream, editor, owns);
}

CTagStream* OpenTagReadStream(const char* path) {
    CTagFileReader* stream = new (std::nothrow) CTagFileReader();
    if (!stream) return nullptr;
    if (stream->OpenReadStreamUtf8(path) != tag::kOk) {
        delete stream;
        return nullptr;
    }
    return stream;
}

CTagWriteStream* OpenTagWriteStream(const char* path) {
    CTagFileWriter* stream = new (std::nothrow) CTagFileWriter();
    if (!stream) return nullptr;
    if (stream->OpenWriteStreamUtf8(path) != tag::kOk) {
        delete stream;
        return nullptr;
    }
    return stream;
}

CTagParser* OpenTagReaderByType(const char* path, int32_t readerType) {
    if (readerType < 0 || readerType >= kTagReaderTypeCount || !kReaderFactories[readerType]) return nullptr;
    CTagStream* stream = OpenTagReadStream(path);
    if (!stream) return nullptr;
    CTagParser* reader = nullptr;
    return kReaderFactories[readerType](stream, &reader, true) == tag::kOk ? reader : nullptr;
}

CTagReader* OpenTagReaderForPath(const char* path, int32_t readerType) {
    CTagParser* parser = OpenTagReaderByType(path, readerType);
    if (!parser) return nullptr;
    CTagReader* reader = new (std::nothrow) CTagReader(parser, true);
    if (!reader) delete parser;
    return reader;
}

CTagEditor* OpenTagEditorByType(const char* path, int32_t readerType) {
    if (readerType < 0 || readerType >= kTagReaderTypeCount || !kEditorFactories[readerType]) return nullptr;
    CTagStream* stream = OpenTagReadStream(path);
    if (!stream) return nullptr;
    CTagEditor* editor = nullptr;
    return kEditorFactories[readerType](stream, &editor, true) == tag::kOk ? editor : nullptr;
}
