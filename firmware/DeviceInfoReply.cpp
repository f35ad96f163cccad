#include "firmware/DeviceInfoReply.h"

#include <cwchar>
#include <cwctype>

namespace {

constexpr size_t kNameFieldSize = 16;
constexpr size_t kVersionFieldSize = 4;
constexpr size_t kSerialCompareLength = 16;

}  // namespace

std::wstring ReadReplyText(const BYTE* reply, size_t length, size_t offset, size_t fieldSize) {
    if (!reply || offset >= length) return std::wstring();
    size_t available = length - offset;
    if (fieldSize > available) fieldSize = available;
    size_t count = 0;
    while (count < fieldSize && reply[offset + count] != 0) ++count;
    if (count == 0) return std::wstring();
    const char* text = reinterpret_cast<const char*>(reply + offset);
    const int wide = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(count), nullptr, 0);
    if (wide <= 0) return std::wstring();
    std::wstring result(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(count), &result[0], wide);
    return result;
}

DeviceInfoFields ReadDeviceInfoReply(const BYTE* reply, size_t length, const DeviceInfoLayout& layout) {
    DeviceInfoFields fields;
    fields.modelName = ReadReplyText(reply, length, layout.modelName, kNameFieldSize);
    fields.firmwareVersion = ReadReplyText(reply, length, layout.firmwareVersion, kVersionFieldSize);
    fields.secondVersion = ReadReplyText(reply, length, layout.secondVersion, kVersionFieldSize);
    fields.serial = ReadReplyText(reply, length, layout.serial, kNameFieldSize);
    for (size_t i = 0; i < 2; ++i) {
        const size_t offset = layout.identifierBytes + i;
        fields.identifierBytes[i] = reply && offset < length ? reply[offset] : 0;
    }
    return fields;
}

std::vector<std::wstring> SplitIdentifier(const std::wstring& text, const wchar_t* separators) {
    std::vector<std::wstring> tokens;
    std::wstring token;
    for (wchar_t c : text) {
        if (wcschr(separators, c) && c != L'\0') {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty()) tokens.push_back(token);
    return tokens;
}

DWORD HexToken(const std::vector<std::wstring>& tokens, size_t index) {
    if (index >= tokens.size()) return 0;
    return static_cast<DWORD>(wcstoul(tokens[index].c_str(), nullptr, 16));
}

std::wstring TrimWhiteSpace(const std::wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && iswspace(text[begin])) ++begin;
    while (end > begin && iswspace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::wstring FormatModelKey(const std::wstring& modelName, const BYTE identifierBytes[2]) {
    wchar_t suffix[8];
    swprintf(suffix, 8, L"_%2.2x%2.2x", identifierBytes[0], identifierBytes[1]);
    return modelName + suffix;
}

bool IsSamePlayer(DWORD vendorId, DWORD productId, const WCHAR* serial, DWORD wantedVendor, DWORD wantedProduct,
                  const wchar_t* wantedSerial) {
    if (vendorId != wantedVendor || productId != wantedProduct) return false;
    if (!wantedSerial) wantedSerial = L"";
    return wcsncmp(serial, wantedSerial, kSerialCompareLength) == 0;
}
