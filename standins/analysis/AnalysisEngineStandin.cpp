#include "standins/analysis/AnalysisEngineStandin.h"

#include <new>

#include "standins/analysis/AnalysisResultStandin.h"

namespace {

constexpr DWORD kCookie = 1;

bool HasStbfRecord(const BYTE* data, LONG length) {
    LONG at = 0;
    while (length - at >= 20) {
        const uint32_t size = (uint32_t(data[at + 16]) << 24) | (uint32_t(data[at + 17]) << 16) |
                              (uint32_t(data[at + 18]) << 8) | data[at + 19];
        if (memcmp(data + at, "STBF", 4) == 0) return true;
        if (size > static_cast<uint32_t>(length - at - 20)) return false;
        at += 20 + static_cast<LONG>(size);
    }
    return false;
}

}  // namespace

AnalysisStandinSession& CAnalysisEngineStandin::Session() {
    static AnalysisStandinSession session{};
    return session;
}

HRESULT CAnalysisEngineStandin::Create(REFIID iid, void** result) {
    if (CStandinScript::FromEnvironment().fail == L"create") return E_FAIL;
    CAnalysisEngineStandin* engine = new (std::nothrow) CAnalysisEngineStandin();
    if (!engine) return E_OUTOFMEMORY;
    const HRESULT hr = engine->QueryInterface(iid, result);
    engine->Release();
    return hr;
}

CAnalysisEngineStandin::CAnalysisEngineStandin() : script_(CStandinScript::FromEnvironment()) {
    AnalysisStandinSession& session = Session();
    const LONG engines = session.engines + 1;
    const LONG live = session.liveEngines + 1;
    session = AnalysisStandinSession{};
    session.engines = engines;
    session.liveEngines = live;
    session.option5 = -1;
}

CAnalysisEngineStandin::~CAnalysisEngineStandin() {
    StopThread();
    if (sink_) sink_->Release();
    --Session().liveEngines;
}

HRESULT CAnalysisEngineStandin::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidMusicAnalysisEngine)) {
        *result = static_cast<IMusicAnalysisEngine*>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *result = static_cast<IConnectionPointContainer*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CAnalysisEngineStandin::Initialize() {
    ++Session().initialized;
    if (Fails(L"initialize")) return E_FAIL;
    if (!script_.syncEvents && !thread_.joinable()) {
        thread_ = std::thread([this] {
            std::unique_lock<std::mutex> guard(lock_);
            for (;;) {
                wake_.wait(guard, [this] { return stopping_ || !events_.empty(); });
                if (events_.empty()) return;
                const CEvent event = events_.front();
                events_.pop_front();
                guard.unlock();
                Fire(event);
                guard.lock();
            }
        });
    }
    return S_OK;
}

HRESULT CAnalysisEngineStandin::Close() {
    ++Session().closed;
    StopThread();
    return S_OK;
}

void CAnalysisEngineStandin::StopThread() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
        events_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (racer_.joinable()) racer_.join();
}

HRESULT CAnalysisEngineStandin::SetOption(LONG option, VARIANT value) {
    if (option == kAnalysisOptionBufferLength && value.vt == VT_I4) Session().option5 = value.lVal;
    return S_OK;
}

HRESULT CAnalysisEngineStandin::SetAudioFormat(LONG channels, LONG sampleRate, LONG bitsPerSample) {
    if (Fails(L"format")) return E_FAIL;
    Session().channels = channels;
    Session().sampleRate = sampleRate;
    Session().bitsPerSample = bitsPerSample;
    payload_.SetFormat(channels, sampleRate, bitsPerSample);
    return S_OK;
}

