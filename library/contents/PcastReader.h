#pragma once
// Reads the channel of a ".pcast" podcast subscription document (XML naming one channel and the
// address of its feed). The bytes come from a dropped file and are untrusted.

#include <windows.h>

#include <cstdint>

#include "library/contents/PcastChannel.h"
#include "platform/msxml/MsXml6.h"

// A subscription document is a few hundred bytes; larger input is refused before it is decoded,
// so a hostile file costs no more than this much memory.
constexpr int32_t kMaxPcastBytes = 256 * 1024;

// The first "//pcast/channel" of a UTF-8 document (a leading byte-order mark is allowed).
// S_OK or S_FALSE with a channel the caller deletes; without a channel element, or for text that
// is not well-formed, S_FALSE (or the loader's failure) and a null channel. E_POINTER for null
// bytes, a count below 1 or a null out; HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE) above
// kMaxPcastBytes; HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION) for invalid UTF-8;
// HRESULT_FROM_WIN32(ERROR_INVALID_DATA) for a document with a document type declaration, whose
// entities could expand without bound.
HRESULT ParsePcastChannel(const uint8_t* bytes, int32_t count, pcast::CChannel** channel);

// The channel below a channel element node: the "link" element's attributes and the "title",
// "category" and "subtitle" texts; missing ones stay empty. No channel is handed out on failure.
HRESULT ReadPcastChannel(IXMLDOMNode* node, pcast::CChannel** channel);
