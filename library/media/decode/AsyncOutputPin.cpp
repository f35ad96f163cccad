#include "library/media/decode/AsyncOutputPin.h"

#include "library/media/decode/AsyncReader.h"

namespace {
// Sample times of a byte stream count bytes in units of a second of reference time.
const LONGLONG kUnitsPerByte = 10000000;
}  // namespace

CAsyncOutputPin::CAsyncOutputPin(CAsyncReader* reader, CAsyncIo* io, CCriticalSection* lock)
    : CDsBasePin(reader, lock, L"Output", PINDIR_OUTPUT), reader_(reader), io_(io) {}

HRESULT CAsyncOutputPin::PinQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IAsyncReader)) {
        queriedForAsyncReader_ = true;
        return GetInterface(static_cast<IAsyncReader*>(this), object);
    }
    return CDsBasePin::PinQueryInterface(iid, object);
}

HRESULT CAsyncOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    const AM_MEDIA_TYPE& ours = reader_->OfferedMediaType();
    if (!IsEqualGUID(type->majortype, ours.majortype)) return S_FALSE;
    if (IsEqualGUID(ours.subtype, GUID_NULL) || IsEqualGUID(ours.subtype, type->subtype)) return S_OK;
    return S_FALSE;
}

HRESULT CAsyncOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (reader_ == nullptr) return E_UNEXPECTED;
    return type->Set(reader_->OfferedMediaType());
}

// The peer asks for IAsyncReader while it takes the connection, so the transport can only be
// judged once that is done.
HRESULT CAsyncOutputPin::CompleteConnect(IPin* peer) {
    if (!queriedForAsyncReader_) return VFW_E_NO_TRANSPORT;
    return CDsBasePin::CompleteConnect(peer);
}

HRESULT CAsyncOutputPin::BreakConnect() {
    queriedForAsyncReader_ = false;
    return CDsBasePin::BreakConnect();
}

HRESULT CAsyncOutputPin::InitAllocator(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties,
                                       IMemAllocator** actual) {
    ALLOCATOR_PROPERTIES result = {};
    HRESULT hr = allocator->SetProperties(properties, &result);
    if (FAILED(hr)) return hr;
    const LONG alignment = static_cast<LONG>(io_->Alignment());
    if (result.cbAlign <= 0 || result.cbAlign % alignment != 0) return VFW_E_BADALIGN;
    allocator->AddRef();
    *actual = allocator;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                                                            IMemAllocator** actual) {
    if (properties == nullptr || actual == nullptr) return E_POINTER;
    *actual = nullptr;
    const LONG alignment = static_cast<LONG>(io_->Alignment());
    if (properties->cbAlign < alignment) properties->cbAlign = alignment;
    if (properties->cbAlign % alignment != 0) properties->cbAlign = (properties->cbAlign / alignment + 1) * alignment;
    if (preferred != nullptr && SUCCEEDED(InitAllocator(preferred, properties, actual))) return S_OK;
    IMemAllocator* own = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                  reinterpret_cast<void**>(&own));
    if (FAILED(hr)) return hr;
    hr = InitAllocator(own, properties, actual);
    own->Release();
    return hr;
}

HRESULT CAsyncOutputPin::SampleRange(IMediaSample* sample, LONGLONG* position, LONG* length) {
    REFERENCE_TIME start = 0, stop = 0;
    HRESULT hr = sample->GetTime(&start, &stop);
    if (FAILED(hr)) return hr;
    LONGLONG first = start / kUnitsPerByte;
    LONGLONG count = (stop - start) / kUnitsPerByte;
    if (first < 0 || count < 0) return E_INVALIDARG;
    LONGLONG total = 0, available = 0;
    io_->Length(&total, &available);
    const LONGLONG alignment = io_->Alignment();
    const LONGLONG alignedTotal = (total + alignment - 1) / alignment * alignment;
    if (first > alignedTotal) first = alignedTotal;
    if (count > alignedTotal - first) {
        count = alignedTotal - first;
        REFERENCE_TIME end = (first + count) * kUnitsPerByte;
        sample->SetTime(&start, &end);
    }
    if (count > sample->GetSize()) return E_INVALIDARG;
    *position = first;
    *length = static_cast<LONG>(count);
    return S_OK;
}

HRESULT CAsyncOutputPin::SampleTarget(IMediaSample* sample, LONGLONG* position, LONG* length, BYTE** buffer) {
    if (sample == nullptr) return E_POINTER;
    const HRESULT hr = SampleRange(sample, position, length);
    if (FAILED(hr)) return hr;
    return sample->GetPointer(buffer);
}

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::Request(IMediaSample* sample, DWORD_PTR user) {
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    const HRESULT hr = SampleTarget(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    return io_->Request(position, length, TRUE, buffer, sample, user);
}

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::WaitForNext(DWORD timeout, IMediaSample** sample, DWORD_PTR* user) {
    if (sample == nullptr || user == nullptr) return E_POINTER;
    void* context = nullptr;
    DWORD actual = 0;
    const HRESULT hr = io_->WaitForNext(timeout, &context, user, &actual);
    *sample = static_cast<IMediaSample*>(context);
    if (*sample != nullptr && SUCCEEDED(hr)) (*sample)->SetActualDataLength(static_cast<LONG>(actual));
    return hr;
}

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::SyncReadAligned(IMediaSample* sample) {
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    HRESULT hr = SampleTarget(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    DWORD actual = 0;
    hr = io_->SyncReadAligned(position, length, buffer, &actual, sample);
    sample->SetActualDataLength(static_cast<LONG>(actual));
    return hr;
}

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (buffer == nullptr) return E_POINTER;
    if (position < 0 || length < 0) return E_INVALIDARG;
    return io_->SyncRead(position, length, buffer);
}

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::Length(LONGLONG* total, LONGLONG* available) {
    if (total == nullptr || available == nullptr) return E_POINTER;
    return io_->Length(total, available);
}

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::BeginFlush() { return io_->BeginFlush(); }

HRESULT STDMETHODCALLTYPE CAsyncOutputPin::EndFlush() { return io_->EndFlush(); }
