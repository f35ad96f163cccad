#pragma once
// Turns the bytes of a capability document ("capability_00.xml" or the built-in one) into a
// capability.

#include <windows.h>

#include <memory>

#include "library/capability/DevCapability.h"

// `bytes` holds `size` bytes of UTF-8 (a byte-order mark is skipped; a zero byte ends the text
// early). On success *capability receives a new capability the caller owns; on failure it is left
// as it was. E_POINTER for null arguments or a size of 0, and for a document that is not
// well-formed or has no Devices/Device in the capability namespace.
//
// A player's document is untrusted: one over kMaxCapabilityDocumentBytes, with a document type
// declaration or with an element of more than 256 attributes is refused with E_POINTER before
// MSXML parses it; invalid UTF-8 bytes become U+FFFD; running out of memory gives E_OUTOFMEMORY.
constexpr unsigned kMaxCapabilityDocumentBytes = 4u << 20;
HRESULT ParseDeviceCapabilityXml(const char* bytes, int size, CTNDevCapability** capability);
