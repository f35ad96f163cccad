#include "library/mood/MoodFileAccess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace moodfile {
namespace {

// wchar_t holds whole code points here; anything that is not one becomes U+FFFD.
std::string LocalPath(const std::wstring& path) {
  std::string out;
  out.reserve(path.size());
  for (wchar_t wide : path) {
    uint32_t c = uint32_t(wide);
    if (c == '\\') c = '/';
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool StatOf(const std::wstring& path, struct stat* info) { return stat(LocalPath(path).c_str(), info) == 0; }

}  // namespace

FILE* Open(const std::wstring& path, const char* mode) { return std::fopen(LocalPath(path).c_str(), mode); }

bool SizeOf(FILE* file, uint64_t* size) {
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || info.st_size < 0) return false;
  *size = uint64_t(info.st_size);
  return true;
}

bool IsFile(const std::wstring& path) {
  struct stat info;
  return StatOf(path, &info) && !S_ISDIR(info.st_mode);
}

bool IsFolder(const std::wstring& path) {
  struct stat info;
  return StatOf(path, &info) && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::wstring& path) { return mkdir(LocalPath(path).c_str(), 0777) == 0; }

bool Replace(const std::wstring& from, const std::wstring& to) {
  return std::rename(LocalPath(from).c_str(), LocalPath(to).c_str()) == 0;
}

void Remove(const std::wstring& path) { unlink(LocalPath(path).c_str()); }

}  // namespace moodfile
