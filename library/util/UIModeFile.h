#pragma once
// "TNUIMode.dat" in the all-users data folder: whether the car-audio features are off (0),
// installed but held back (1) or on (2). The installer writes 0 and 1; the program only raises
// 1 to 2.

#include <string>

// 0, 1 or 2; 0 for a missing or unreadable file or a first line that is none of the three.
int ReadUIMode();
// The same for a file named by its path.
int ReadUIModeFile(const std::wstring& path);
// Writes "2" (no line end). False when the file cannot be written.
bool WriteUIMode();
