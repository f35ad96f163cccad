// Factories that create a format's reader or editor around an input stream and load it, and the
// openers that pick the format by the tag reader type of a file:
//   0 ID3v2, 1 ASF, 2 to 4 the MP4 family with reader or editor kind 0 to 2.
// A format registers its factories in the tables of TagFactories.cpp; types without one fail.
#pragma once

#include <cstdint>

#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagReader.h"
#include "library/media/tags/TagStream.h"

enum TagReaderType : int32_t {
    kTagReaderId3 = 0,
    kTagReaderAsf = 1,
    kTagReaderMp4Kind0 = 2,
    kTagReaderMp4Kind1 = 3,
    kTagReaderMp4Kind2 = 4,
    kTagReaderTypeCount = 5,
};

// With owns set the stream belongs to the callee from the call on: it is deleted on failure.
int32_t CreateId3Reader(CTagStream* stream, CTagParser** reader, bool owns);
int32_t CreateAsfReader(CTagStream* stream, CTagParser** reader, bool owns);
int32_t CreateAsfEditor(CTagStream* stream, CTagEditor** editor, bool owns);
int32_t CreateId3Editor(CTagStream* stream, CTagEditor** editor, bool owns);
// kind 0 MP4, 1 M4A, 2 3GP; another kind gives -2.
int32_t CreateMp4Reader(CTagStream* stream, CTagParser** reader, int32_t kind, bool owns);
int32_t CreateMp4FileEditor(CTagStream* stream, CTagEditor** editor, int32_t kind, bool owns);

// The path is UTF-8. Each returns null on failure.
CTagStream* OpenTagReadStream(const char* path);
CTagWriteStream* OpenTagWriteStream(const char* path);
CTagParser* OpenTagReaderByType(const char* path, int32_t readerType);
// A CTagReader that owns the reader of that type.
CTagReader* OpenTagReaderForPath(const char* path, int32_t readerType);
CTagEditor* OpenTagEditorByType(const char* path, int32_t readerType);
