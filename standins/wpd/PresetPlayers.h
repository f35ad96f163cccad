#pragma once
// Players described in the registry, attached whenever a program asks for the device manager: a
// demo prefix shows a player to programs that no test drives. A player already known comes back
// with the content it has. One subkey per
// player under HKLM\Software\Quillbay\Standins\WpdPlayers, with the REG_SZ values DeviceId,
// FriendlyName, Manufacturer, Description, Protocol, Folder and StorageName and the REG_DWORD
// CapacityMiB.

namespace standin {

extern const wchar_t kPresetPlayersKey[];

void AttachPresetPlayers();

}  // namespace standin
