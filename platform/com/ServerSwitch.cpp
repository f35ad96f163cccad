#include "platform/com/ServerSwitch.h"

#include <windows.h>

ServerSwitch ServerSwitchOf(const wchar_t* argument) {
    if (!argument || (argument[0] != L'-' && argument[0] != L'/')) return ServerSwitch::None;
    static const struct {
        const wchar_t* name;
        ServerSwitch value;
    } kSwitches[] = {
        {L"RegServer", ServerSwitch::RegServer},
        {L"UnregServer", ServerSwitch::UnregServer},
        {L"Embedding", ServerSwitch::Embedding},
        {L"Automation", ServerSwitch::Automation},
    };
    for (const auto& entry : kSwitches) {
        if (lstrcmpiW(argument + 1, entry.name) == 0) return entry.value;
    }
    return ServerSwitch::None;
}
