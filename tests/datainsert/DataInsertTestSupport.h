#pragma once
// Scratch folders, fixture copies and byte comparisons of the data-insert and CD-lookup tests.

#include <string>

#include "library/content/TNContent.h"

namespace insert_test {

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// A fresh empty folder under the system temporary folder, ending in a backslash.
std::wstring NewScratchFolder(const wchar_t* name);
std::wstring MediaFixture(const wchar_t* name);
// A small picture whose bytes open like a JPEG file.
std::string CoverBytes();
// A song record of that media type code for the source path.
CTNContent* NewSong(const std::wstring& source, uint32_t mediaType);

}  // namespace insert_test
