#include "tests/dshow/TestFilters.h"

#include <cstring>

CMediaType TestBytesType() {
    CMediaType type;
    type.majortype = MEDIATYPE_Stream;
    type.subtype = MEDIASUBTYPE_DsTestBytes;
    type.formattype = FORMAT_None;
    return type;
}

namespace {
bool IsTestBytes(const AM_MEDIA_TYPE* type) {
    return IsEqualGUID(type->majortype, MEDIATYPE_Stream) && IsEqualGUID(type->subtype, MEDIASUBTYPE_DsTestBytes);
}

HRESULT SetBuffers(IMemAllocator* allocator, LONG size) {
    return SetAllocatorAtLeast(allocator, ALLOCATOR_PROPERTIES{}, 2, size);
}
}  // namespace

HRESULT CTestSource::CPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    const bool refusedType = static_cast<CTestSource*>(Filter())->offerRefusedTypeFirst &&
                             IsEqualGUID(type->subtype, MEDIASUBTYPE_MPEG1Audio);
    return IsTestBytes(type) || refusedType ? S_OK : S_FALSE;
}

HRESULT CTestSource::CPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    const bool refusedFirst = static_cast<CTestSource*>(Filter())->offerRefusedTypeFirst;
    if (refusedFirst && position == 0) {
        *type = TestBytesType();
        type->subtype = MEDIASUBTYPE_MPEG1Audio;
        return S_OK;
    }
    if (position > (refusedFirst ? 1 : 0)) return VFW_S_NO_MORE_ITEMS;
    *type = TestBytesType();
    return S_OK;
}

HRESULT CTestSource::CPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES*) {
    return SetBuffers(allocator, 256);
}

HRESULT CTestSource::Send(const std::vector<BYTE>& bytes, REFERENCE_TIME start, const AM_MEDIA_TYPE* changed) {
    IMediaSample* sample = nullptr;
    HRESULT hr = pin_.GetDeliveryBuffer(&sample);
    if (FAILED(hr)) return hr;
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    sample->SetActualDataLength(static_cast<LONG>(bytes.size()));
    REFERENCE_TIME stop = start + 1;
    sample->SetTime(&start, &stop);
    if (changed != nullptr) sample->SetMediaType(const_cast<AM_MEDIA_TYPE*>(changed));
    hr = pin_.Deliver(sample);
    sample->Release();
    return hr;
}

HRESULT CTestInverter::CheckInputType(const AM_MEDIA_TYPE* input) {
    return IsTestBytes(input) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTestInverter::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) {
    return IsTestBytes(input) && IsTestBytes(output) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTestInverter::GetOutputType(int position, CMediaType* type) {
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = TestBytesType();
    return S_OK;
}

HRESULT CTestInverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES*) {
    return SetBuffers(allocator, 256);
}

HRESULT CTestInverter::Transform(IMediaSample* input, IMediaSample* output) {
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    input->GetPointer(&from);
    output->GetPointer(&to);
    const LONG length = input->GetActualDataLength();
    // An empty sample is dropped: the transform's way to skip one.
    if (length == 0) return S_FALSE;
    for (LONG i = 0; i < length; ++i) to[i] = static_cast<BYTE>(~from[i]);
    output->SetActualDataLength(length);
    return S_OK;
}

HRESULT CTestRenderer::CheckMediaType(const AM_MEDIA_TYPE* type) { return IsTestBytes(type) ? S_OK : S_FALSE; }

HRESULT CTestRenderer::DoRenderSample(IMediaSample* sample) {
    BYTE* bytes = nullptr;
    sample->GetPointer(&bytes);
    received.insert(received.end(), bytes, bytes + sample->GetActualDataLength());
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    starts.push_back(start);
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed != nullptr) {
        typeChanges.push_back(changed->subtype);
        DeleteMediaTypeRecord(changed);
    }
    return S_OK;
}
