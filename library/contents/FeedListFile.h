#pragma once
// The OPML 1.0 file that stands for one feed address in the per-user data folder.

#include <string>

// "<digest>.opml", the digest being the SHA-1 of the address's UTF-16LE code units. Empty when
// the digest cannot be made.
std::wstring FeedListFileName(const std::wstring& address);
// The file's whole text (UTF-8 is made by the writer); every field is character-reference encoded.
std::wstring FeedListText(const std::wstring& title, const std::wstring& description,
                          const std::wstring& address);
// Writes the file for the address into `folder` (ending in a backslash), created or truncated;
// the written path, or the path it would have had when writing failed.
std::wstring WriteFeedListFile(const std::wstring& folder, const std::wstring& title,
                               const std::wstring& description, const std::wstring& address,
                               bool* written = nullptr);
