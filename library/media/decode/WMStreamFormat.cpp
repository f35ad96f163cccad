#include "library/media/decode/WMStreamFormat.h"

#include <dvdmedia.h>

#include <cstddef>
#include <cstring>

namespace {

DWORD Smaller(DWORD a, size_t b) { return a < b ? a : static_cast<DWORD>(b); }

// The two video layouts agree up to the bitmap header.
constexpr size_t kSharedVideoHead = offsetof(VIDEOINFOHEADER, bmiHeader);
static_assert(kSharedVideoHead == offsetof(VIDEOINFOHEADER2, dwInterlaceFlags),
              "VIDEOINFOHEADER and VIDEOINFOHEADER2 share their head");

}  // namespace

bool CopyAudioFormat(const WM_MEDIA_TYPE& type, WAVEFORMATEX* format) {
    if (format == nullptr || type.formattype != FORMAT_WaveFormatEx || type.pbFormat == nullptr) {
        return false;
    }
    memcpy(format, type.pbFormat, Smaller(type.cbFormat, sizeof(*format)));
    return true;
}

bool CopyVideoFormat(const WM_MEDIA_TYPE& type, VIDEOINFOHEADER* format) {
    if (format == nullptr || type.pbFormat == nullptr) return false;
    if (type.formattype == FORMAT_VideoInfo) {
        memcpy(format, type.pbFormat, Smaller(type.cbFormat, sizeof(*format)));
        return true;
    }
    if (type.formattype == FORMAT_VideoInfo2) {
        // Read as a VIDEOINFOHEADER, the interlace and aspect fields would land in the bitmap
        // header and give a wrong size; the header is taken from where this layout keeps it.
        memcpy(format, type.pbFormat, Smaller(type.cbFormat, kSharedVideoHead));
        constexpr size_t kHeaderOffset = offsetof(VIDEOINFOHEADER2, bmiHeader);
        if (type.cbFormat > kHeaderOffset) {
            memcpy(&format->bmiHeader, type.pbFormat + kHeaderOffset,
                   Smaller(type.cbFormat - kHeaderOffset, sizeof(format->bmiHeader)));
        }
        return true;
    }
    return false;
}
