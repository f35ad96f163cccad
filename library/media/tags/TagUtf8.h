// UTF-8 and UTF-16 conversions for paths and for text written where a format holds only one of them.
#pragma once

#include <cstdint>
#include <string>

namespace tag {

// Malformed sequences become U+FFFD when lenient; when strict they make the call fail.
bool Utf8ToUtf16(const uint8_t* text, size_t length, bool strict, std::u16string* out);
// Unpaired surrogates become U+FFFD, so the result is always well-formed.
std::string Utf16ToUtf8(const std::u16string& units);
// How many of the first count bytes of a text in that encoding (tag::TextEncoding) to keep so
// that a text cut short ends on a character boundary: never inside a UTF-8 sequence, a 16-bit
// unit or a surrogate pair. 8-bit text is kept whole.
uint32_t CharacterBoundary(const uint8_t* bytes, uint32_t count, int32_t encoding);
// A file path must be non-empty, well-formed UTF-8 on every platform.
bool PathToUtf16(const char* path, std::u16string* out);

}  // namespace tag
