// UTF-8 to UTF-16 conversion for paths and for text written where a tag version has no UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace tag {

// Malformed sequences become U+FFFD when lenient; when strict they make the call fail.
bool Utf8ToUtf16(const uint8_t* text, size_t length, bool strict, std::u16string* out);
// A file path must be non-empty, well-formed UTF-8 on every platform.
bool PathToUtf16(const char* path, std::u16string* out);

}  // namespace tag
