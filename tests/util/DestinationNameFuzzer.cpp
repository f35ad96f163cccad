// Feeds arbitrary UTF-16 text to the destination-name rules: no input may crash them, every
// component they make must pass the check, and making a made component safe changes nothing.
#include "library/util/DestinationName.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) text += wchar_t(data[i] | (data[i + 1] << 8));
    CDestinationName::IsSafeRelativePath(text);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\\', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring made = CDestinationName::MakeSafeComponent(text.substr(start, end - start));
        if (!CDestinationName::IsSafeComponent(made)) abort();
        if (CDestinationName::MakeSafeComponent(made) != made) abort();
        start = end + 1;
    }
    return 0;
}
