#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The few file operations the mood export needs, kept apart so the rest builds on any platform.
// Paths separate folders with backslashes, as on Windows; elsewhere they are mapped to the local
// separator and encoded in UTF-8.
namespace moodfile {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using ScopedFile = std::unique_ptr<FILE, FileCloser>;

// mode is "rb" or "wb".
FILE* Open(const std::wstring& path, const char* mode);
bool SizeOf(FILE* file, uint64_t* size);
bool IsFile(const std::wstring& path);
bool IsFolder(const std::wstring& path);
bool CreateFolder(const std::wstring& path);
// Moves `from` over `to`, replacing it.
bool Replace(const std::wstring& from, const std::wstring& to);
void Remove(const std::wstring& path);

}  // namespace moodfile
