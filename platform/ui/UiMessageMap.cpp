#include "platform/ui/UiMessageMap.h"

CUiMessageMap::CUiMessageMap(const CUiMessageMap* base, std::initializer_list<CUiMessageEntry> entries)
    : base_(base), entries_(entries) {}

const CUiMessageEntry* CUiMessageMap::Find(UINT message, WPARAM wParam) const {
    for (const CUiMessageMap* map = this; map != nullptr; map = map->base_) {
        for (const CUiMessageEntry& entry : map->entries_) {
            const UINT id = entry.registered != nullptr ? entry.registered->Id() : entry.message;
            if (id == 0 || id != message) continue;
            if (entry.matchesCommandId && LOWORD(wParam) != entry.commandId) continue;
            return &entry;
        }
    }
    return nullptr;
}
