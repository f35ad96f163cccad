#include "setup/screens/FormatHResultText.h"

std::wstring FormatHResultText(HRESULT result) {
    wchar_t* buffer = nullptr;
    // Without FORMAT_MESSAGE_IGNORE_INSERTS a message with "%1" would read arguments that were
    // never passed.
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(result), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    return text;
}
