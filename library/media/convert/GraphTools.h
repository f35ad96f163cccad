#pragma once
// Small walks over a DirectShow graph that the movie conversion repeats: emptying it, finding a
// filter's pin by identifier, asking what a pin is connected to.

#include <windows.h>
#include "platform/dshow/DShow.h"

// Removes every filter of the graph. When the graph will not remove a filter through its
// configuration interface, plain removal is tried; a filter that resists both ends the clearing
// (it would be found again forever). S_OK when the graph ended empty.
HRESULT ClearGraph(IGraphBuilder* graph);

// True when the filter's name starts with the first `length` characters of `prefix`.
bool FilterNameStartsWith(IBaseFilter* filter, const wchar_t* prefix, size_t length);
// The filter's pin by identifier; VFW_E_NOT_FOUND when the filter is null or has no such pin.
HRESULT FindFilterPin(IBaseFilter* filter, const wchar_t* pinId, IPin** pin);
// The pin of the filter the graph knows under `filterName`.
HRESULT FindGraphPin(IGraphBuilder* graph, const wchar_t* filterName, const wchar_t* pinId, IPin** pin);
// The filter a pin belongs to (referenced), or null.
IBaseFilter* PinOwner(IPin* pin);
// True when the pin is connected with the given major type (and subtype, unless null).
bool ConnectionIs(IPin* pin, REFGUID majorType, const GUID* subtype);
