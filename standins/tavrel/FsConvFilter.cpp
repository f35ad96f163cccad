#include "standins/tavrel/FsConvFilter.h"

#include <windows.h>
#include <mmreg.h>

#include <cstring>

namespace {

constexpr DWORD kOutputRate = 44100;
constexpr WORD kOutputChannels = 2;
constexpr WORD kOutputBlock = kOutputChannels * 2;
constexpr LONG kOutputBufferBytes = 256 * 1024;

WAVEFORMATEX OutputFormat() {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kOutputChannels;
    format.nSamplesPerSec = kOutputRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = kOutputBlock;
    format.nAvgBytesPerSec = kOutputRate * kOutputBlock;
    return format;
}

bool IsPcm16(const AM_MEDIA_TYPE& type) {
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Audio) || !IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM) ||
        !IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) || type.pbFormat == nullptr || type.cbFormat < sizeof(PCMWAVEFORMAT)) {
        return false;
    }
    PCMWAVEFORMAT format;
    std::memcpy(&format, type.pbFormat, sizeof(format));
    return format.wBitsPerSample == 16 && format.wf.nChannels >= 1 && format.wf.nSamplesPerSec != 0 &&
           format.wf.nBlockAlign == format.wf.nChannels * 2;
}

}  // namespace

CFsConvFilter::CFsConvFilter(IUnknown* outer) : CDsTransformFilter(L"Sample-rate conversion stand-in", outer, CLSID_TavrelFsConvFilter, L"In", L"Out") {}

HRESULT CFsConvFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(ITavrelFsConvConfig))) return GetInterface(static_cast<ITavrelFsConvConfig*>(this), object);
    return CDsTransformFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT CFsConvFilter::SetInputFormat(int bitsPerSample, int sampleRate, int outputChannels) {
    if (outputChannels != kOutputChannels) return E_INVALIDARG;
    configuredBits_ = bitsPerSample;
    configuredRate_ = sampleRate;
    return S_OK;
}

WAVEFORMATEX CFsConvFilter::InputFormat() {
    WAVEFORMATEX format = {};
    std::memcpy(&format, Input().CurrentMediaType().pbFormat, sizeof(PCMWAVEFORMAT));
    return format;
}

HRESULT CFsConvFilter::CheckInputType(const AM_MEDIA_TYPE* input) {
    if (input == nullptr || !IsPcm16(*input)) return VFW_E_TYPE_NOT_ACCEPTED;
    // Told what to expect: only that rate (the bits are 16 in any case).
    PCMWAVEFORMAT format;
    std::memcpy(&format, input->pbFormat, sizeof(format));
    if (configuredRate_ != 0 && static_cast<DWORD>(configuredRate_) != format.wf.nSamplesPerSec) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CFsConvFilter::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) {
    if (input == nullptr || output == nullptr || !IsPcm16(*output)) return VFW_E_TYPE_NOT_ACCEPTED;
    PCMWAVEFORMAT format;
    std::memcpy(&format, output->pbFormat, sizeof(format));
    return format.wf.nChannels == kOutputChannels && format.wf.nSamplesPerSec == kOutputRate ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CFsConvFilter::GetOutputType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const WAVEFORMATEX format = OutputFormat();
    type->Clear();
    type->majortype = MEDIATYPE_Audio;
    type->subtype = MEDIASUBTYPE_PCM;
    type->formattype = FORMAT_WaveFormatEx;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = kOutputBlock;
    return type->SetFormat(&format, sizeof(format)) ? S_OK : E_OUTOFMEMORY;
}

HRESULT CFsConvFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) {
    return SetAllocatorAtLeast(allocator, *requested, 4, kOutputBufferBytes);
}

HRESULT CFsConvFilter::StartStreaming() {
    framesIn_ = 0;
    framesOut_ = 0;
    return S_OK;
}

HRESULT CFsConvFilter::Transform(IMediaSample* input, IMediaSample* output) {
    const WAVEFORMATEX in = InputFormat();
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    input->GetPointer(&from);
    output->GetPointer(&to);
    const LONGLONG frames = input->GetActualDataLength() / in.nBlockAlign;
    // Output frames due by the end of this sample, each the nearest earlier input frame.
    const LONGLONG due = (framesIn_ + frames) * kOutputRate / in.nSamplesPerSec;
    LONG written = 0;
    const LONG room = output->GetSize() / kOutputBlock;
    for (; framesOut_ < due && written < room; ++framesOut_, ++written) {
        const LONGLONG source = framesOut_ * in.nSamplesPerSec / kOutputRate - framesIn_;
        const LONGLONG index = source < 0 ? 0 : (source >= frames ? frames - 1 : source);
        const SHORT* frame = reinterpret_cast<const SHORT*>(from + index * in.nBlockAlign);
        SHORT* target = reinterpret_cast<SHORT*>(to + written * kOutputBlock);
        target[0] = frame[0];
        target[1] = in.nChannels > 1 ? frame[1] : frame[0];
    }
    framesOut_ = due;  // anything beyond the buffer is dropped rather than delayed
    framesIn_ += frames;
    output->SetActualDataLength(written * kOutputBlock);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    if (SUCCEEDED(input->GetTime(&start, &end))) output->SetTime(&start, &end);
    output->SetSyncPoint(TRUE);
    return written == 0 ? S_FALSE : S_OK;
}
