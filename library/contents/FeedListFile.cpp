#include "library/contents/FeedListFile.h"

#include <windows.h>
#include <wincrypt.h>

#include <cwchar>

#include "library/util/CharacterReferences.h"
#include "library/util/TextConversion.h"

namespace {

bool Sha1(const void* bytes, DWORD length, BYTE digest[20]) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        return false;
    }
    HCRYPTHASH hash = 0;
    bool ok = false;
    if (CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash)) {
        DWORD size = 20;
        ok = CryptHashData(hash, static_cast<const BYTE*>(bytes), length, 0) &&
             CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) && size == 20;
        CryptDestroyHash(hash);
    }
    CryptReleaseContext(provider, 0);
    return ok;
}

std::wstring Encoded(std::wstring text) {
    EncodeCharacterReferences(&text);
    return text;
}

}  // namespace

std::wstring FeedListFileName(const std::wstring& address) {
    BYTE digest[20];
    if (!Sha1(address.data(), static_cast<DWORD>(address.size() * sizeof(wchar_t)), digest)) {
        return std::wstring();
    }
    std::wstring name;
    for (int i = 0; i < 5; ++i) {
        const uint32_t word = (uint32_t(digest[4 * i]) << 24) | (uint32_t(digest[4 * i + 1]) << 16) |
                              (uint32_t(digest[4 * i + 2]) << 8) | uint32_t(digest[4 * i + 3]);
        for (int shift = 24; shift >= 0; shift -= 8) {
            // The bits above the byte stay in the value: a zero top leaves a single digit.
            wchar_t piece[16];
            swprintf(piece, 16, L"%x", word >> shift);
            const size_t length = wcslen(piece);
            name += piece + (length > 2 ? length - 2 : 0);
        }
    }
    return name + L".opml";
}

std::wstring FeedListText(const std::wstring& title, const std::wstring& description,
                          const std::wstring& address) {
    const std::wstring encodedTitle = Encoded(title);
    std::wstring text;
    text += L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
    text += L"<opml xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
            L"xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" version=\"1.0\">\r\n";
    text += L"  <head>\r\n";
    text += L"    <title>" + encodedTitle + L"</title>\r\n";
    text += L"  </head>\r\n";
    text += L"  <body>\r\n";
    text += L"    <outline text=\"" + encodedTitle + L"\" title=\"" + encodedTitle +
            L"\" type=\"rss\" description=\"" + Encoded(description) + L"\" xmlUrl=\"" +
            Encoded(address) + L"\"/>\r\n";
    text += L"  </body>\r\n";
    text += L"</opml>\r\n";
    return text;
}

std::wstring WriteFeedListFile(const std::wstring& folder, const std::wstring& title,
                               const std::wstring& description, const std::wstring& address,
                               bool* written) {
    if (written) *written = false;
    const std::wstring path = folder + FeedListFileName(address);
    std::string bytes;
    if (!WideToUtf8(FeedListText(title, description, address), &bytes)) return path;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    DWORD wrote = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
                    wrote == bytes.size();
    CloseHandle(file);
    if (written) *written = ok;
    return path;
}
