#include "library/analysis/AnalysisManager.h"

#include "platform/dshow/DShow.h"

#include <cstring>
#include <new>

#include "library/analysis/AnalysisEngine.h"
#include "library/analysis/AnalysisMerge.h"
#include "library/analysis/VexalChecker.h"
#include "library/media/decode/AudioFormatProbe.h"

namespace {

// The stage's own message that completes the song in work; its parameter is 1 for success.
constexpr uint32_t kCompleteSongMessage = 1;
constexpr DWORD kBufferWaitMs = 5000;
constexpr size_t kWaveFormatBytes = 20;

}  // namespace

CAnalysisManager::CAnalysisManager() { stopTimeout_ = 15000; }

CAnalysisManager::~CAnalysisManager() { Stop(); }

HRESULT CAnalysisManager::Start() {
    for (HANDLE* event : {&bufferFree_, &endSent_}) {
        if (!*event) *event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        if (!*event) return E_FAIL;
    }
    return CParallelRunnableTNContentHandler::Start();
}

HRESULT CAnalysisManager::Stop() {
    const HRESULT hr = CParallelRunnableTNContentHandler::Stop();
    ReleaseDecoderAndEngine();
    for (HANDLE* event : {&bufferFree_, &endSent_}) {
        if (*event) CloseHandle(*event);
        *event = nullptr;
    }
    std::vector<uint8_t>().swap(buffer_);
    return hr;
}

void CAnalysisManager::SetEnabled(bool enabled) {
    CScopedLock lock(stateLock_);
    enabled_ = enabled;
}

bool CAnalysisManager::IsEnabled() {
    CScopedLock lock(stateLock_);
    return enabled_;
}

void CAnalysisManager::SetListener(IListener* listener) {
    CScopedLock lock(listenerLock_);
    listener_ = listener;
}

void CAnalysisManager::NotifyListener(int state, bool failed) {
    CScopedLock lock(listenerLock_);
    if (listener_) listener_->OnAnalysisProgress(state, 0, 0, failed);
}

std::vector<std::wstring> CAnalysisManager::GetReportList() {
    CScopedLock lock(reportLock_);
    return reportList_;
}

void CAnalysisManager::ClearReportList() {
    CScopedLock lock(reportLock_);
    reportList_.clear();
}

void CAnalysisManager::OnThreadStart() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void CAnalysisManager::OnThreadEnd() {
    // The engine was made in this thread's apartment: let it go here.
    ReleaseDecoderAndEngine();
    CoUninitialize();
}

HRESULT CAnalysisManager::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidMusicAnalysisEvents2)) {
        *result = static_cast<_IMusicAnalysisEvents2*>(this);
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

void CAnalysisManager::ReleaseDecoderAndEngine() {
    ITranscode2* decoder = nullptr;
    CScopedComPtr<IMusicAnalysisEngine> engine;
    CScopedComPtr<IConnectionPoint> connection;
    DWORD cookie = 0;
    {
        CScopedLock lock(stateLock_);
        decoder = decoder_;
        decoder_ = nullptr;
        engine.Reset(engine_.Detach());
        connection.Reset(connection_.Detach());
        cookie = cookie_;
        cookie_ = 0;
    }
    if (decoder) {
        decoder->Release();
        delete decoder;
    }
    if (connection && cookie) connection->Unadvise(cookie);
    if (engine) engine->Close();
}

HRESULT CAnalysisManager::PrepareEngine() {
    ReleaseDecoderAndEngine();
    CScopedComPtr<IMusicAnalysisEngine> engine;
    HRESULT hr = CreateAnalysisEngine(engine.Receive());
    if (FAILED(hr)) return hr;
    CScopedComPtr<IConnectionPointContainer> container;
    CScopedComPtr<IConnectionPoint> connection;
    DWORD cookie = 0;
    hr = engine->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()));
    if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(kIidMusicAnalysisEvents2, connection.Receive());
    if (SUCCEEDED(hr)) hr = connection->Advise(static_cast<_IMusicAnalysisEvents2*>(this), &cookie);
    if (FAILED(hr)) return hr;
    {
        CScopedLock lock(stateLock_);
        engine_.Reset(engine.Detach());
        connection_.Reset(connection.Detach());
        cookie_ = cookie;
    }
    VARIANT option;
    VariantInit(&option);
    option.vt = VT_I4;
    option.lVal = kAnalysisOptionBufferLengthValue;
    IMusicAnalysisEngine* current = engine_.Get();
    hr = current->SetOption(kAnalysisOptionBufferLength, option);
    if (SUCCEEDED(hr)) hr = current->Initialize();
    if (FAILED(hr)) return hr;
    ITranscode2* decoder = CreateTranscode2(this);
    if (!decoder) return E_OUTOFMEMORY;
    CScopedLock lock(stateLock_);
    decoder_ = decoder;
    return S_OK;
}

