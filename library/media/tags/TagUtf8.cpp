#include "library/media/tags/TagUtf8.h"

#include "library/media/tags/TagTypes.h"

namespace tag {

namespace {

// Decodes one scalar value at text[*at]; returns false for an ill-formed sequence (overlong
// forms, surrogates and values above U+10FFFF included) and then advances by one byte.
bool DecodeOne(const uint8_t* text, size_t length, size_t* at, uint32_t* value) {
    uint8_t lead = text[*at];
    size_t count;
    uint32_t minimum;
    if (lead < 0x80) {
        *value = lead;
        *at += 1;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        count = 1, minimum = 0x80, *value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2, minimum = 0x800, *value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3, minimum = 0x10000, *value = lead & 0x07;
    } else {
        *at += 1;
        return false;
    }
    if (count > length - *at - 1) {
        *at += 1;
        return false;
    }
    for (size_t i = 1; i <= count; ++i) {
        uint8_t next = text[*at + i];
        if ((next & 0xC0) != 0x80) {
            *at += 1;
            return false;
        }
        *value = (*value << 6) | (next & 0x3F);
    }
    if (*value < minimum || *value > 0x10FFFF || (*value >= 0xD800 && *value <= 0xDFFF)) {
        *at += 1;
        return false;
    }
    *at += count + 1;
    return true;
}

}  // namespace

bool Utf8ToUtf16(const uint8_t* text, size_t length, bool strict, std::u16string* out) {
    out->clear();
    size_t at = 0;
    while (at < length) {
        uint32_t value;
        if (!DecodeOne(text, length, &at, &value)) {
            if (strict) return false;
            value = 0xFFFD;
        }
        if (value >= 0x10000) {
            value -= 0x10000;
            out->push_back(char16_t(0xD800 + (value >> 10)));
            out->push_back(char16_t(0xDC00 + (value & 0x3FF)));
        } else {
            out->push_back(char16_t(value));
        }
    }
    return true;
}

std::string Utf16ToUtf8(const std::u16string& units) {
    std::string out;
    out.reserve(units.size());
    for (size_t at = 0; at < units.size(); ++at) {
        uint32_t value = units[at];
        if (value >= 0xD800 && value <= 0xDBFF && at + 1 < units.size() && units[at + 1] >= 0xDC00 &&
            units[at + 1] <= 0xDFFF) {
            value = 0x10000 + ((value - 0xD800) << 10) + (units[++at] - 0xDC00);
        } else if (value >= 0xD800 && value <= 0xDFFF) {
            value = 0xFFFD;
        }
        if (value < 0x80) {
            out += char(value);
        } else if (value < 0x800) {
            out += char(0xC0 | (value >> 6));
            out += char(0x80 | (value & 0x3F));
        } else if (value < 0x10000) {
            out += char(0xE0 | (value >> 12));
            out += char(0x80 | ((value >> 6) & 0x3F));
            out += char(0x80 | (value & 0x3F));
        } else {
            out += char(0xF0 | (value >> 18));
            out += char(0x80 | ((value >> 12) & 0x3F));
            out += char(0x80 | ((value >> 6) & 0x3F));
            out += char(0x80 | (value & 0x3F));
        }
    }
    return out;
}

uint32_t CharacterBoundary(const uint8_t* bytes, uint32_t count, int32_t encoding) {
    if (encoding == kEncodingUtf8) {
        // Back over the continuation bytes at the end to the lead byte they belong to.
        uint32_t at = count;
        while (at > 0 && count - at < 3 && (bytes[at - 1] & 0xC0) == 0x80) --at;
        if (at == 0) return count;
        const uint8_t lead = bytes[at - 1];
        const uint32_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        return count - (at - 1) < length ? at - 1 : count;
    }
    if (encoding < kEncodingUtf16BeNoMark || encoding > kEncodingUtf16LeMarked) return count;
    count -= count % 2;
    if (count < 2) return count;
    const bool bigEndian = encoding == kEncodingUtf16BeNoMark || encoding == kEncodingUtf16BeMarked;
    const uint32_t last = bigEndian ? bytes[count - 2] << 8 | bytes[count - 1] : bytes[count - 1] << 8 | bytes[count - 2];
    return last >= 0xD800 && last <= 0xDBFF ? count - 2 : count;
}

bool PathToUtf16(const char* path, std::u16string* out) {
    return Utf8ToUtf16(reinterpret_cast<const uint8_t*>(path), std::char_traits<char>::length(path), true, out) &&
           !out->empty();
}

}  // namespace tag
