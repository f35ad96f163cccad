// Rewiring the rendered graph so that every decoded stream flows into the ASF writer.
#include <windows.h>
#include <mmreg.h>
#include <servprov.h>

#include <cstring>
#include <vector>

#include "library/media/convert/GraphTools.h"
#include "library/media/convert/PrivateFilterLoader.h"
#include "library/media/convert/QBCONVMovie.h"
#include "library/media/convert/SampleRateConverter.h"
#include "platform/dshow/MediaType.h"

namespace {

constexpr wchar_t kWriterName[] = L"WM Asf Writer";
constexpr wchar_t kWriterAudioPin[] = L"Audio Input 01";
constexpr wchar_t kWriterVideoPin[] = L"Video Input 01";
constexpr wchar_t kSoundRendererName[] = L"Default DirectSound Device";
constexpr size_t kSoundRendererCompared = 26;
constexpr wchar_t kVideoRendererName[] = L"Video Renderer";
constexpr size_t kVideoRendererCompared = 14;
constexpr wchar_t kNullRendererName[] = L"Null Renderer";
constexpr size_t kNullRendererCompared = 13;
// The two outside video decoders behind which the video conversion filter goes, in that order.
const CLSID kConvertedDecoders[] = {
    {0x78766964, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}},
    {0x6F513D27, 0x97C3, 0x453C, {0x87, 0xFE, 0xB2, 0x4A, 0xE5, 0x0B, 0x16, 0x01}},
};
constexpr wchar_t kVandleClass[] = L"{0FCB2A9F-46E9-4ffe-958B-5148265F3D17}";

// The graph's filters as they are now (a walk that adds or removes filters works on this copy).
std::vector<CScopedComPtr<IBaseFilter>> GraphFilters(IGraphBuilder* graph) {
    std::vector<CScopedComPtr<IBaseFilter>> filters;
    CScopedComPtr<IEnumFilters> walk;
    if (FAILED(graph->EnumFilters(walk.Receive()))) return filters;
    IBaseFilter* filter = nullptr;
    while (walk->Next(1, &filter, nullptr) == S_OK) filters.emplace_back(filter);
    return filters;
}

std::vector<CScopedComPtr<IPin>> FilterPins(IBaseFilter* filter) {
    std::vector<CScopedComPtr<IPin>> pins;
    CScopedComPtr<IEnumPins> walk;
    if (FAILED(filter->EnumPins(walk.Receive()))) return pins;
    IPin* pin = nullptr;
    while (walk->Next(1, &pin, nullptr) == S_OK) pins.emplace_back(pin);
    return pins;
}

bool IsDirection(IPin* pin, PIN_DIRECTION wanted) {
    PIN_DIRECTION direction = PINDIR_INPUT;
    return SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted;
}

bool IsUnconnected(IPin* pin) {
    CScopedComPtr<IPin> peer;
    return pin->ConnectedTo(peer.Receive()) == VFW_E_NOT_CONNECTED;
}

// Disconnects a pin and its peer through the graph; false when either side refused.
bool DisconnectBoth(IGraphBuilder* graph, IPin* pin, IPin* peer) {
    return SUCCEEDED(graph->Disconnect(pin)) && SUCCEEDED(graph->Disconnect(peer));
}

HRESULT CreateFilter(REFCLSID clsid, DWORD context, IBaseFilter** filter) {
    return CoCreateInstance(clsid, nullptr, context, IID_IBaseFilter, reinterpret_cast<void**>(filter));
}

HRESULT LoadPrivateFilter(const wchar_t* file, const wchar_t* classText, IBaseFilter** filter) {
    CLSID clsid;
    HRESULT hr = CLSIDFromString(const_cast<wchar_t*>(classText), &clsid);
    if (FAILED(hr)) return hr;
    return LoadPrivateComServer(file, clsid, IID_IBaseFilter, reinterpret_cast<void**>(filter));
}

