#pragma once
// Reading a player's device-information reply and the identifiers around it. Replies come from the
// device: every read stays inside the bytes that actually arrived, and texts end at a NUL, at their
// field's end or at the reply's end, whichever comes first.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Where a transport's reply holds each field.
struct DeviceInfoLayout {
    size_t modelName;
    size_t firmwareVersion;
    size_t secondVersion;
    size_t serial;
    size_t identifierBytes;
};

constexpr DeviceInfoLayout kMassStorageReplyLayout = {24, 40, 44, 52, 96};
constexpr DeviceInfoLayout kMtpReplyLayout = {16, 36, 44, 60, 112};

struct DeviceInfoFields {
    std::wstring modelName;  // up to 16 characters
    std::wstring firmwareVersion;  // up to 4
    std::wstring secondVersion;  // up to 4
    std::wstring serial;  // up to 16
    BYTE identifierBytes[2] = {0, 0};
};

DeviceInfoFields ReadDeviceInfoReply(const BYTE* reply, size_t length, const DeviceInfoLayout& layout);

// ASCII text of a fixed-size field, widened with the ANSI code page.
std::wstring ReadReplyText(const BYTE* reply, size_t length, size_t offset, size_t fieldSize);

// Splits an identifier at any of the separators; empty tokens are skipped.
std::vector<std::wstring> SplitIdentifier(const std::wstring& text, const wchar_t* separators);

// The hexadecimal value of a token; 0 when it is absent or holds no hexadecimal digits.
DWORD HexToken(const std::vector<std::wstring>& tokens, size_t index);

// "%s_%2.2x%2.2x" of the model name and the two identifier bytes.
std::wstring FormatModelKey(const std::wstring& modelName, const BYTE identifierBytes[2]);
std::wstring TrimWhiteSpace(const std::wstring& text);

// Copies text into a fixed array, cut to fit, always terminated.
template <size_t N>
void CopyField(WCHAR (&field)[N], const std::wstring& text) {
    const size_t count = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, count);
    field[count] = L'\0';
}

// A player is named by vendor id, product id and the serial's first 16 characters.
bool IsSamePlayer(DWORD vendorId, DWORD productId, const WCHAR* serial, DWORD wantedVendor, DWORD wantedProduct,
                  const wchar_t* wantedSerial);
