#include "standins/decoders/WavPullFilter.h"

#include <process.h>

#include <cstring>

namespace {
const LONG kChunkBytes = 8192;
const LONGLONG kHeaderWindow = 4096;
}  // namespace

CWavPullInputPin::CWavPullInputPin(CWavPullFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsBasePin(filter, lock, name, PINDIR_INPUT), owner_(filter) {}

HRESULT CWavPullInputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    return IsEqualGUID(type->majortype, MEDIATYPE_Stream) ? S_OK : S_FALSE;
}

HRESULT CWavPullInputPin::CompleteConnect(IPin* peer) {
    HRESULT hr = peer->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(&reader_));
    if (FAILED(hr)) return VFW_E_NO_TRANSPORT;
    hr = owner_->ReadHeader(reader_);
    return FAILED(hr) ? VFW_E_TYPE_NOT_ACCEPTED : S_OK;
}

HRESULT CWavPullInputPin::BreakConnect() {
    if (reader_ != nullptr) {
        reader_->Release();
        reader_ = nullptr;
    }
    owner_->ForgetHeader();
    return S_OK;
}

CWavPushOutputPin::CWavPushOutputPin(CWavPullFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsOutputPin(filter, lock, name), owner_(filter) {}

HRESULT CWavPushOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    CMediaType ours;
    if (FAILED(owner_->OutputType(&ours))) return VFW_E_NOT_CONNECTED;
    return IsEqualGUID(type->majortype, ours.majortype) && IsEqualGUID(type->subtype, ours.subtype) &&
                   IsEqualGUID(type->formattype, ours.formattype)
               ? S_OK
               : S_FALSE;
}

HRESULT CWavPushOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return owner_->OutputType(type);
}

HRESULT CWavPushOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) {
    return SetAllocatorAtLeast(allocator, *requested, 4, owner_->ChunkBytes());
}

HRESULT CWavPushOutputPin::Inactive() {
    owner_->StopPushing();
    return CDsOutputPin::Inactive();
}

CWavPullFilter::CWavPullFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, const wchar_t* inputName,
                               const wchar_t* outputName, REFGUID outputSubtype)
    : CDsBaseFilter(name, outer, &filterLock_, clsid),
      input_(this, &filterLock_, inputName),
      output_(this, &filterLock_, outputName),
      outputSubtype_(outputSubtype) {}

CWavPullFilter::~CWavPullFilter() {
    StopPushing();
    input_.BreakConnect();
    output_.BreakConnect();
}

CDsBasePin* CWavPullFilter::GetPin(int index) {
    if (index == 0) return &input_;
    if (index == 1) return &output_;
    return nullptr;
}

