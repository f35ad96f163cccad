#pragma once
// The name a converted movie travels under on the player.

#include <string>

// The relative path with its extension replaced by "wmv"; ".wmv" is appended to a file name
// without an extension (a dot in a folder name is not an extension).
std::wstring ConvertedRelativePath(const std::wstring& relativePath);
