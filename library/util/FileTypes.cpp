#include "library/util/FileTypes.h"

#include <cstdlib>
#include <cwchar>

namespace {

constexpr size_t kPartLength = 256;
constexpr size_t kDriveLength = 3;

// Whether each part of the split fits its buffer with its terminator. Checked up front because a
// CRT may end the process, not just fail, when a bounded split runs out of room.
bool PartsFit(const wchar_t* path) {
    size_t length = wcslen(path);
    size_t start = (length >= 2 && path[1] == L':') ? 2 : 0;
    size_t nameStart = start;
    for (size_t i = start; i < length; ++i) {
        if (path[i] == L'\\' || path[i] == L'/') nameStart = i + 1;
    }
    size_t extStart = length;
    for (size_t i = nameStart; i < length; ++i) {
        if (path[i] == L'.') extStart = i;
    }
    return nameStart - start < kPartLength && extStart - nameStart < kPartLength && length - extStart < kPartLength;
}

}  // namespace

bool HasExtension(const wchar_t* path, const wchar_t* extension) {
    if (path == nullptr || extension == nullptr) return false;
    if (!PartsFit(path)) return false;
    wchar_t drive[kDriveLength];
    wchar_t folder[kPartLength];
    wchar_t name[kPartLength];
    wchar_t ext[kPartLength];
    // The bounded split never writes past a buffer, whatever the path.
    if (_wsplitpath_s(path, drive, kDriveLength, folder, kPartLength, name, kPartLength, ext, kPartLength) != 0) {
        return false;
    }
    // Only ASCII letters change, as with the C library's single-byte mapping.
    for (wchar_t* c = ext; *c != L'\0'; ++c) {
        if (*c >= L'A' && *c <= L'Z') *c = static_cast<wchar_t>(*c - L'A' + L'a');
    }
    return wcsncmp(ext, extension, kPartLength) == 0;
}

bool IsMp3File(const wchar_t* path) { return HasExtension(path, L".mp3"); }
bool IsWmaFile(const wchar_t* path) { return HasExtension(path, L".wma"); }
bool IsM4aFile(const wchar_t* path) { return HasExtension(path, L".m4a"); }
bool Is3gpFile(const wchar_t* path) { return HasExtension(path, L".3gp"); }
bool IsMp4File(const wchar_t* path) { return HasExtension(path, L".mp4"); }
bool IsWavFile(const wchar_t* path) { return HasExtension(path, L".wav"); }
bool IsZelFile(const wchar_t* path) { return HasExtension(path, L".zel"); }
bool IsZq3File(const wchar_t* path) { return HasExtension(path, L".zq3"); }
bool IsJpgFile(const wchar_t* path) { return HasExtension(path, L".jpg"); }
bool IsJpegFile(const wchar_t* path) { return HasExtension(path, L".jpeg"); }
bool IsJpeFile(const wchar_t* path) { return HasExtension(path, L".jpe"); }
bool IsM4vFile(const wchar_t* path) { return HasExtension(path, L".m4v"); }
bool IsWmvFile(const wchar_t* path) { return HasExtension(path, L".wmv"); }
bool IsPcastFile(const wchar_t* path) { return HasExtension(path, L".pcast"); }
bool IsOpmlFile(const wchar_t* path) { return HasExtension(path, L".opml"); }
bool IsMpgFile(const wchar_t* path) { return HasExtension(path, L".mpg"); }
bool IsMovFile(const wchar_t* path) { return HasExtension(path, L".mov"); }
bool IsAviFile(const wchar_t* path) { return HasExtension(path, L".avi"); }
bool IsFlvFile(const wchar_t* path) { return HasExtension(path, L".flv"); }
bool IsRmFile(const wchar_t* path) { return HasExtension(path, L".rm"); }
bool IsQtFile(const wchar_t* path) { return HasExtension(path, L".qt"); }
bool IsDivxFile(const wchar_t* path) { return HasExtension(path, L".divx"); }
bool IsXvidFile(const wchar_t* path) { return HasExtension(path, L".xvid"); }
bool IsM2tsFile(const wchar_t* path) { return HasExtension(path, L".m2ts"); }
bool IsM2tFile(const wchar_t* path) { return HasExtension(path, L".m2t"); }
bool IsMtsFile(const wchar_t* path) { return HasExtension(path, L".mts"); }
bool IsMpegFile(const wchar_t* path) { return HasExtension(path, L".mpeg"); }
bool IsMpeFile(const wchar_t* path) { return HasExtension(path, L".mpe"); }
bool IsM2vFile(const wchar_t* path) { return HasExtension(path, L".m2v"); }
bool IsMpv2File(const wchar_t* path) { return HasExtension(path, L".mpv2"); }
bool IsMp2vFile(const wchar_t* path) { return HasExtension(path, L".mp2v"); }
