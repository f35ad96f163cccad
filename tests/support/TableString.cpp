#include "tests/support/TableString.h"

const LANGID kQuillbayModuleLanguages[12] = {
    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),      MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
    MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),           MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),
    MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN),  MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE),
    MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT),
    MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL),
    MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN),           MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
};

TableString ReadTableString(HMODULE module, UINT id, LANGID language) {
    TableString result;
    HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (block == nullptr) {
        return result;
    }
    HGLOBAL loaded = LoadResource(module, block);
    const DWORD size = SizeofResource(module, block);
    const auto* words = static_cast<const WCHAR*>(LockResource(loaded));
    if (words == nullptr) {
        return result;
    }
    // A block holds 16 counted strings; check every count against what remains.
    const size_t total = size / sizeof(WCHAR);
    size_t offset = 0;
    for (UINT index = 0; index < 16; ++index) {
        if (offset >= total) {
            return result;
        }
        const size_t length = words[offset++];
        if (length > total - offset) {
            return result;
        }
        if (index == id % 16) {
            result.present = length != 0;
            result.text.assign(words + offset, length);
            return result;
        }
        offset += length;
    }
    return result;
}
