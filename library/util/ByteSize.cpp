#include "library/util/ByteSize.h"

#include "library/util/LanguageFolder.h"
#include "library/util/TextConversion.h"

#include <cmath>
#include <cwchar>
#include <iterator>

namespace {

constexpr double kKilo = 1024.0;
constexpr double kMega = kKilo * 1024.0;
constexpr double kGiga = kMega * 1024.0;
constexpr double kTera = kGiga * 1024.0;

// Format string identifiers of the language module, per unit: value >= 100, 10 <= value < 100,
// value < 10.
struct UnitFormats {
    UINT hundreds;
    UINT tens;
    UINT units;
};
constexpr UnitFormats kTerabyteFormats = {163, 162, 164};
constexpr UnitFormats kGigabyteFormats = {165, 103, 166};
constexpr UnitFormats kMegabyteFormats = {167, 104, 168};
constexpr UnitFormats kKilobyteFormats = {169, 105, 170};
constexpr UINT kZeroBytesFormat = 171;

UINT PickFormat(const UnitFormats& formats, double value) {
    if (value >= 100.0) return formats.hundreds;
    if (value >= 10.0) return formats.tens;
    return formats.units;
}

}  // namespace

std::wstring FormatByteSizeForLanguage(int64_t byteCount, HMODULE resourceModule, LANGID language) {
    const double bytes = static_cast<double>(byteCount);
    double value = 0.0;
    UINT formatId = kZeroBytesFormat;
    // Each unit starts at 1000 of the next smaller one, so a size never shows four digits.
    if (bytes >= 1000.0 * kGiga) {
        value = bytes / kTera;
        formatId = PickFormat(kTerabyteFormats, value);
    } else if (bytes >= 1000.0 * kMega) {
        value = bytes / kGiga;
        formatId = PickFormat(kGigabyteFormats, value);
    } else if (bytes >= 1000.0 * kKilo) {
        value = bytes / kMega;
        formatId = PickFormat(kMegabyteFormats, value);
    } else if (bytes >= kKilo) {
        value = std::ceil(bytes / kKilo);
        formatId = PickFormat(kKilobyteFormats, value);
    } else if (bytes > 0.0) {
        value = 1.0;
        formatId = kKilobyteFormats.units;
    }

    wchar_t format[512] = {};
    if (resourceModule == nullptr || LoadStringW(resourceModule, formatId, format, std::size(format)) <= 0) {
        return std::wstring();
    }
    wchar_t text[512] = {};
    if (swprintf(text, std::size(text), format, value) < 0) return std::wstring();
    std::wstring result = text;
    if (LanguageUsesDecimalComma(language)) ReplaceDotsWithCommas(&result);
    return result;
}

std::wstring FormatByteSize(int64_t byteCount, HMODULE resourceModule) {
    return FormatByteSizeForLanguage(byteCount, resourceModule, GetUserDefaultUILanguage());
}
