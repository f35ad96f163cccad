#pragma once
// Destinations that tag, feed or player text can hand a controller's write, each of which both
// controllers refuse with E_INVALIDARG before anything is written.

#include <string>
#include <vector>

inline std::vector<std::wstring> HostileDestinations() {
    return {
        // Climbing out, with either separator.
        L"..\\outside.mp3", L"MUSIC\\..\\..\\outside.mp3", L"MUSIC\\../capability_00.xml",
        L"MUSIC/../capability_00.xml", L"../outside.mp3", L"MUSIC\\.\\song.mp3", L"MUSIC\\..",
        // Rooted, drive, stream and share forms.
        L"\\rooted.mp3", L"/rooted.mp3", L"C:\\x.mp3", L"C:x.mp3", L"MUSIC\\song.mp3:stream",
        L"\\\\server\\share\\x.mp3",
        // Device names, with and without an extension, in any case.
        L"NUL", L"MUSIC\\NUL", L"MUSIC\\nul.mp3", L"MUSIC\\CON.txt", L"MUSIC\\COM1", L"MUSIC\\lpt1.mp3",
        L"MUSIC\\AUX .mp3", L"PRN\\song.mp3", L"MUSIC\\COM\u00B9.mp3",
        // Reserved characters.
        L"MUSIC\\a<b.mp3", L"MUSIC\\a>b.mp3", L"MUSIC\\a|b.mp3", L"MUSIC\\a?b.mp3", L"MUSIC\\a*b.mp3",
        L"MUSIC\\a\"b.mp3", L"MUSIC\\tab\tname.mp3",
        // Names the file system would change: trailing dots and spaces.
        L"MUSIC\\song.mp3.", L"MUSIC\\song.mp3 ", L"MUSIC \\song.mp3", L"MUSIC.\\song.mp3",
        // Empty names.
        L"", L"MUSIC\\\\song.mp3", L"MUSIC\\",
        // Too long: one name, and the whole path.
        L"MUSIC\\" + std::wstring(256, L'n') + L".mp3",
        L"MUSIC\\Album\\" + std::wstring(230, L'p') + L".mp3",
    };
}
