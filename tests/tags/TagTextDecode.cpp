#include "tests/tags/TagTextDecode.h"

#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"

namespace tagtest {

namespace {

void AppendUtf8(uint32_t value, std::string* out) {
    if (value < 0x80) {
        *out += char(value);
    } else if (value < 0x800) {
        *out += char(0xC0 | (value >> 6)), *out += char(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        *out += char(0xE0 | (value >> 12)), *out += char(0x80 | ((value >> 6) & 0x3F)), *out += char(0x80 | (value & 0x3F));
    } else {
        *out += char(0xF0 | (value >> 18)), *out += char(0x80 | ((value >> 12) & 0x3F));
        *out += char(0x80 | ((value >> 6) & 0x3F)), *out += char(0x80 | (value & 0x3F));
    }
}

}  // namespace

std::string DecodeText(const std::string& bytes, int32_t encoding) {
    std::string out;
    if (encoding == tag::kEncodingAnsi) {
        for (unsigned char c : bytes) AppendUtf8(c, &out);
    } else if (encoding == tag::kEncodingUtf8 || encoding == tag::kEncodingUndefined) {
        out = bytes;
    } else {
        size_t at = 0;
        bool big = encoding == tag::kEncodingUtf16BeNoMark || encoding == tag::kEncodingUtf16BeMarked;
        if (encoding == tag::kEncodingUtf16BeMarked || encoding == tag::kEncodingUtf16LeMarked) at = 2;
        for (; at + 1 < bytes.size(); at += 2) {
            uint8_t a = uint8_t(bytes[at]), b = uint8_t(bytes[at + 1]);
            uint32_t unit = big ? (a << 8) | b : (b << 8) | a;
            AppendUtf8(unit, &out);
        }
    }
    while (!out.empty() && out.back() == '\0') out.pop_back();
    return out;
}

std::string DecodedTextItem(CTagReader& reader, int32_t itemType) {
    int32_t encoding = 0;
    std::string bytes = TextItem(reader, itemType, &encoding);
    if (!bytes.empty() && bytes[0] == '<' && bytes.back() == '>') return bytes;
    return DecodeText(bytes, encoding);
}

}  // namespace tagtest
