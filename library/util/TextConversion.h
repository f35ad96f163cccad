#pragma once
// Conversions and in-place edits of wide text shared by the whole program.

#include <string>

// Two kinds of UTF-8 conversion. Names, paths, addresses and anything written back into a file
// take the strict one: invalid UTF-8 fails rather than turning into U+FFFD, so a name that
// cannot be represented is never silently changed. Text read for display or for a player's tags
// takes the lenient one, so one bad byte in a tag costs one character, not the whole title.

// UTF-8 (zero-terminated) to UTF-16, strict. False leaves `out` as it was.
bool Utf8ToWide(const char* utf8, std::wstring* out);
bool Utf8ToWide(const std::string& utf8, std::wstring* out);
// UTF-8 to UTF-16, lenient: up to `length` bytes or the first zero byte, each ill-formed
// sequence becoming U+FFFD.
std::wstring Utf8ToWideLenient(const char* utf8, size_t length);

// UTF-16 (zero-terminated) to UTF-8 bytes without a terminator. An unpaired surrogate fails.
// False leaves `out` as it was.
bool WideToUtf8(const wchar_t* wide, std::string* out);
bool WideToUtf8(const std::wstring& wide, std::string* out);

// The C library's case-insensitive comparison: negative, 0 or positive.
int CompareNoCase(const std::wstring& left, const std::wstring& right);

// Turns each of \ / : * ? " < . > | into "_" so the text can stand in a file or registry name.
// The full stop is included: a name with an extension loses its dot (see SanitizeFileName).
void ReplaceReservedChars(std::wstring* text);

// Turns each "." into ",".
void ReplaceDotsWithCommas(std::wstring* text);
