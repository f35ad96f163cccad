#include "library/media/tags/TagFactories.h"

#include <new>

#include "library/media/tags/AsfEditor.h"
#include "library/media/tags/AsfReader.h"
#include "library/media/tags/Id3Editor.h"
#include "library/media/tags/Id3Reader.h"
#include "library/media/tags/Mp4FileEditor.h"
#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFileReader.h"
#include "library/media/tags/TagFileWriter.h"
#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagTypes.h"

namespace {

using ReaderFactory = int32_t (*)(CTagStream*, CTagParser**, bool);
using EditorFactory = int32_t (*)(CTagStream*, CTagEditor**, bool);

template <int32_t Kind>
int32_t CreateMp4ReaderOfKind(CTagStream* stream, CTagParser** reader, bool owns) {
    return CreateMp4Reader(stream, reader, Kind, owns);
}
template <int32_t Kind>
int32_t CreateMp4EditorOfKind(CTagStream* stream, CTagEditor** editor, bool owns) {
    return CreateMp4FileEditor(stream, editor, Kind, owns);
}

// By tag reader type; a format without an entry has no reader or editor yet.
const ReaderFactory kReaderFactories[kTagReaderTypeCount] = {
    CreateId3Reader, CreateAsfReader, CreateMp4ReaderOfKind<kMp4KindMovie>, CreateMp4ReaderOfKind<kMp4KindAudio>,
    CreateMp4ReaderOfKind<kMp4Kind3gp>};
const EditorFactory kEditorFactories[kTagReaderTypeCount] = {
    CreateId3Editor, CreateAsfEditor, CreateMp4EditorOfKind<kMp4KindMovie>, CreateMp4EditorOfKind<kMp4KindAudio>,
    CreateMp4EditorOfKind<kMp4Kind3gp>};

// The steps every factory shares: check, rewind, create, hand the stream over, load. The
// arguments go to the object's constructor (the MP4 kind); a kind out of range gives -2.
template <class Object, class Interface, class... Arguments>
int32_t CreateAndLoad(CTagStream* stream, Interface** out, bool owns, Arguments... arguments) {
    if (!stream) return tag::kInvalidArgument;
    CTagOwnedPtr<CTagStream> input(stream, owns);
    if (!out) return tag::kInvalidArgument;
    int32_t result = stream->Seek(0, kSeekBegin);
    if (result != tag::kOk) return result;
    Object* object = new (std::nothrow) Object(arguments...);
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

int32_t CreateAsfReader(CTagStream* stream, CTagParser** reader, bool owns) {
    return CreateAndLoad<CAsfReader>(stream, reader, owns);
}

int32_t CreateAsfEditor(CTagStream* stream, CTagEditor** editor, bool owns) {
    return CreateAndLoad<CAsfEditor>(stream, editor, owns);
}

int32_t CreateId3Editor(CTagStream* stream, CTagEditor** editor, bool owns) {
    return CreateAndLoad<CId3Editor>(stream, editor, owns);
}

int32_t CreateMp4Reader(CTagStream* stream, CTagParser** reader, int32_t kind, bool owns) {
    if (stream && (kind < 0 || kind >= kMp4KindCount)) {
        CTagOwnedPtr<CTagStream> refused(stream, owns);
        return tag::kInvalidArgument;
    }
    return CreateAndLoad<CMp4Reader>(stream, reader, owns, kind);
}

int32_t CreateMp4FileEditor(CTagStream* stream, CTagEditor** editor, int32_t kind, bool owns) {
    if (stream && (kind < 0 || kind >= kMp4KindCount)) {
        CTagOwnedPtr<CTagStream> refused(stream, owns);
        return tag::kInvalidArgument;
    }
    return CreateAndLoad<CMp4FileEditor>(stream, editor, owns, kind);
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
