#pragma once
// Names of files written below a content folder of the player. Everything that builds or writes a
// destination uses these, so a name that reached the player's folder tree was checked once, the
// same way, whichever path it took.

#include <string>

// True for a backslash-separated path, relative to a folder on the player, that stays inside
// that folder and that FAT and NTFS can hold as written: no leading backslash, no drive or stream
// colon, no "." or ".." component, no reserved character or control character, no component
// ending in a dot or a space, no reserved device name ("CON", "lpt1.mp3"). Empty components (a
// doubled backslash) are passed over, as the writers skip them.
bool IsSafeDestination(const std::wstring& destination);

// One component made acceptable to IsSafeDestination: reserved and control characters become
// "_", trailing dots and spaces are dropped, a reserved device name gets a leading "_", and a
// component left empty (or only dots) becomes "_".
std::wstring MakeSafeDestinationComponent(std::wstring component);
