#pragma once
// The numbered genres of ID3 tags: the ID3v1 list as it was extended to 148 names.

#include <cstdint>
#include <string>

constexpr int32_t kGenreNameCount = 148;

// The name with that index, or null outside 0 to 147.
const wchar_t* GenreName(int32_t index);

// Replaces a genre written as "(N)" or "N" with N from 0 to 147 by its name and returns 0;
// returns -1 and leaves the text alone otherwise.
int32_t ResolveNumericGenre(std::wstring& genre);
