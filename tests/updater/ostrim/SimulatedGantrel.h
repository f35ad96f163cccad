#pragma once
// A firmware library stand-in with one player that leaves after the update command and comes
// back with the new firmware; what it does is steered through Sim().

#include <windows.h>

#include <atomic>
#include <climits>
#include <functional>
#include <string>

#include "updater/ostrim/GantrelLibrary.h"

struct SimulatedGantrelState {
    int playersBeforeCommand = 1;
    HRESULT getDevicesResult = S_OK;
    HRESULT copyResult = S_OK;
    // What CheckVersion answers: 0 first older, 1 equal, 2 first newer, or a failure.
    HRESULT versionOrder = 1;
    // Device polls after the command before the player disappears (0 = at the first check).
    int leaveAfterPolls = 0;
    // While away, a second player can be connected instead of none.
    int playersWhileAway = 0;
    // Asked on every poll while away: true brings the player back.
    std::function<bool(int poll)> returns = [](int) { return true; };

    bool commandSent = false;
    bool back = false;
    std::atomic<int> pollsAfterCommand{0};
    std::wstring copiedFrom;
    std::wstring copiedTo;
    std::wstring deleted;
    int deleteCalls = 0;
};

SimulatedGantrelState& Sim();
// Resets the state and returns the exports that act on it.
GantrelExports ResetSimulatedGantrel();
// The player's model key names its update service (and so its registry key).
constexpr const wchar_t* kSimulatedModelKey = L"OstrimSimulatedModel";
DEVICE_INFO SimulatedPlayer(const wchar_t* firmwareVersion);