HRESULT CAnalysisManager::OpenDecoder(const CTNContent& content) {
    ITranscode2* decoder = nullptr;
    {
        CScopedLock lock(stateLock_);
        decoder = decoder_;
    }
    if (!decoder) return E_FAIL;
    int32_t sourceKind = 0;
    GetTranscodeSourceKind(static_cast<int32_t>(content.fileType), &sourceKind);
    HRESULT hr = decoder->SetFile(ContentMediaPath(content).c_str(), sourceKind);
    if (SUCCEEDED(hr)) hr = decoder->Run();
    return hr;
}

void CAnalysisManager::ProcessContent(CTNContent* content) {
    if (!content || !IsEnabled() || content->hasMoodData || content->analysisNotWanted ||
        content->kind != CTNContent::kSong || !IsAnalysableMediaType(content->fileType)) {
        ForwardCurrent();
        return;
    }
    // The last song's decoder and engine go first, so none of their late events reaches this one.
    ReleaseDecoderAndEngine();
    song_ = content;
    finishClaimed_ = false;
    HRESULT hr = PrepareEngine();
    if (FAILED(hr)) {
        // No engine (none installed, or it would not start): the song goes on without analysis.
        NotifyListener(0, true);
        Finish(false);
        return;
    }
    if (!IsAccepting()) {
        finishClaimed_ = true;
        song_ = nullptr;
        ForwardCurrent();
        return;
    }
    ResetEvent(bufferFree_);
    ResetEvent(endSent_);
    bytesFed_ = 0;
    hr = OpenDecoder(*content);
    NotifyListener(0, FAILED(hr));
    if (FAILED(hr)) Finish(false);
}

IMusicAnalysisEngine* CAnalysisManager::TakeEngine() {
    CScopedLock lock(stateLock_);
    IMusicAnalysisEngine* engine = engine_.Get();
    if (engine) engine->AddRef();
    return engine;
}

void CAnalysisManager::OnMediaType(const AM_MEDIA_TYPE* type) {
    if (!IsAccepting()) return;
    CScopedComPtr<IMusicAnalysisEngine> engine(TakeEngine());
    if (!engine) return;
    // Only a real WAVEFORMATEX block is read.
    if (!type || !IsEqualGUID(type->formattype, FORMAT_WaveFormatEx) || !type->pbFormat || type->cbFormat < 16) {
        Finish(false);
        return;
    }
    WAVEFORMATEX format = {};
    std::memcpy(&format, type->pbFormat, type->cbFormat < kWaveFormatBytes ? type->cbFormat : sizeof(format));
    const HRESULT hr = engine->SetAudioFormat(format.nChannels, static_cast<LONG>(format.nSamplesPerSec),
                                              format.wBitsPerSample);
    SetEvent(bufferFree_);
    if (FAILED(hr)) Finish(false);
}

HRESULT CAnalysisManager::OnSample(IMediaSample* sample) {
    if (!IsAccepting()) {
        // The run was cancelled: end the song now rather than decode it to the end unheard.
        Finish(false);
        return S_FALSE;
    }
    CScopedComPtr<IMusicAnalysisEngine> engine(TakeEngine());
    if (!engine || !sample) return S_FALSE;
    const long length = sample->GetActualDataLength();
    BYTE* data = nullptr;
    if (length <= 0 || FAILED(sample->GetPointer(&data)) || !data) return S_FALSE;
    bytesFed_ += static_cast<uint64_t>(length);
    const DWORD waited = WaitForSingleObject(bufferFree_, kBufferWaitMs);
    if (waited != WAIT_OBJECT_0) return HRESULT_FROM_WIN32(waited == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError());
    ResetEvent(bufferFree_);
    // One buffer is with the engine at a time, so the one block is free again here.
    if (buffer_.size() < static_cast<size_t>(length)) buffer_.resize(static_cast<size_t>(length));
    std::memcpy(buffer_.data(), data, static_cast<size_t>(length));
    const HRESULT hr = engine->PushBuffer(buffer_.data(), length, 0, 1);
    if (FAILED(hr)) SetEvent(bufferFree_);
    return hr;
}

