#pragma once
// What the stand-in CD-lookup modules answer, scripted by the test through environment variables
// of the process (the modules run in it):
//   QB_CDDB_STANDIN   match (default), nocover, several, nomatch, slow, fail, crash, noload,
//                     nullobject, noregister
// and what they report back to it:
//   QB_CDDB_STANDIN_CLIENT    "id|tag|version|extra" of the client registration
//   QB_CDDB_STANDIN_OPTIONS   "host|port|path|timeout" handed back with the options
//   QB_CDDB_STANDIN_CALLS     "identify:<path>;" and "fetch:<identifier>;" for each lookup

#include <windows.h>

#include <string>

namespace cddb_standin {

std::wstring Mode();
bool IsMode(const wchar_t* mode);
void Report(const wchar_t* name, const std::wstring& value);
void Append(const wchar_t* name, const std::wstring& value);

// The answers of a match.
extern const wchar_t kMatchIdentifier[];
extern const BYTE kDataBlock[];
extern const ULONG kDataBlockSize;
extern const BYTE kCoverPicture[];
extern const ULONG kCoverPictureSize;

// The handles the modules were given: the control module's UI handle, the others' control handle.
extern HINSTANCE g_peerModule;

}  // namespace cddb_standin
