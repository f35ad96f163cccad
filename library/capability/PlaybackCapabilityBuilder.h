#pragma once
// Builds playback-format records from the Audio, Video, Image and File elements of a capability
// document. The document's selection namespaces must bind the capability prefix.

#include <memory>

#include "library/capability/DevCapabilityImpl.h"

// One record from one playback-type element. On failure `record` stays empty.
HRESULT ParsePlaybackCapability(IXMLDOMNode* element,
                                std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record);

// One record per element of the list, appended to the capability's list for `type`; the first
// failure ends the loop with its HRESULT.
HRESULT ParsePlaybackCapabilities(CTNDevCapabilityImpl& capability, IXMLDOMNodeList* elements,
                                  int type);