// A Null Renderer added to the graph, for streams nobody is to see or hear.
HRESULT AddNullRenderer(IGraphBuilder* graph, IBaseFilter** renderer) {
    HRESULT hr = CreateFilter(CLSID_NullRenderer, CLSCTX_INPROC_SERVER, renderer);
    if (FAILED(hr)) return hr;
    hr = graph->AddFilter(*renderer, kNullRendererName);
    if (FAILED(hr)) {
        (*renderer)->Release();
        *renderer = nullptr;
    }
    return hr;
}

}  // namespace

HRESULT CQBCONVMovie::CompleteRendering(IGraphBuilder* graph) {
    for (const auto& filter : GraphFilters(graph)) {
        for (const auto& pin : FilterPins(filter.Get())) {
            if (!IsDirection(pin.Get(), PINDIR_OUTPUT) || !IsUnconnected(pin.Get())) continue;
            CScopedComPtr<IEnumMediaTypes> types;
            if (FAILED(pin->EnumMediaTypes(types.Receive()))) continue;
            AM_MEDIA_TYPE* type = nullptr;
            // Once one type has connected the pin, its other types have nothing left to do.
            while (types->Next(1, &type, nullptr) == S_OK) {
                HRESULT hr = S_OK;
                if (IsUnconnected(pin.Get())) {
                    if (IsEqualGUID(type->majortype, MEDIATYPE_AUXLine21Data)) {
                        CScopedComPtr<IBaseFilter> renderer;
                        CScopedComPtr<IPin> input;
                        if (SUCCEEDED(AddNullRenderer(graph, renderer.Receive())) &&
                            SUCCEEDED(FindFilterPin(renderer.Get(), L"In", input.Receive()))) {
                            pin->Connect(input.Get(), type);
                        }
                    } else if (IsEqualGUID(type->majortype, MEDIATYPE_Audio) || IsEqualGUID(type->majortype, MEDIATYPE_Video)) {
                        hr = graph->Render(pin.Get());
                    }
                }
                DeleteMediaTypeRecord(type);
                if (FAILED(hr)) return hr;
            }
        }
    }
    FindSourceAudioFormat(graph);
    return S_OK;
}

void CQBCONVMovie::FindSourceAudioFormat(IGraphBuilder* graph) {
    sourceChannels_ = sourceSampleRate_ = sourceBitsPerSample_ = 0;
    struct AudioSink {
        const wchar_t* name;
        size_t compared;
        const wchar_t* pin;
    };
    const AudioSink sinks[] = {
        {kSoundRendererName, kSoundRendererCompared, L"Audio Input pin (rendered)"},
        {kWriterName, wcslen(kWriterName), kWriterAudioPin},
        {kNullRendererName, kNullRendererCompared, L"In"},
    };
    for (const auto& filter : GraphFilters(graph)) {
        for (const AudioSink& sink : sinks) {
            if (!FilterNameStartsWith(filter.Get(), sink.name, sink.compared)) continue;
            CScopedComPtr<IPin> pin;
            AM_MEDIA_TYPE type = {};
            if (FAILED(FindFilterPin(filter.Get(), sink.pin, pin.Receive())) || FAILED(pin->ConnectionMediaType(&type))) continue;
            if (IsEqualGUID(type.majortype, MEDIATYPE_Audio) && IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM) &&
                type.pbFormat != nullptr && type.cbFormat >= sizeof(PCMWAVEFORMAT)) {
                PCMWAVEFORMAT format;
                std::memcpy(&format, type.pbFormat, sizeof(format));
                sourceChannels_ = format.wf.nChannels;
                sourceSampleRate_ = static_cast<int32_t>(format.wf.nSamplesPerSec);
                sourceBitsPerSample_ = format.wBitsPerSample;
            }
            FreeMediaTypeContents(type);
        }
    }
}

