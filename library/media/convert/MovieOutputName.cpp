#include "library/media/convert/MovieOutputName.h"

std::wstring ConvertedRelativePath(const std::wstring& relativePath) {
    const size_t slash = relativePath.find_last_of(L'\\');
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const size_t dot = relativePath.find_last_of(L'.');
    if (dot == std::wstring::npos || dot < nameStart) return relativePath + L".wmv";
    return relativePath.substr(0, dot + 1) + L"wmv";
}
