#pragma once
// Small file and folder operations on UTF-16 paths.

#include <cstdint>
#include <string>
#include <vector>

// Creates a folder with all missing parents; an existing one counts as success.
bool CreateFolderTree(const std::wstring& path);

// True for an existing file or folder, or a drive root "X:\" of a drive of a known type.
bool PathExists(const std::wstring& path);
// True for an existing folder, or a drive root as for PathExists.
bool FolderExists(const std::wstring& path);

// "\\?\" + path, so the wide APIs accept paths past MAX_PATH. A path starting with two backslashes
// (a UNC or an already prefixed path) and one that is not a full "X:\" path come back unchanged.
std::wstring AddLongPathPrefix(const std::wstring& path);

// Appends the full path (folder + "\" + name) of every file below the folder, depth first in the
// file system's order. Hidden files and folders are skipped unless `includeHidden`. A folder that
// cannot be listed counts as empty.
void EnumFilesRecursive(const std::wstring& folder, std::vector<std::wstring>* files, bool includeHidden);

// Deletes the work files of a folder: names ending, with case, in ".jpg", ".png", ".fil", ".txt",
// ".thm", ".opml", ".zel", ".dat", ".wmv" or ".ZEP". With `recurse` also in sub-folders, each of
// which is then removed when `removeFolders` is set and it has become empty. Failures are ignored.
void DeleteCachedFiles(const std::wstring& folder, bool removeFolders, bool recurse);

// Deletes every file below the folder and the folders themselves, the folder last. Read-only and
// hidden files go too; failures are ignored.
void DeleteFolderContents(const std::wstring& folder, bool removeFolder);

// Makes a file name safe for any file system: reserved characters become "_" in the part before
// the last "." and in the part after it, and that dot is kept.
void SanitizeFileName(std::wstring* name);

// The file name and extension of a path, without its folder.
std::wstring GetFileNameFromPath(const std::wstring& path);
// The low 32 bits of the file's size; 0 when it is not found.
uint32_t GetFileLength(const std::wstring& path);
// Moves `from` to `to`; returns `from` on success, an empty string on failure.
std::wstring RenameFile(const std::wstring& from, const std::wstring& to);
