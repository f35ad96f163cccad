#pragma once
#include <string>

namespace opLogSys {

// Log files hold text in the ANSI code page; a line is cut to this many bytes.
constexpr size_t kMaxAnsiBytes = 1024;

// The text in the ANSI code page, cut at a character boundary to at most kMaxAnsiBytes bytes.
// Characters the code page lacks become its default character.
std::string ToAnsiLine(const wchar_t* text);

// The length of the longest prefix of `bytes` that ends on a character boundary of the ANSI code
// page and holds at most `limit` bytes.
size_t AnsiPrefixLength(const char* bytes, size_t size, size_t limit);

}  // namespace opLogSys