void CAnalysisManager::OnEndOfStream() {
    if (WaitForSingleObject(endSent_, 0) == WAIT_OBJECT_0) return;
    SetEvent(endSent_);
    // Bounded by the stop time: a stalled engine must not hold the stage for good.
    WaitForSingleObject(bufferFree_, stopTimeout_);
    CScopedComPtr<IMusicAnalysisEngine> engine(TakeEngine());
    if (!engine || FAILED(engine->PushBuffer(nullptr, 0, 1, 1))) Finish(false);
}

void CAnalysisManager::OnStop(int reason) {
    SetEvent(bufferFree_);
    if (reason == 1 && WaitForSingleObject(endSent_, 0) != WAIT_OBJECT_0) {
        SetEvent(endSent_);
        Finish(false);
    }
}

HRESULT CAnalysisManager::OnBufferDone(LONG abort) {
    SetEvent(bufferFree_);
    if (abort) Finish(false);
    return S_OK;
}

HRESULT CAnalysisManager::OnAnalysisEnd(LONG, LONG status) {
    SetEvent(bufferFree_);
    Finish(status >= 0 && status <= 2);
    return S_OK;
}

void CAnalysisManager::Finish(bool success) {
    if (finishClaimed_.exchange(true)) return;
    if (FAILED(PostMessage(kCompleteSongMessage, success ? 1 : 0))) CompleteSong(success, false);
}

void CAnalysisManager::OnMessage(CThreadMessage* message) {
    if (message->id == kCompleteSongMessage) CompleteSong(message->param != 0, true);
    CParallelRunnableTNContentHandler::OnMessage(message);
}

void CAnalysisManager::AttachResult(CTNContent* content) {
    CScopedComPtr<IMusicAnalysisEngine> engine(TakeEngine());
    CScopedComPtr<IMusicAnalysisResult> result;
    if (!engine || FAILED(engine->GetResult(result.Receive())) || !result) return;
    bool measured = false;
    for (LONG item = 0; item < kAnalysisProbeItemCount && !measured; ++item) {
        VARIANT value;
        VariantInit(&value);
        if (FAILED(result->GetValue(item, &value)) || FAILED(VariantChangeType(&value, &value, 0, VT_I4))) {
            VariantClear(&value);
            break;
        }
        measured = value.lVal != kAnalysisNoValue;
        VariantClear(&value);
    }
    if (!measured) return;
    VARIANT payloadValue;
    VariantInit(&payloadValue);
    CTNByteArray* payload = nullptr;
    if (SUCCEEDED(result->GetValue(kAnalysisPayloadItem, &payloadValue))) ByteArrayFromVariant(payloadValue, &payload);
    VariantClear(&payloadValue);
    if (!payload) return;
    CTNByteArray* clean = nullptr;
    // The engine's private records never travel with the song, merged or not.
    const HRESULT hr = content->byteArray ? MergeAnalysisData(content->byteArray, payload, &clean)
                                          : CleanAnalysisPayload(payload, &clean);
    delete payload;
    if (SUCCEEDED(hr) && clean) content->SetByteArray(clean);
}

void CAnalysisManager::CompleteSong(bool success, bool onStageThread) {
    CTNContent* content = song_;
    song_ = nullptr;
    if (success && content) AttachResult(content);
    if (onStageThread) {
        // The graph holds the single-decode token until it is torn down, and the stage before
        // this one needs that token to check the next song: kept until the next song came, it
        // would never come.
        ReleaseDecoderAndEngine();
    } else {
        ITranscode2* decoder = nullptr;
        {
            CScopedLock lock(stateLock_);
            decoder = decoder_;
        }
        if (decoder) decoder->Stop();
    }
    if (content) DropWorkingCopy(content);
    NotifyListener(1, !(content && success));
    ForwardCurrent();
}
