// Text in the system's 8-bit ("ANSI") code page, which tags written by older programs carry and
// which formats that store Unicode text must not take as it stands.
#pragma once

#include <cstdint>
#include <string>

namespace tag {

// The thread's ANSI code page on Windows; Windows-1252 in the native build. Fails only when the
// platform refuses the text.
bool AnsiToUtf16(const uint8_t* text, size_t length, std::u16string* out);

}  // namespace tag
