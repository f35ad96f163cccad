// The reference check of the PC's AC-3 audio decoding: the reference file lying beside the program
// is played into the silence detector once per converter; a silent result fails AC-3 movies.
#include <string>
#include <vector>

#include "filters/tembric/ITembricResult.h"
#include "library/media/convert/GraphTools.h"
#include "library/media/convert/PrivateFilterLoader.h"
#include "library/media/convert/QBCONVMovie.h"
#include "library/util/ModuleFolder.h"

namespace {

constexpr DWORD kReferencePollMs = 100;
constexpr wchar_t kTembricClass[] = L"{A5A35CDC-6FE5-4174-BD8B-DCCCCF6A0F0C}";

bool IsAc3Input(IPin* pin) {
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_INPUT) return false;
    return ConnectionIs(pin, MEDIATYPE_Audio, &MEDIASUBTYPE_DolbyAc3) || ConnectionIs(pin, MEDIATYPE_Audio, &MEDIASUBTYPE_DolbyAc3Spdif);
}

bool GraphHasAc3Input(IGraphBuilder* graph) {
    CScopedComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.Receive()))) return false;
    CScopedComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.Receive(), nullptr) == S_OK) {
        CScopedComPtr<IEnumPins> pins;
        if (FAILED(filter->EnumPins(pins.Receive()))) continue;
        CScopedComPtr<IPin> pin;
        while (pins->Next(1, pin.Receive(), nullptr) == S_OK) {
            if (IsAc3Input(pin.Get())) return true;
        }
    }
    return false;
}

// Moves every connected input of `renderer` onto `replacement`'s "In" and drops the renderer.
void ReplaceRenderer(IGraphBuilder* graph, IBaseFilter* renderer, IBaseFilter* replacement) {
    CScopedComPtr<IPin> input;
    if (FAILED(FindFilterPin(replacement, L"In", input.Receive()))) return;
    CScopedComPtr<IEnumPins> pins;
    if (FAILED(renderer->EnumPins(pins.Receive()))) return;
    std::vector<CScopedComPtr<IPin>> upstream;
    CScopedComPtr<IPin> pin;
    while (pins->Next(1, pin.Receive(), nullptr) == S_OK) {
        CScopedComPtr<IPin> peer;
        PIN_DIRECTION direction = PINDIR_OUTPUT;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_INPUT || FAILED(pin->ConnectedTo(peer.Receive()))) continue;
        graph->Disconnect(peer.Get());
        graph->Disconnect(pin.Get());
        upstream.push_back(std::move(peer));
    }
    graph->RemoveFilter(renderer);
    for (const auto& peer : upstream) graph->Connect(peer.Get(), input.Get());
}

// True when the graph reported its end or a failure since the last look.
bool GraphEnded(IMediaEvent* events) {
    long code = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    bool ended = false;
    while (events->GetEvent(&code, &first, &second, 0) == S_OK) {
        if (code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT || code == EC_ERRORABORTEX) ended = true;
        events->FreeEventParams(code, first, second);
    }
    return ended;
}

}  // namespace

HRESULT CQBCONVMovie::CheckReferenceAudio(IGraphBuilder* graph) {
    if (!GraphHasAc3Input(graph)) return S_OK;
    if (referenceTested_ == 0) {
        referenceSignal_ = 1;
        const HRESULT hr = PlayReference();
        referenceTested_ = 1;
        if (FAILED(hr)) referenceSignal_ = 1;
    }
    return referenceSignal_ != 0 ? S_OK : E_FAIL;
}

HRESULT CQBCONVMovie::PlayReference() {
    const std::wstring folder = GetModuleFolder();
    if (folder.empty()) return E_FAIL;
    CScopedBstr path((folder + L"Calib.dat").c_str());
    CScopedComPtr<IGraphBuilder> graph;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(graph.Receive()));
    if (FAILED(hr)) return hr;
    CScopedComPtr<IMediaControl> control;
    CScopedComPtr<IMediaEvent> events;
    if (FAILED(hr = graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control.Receive()))) ||
        FAILED(hr = graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.Receive())))) {
        return hr;
    }
    auto endWith = [&graph](HRESULT result) {
        ClearGraph(graph.Get());
        return result;
    };
    hr = control->RenderFile(path.Get());
    if (FAILED(hr)) return endWith(hr);

    CScopedComPtr<IBaseFilter> videoRenderer;
    if (SUCCEEDED(graph->FindFilterByName(L"Video Renderer", videoRenderer.Receive()))) {
        CScopedComPtr<IBaseFilter> nullRenderer;
        if (SUCCEEDED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                       reinterpret_cast<void**>(nullRenderer.Receive()))) &&
            SUCCEEDED(graph->AddFilter(nullRenderer.Get(), L"Null Renderer"))) {
            ReplaceRenderer(graph.Get(), videoRenderer.Get(), nullRenderer.Get());
        }
    }
    CScopedComPtr<IBaseFilter> soundRenderer;
    hr = graph->FindFilterByName(L"Default DirectSound Device", soundRenderer.Receive());
    if (FAILED(hr)) return endWith(hr);
    CLSID tembricClass;
    hr = CLSIDFromString(const_cast<wchar_t*>(kTembricClass), &tembricClass);
    CScopedComPtr<IBaseFilter> detector;
    if (SUCCEEDED(hr)) hr = LoadPrivateComServer(L"Tembric.ax", tembricClass, IID_IBaseFilter, reinterpret_cast<void**>(detector.Receive()));
    if (FAILED(hr)) return endWith(hr);
    CScopedComPtr<ITembricResult> result;
    if (FAILED(hr = detector->QueryInterface(IID_ITembricResult, reinterpret_cast<void**>(result.Receive()))) ||
        FAILED(hr = graph->AddFilter(detector.Get(), L"No Audio Signal Detector"))) {
        return endWith(hr);
    }
    ReplaceRenderer(graph.Get(), soundRenderer.Get(), detector.Get());

    hr = control->Run();
    if (FAILED(hr)) return endWith(hr);
    // Until the detector decides, the reference ends or fails, or the time limit passes.
    const ULONGLONG deadline = GetTickCount64() + referenceTimeLimitMs_;
    OAFilterState state = State_Running;
    do {
        const HRESULT stateResult = control->GetState(kReferencePollMs, &state);
        HRESULT verdict = S_FALSE;
        result->GetResult(&verdict);
        if (verdict != S_FALSE || FAILED(stateResult) || GraphEnded(events.Get()) || GetTickCount64() >= deadline) {
            control->Stop();
            control->GetState(kReferencePollMs, &state);
            break;
        }
    } while (state != State_Stopped);
    DWORD count = 0;
    result->GetCount(&count);
    control->StopWhenReady();
    ClearGraph(graph.Get());

    HRESULT verdict = S_FALSE;
    result->GetResult(&verdict);
    // Only a decided silence counts against the PC; a signal or no decision counts as a signal.
    referenceSignal_ = verdict == S_OK ? 0 : 1;
    return S_OK;
}
