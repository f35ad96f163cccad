#include "standins/wmf/ColourConverterStandin.h"

#include <amvideo.h>

#include <cstring>

#include "platform/wmf/WindowsMedia.h"

namespace standin {

namespace {

bool IsRgbVideo(const AM_MEDIA_TYPE& type) {
    return IsEqualGUID(type.majortype, MEDIATYPE_Video) && IsEqualGUID(type.formattype, FORMAT_VideoInfo) &&
           type.pbFormat != nullptr && type.cbFormat >= sizeof(VIDEOINFOHEADER) &&
           (IsEqualGUID(type.subtype, MEDIASUBTYPE_RGB32) || IsEqualGUID(type.subtype, MEDIASUBTYPE_RGB24));
}

}  // namespace

CColourConverterStandin::CColourConverterStandin(IUnknown* outer)
    : CDsTransformFilter(L"Color Space Converter stand-in", outer, CLSID_Colour, L"In", L"Out") {}

HRESULT CColourConverterStandin::CheckInputType(const AM_MEDIA_TYPE* input) {
    return input != nullptr && IsRgbVideo(*input) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CColourConverterStandin::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) {
    if (input == nullptr || output == nullptr || !IsRgbVideo(*output)) return VFW_E_TYPE_NOT_ACCEPTED;
    return IsEqualGUID(input->subtype, output->subtype) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CColourConverterStandin::GetOutputType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!Input().IsConnected()) return VFW_E_NOT_CONNECTED;
    return type->Set(Input().CurrentMediaType());
}

HRESULT CColourConverterStandin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) {
    const AM_MEDIA_TYPE& type = Input().CurrentMediaType();
    VIDEOINFOHEADER header;
    std::memcpy(&header, type.pbFormat, sizeof(header));
    const LONG height = header.bmiHeader.biHeight < 0 ? -header.bmiHeader.biHeight : header.bmiHeader.biHeight;
    const LONG frameBytes = header.bmiHeader.biWidth * height * (header.bmiHeader.biBitCount / 8);
    return SetAllocatorAtLeast(allocator, *requested, 2, frameBytes);
}

HRESULT CColourConverterStandin::Transform(IMediaSample* input, IMediaSample* output) {
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    input->GetPointer(&from);
    output->GetPointer(&to);
    const LONG length = input->GetActualDataLength();
    if (length > output->GetSize()) return E_UNEXPECTED;
    std::memcpy(to, from, length);
    output->SetActualDataLength(length);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    if (SUCCEEDED(input->GetTime(&start, &end))) output->SetTime(&start, &end);
    output->SetSyncPoint(input->IsSyncPoint() == S_OK);
    return S_OK;
}

}  // namespace standin
