#include "library/util/CharacterReferences.h"

#include <cwchar>
#include <iterator>

namespace {

struct CodeRange {
    wchar_t first;
    wchar_t last;
};

// Characters written as a decimal reference of their own code point, unless a row below says
// otherwise. Kept in ascending order.
const CodeRange kCoveredRanges[] = {
    {0x0022, 0x0022}, {0x0026, 0x0026}, {0x003C, 0x003C}, {0x003E, 0x003E}, {0x00A1, 0x00AC},
    {0x00AE, 0x00AE}, {0x00B0, 0x00B3}, {0x00B5, 0x00B6}, {0x00B9, 0x017F}, {0x0192, 0x0192},
    {0x01A0, 0x01A1}, {0x01AF, 0x01B0}, {0x01FA, 0x01FF}, {0x0386, 0x0386}, {0x0388, 0x038A},
    {0x038C, 0x038C}, {0x038E, 0x03A1}, {0x03A3, 0x03CE}, {0x201E, 0x201E}, {0x2020, 0x2022},
    {0x2026, 0x2026}, {0x2030, 0x2030}, {0x2039, 0x203A}, {0x20AC, 0x20AC}, {0x2122, 0x2122},
    {0x215B, 0x215E}, {0x2200, 0x2200}, {0x2202, 0x2203}, {0x2205, 0x2209}, {0x220B, 0x220B},
    {0x220F, 0x220F}, {0x2211, 0x2212}, {0x2217, 0x2217}, {0x221A, 0x221A}, {0x221D, 0x221E},
    {0x2220, 0x2220}, {0x2227, 0x222C}, {0x222E, 0x222E}, {0x2234, 0x2235}, {0x223C, 0x223D},
    {0x2245, 0x2245}, {0x2248, 0x2248}, {0x2260, 0x2261}, {0x2264, 0x2265}, {0x226A, 0x226B},
    {0x2282, 0x2284}, {0x2286, 0x2287}, {0x2295, 0x2295}, {0x2297, 0x2297}, {0x22A5, 0x22A5},
    {0x22C5, 0x22C5}, {0x2308, 0x230B}, {0x2329, 0x232A}, {0x2660, 0x2660}, {0x2663, 0x2663},
    {0x2665, 0x2666},
};

struct SpecialReference {
    wchar_t character;
    const wchar_t* reference;
};

// Readers of our podcast lists expect these in their Windows-1252 numbers or by name.
const SpecialReference kSpecialReferences[] = {
    {0x20AC, L"&#128;"},  {0x2030, L"&#137;"},  {0x201E, L"&#132;"},  {0x2026, L"&#133;"},
    {0x2020, L"&#134;"},  {0x2021, L"&#135;"},  {0x2039, L"&#139;"},  {0x203A, L"&#155;"},
    {0x2022, L"&#149;"},  {0x2122, L"&#153;"},  {0x0192, L"&#131;"},  {0x0160, L"&#138;"},
    {0x0152, L"&#140;"},  {0x017D, L"&#142;"},  {0x0161, L"&#154;"},  {0x0153, L"&#156;"},
    {0x017E, L"&#158;"},  {0x0178, L"&#159;"},  {0x2205, L"&empty;"}, {0x2209, L"&notin;"},
    {0x2217, L"&lowast;"}, {0x223C, L"&sim;"},  {0x2284, L"&nsub;"},  {0x2295, L"&oplus;"},
    {0x2297, L"&otimes;"}, {0x22C5, L"&sdot;"}, {0x2308, L"&lceil;"}, {0x2309, L"&rceil;"},
    {0x230A, L"&lfloor;"}, {0x230B, L"&rfloor;"}, {0x2329, L"&lang;"}, {0x232A, L"&rang;"},
    {0x2660, L"&spades;"}, {0x2663, L"&clubs;"}, {0x2665, L"&hearts;"}, {0x2666, L"&diams;"},
};

bool IsCovered(wchar_t c) {
    for (const CodeRange& range : kCoveredRanges) {
        if (c < range.first) return false;
        if (c <= range.last) return true;
    }
    return false;
}

void AppendReference(wchar_t c, std::wstring* out) {
    for (const SpecialReference& special : kSpecialReferences) {
        if (special.character == c) {
            out->append(special.reference);
            return;
        }
    }
    wchar_t numeric[16];
    swprintf(numeric, std::size(numeric), L"&#%u;", static_cast<unsigned>(c));
    out->append(numeric);
}

}  // namespace

void EncodeCharacterReferences(std::wstring* text) {
    if (text == nullptr) return;
    std::wstring encoded;
    encoded.reserve(text->size());
    for (wchar_t c : *text) {
        if (IsCovered(c)) {
            AppendReference(c, &encoded);
        } else {
            encoded.push_back(c);
        }
    }
    text->swap(encoded);
}
