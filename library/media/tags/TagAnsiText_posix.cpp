#include "library/media/tags/TagAnsiText.h"

namespace tag {

namespace {

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes map to the control characters of
// their value, as Windows maps them.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

bool AnsiToUtf16(const uint8_t* text, size_t length, std::u16string* out) {
    out->clear();
    out->reserve(length);
    for (size_t at = 0; at < length; ++at) {
        const uint8_t byte = text[at];
        out->push_back(byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t(byte));
    }
    return true;
}

}  // namespace tag
