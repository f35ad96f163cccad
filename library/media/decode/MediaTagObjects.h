#pragma once
// The binary objects of a media file's tags: pictures, the mood-analysis payload and the
// CD-lookup identifier.

#include <cstdint>
#include <string>

#include "library/content/TNByteArray.h"

// The number of pictures of any type in the tag of that reader type, -1 on failure.
int32_t CountCoverArt(const std::wstring& path, int32_t readerType);
// True when the file's tags carry a picture; false for codes without readers.
bool HasCoverArt(const std::wstring& path, int32_t mediaType);

// On success the out gets a new array (the one it held is deleted) that the caller owns, with
// the object's bytes, and the result is 0. -1 when there is no such object or it does not read;
// the out is untouched unless the read of a found object failed (it then holds the new array).
int32_t ReadMoodDataBlob(CTNByteArray** blob, const std::wstring& path, int32_t readerType);
int32_t ReadLookupIdBlob(CTNByteArray** blob, const std::wstring& path, int32_t readerType);

// By media type code: -1 for a null out or a code without readers.
int32_t ReadMoodData(CTNByteArray** blob, const std::wstring& path, int32_t mediaType);
// 0 when an identifier was read and converted (ANSI text; UTF-16LE from ASF); otherwise non-zero.
int32_t ReadLookupId(std::wstring* lookupId, const std::wstring& path, int32_t mediaType);
