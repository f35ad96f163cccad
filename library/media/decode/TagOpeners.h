#pragma once
// Opens the tag library's streams, readers and editors by a wide-character path; each returns
// null on any failure and never leaves the stream it opened behind.

#include <string>

#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFactories.h"

CTagStream* OpenTagReadStream(const std::wstring& path);
CTagWriteStream* OpenTagWriteStream(const std::wstring& path);
// Tag reader types: 0 ID3v2, 1 ASF, 2 to 4 the MP4 family with reader kind 0 to 2.
CTagParser* OpenTagReaderByType(const std::wstring& path, int32_t readerType);
// The MP4 reader of reader type 2, 3 or 4 over the stream, which it owns from the call on.
CMp4Reader* OpenMp4Reader(CTagStream* stream, int32_t readerType);
// An MP4 reader of that type over the file, for the queries of its own handlers.
CMp4Reader* OpenTagReaderForPath(const std::wstring& path, int32_t readerType);
// Type 3 gets the M4A editor, so whatever the readers read by type can also be rewritten.
CTagEditor* OpenTagEditorByType(const std::wstring& path, int32_t readerType);
