#include "platform/ui/UiMessageMap.h"

CUiMessageMap::CUiMessageMap(const CUiMessageMap* base, std::initializer_list<CUiMessageEntry> entries)
    : base_(base), entries_(entries) {}

namespace {

bool Matches(const CUiMessageEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT id = entry.registered != nullptr ? entry.registered->Id() : entry.message;
    if (id == 0 || id != message) return false;
    if (message == WM_NOTIFY && (entry.matchesControlId || entry.matchesNotifyCode)) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header == nullptr) return false;
        if (entry.matchesControlId && header->idFrom != entry.controlId) return false;
        return !entry.matchesNotifyCode || header->code == entry.notifyCode;
    }
    return !entry.matchesControlId || LOWORD(wParam) == entry.controlId;
}

}  // namespace

const CUiMessageEntry* CUiMessageMap::Find(UINT message, WPARAM wParam, LPARAM lParam) const {
    for (const CUiMessageMap* map = this; map != nullptr; map = map->base_) {
        for (const CUiMessageEntry& entry : map->entries_) {
            if (Matches(entry, message, wParam, lParam)) return &entry;
        }
    }
    return nullptr;
}
