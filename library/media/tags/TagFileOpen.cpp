#include "library/media/tags/TagFileOpen.h"

#include <string>

#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace tag {

int32_t OpenFileUtf8(const char* path, bool forWriting, FILE** file) {
    *file = nullptr;
    if (!path) return kInvalidArgument;
    std::u16string wide;
    const std::string narrow(path);
    if (!Utf8ToUtf16(reinterpret_cast<const uint8_t*>(narrow.data()), narrow.size(), true, &wide) || wide.empty())
        return kOpenFailed;
#ifdef _WIN32
    std::wstring widePath(wide.begin(), wide.end());
    if (forWriting) {
        if (_wfopen_s(file, widePath.c_str(), L"wb") != 0) *file = nullptr;
    } else {
        *file = _wfsopen(widePath.c_str(), L"rb", _SH_DENYNO);
    }
#else
    *file = std::fopen(path, forWriting ? "wb" : "rb");
#endif
    return *file ? kOk : kOpenFailed;
}

int32_t SeekFile(FILE* file, int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(file, offset, origin) == 0 ? kOk : kSeekFailed;
#else
    return fseeko(file, off_t(offset), origin) == 0 ? kOk : kSeekFailed;
#endif
}

int64_t TellFile(FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return int64_t(ftello(file));
#endif
}

}  // namespace tag
