#include "library/mood/MoodFileAccess.h"

#include <windows.h>

#include <sys/stat.h>

namespace moodfile {

FILE* Open(const std::wstring& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
}

bool SizeOf(FILE* file, uint64_t* size) {
  struct _stati64 info;
  if (_fstati64(_fileno(file), &info) != 0 || info.st_size < 0) return false;
  *size = uint64_t(info.st_size);
  return true;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != FALSE; }

bool Replace(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void Remove(const std::wstring& path) { DeleteFileW(path.c_str()); }

}  // namespace moodfile
