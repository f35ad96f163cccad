#include "library/media/convert/GraphTools.h"

#include <cwchar>

#include "library/util/ScopedCom.h"
#include "platform/dshow/MediaType.h"

HRESULT ClearGraph(IGraphBuilder* graph) {
    if (graph == nullptr) return E_POINTER;
    CScopedComPtr<IGraphConfig> config;
    graph->QueryInterface(IID_IGraphConfig, reinterpret_cast<void**>(config.Receive()));
    CScopedComPtr<IEnumFilters> filters;
    HRESULT hr = graph->EnumFilters(filters.Receive());
    if (FAILED(hr)) return hr;
    for (;;) {
        CScopedComPtr<IBaseFilter> filter;
        if (filters->Next(1, filter.Receive(), nullptr) != S_OK) return S_OK;
        hr = config ? config->RemoveFilterEx(filter.Get(), 0) : E_NOINTERFACE;
        if (FAILED(hr)) hr = graph->RemoveFilter(filter.Get());
        if (FAILED(hr)) return hr;
        filters->Reset();
    }
}

bool FilterNameStartsWith(IBaseFilter* filter, const wchar_t* prefix, size_t length) {
    FILTER_INFO info = {};
    if (filter == nullptr || FAILED(filter->QueryFilterInfo(&info))) return false;
    if (info.pGraph != nullptr) info.pGraph->Release();
    return wcsncmp(info.achName, prefix, length) == 0;
}

HRESULT FindFilterPin(IBaseFilter* filter, const wchar_t* pinId, IPin** pin) {
    *pin = nullptr;
    if (filter == nullptr) return VFW_E_NOT_FOUND;
    return filter->FindPin(pinId, pin);
}

HRESULT FindGraphPin(IGraphBuilder* graph, const wchar_t* filterName, const wchar_t* pinId, IPin** pin) {
    *pin = nullptr;
    CScopedComPtr<IBaseFilter> filter;
    HRESULT hr = graph->FindFilterByName(filterName, filter.Receive());
    if (FAILED(hr)) return hr;
    return FindFilterPin(filter.Get(), pinId, pin);
}

IBaseFilter* PinOwner(IPin* pin) {
    PIN_INFO info = {};
    if (pin == nullptr || FAILED(pin->QueryPinInfo(&info))) return nullptr;
    return info.pFilter;
}

bool ConnectionIs(IPin* pin, REFGUID majorType, const GUID* subtype) {
    AM_MEDIA_TYPE type = {};
    if (FAILED(pin->ConnectionMediaType(&type))) return false;
    const bool matches = IsEqualGUID(type.majortype, majorType) && (subtype == nullptr || IsEqualGUID(type.subtype, *subtype));
    FreeMediaTypeContents(type);
    return matches;
}
