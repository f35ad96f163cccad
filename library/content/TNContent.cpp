#include "library/content/TNContent.h"

#include <windows.h>

#include "library/content/GuidString.h"

CTNContent::CTNContent(uint8_t origin, uint32_t contentKind) : kind(contentKind), originFlag(origin) {
    CreateGuidString(&id);
}

CTNContent::~CTNContent() {
    delete byteArray;
    if (!artworkPath.empty()) {
        // The artwork may already be gone; that is fine.
        DeleteFileW(artworkPath.c_str());
        artworkPath.clear();
    }
    if (!lookupCoverPath.empty()) DeleteFileW(lookupCoverPath.c_str());
}

void CTNContent::SetByteArray(CTNByteArray* array) {
    if (array == byteArray) return;
    delete byteArray;
    byteArray = array;
}

bool CTNContent::RenewId() {
    return CreateGuidString(&id);
}
