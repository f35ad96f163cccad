#include "standins/decoders/PcmPassDecoder.h"

#include <mmsystem.h>

#include <cstring>


namespace {
const LONG kBufferBytes = 16384;
}  // namespace

CPcmPassDecoder::CPcmPassDecoder(const wchar_t* name, IUnknown* outer, REFCLSID clsid, REFGUID inputSubtype)
    : CDsTransformFilter(name, outer, clsid), inputSubtype_(inputSubtype) {}

HRESULT CPcmPassDecoder::CheckInputType(const AM_MEDIA_TYPE* input) {
    const bool ours = IsEqualGUID(input->majortype, MEDIATYPE_Audio) &&
                      IsEqualGUID(input->subtype, inputSubtype_) &&
                      IsEqualGUID(input->formattype, FORMAT_WaveFormatEx) && input->cbFormat >= sizeof(WAVEFORMAT);
    return ours ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPcmPassDecoder::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) {
    if (CheckInputType(input) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    const bool pcm = IsEqualGUID(output->majortype, MEDIATYPE_Audio) && IsEqualGUID(output->subtype, MEDIASUBTYPE_PCM) &&
                     IsEqualGUID(output->formattype, FORMAT_WaveFormatEx);
    return pcm ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPcmPassDecoder::GetOutputType(int position, CMediaType* type) {
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    HRESULT hr = type->Set(Input().CurrentMediaType());
    type->subtype = MEDIASUBTYPE_PCM;
    return hr;
}

HRESULT CPcmPassDecoder::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) {
    return SetAllocatorAtLeast(allocator, *requested, 4, kBufferBytes);
}

HRESULT CPcmPassDecoder::Transform(IMediaSample* input, IMediaSample* output) {
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    input->GetPointer(&from);
    output->GetPointer(&to);
    const LONG length = input->GetActualDataLength();
    if (length > output->GetSize()) return E_FAIL;
    std::memcpy(to, from, length);
    output->SetActualDataLength(length);
    return S_OK;
}
