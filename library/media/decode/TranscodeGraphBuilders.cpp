// The graphs of the decoder, one per source kind.
#include <cwchar>
#include <new>

#include "library/media/decode/Dump.h"
#include "library/media/decode/MemReader.h"
#include "library/media/decode/MemStream.h"
#include "library/media/decode/StreamProbe.h"
#include "library/media/decode/Transcode2.h"

#include <cguid.h>
#include <oleauto.h>

namespace {

// The outside filters of source kinds 3 and 4, created by class identifier.
const CLSID kMp4FamilyDecoder = {0x74DB402B, 0x1125, 0x4E9C, {0xA1, 0x54, 0x22, 0x14, 0x94, 0x02, 0xAA, 0x8F}};
const CLSID kCodecFamilyParser = {0xEE1B2A8D, 0x404D, 0x4CED, {0x96, 0xB2, 0x52, 0xB7, 0xFA, 0x11, 0x23, 0xC3}};
const CLSID kCodecFamilyDecoder = {0x00D702EF, 0x6F44, 0x4C19, {0xB2, 0x1F, 0x90, 0x62, 0xE4, 0x71, 0xD2, 0x3C}};

// A filter's pin by name: FindPin first, then the pins' own names, ignoring case.
HRESULT FindPinByName(IBaseFilter* filter, const wchar_t* name, IPin** pin) {
    *pin = nullptr;
    if (SUCCEEDED(filter->FindPin(name, pin)) && *pin != nullptr) return S_OK;
    IEnumPins* pins = nullptr;
    HRESULT hr = filter->EnumPins(&pins);
    if (FAILED(hr)) return hr;
    IPin* candidate = nullptr;
    while (*pin == nullptr && pins->Next(1, &candidate, nullptr) == S_OK) {
        PIN_INFO info;
        if (SUCCEEDED(candidate->QueryPinInfo(&info))) {
            if (info.pFilter != nullptr) info.pFilter->Release();
            if (_wcsicmp(info.achName, name) == 0) {
                *pin = candidate;
                continue;
            }
        }
        candidate->Release();
    }
    pins->Release();
    return *pin != nullptr ? S_OK : VFW_E_NOT_FOUND;
}

HRESULT ConnectByName(IGraphBuilder* graph, IBaseFilter* from, const wchar_t* outputName, IBaseFilter* to,
                      const wchar_t* inputName) {
    IPin* output = nullptr;
    IPin* input = nullptr;
    HRESULT hr = FindPinByName(from, outputName, &output);
    if (SUCCEEDED(hr)) hr = FindPinByName(to, inputName, &input);
    if (SUCCEEDED(hr)) hr = graph->Connect(output, input);
    if (output != nullptr) output->Release();
    if (input != nullptr) input->Release();
    return hr;
}

// The filter whose output feeds the sink's first pin.
HRESULT FilterUpstreamOf(IBaseFilter* sink, IBaseFilter** upstream) {
    *upstream = nullptr;
    IEnumPins* pins = nullptr;
    HRESULT hr = sink->EnumPins(&pins);
    if (FAILED(hr)) return hr;
    IPin* pin = nullptr;
    hr = pins->Next(1, &pin, nullptr);
    pins->Release();
    if (hr != S_OK) return hr;
    PIN_DIRECTION direction;
    IPin* peer = nullptr;
    if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_INPUT) {
        hr = E_FAIL;
    } else if (FAILED(pin->ConnectedTo(&peer)) || peer == nullptr) {
        hr = E_POINTER;
    } else {
        PIN_INFO info;
        hr = peer->QueryPinInfo(&info);
        if (SUCCEEDED(hr)) {
            hr = info.pFilter != nullptr ? info.pFilter->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(upstream))
                                         : E_POINTER;
            if (info.pFilter != nullptr) info.pFilter->Release();
        }
        peer->Release();
    }
    pin->Release();
    return hr;
}

HRESULT QueryMediaEvent(IGraphBuilder* graph, IMediaEvent** events) {
    return graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events));
}

}  // namespace

HRESULT CTranscode2::BuildGraph(const wchar_t* path, int sourceKind, IBaseFilter** feeding) {
    *feeding = nullptr;
    // The graph takes the path as an automation string, as the platform's file source expects.
    BSTR name = nullptr;
    if (path != nullptr) {
        name = SysAllocString(path);
        if (name == nullptr) return E_OUTOFMEMORY;
    }
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(&graph_));
    if (SUCCEEDED(hr)) {
        switch (sourceKind) {
        case 1:
            hr = BuildMemoryGraph(name, feeding);
            break;
        case 3:
            hr = BuildDecoderGraph(name, feeding);
            break;
        case 4:
            hr = BuildCodecFamilyGraph(name, feeding);
            break;
        default:
            hr = BuildRenderFileGraph(name, feeding);
            break;
        }
    }
    IMediaEvent* events = nullptr;
    if (SUCCEEDED(hr)) hr = QueryMediaEvent(graph_, &events);
    if (FAILED(hr)) {
        if (*feeding != nullptr) {
            (*feeding)->Release();
            *feeding = nullptr;
        }
        if (graph_ != nullptr) {
            graph_->Release();
            graph_ = nullptr;
        }
    } else {
        mediaEvent_ = events;
    }
    SysFreeString(name);
    return hr;
}

