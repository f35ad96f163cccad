#pragma once

#include <string>
#include <vector>

// The one check of the names a write gives files and folders on a player, shared by both
// controllers and by everything that makes a player path from tag, feed or device text. A name
// that passes cannot climb out of its folder, name a device, a drive or a stream, or be changed
// by the file system on its way to the player (trailing dots and spaces are dropped there).
// String rules alone, so it also builds natively for its fuzzer.
class CDestinationName {
public:
    // Longest name of one file or folder, and longest relative destination: the drive root, the
    // destination and the backup suffix of a replacing write stay inside MAX_PATH.
    static constexpr size_t kMaxComponentLength = 255;
    static constexpr size_t kMaxPathLength = 240;

    // One file or folder name.
    static bool IsSafeComponent(const std::wstring& name);
    // A destination relative to the player's root: safe names joined by single backslashes.
    static bool IsSafeRelativePath(const std::wstring& path);
    // The names of a path that passed IsSafeRelativePath, in order.
    static std::vector<std::wstring> Split(const std::wstring& path);
    // One name made acceptable to IsSafeComponent: reserved and control characters become "_",
    // trailing dots and spaces are dropped, a device name gets a leading "_", a name left empty
    // (or only dots) becomes "_", and a name too long is cut.
    static std::wstring MakeSafeComponent(std::wstring name);
};
