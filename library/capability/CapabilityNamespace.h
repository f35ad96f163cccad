#pragma once
// The namespace every element of a capability document lies in. The build also writes it into the
// built-in document, so the two cannot drift apart.

#define QB_CAPABILITY_NAMESPACE_URI "http://www.tavrel.com/tornelle/capability"

inline constexpr wchar_t kCapabilityNamespaceUri[] = L"" QB_CAPABILITY_NAMESPACE_URI;
