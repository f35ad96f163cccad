#pragma once
// The text fields of a media file's tags as wide strings, keyed by field number.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

enum MediaTagField : int32_t {
    kFieldArtist = 0,
    kFieldTitle = 1,
    kFieldGenre = 2,
    kFieldAlbum = 3,
    kFieldAlbumArtist = 4,
    kFieldYear = 5,
    kFieldOther = 6,
    kFieldTrack = 7,
};

using MediaTagFields = std::map<int32_t, std::wstring>;

std::pair<int32_t, std::wstring> MakeTagField(int32_t field, const std::wstring& text);

// The zero-terminated ANSI text in that code page as a zero-terminated wide string; null for
// null text or a failed conversion.
std::unique_ptr<wchar_t[]> AnsiToWide(const char* text, UINT codePage);

// Adds the fields of the tag of that reader type that the map lacks; -1 when no reader opens or
// memory runs out, else 0.
int32_t ReadTagTextFields(MediaTagFields& fields, const std::wstring& path, int32_t readerType);

// The same with the readers of a media type code; a numeric genre is replaced by its name.
// -1 for a code without readers; code 3 reads two layouts and gives 1 when either read failed.
int32_t ReadTagTextFieldsByType(MediaTagFields& fields, const std::wstring& path, int32_t mediaType);