HRESULT CTranscode2::BuildMemoryGraph(const wchar_t* path, IBaseFilter** feeding) {
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    StreamMediaType streamType{};
    HRESULT hr = PrepareMemorySource(path, &buffer, &length, &streamType);
    if (FAILED(hr)) return hr;

    if (memReader_ != nullptr) {
        memReader_->Release();
        memReader_ = nullptr;
    }
    delete memStream_;
    memStream_ = new (std::nothrow) CMemStream(buffer, length, CMemStream::kUnlimitedRate);
    if (memStream_ == nullptr) {
        delete[] buffer;
        return E_OUTOFMEMORY;
    }
    CMediaType type;
    type.majortype = MEDIATYPE_Stream;
    type.subtype = MEDIASUBTYPE_MPEG1Audio;
    hr = S_OK;
    memReader_ = new (std::nothrow) CMemReader(memStream_, type, &hr);
    if (memReader_ == nullptr) return E_OUTOFMEMORY;
    memReader_->AddRef();
    if (FAILED(hr)) return hr;

    hr = graph_->AddFilter(static_cast<IBaseFilter*>(memReader_), L"");
    if (SUCCEEDED(hr)) hr = graph_->AddFilter(sinkFilter_, L"Render");
    if (SUCCEEDED(hr)) hr = graph_->Render(memReader_->GetPin(0));
    if (SUCCEEDED(hr)) hr = FilterUpstreamOf(sinkFilter_, feeding);
    return hr;
}

HRESULT CTranscode2::BuildRenderFileGraph(const wchar_t* path, IBaseFilter** feeding) {
    HRESULT hr = graph_->AddFilter(sinkFilter_, L"Render");
    if (SUCCEEDED(hr)) hr = graph_->RenderFile(path, nullptr);
    if (SUCCEEDED(hr)) hr = FilterUpstreamOf(sinkFilter_, feeding);
    return hr;
}

HRESULT CTranscode2::AddFileSource(const wchar_t* path, IBaseFilter** source) {
    *source = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  reinterpret_cast<void**>(source));
    if (SUCCEEDED(hr)) hr = graph_->AddFilter(*source, L"SourceFilter");
    IFileSourceFilter* loader = nullptr;
    if (SUCCEEDED(hr)) hr = (*source)->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(&loader));
    if (SUCCEEDED(hr)) {
        CMediaType type;
        type.majortype = MEDIATYPE_Stream;
        type.subtype = GUID_NULL;
        hr = loader->Load(path, &type);
        loader->Release();
    }
    if (FAILED(hr) && *source != nullptr) {
        (*source)->Release();
        *source = nullptr;
    }
    return hr;
}

// Decoders outside the platform deliver as fast as the sink takes: the graph runs without a clock.
HRESULT CTranscode2::ConnectToSinkWithoutClock(IBaseFilter* decoder, const wchar_t* outputPin) {
    HRESULT hr = graph_->AddFilter(sinkFilter_, L"Renderer");
    if (SUCCEEDED(hr)) hr = ConnectByName(graph_, decoder, outputPin, sinkFilter_, L"Input");
    IMediaFilter* timing = nullptr;
    if (SUCCEEDED(hr)) hr = graph_->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&timing));
    if (SUCCEEDED(hr)) {
        hr = timing->SetSyncSource(nullptr);
        timing->Release();
    }
    return hr;
}

HRESULT CTranscode2::BuildDecoderGraph(const wchar_t* path, IBaseFilter** feeding) {
    IBaseFilter* source = nullptr;
    IBaseFilter* decoder = nullptr;
    HRESULT hr = AddFileSource(path, &source);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(kMp4FamilyDecoder, nullptr, CLSCTX_ALL, IID_IBaseFilter, reinterpret_cast<void**>(&decoder));
    if (SUCCEEDED(hr)) hr = graph_->AddFilter(decoder, L"DecodeFilter");
    if (SUCCEEDED(hr)) hr = ConnectByName(graph_, source, L"Output", decoder, L"Input");
    if (SUCCEEDED(hr)) hr = ConnectToSinkWithoutClock(decoder, L"Audio");
    if (source != nullptr) source->Release();
    if (SUCCEEDED(hr)) {
        *feeding = decoder;
    } else if (decoder != nullptr) {
        decoder->Release();
    }
    return hr;
}

HRESULT CTranscode2::BuildCodecFamilyGraph(const wchar_t* path, IBaseFilter** feeding) {
    IBaseFilter* source = nullptr;
    IBaseFilter* parser = nullptr;
    IBaseFilter* decoder = nullptr;
    HRESULT hr = AddFileSource(path, &source);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(kCodecFamilyParser, nullptr, CLSCTX_ALL, IID_IBaseFilter, reinterpret_cast<void**>(&parser));
    if (SUCCEEDED(hr)) hr = graph_->AddFilter(parser, L"Tavrel Quavex3/3plus Parse Filter");
    if (SUCCEEDED(hr)) hr = ConnectByName(graph_, source, L"Output", parser, L"Input");
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(kCodecFamilyDecoder, nullptr, CLSCTX_ALL, IID_IBaseFilter, reinterpret_cast<void**>(&decoder));
    if (SUCCEEDED(hr)) hr = graph_->AddFilter(decoder, L"Tavrel Quavex3/3plus Decode Filter");
    if (SUCCEEDED(hr)) hr = ConnectByName(graph_, parser, L"Output", decoder, L"XForm In");
    if (SUCCEEDED(hr)) hr = ConnectToSinkWithoutClock(decoder, L"XForm Out");
    if (source != nullptr) source->Release();
    if (parser != nullptr) parser->Release();
    if (SUCCEEDED(hr)) {
        *feeding = decoder;
    } else if (decoder != nullptr) {
        decoder->Release();
    }
    return hr;
}
