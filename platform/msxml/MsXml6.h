#pragma once
// MSXML 6 DOM access. The toolchain's msxml2.h declares the DOM interfaces, but the import
// libraries define none of their identifiers and know no MSXML 6 class, so the two we create
// objects with are defined here.

#include <windows.h>
#include <ole2.h>
#include <msxml2.h>

// DOMDocument60, the MSXML 6 document, and the interface its documents are used through.
inline constexpr CLSID kClsidDomDocument60 = {
    0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};

inline constexpr IID kIidXmlDomDocument2 = {
    0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
