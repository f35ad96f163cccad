#pragma once
// The kind of a media file told from the extension of its path alone; no file is opened.
// Each takes a UTF-16 path (null allowed) and ignores the case of ASCII letters.

// True when the last path component's extension, lowered, equals `extension` (given in lower
// case with its dot, ".mp3"). A path whose parts do not fit the split's buffers has no extension.
bool HasExtension(const wchar_t* path, const wchar_t* extension);

bool IsMp3File(const wchar_t* path);
bool IsWmaFile(const wchar_t* path);
bool IsM4aFile(const wchar_t* path);
bool Is3gpFile(const wchar_t* path);
bool IsMp4File(const wchar_t* path);
bool IsWavFile(const wchar_t* path);
// The codec-family container (see CopyZelFile) and the family's older audio file.
bool IsZelFile(const wchar_t* path);
bool IsZq3File(const wchar_t* path);
// Three separate predicates: callers that want every JPEG image test all three.
bool IsJpgFile(const wchar_t* path);
bool IsJpegFile(const wchar_t* path);
bool IsJpeFile(const wchar_t* path);
bool IsM4vFile(const wchar_t* path);
bool IsWmvFile(const wchar_t* path);
bool IsPcastFile(const wchar_t* path);
bool IsOpmlFile(const wchar_t* path);
bool IsMpgFile(const wchar_t* path);
bool IsMovFile(const wchar_t* path);
bool IsAviFile(const wchar_t* path);
bool IsFlvFile(const wchar_t* path);
bool IsRmFile(const wchar_t* path);
bool IsQtFile(const wchar_t* path);
bool IsDivxFile(const wchar_t* path);
bool IsXvidFile(const wchar_t* path);
bool IsM2tsFile(const wchar_t* path);
bool IsM2tFile(const wchar_t* path);
bool IsMtsFile(const wchar_t* path);
bool IsMpegFile(const wchar_t* path);
bool IsMpeFile(const wchar_t* path);
bool IsM2vFile(const wchar_t* path);
bool IsMpv2File(const wchar_t* path);
bool IsMp2vFile(const wchar_t* path);
