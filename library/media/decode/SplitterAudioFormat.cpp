#include "library/media/decode/SplitterAudioFormat.h"

#include <dshow.h>

#include <algorithm>
#include <cstring>

#include "library/util/ScopedCom.h"
#include "platform/dshow/MediaType.h"

namespace {

// The platform's MPEG layer-3 decoder.
const CLSID kMpegLayer3Decoder = {0x38BE3000, 0xDBF4, 0x11D0, {0x86, 0x0E, 0x00, 0xA0, 0x24, 0xCF, 0xEF, 0x6D}};

HRESULT FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted, IPin** found) {
    *found = nullptr;
    CScopedComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.Receive());
    if (FAILED(hr)) return hr;
    IPin* pin = nullptr;
    while (*found == nullptr && pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) {
            *found = pin;
        } else {
            pin->Release();
        }
    }
    return *found != nullptr ? S_OK : VFW_E_NOT_FOUND;
}

// The type the decoder's input pin was connected with.
HRESULT CopyConnectionWaveFormat(IPin* input, WAVEFORMATEX* format) {
    AM_MEDIA_TYPE type{};
    HRESULT hr = input->ConnectionMediaType(&type);
    if (FAILED(hr)) return hr;
    hr = E_FAIL;
    if (IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) && type.pbFormat != nullptr) {
        std::memcpy(format, type.pbFormat, std::min<size_t>(type.cbFormat, sizeof(WAVEFORMATEX)));
        hr = S_OK;
    }
    FreeMediaTypeContents(type);
    return hr;
}

}  // namespace

HRESULT GetSplitterAudioFormat(const wchar_t* path, WAVEFORMATEX* format) {
    if (path == nullptr || format == nullptr) return E_POINTER;
    CScopedComPtr<IGraphBuilder> graph;
    CScopedComPtr<IBaseFilter> source;
    CScopedComPtr<IBaseFilter> splitter;
    CScopedComPtr<IBaseFilter> decoder;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(graph.Receive()));
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              reinterpret_cast<void**>(source.Receive()));
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(CLSID_MPEG1Splitter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              reinterpret_cast<void**>(splitter.Receive()));
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(kMpegLayer3Decoder, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              reinterpret_cast<void**>(decoder.Receive()));
    if (SUCCEEDED(hr)) hr = graph->AddFilter(source.Get(), L"Source");
    if (SUCCEEDED(hr)) hr = graph->AddFilter(splitter.Get(), L"Splitter");
    if (SUCCEEDED(hr)) hr = graph->AddFilter(decoder.Get(), L"Decoder");
    CScopedComPtr<IFileSourceFilter> loader;
    if (SUCCEEDED(hr))
        hr = source->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(loader.Receive()));
    if (SUCCEEDED(hr)) hr = loader->Load(path, nullptr);
    CScopedComPtr<IPin> sourceOut, splitterIn, splitterOut, decoderIn;
    if (SUCCEEDED(hr)) hr = FirstPin(source.Get(), PINDIR_OUTPUT, sourceOut.Receive());
    if (SUCCEEDED(hr)) hr = FirstPin(splitter.Get(), PINDIR_INPUT, splitterIn.Receive());
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(sourceOut.Get(), splitterIn.Get(), nullptr);
    // The splitter makes its output pins once its input is connected.
    if (SUCCEEDED(hr)) hr = FirstPin(splitter.Get(), PINDIR_OUTPUT, splitterOut.Receive());
    if (SUCCEEDED(hr)) hr = FirstPin(decoder.Get(), PINDIR_INPUT, decoderIn.Receive());
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(splitterOut.Get(), decoderIn.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = CopyConnectionWaveFormat(decoderIn.Get(), format);
    // The graph is never run, and goes with its connections: Wine's filter graph faults when a
    // connected decoder is removed from it first.
    return hr;
}