HRESULT CQBCONVMovie::InsertVideoConverter(IGraphBuilder* graph) {
    CScopedComPtr<IBaseFilter> found;
    for (const CLSID& decoder : kConvertedDecoders) {
        for (const auto& filter : GraphFilters(graph)) {
            CLSID clsid;
            if (SUCCEEDED(filter->GetClassID(&clsid)) && IsEqualGUID(clsid, decoder)) {
                filter->AddRef();
                found.Reset(filter.Get());
                break;
            }
        }
        if (found) break;
    }
    if (!found) return S_OK;
    FILTER_INFO info = {};
    HRESULT hr = found->QueryFilterInfo(&info);
    if (FAILED(hr)) return hr;
    if (info.pGraph != nullptr) info.pGraph->Release();

    CScopedComPtr<IPin> decoderOut;
    CScopedComPtr<IPin> writerIn;
    hr = FindGraphPin(graph, info.achName, L"Out", decoderOut.Receive());
    if (SUCCEEDED(hr)) hr = FindGraphPin(graph, kWriterName, kWriterVideoPin, writerIn.Receive());
    if (FAILED(hr)) return hr;
    // The decoder's peer (the renderer rendering chose) lets go too, so no half connection stays.
    CScopedComPtr<IPin> rendered;
    if (SUCCEEDED(decoderOut->ConnectedTo(rendered.Receive()))) graph->Disconnect(rendered.Get());
    graph->Disconnect(decoderOut.Get());
    graph->Disconnect(writerIn.Get());

    CScopedComPtr<IBaseFilter> vandle;
    CScopedComPtr<IBaseFilter> converter;
    hr = LoadPrivateFilter(L"Vandle.ax", kVandleClass, vandle.Receive());
    if (SUCCEEDED(hr)) hr = graph->AddFilter(vandle.Get(), L"DivxDec Vandle");
    if (SUCCEEDED(hr)) hr = CreateFilter(CLSID_Colour, CLSCTX_ALL, converter.Receive());
    if (SUCCEEDED(hr)) hr = graph->AddFilter(converter.Get(), L"Color Space Converter");
    CScopedComPtr<IPin> vandleIn, vandleOut, converterIn, converterOut;
    if (SUCCEEDED(hr)) hr = FindFilterPin(vandle.Get(), L"In", vandleIn.Receive());
    if (SUCCEEDED(hr)) hr = FindFilterPin(vandle.Get(), L"Out", vandleOut.Receive());
    if (SUCCEEDED(hr)) hr = FindFilterPin(converter.Get(), L"In", converterIn.Receive());
    if (SUCCEEDED(hr)) hr = FindFilterPin(converter.Get(), L"Out", converterOut.Receive());
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(decoderOut.Get(), vandleIn.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(vandleOut.Get(), converterIn.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(converterOut.Get(), writerIn.Get(), nullptr);
    return hr;
}

HRESULT CQBCONVMovie::RerouteRenderers(IGraphBuilder* graph) {
    bool restart = true;
    while (restart) {
        restart = false;
        for (const auto& filter : GraphFilters(graph)) {
            for (const auto& pin : FilterPins(filter.Get())) {
                CScopedComPtr<IPin> peer;
                if (FAILED(pin->ConnectedTo(peer.Receive()))) continue;
                CScopedComPtr<IBaseFilter> peerFilter(PinOwner(peer.Get()));
                const bool audio = ConnectionIs(pin.Get(), MEDIATYPE_Audio, nullptr);
                const bool video = ConnectionIs(pin.Get(), MEDIATYPE_Video, nullptr);
                if (audio && (FilterNameStartsWith(peerFilter.Get(), kSoundRendererName, kSoundRendererCompared) ||
                              FilterNameStartsWith(peerFilter.Get(), kNullRendererName, kNullRendererCompared))) {
                    if (!DisconnectBoth(graph, pin.Get(), peer.Get())) continue;
                    // A renderer left in the graph without input would never report the end.
                    graph->RemoveFilter(peerFilter.Get());
                    CScopedComPtr<IPin> writerAudio;
                    HRESULT hr = FindGraphPin(graph, kWriterName, kWriterAudioPin, writerAudio.Receive());
                    if (SUCCEEDED(hr)) hr = graph->Connect(pin.Get(), writerAudio.Get());
                    if (FAILED(hr) && sourceChannels_ > 2) {
                        hr = InsertSampleRateConverter(graph, pin.Get());
                        if (FAILED(hr)) return hr;
                    }
                    restart = true;
                } else if (video && FilterNameStartsWith(peerFilter.Get(), kVideoRendererName, kVideoRendererCompared)) {
                    if (!DisconnectBoth(graph, pin.Get(), peer.Get())) continue;
                    graph->RemoveFilter(peerFilter.Get());
                    CScopedComPtr<IPin> writerVideo;
                    HRESULT hr = FindGraphPin(graph, kWriterName, kWriterVideoPin, writerVideo.Receive());
                    if (FAILED(hr)) return hr;
                    CScopedComPtr<IPin> writerPeer;
                    if (SUCCEEDED(writerVideo->ConnectedTo(writerPeer.Receive()))) {
                        DisconnectBoth(graph, writerVideo.Get(), writerPeer.Get());
                    }
                    hr = graph->Connect(pin.Get(), writerVideo.Get());
                    if (FAILED(hr)) return hr;
                    restart = true;
                }
                if (restart) break;
            }
            if (restart) break;
        }
    }
    return S_OK;
}

HRESULT CQBCONVMovie::InsertSampleRateConverter(IGraphBuilder* graph, IPin* upstream) {
    CScopedComPtr<IPin> writerAudio;
    HRESULT hr = FindGraphPin(graph, kWriterName, kWriterAudioPin, writerAudio.Receive());
    if (FAILED(hr)) return hr;
    CScopedComPtr<IBaseFilter> converter;
    hr = LoadPrivateComServer(L"TavrelFsConvFilter.ax", CLSID_TavrelFsConvFilter, IID_IBaseFilter,
                              reinterpret_cast<void**>(converter.Receive()));
    if (FAILED(hr)) return hr;
    CScopedComPtr<ITavrelFsConvConfig> config;
    hr = converter->QueryInterface(__uuidof(ITavrelFsConvConfig), reinterpret_cast<void**>(config.Receive()));
    if (FAILED(hr)) return hr;
    config->SetInputFormat(sourceBitsPerSample_, sourceSampleRate_, 2);
    hr = graph->AddFilter(converter.Get(), L"Tavrel Fs ConvertFilter");
    if (FAILED(hr)) return hr;
    CScopedComPtr<IPin> input, output;
    if (FAILED(hr = FindFilterPin(converter.Get(), L"In", input.Receive())) ||
        FAILED(hr = FindFilterPin(converter.Get(), L"Out", output.Receive()))) {
        return hr;
    }
    graph->Connect(upstream, input.Get());
    return graph->Connect(output.Get(), writerAudio.Get());
}

HRESULT CQBCONVMovie::SetDeinterlaceMode(IGraphBuilder* graph) {
    CScopedComPtr<IPin> writerVideo;
    HRESULT hr = FindGraphPin(graph, kWriterName, kWriterVideoPin, writerVideo.Receive());
    if (FAILED(hr)) return hr;
    CScopedComPtr<IPin> peer;
    hr = writerVideo->ConnectedTo(peer.Receive());
    if (FAILED(hr)) return hr;  // VFW_E_NOT_CONNECTED: the source has no video
    CScopedComPtr<IServiceProvider> services;
    hr = writer_->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(services.Receive()));
    if (FAILED(hr)) return hr;
    CScopedComPtr<IWMWriterAdvanced2> advanced;
    hr = services->QueryService(__uuidof(IWMWriterAdvanced2), __uuidof(IWMWriterAdvanced2),
                                reinterpret_cast<void**>(advanced.Receive()));
    if (FAILED(hr)) return hr;
    AM_MEDIA_TYPE type = {};
    if (FAILED(writerVideo->ConnectionMediaType(&type))) return S_OK;
    if (IsEqualGUID(type.formattype, FORMAT_VideoInfo2) && type.pbFormat != nullptr && type.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        VIDEOINFOHEADER2 header;
        std::memcpy(&header, type.pbFormat, sizeof(header));
        DWORD mode = (header.dwInterlaceFlags & AMINTERLACE_IsInterlaced) != 0 ? kWMDeinterlaceNormal : kWMDeinterlaceNone;
        advanced->SetInputSetting(1, kWMDeinterlaceMode, WMT_TYPE_DWORD, reinterpret_cast<BYTE*>(&mode), sizeof(mode));
    }
    FreeMediaTypeContents(type);
    return S_OK;
}
