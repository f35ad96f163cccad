#include "library/content/GuidString.h"

#include <windows.h>
#include <rpc.h>

#include <cwchar>

bool CreateGuidString(std::wstring* out) {
    if (out == nullptr) return false;
    out->clear();
    UUID guid = {};
    RPC_STATUS status = UuidCreate(&guid);
    // Only RPC_S_OK counts: "local only" GUIDs are not unique across machines.
    if ((status & 0xFFFF) != 0) return false;
    static const UUID kNull = {};
    if (memcmp(&guid, &kNull, sizeof(guid)) == 0) return false;
    wchar_t text[40];
    swprintf(text, 40, L"%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    *out = text;
    return true;
}