HRESULT CWavPullFilter::ReadStreamStart(IAsyncReader* reader, BYTE* header, LONG bytes) {
    LONGLONG total = 0, available = 0;
    HRESULT hr = reader->Length(&total, &available);
    if (FAILED(hr) || total < bytes) return E_FAIL;
    hr = reader->SyncRead(0, bytes, header);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CWavPullFilter::ReadHeader(IAsyncReader* reader) {
    LONGLONG total = 0, available = 0;
    HRESULT hr = reader->Length(&total, &available);
    if (FAILED(hr) || total < 12) return E_FAIL;
    BYTE header[kHeaderWindow] = {};
    const LONG window = static_cast<LONG>(total < kHeaderWindow ? total : kHeaderWindow);
    hr = reader->SyncRead(0, window, header);
    if (FAILED(hr)) return hr;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return E_FAIL;
    bool haveFormat = false;
    LONG at = 12;
    while (window - at >= 8) {
        const uint32_t size = ReadLe32(header + at + 4);
        const LONG body = at + 8;
        if (std::memcmp(header + at, "fmt ", 4) == 0) {
            if (size < 16 || static_cast<uint32_t>(window - body) < 16) return E_FAIL;
            std::memcpy(&format_, header + body, 16);
            format_.cbSize = 0;
            haveFormat = format_.wFormatTag == WAVE_FORMAT_PCM && format_.nBlockAlign != 0;
        } else if (std::memcmp(header + at, "data", 4) == 0) {
            if (!haveFormat) return E_FAIL;
            dataOffset_ = body;
            // The chunk's length holds even when the file is shorter: reading past its end is the
            // error a truncated file gives.
            dataSize_ = size;
            return S_OK;
        }
        if (size > static_cast<uint32_t>(window - body)) return E_FAIL;
        at = body + static_cast<LONG>(size + (size & 1));
    }
    return E_FAIL;
}

LONG CWavPullFilter::ChunkBytes() const {
    const LONG block = BlockBytes() != 0 ? BlockBytes() : 1;
    return block < kChunkBytes ? kChunkBytes - kChunkBytes % block : block;
}

HRESULT CWavPullFilter::OutputType(CMediaType* type) {
    if (dataSize_ == 0) return VFW_E_NOT_CONNECTED;
    type->Clear();
    type->majortype = MEDIATYPE_Audio;
    type->subtype = outputSubtype_;
    type->formattype = FORMAT_WaveFormatEx;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = format_.nBlockAlign;
    return type->SetFormat(&format_, sizeof(format_)) ? S_OK : E_OUTOFMEMORY;
}

// Streaming starts with the run, so the sink has its type before the first sample.
HRESULT STDMETHODCALLTYPE CWavPullFilter::Run(REFERENCE_TIME start) {
    CScopedLock lock(filterLock_);
    const HRESULT hr = CDsBaseFilter::Run(start);
    if (FAILED(hr) || pushThread_ != nullptr || input_.Reader() == nullptr || !output_.IsConnected()) return hr;
    stopRequested_ = false;
    pushThread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, PushEntry, this, 0, nullptr));
    return pushThread_ != nullptr ? S_OK : E_OUTOFMEMORY;
}

void CWavPullFilter::StopPushing() {
    if (pushThread_ == nullptr) return;
    stopRequested_ = true;
    WaitForSingleObject(pushThread_, INFINITE);
    CloseHandle(pushThread_);
    pushThread_ = nullptr;
}

bool CWavPullFilter::PauseUnlessStopped(DWORD milliseconds) const {
    constexpr DWORD kSliceMs = 20;
    for (DWORD waited = 0; waited < milliseconds && !stopRequested_; waited += kSliceMs) Sleep(kSliceMs);
    return !stopRequested_;
}

unsigned __stdcall CWavPullFilter::PushEntry(void* self) {
    static_cast<CWavPullFilter*>(self)->PushLoop();
    return 0;
}

void CWavPullFilter::PushLoop() {
    IAsyncReader* reader = input_.Reader();
    LONGLONG sent = 0;
    while (!stopRequested_ && sent < dataSize_) {
        if (sent != 0 && !PauseUnlessStopped(ChunkPauseMs())) return;
        IMediaSample* sample = nullptr;
        if (FAILED(output_.GetDeliveryBuffer(&sample))) return;
        const LONG chunk = ChunkBytes();
        LONG length = static_cast<LONG>(dataSize_ - sent < chunk ? dataSize_ - sent : chunk);
        length -= length % BlockBytes();
        if (length == 0) length = static_cast<LONG>(dataSize_ - sent);
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        HRESULT hr = reader->SyncRead(dataOffset_ + sent, length, buffer);
        if (hr != S_OK) {
            // A stream shorter than its header says: the run ends with an error, as a real
            // splitter ends it.
            sample->Release();
            NotifyEvent(EC_ERRORABORT, SUCCEEDED(hr) ? HRESULT_FROM_WIN32(ERROR_HANDLE_EOF) : hr, 0);
            return;
        }
        sample->SetActualDataLength(length);
        REFERENCE_TIME begin = sent * 10000000 / format_.nAvgBytesPerSec;
        REFERENCE_TIME end = (sent + length) * 10000000 / format_.nAvgBytesPerSec;
        sample->SetTime(&begin, &end);
        sample->SetSyncPoint(TRUE);
        hr = output_.Deliver(sample);
        sample->Release();
        if (hr != S_OK) return;
        sent += length;
    }
    if (!stopRequested_) output_.DeliverEndOfStream();
}
