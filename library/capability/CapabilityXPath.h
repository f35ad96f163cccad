#pragma once
// Names shared by the capability parser and the format queries.

#include <string>

#include "library/capability/CapabilityNamespace.h"

// The XPath prefix bound to the capability namespace in every document we query.
#define QB_CAPABILITY_PREFIX L"TNC:"

// The "SelectionNamespaces" value that binds the prefix.
inline std::wstring CapabilitySelectionNamespaces() {
    return std::wstring(L"xmlns:TNC='") + kCapabilityNamespaceUri + L"'";
}