HRESULT CAnalysisEngineStandin::PushBuffer(const BYTE* data, LONG length, LONG endOfData, LONG flags) {
    AnalysisStandinSession& session = Session();
    if (flags != 1) ++session.badFlags;
    if (Fails(L"push")) return E_FAIL;
    if (endOfData) {
        ++session.endPushes;
        if (script_.race) {
            // The aborting buffer event and the end event arrive at once from two threads.
            if (racer_.joinable()) racer_.join();
            racer_ = std::thread([this] { Fire(CEvent{false, 1}); });
        }
        Queue(CEvent{true, script_.endStatus});
        return S_OK;
    }
    if (!data || length < 0) return E_INVALIDARG;
    payload_.Feed(data, static_cast<size_t>(length));
    ++session.buffers;
    session.bytes += length;
    const bool abort = script_.abortAfter > 0 && ++buffers_ == script_.abortAfter;
    Queue(CEvent{false, abort ? 1 : 0});
    return S_OK;
}

void CAnalysisEngineStandin::Queue(CEvent event) {
    if (script_.syncEvents) {
        Fire(event);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (stopping_) return;
        events_.push_back(event);
    }
    wake_.notify_one();
}

void CAnalysisEngineStandin::Fire(const CEvent& event) {
    if (!event.end && script_.stallMs > 0) Sleep(static_cast<DWORD>(script_.stallMs));
    _IMusicAnalysisEvents2* sink = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock_);
        sink = sink_;
        if (sink) sink->AddRef();
    }
    if (!sink) return;
    if (event.end) {
        sink->OnAnalysisEnd(0, event.value);
    } else {
        sink->OnBufferDone(event.value);
    }
    sink->Release();
}

HRESULT CAnalysisEngineStandin::GetResult(IMusicAnalysisResult** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (Fails(L"result")) return E_FAIL;
    auto* object = new (std::nothrow) CAnalysisResultStandin(
        script_.emptyResult ? std::vector<uint8_t>() : payload_.Measures(), payload_.Build(script_.moodScores));
    if (!object) return E_OUTOFMEMORY;
    *result = object;
    return S_OK;
}

HRESULT CAnalysisEngineStandin::CheckData(const BYTE* data, LONG length, LONG* verdict) {
    if (!verdict) return E_POINTER;
    *verdict = script_.checkVerdict >= 0 ? script_.checkVerdict : (data && HasStbfRecord(data, length) ? 1 : 0);
    return S_OK;
}

HRESULT CAnalysisEngineStandin::MergeData(const BYTE* oldData, LONG oldLength, const BYTE* newData, LONG newLength,
                                          VARIANT* merged) {
    if (!merged) return E_POINTER;
    VariantInit(merged);
    if (oldLength < 0 || newLength < 0 || (oldLength && !oldData) || (newLength && !newData)) return E_INVALIDARG;
    // The new analysis first, then what the old payload held.
    std::vector<uint8_t> bytes(newData, newData + newLength);
    bytes.insert(bytes.end(), oldData, oldData + oldLength);
    return MakeByteArrayVariant(bytes.data(), bytes.size(), merged);
}

HRESULT CAnalysisEngineStandin::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

HRESULT CAnalysisEngineStandin::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, kIidMusicAnalysisEvents2)) return CONNECT_E_NOCONNECTION;
    *point = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT CAnalysisEngineStandin::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = kIidMusicAnalysisEvents2;
    return S_OK;
}

HRESULT CAnalysisEngineStandin::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

HRESULT CAnalysisEngineStandin::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    _IMusicAnalysisEvents2* events = nullptr;
    if (FAILED(sink->QueryInterface(kIidMusicAnalysisEvents2, reinterpret_cast<void**>(&events))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    std::lock_guard<std::mutex> guard(lock_);
    if (sink_) {
        events->Release();
        return CONNECT_E_ADVISELIMIT;
    }
    sink_ = events;
    *cookie = kCookie;
    return S_OK;
}

HRESULT CAnalysisEngineStandin::Unadvise(DWORD cookie) {
    std::lock_guard<std::mutex> guard(lock_);
    if (cookie != kCookie || !sink_) return CONNECT_E_NOCONNECTION;
    sink_->Release();
    sink_ = nullptr;
    return S_OK;
}

HRESULT CAnalysisEngineStandin::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}
