#pragma once
// The two list files kept per content kind and player in the player's data folder: the folders
// chosen for syncing (SyncPath list) and the files copied by the last sync (SyncFileList list).
// Both are UTF-8 paths, one a line, each line ended by CR LF, without byte-order mark. Content
// kinds 0 (music), 2 (movies) and 3 (podcasts) have lists; every operation on another kind fails.

#include <string>
#include <vector>

// "<player data folder>SyncPathMusic.dat" and so on; empty for a kind without lists.
std::wstring GetSyncPathListFile(int kind);
std::wstring GetSyncFileListFile(int kind);

// Appends one line; false when the folder or the file cannot be made or the path cannot be stored
// as a line (a line break inside, or text that is not UTF-16).
bool AppendSyncPathLine(int kind, const std::wstring& path);
bool AppendSyncPathLines(int kind, const std::vector<std::wstring>& paths);
// Deletes the list and makes it again empty.
bool ResetSyncPathList(int kind);
// Writes the list whole into a new file and puts it in place of the old one only once it is
// complete, so a failure leaves the old list as it was.
bool ReplaceSyncPathList(int kind, const std::vector<std::wstring>& paths);
// A missing file reads as an empty list. False when the file exists but cannot be read (locked,
// no access): callers must then not write the list back, or they would wipe it.
bool ReadSyncPathList(int kind, std::vector<std::wstring>* paths);

bool AppendSyncFileListLine(int kind, const std::wstring& path);
bool ReadSyncFileList(int kind, std::vector<std::wstring>* paths);
bool ResetSyncFileList(int kind);

// The format alone, for files named by the caller.
bool AppendListLine(const std::wstring& file, const std::wstring& path, bool flush);
bool ReadListFile(const std::wstring& file, std::vector<std::wstring>* paths);
// Lines ended by CR LF; a last line without CR LF, empty lines, lines that are not UTF-8 and
// lines holding a NUL are left out.
void ParseListBytes(const std::string& bytes, std::vector<std::wstring>* paths);
