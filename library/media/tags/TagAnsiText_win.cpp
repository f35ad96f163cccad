#include "library/media/tags/TagAnsiText.h"

#include <windows.h>

#include <climits>

namespace tag {

bool AnsiToUtf16(const uint8_t* text, size_t length, std::u16string* out) {
    out->clear();
    if (length == 0) return true;
    if (length > size_t(INT_MAX)) return false;
    const char* bytes = reinterpret_cast<const char*>(text);
    const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, int(length), nullptr, 0);
    if (units <= 0) return false;
    std::wstring wide(size_t(units), L'\0');
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, int(length), &wide[0], units) != units) return false;
    out->assign(wide.begin(), wide.end());
    return true;
}

}  // namespace tag
