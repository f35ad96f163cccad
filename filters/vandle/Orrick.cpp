#include "filters/vandle/Orrick.h"

#include <algorithm>
#include <cstdlib>

#include <amvideo.h>
#include <dvdmedia.h>

#include "filters/vandle/VandleIds.h"

namespace {

BYTE Clamp(int value) { return static_cast<BYTE>(std::min(255, std::max(0, value))); }

// A format block of the given kind that is large enough to read its header from.
bool HasVideoHeader(const AM_MEDIA_TYPE& type) {
    if (type.pbFormat == nullptr) return false;
    if (IsEqualGUID(type.formattype, FORMAT_VideoInfo)) return type.cbFormat >= sizeof(VIDEOINFOHEADER);
    if (IsEqualGUID(type.formattype, FORMAT_VideoInfo2)) return type.cbFormat >= sizeof(VIDEOINFOHEADER2);
    return false;
}

void WritePixel(BYTE* target, const RgbPixel& pixel) {
    target[0] = pixel.blue;
    target[1] = pixel.green;
    target[2] = pixel.red;
    target[3] = 0;
}

}  // namespace

RgbPixel YuvToRgb(BYTE y, BYTE u, BYTE v) {
    const int t = 298 * y - 282;
    RgbPixel pixel;
    pixel.red = Clamp((t + 409 * v - 52224) >> 8);
    pixel.green = Clamp((t - 208 * v - 100 * u + 38372) >> 8);
    pixel.blue = Clamp((t + 516 * u - 65920) >> 8);
    return pixel;
}

COrrick::COrrick(IUnknown* outer) : CDsTransformFilter(kOrrickFilterName, outer, CLSID_Orrick, L"In", L"Out") {}

HRESULT STDMETHODCALLTYPE COrrick::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IOrrick)) return GetInterface(static_cast<IBaseFilter*>(this), object);
    if (IsEqualIID(iid, IID_ISpecifyPropertyPages)) return GetInterface(static_cast<ISpecifyPropertyPages*>(this), object);
    return CDsTransformFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT COrrick::CheckInputType(const AM_MEDIA_TYPE* input) {
    if (input == nullptr) return E_POINTER;
    if (!IsEqualGUID(input->subtype, MEDIASUBTYPE_YUY2) || !HasVideoHeader(*input)) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT COrrick::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) {
    if (input == nullptr || output == nullptr) return E_POINTER;
    const HRESULT hr = CheckInputType(input);
    if (hr != S_OK) return hr;
    ULONG needed = 0;
    if (IsEqualGUID(output->formattype, FORMAT_VideoInfo)) {
        needed = sizeof(VIDEOINFOHEADER);
    } else if (IsEqualGUID(output->formattype, FORMAT_VideoInfo2)) {
        needed = sizeof(VIDEOINFOHEADER2);
    } else {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (input->cbFormat < needed || output->cbFormat < needed || output->pbFormat == nullptr) return E_INVALIDARG;
    return S_OK;
}

HRESULT COrrick::GetOutputType(int position, CMediaType* type) {
    if (type == nullptr) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const CMediaType& input = Input().CurrentMediaType();
    if (!HasVideoHeader(input)) return VFW_E_NOT_CONNECTED;
    HRESULT hr = type->Set(input);
    if (FAILED(hr)) return hr;
    VIDEOINFOHEADER header = {};
    if (IsEqualGUID(input.formattype, FORMAT_VideoInfo2)) {
        const auto* source = reinterpret_cast<const VIDEOINFOHEADER2*>(input.pbFormat);
        header.rcSource = source->rcSource;
        header.rcTarget = source->rcTarget;
        header.dwBitRate = source->dwBitRate;
        header.dwBitErrorRate = source->dwBitErrorRate;
        header.AvgTimePerFrame = source->AvgTimePerFrame;
        header.bmiHeader = source->bmiHeader;
    } else {
        header = *reinterpret_cast<const VIDEOINFOHEADER*>(input.pbFormat);
    }
    // The header describes what we deliver: 32-bit RGB rows, for either input format.
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    header.bmiHeader.biSizeImage = 4 * static_cast<DWORD>(header.bmiHeader.biWidth) *
                                   static_cast<DWORD>(std::labs(header.bmiHeader.biHeight));
    if (!type->SetFormat(&header, sizeof(header))) return E_OUTOFMEMORY;
    type->formattype = FORMAT_VideoInfo;
    type->subtype = MEDIASUBTYPE_RGB32;
    type->bFixedSizeSamples = TRUE;
    type->bTemporalCompression = FALSE;
    type->lSampleSize = header.bmiHeader.biSizeImage;
    width_ = header.bmiHeader.biWidth;
    height_ = std::labs(header.bmiHeader.biHeight);
    return S_OK;
}

HRESULT COrrick::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) {
    if (allocator == nullptr || requested == nullptr) return E_POINTER;
    if (!Input().IsConnected()) return E_UNEXPECTED;
    // A peer may have settled on a type without a sample size: the frame we write still fits.
    const LONG frame = std::max(static_cast<LONG>(Output().CurrentMediaType().lSampleSize), 4 * width_ * height_);
    return SetAllocatorAtLeast(allocator, *requested, 1, 2 * frame);
}

LONG COrrick::ConvertFrame(const BYTE* input, LONG inputLength, BYTE* output, LONG outputSize) const {
    // Two input bytes per pixel, four output bytes; never more than one remembered frame.
    LONGLONG pixels = std::min<LONGLONG>(inputLength / 2, outputSize / 4);
    if (width_ > 0 && height_ > 0) pixels = std::min<LONGLONG>(pixels, static_cast<LONGLONG>(width_) * height_);
    pixels &= ~1LL;
    const LONG length = static_cast<LONG>(4 * pixels);
    // Pairs go in from the back: input pixel j lands at output pixel (pixels - 1 - j).
    for (LONGLONG k = 0; k < pixels / 2; ++k) {
        const BYTE* quad = input + 4 * k;
        BYTE* y0 = output + length - 8 * k - 4;
        WritePixel(y0, YuvToRgb(quad[0], quad[1], quad[3]));
        WritePixel(y0 - 4, YuvToRgb(quad[2], quad[1], quad[3]));
    }
    // Mirroring each row back keeps left and right: the picture ends upside down only.
    if (width_ > 0 && height_ > 0) {
        const LONGLONG rows = std::min<LONGLONG>(height_, pixels / width_);
        auto* pixelsOut = reinterpret_cast<DWORD*>(output);
        for (LONGLONG row = 0; row < rows; ++row) {
            DWORD* line = pixelsOut + row * width_;
            std::reverse(line, line + width_);
        }
    }
    return length;
}

HRESULT COrrick::Transform(IMediaSample* input, IMediaSample* output) {
    if (input == nullptr || output == nullptr) return E_POINTER;
    BYTE* source = nullptr;
    BYTE* target = nullptr;
    HRESULT hr = input->GetPointer(&source);
    if (SUCCEEDED(hr)) hr = output->GetPointer(&target);
    if (FAILED(hr)) return hr;
    const LONG inputLength = input->GetActualDataLength();
    if (inputLength < 0) return E_UNEXPECTED;
    const LONG written = ConvertFrame(source, inputLength, target, output->GetSize());
    return output->SetActualDataLength(written);
}

HRESULT STDMETHODCALLTYPE COrrick::GetPages(CAUUID* pages) {
    if (pages == nullptr) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (pages->pElems == nullptr) return E_OUTOFMEMORY;
    pages->pElems[0] = CLSID_OrrickProperties;
    pages->cElems = 1;
    return S_OK;
}
