#pragma once
// Reading XML through the MSXML 6 DOM with XPath. Every function returns an HRESULT; every
// interface pointer or BSTR handed out carries one reference owned by the caller.

#include "platform/msxml/MsXml6.h"

// A DOMDocument60 that loads synchronously, validates nothing, resolves no external resource,
// allows a DTD and selects with XPath. On failure *document may already hold the created object.
HRESULT CreateXmlDocument(IXMLDOMDocument2** document);

// Parses xmlText. E_POINTER for a null output, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) for a null
// text; text that is not well-formed gives S_FALSE and no document.
HRESULT LoadXmlDocument(const wchar_t* xmlText, IXMLDOMDocument2** document);

HRESULT SetXmlProperty(IXMLDOMDocument2* document, const wchar_t* name, const wchar_t* value);

// S_FALSE and a null node when nothing matches.
HRESULT SelectXmlNode(IXMLDOMNode* node, const wchar_t* xpath, IXMLDOMNode** found);
HRESULT SelectXmlNodes(IXMLDOMNode* node, const wchar_t* xpath, IXMLDOMNodeList** found);

// The text of the node that xpath selects. Nothing matched: S_FALSE, *text untouched.
HRESULT GetXmlNodeText(IXMLDOMNode* node, const wchar_t* xpath, BSTR* text);

// Absent attribute: S_FALSE and a null *text, so callers can tell it from a present empty one.
HRESULT GetXmlAttributeText(IXMLDOMNode* node, const wchar_t* name, BSTR* text);

// The node `levels` parents up (1 is the parent). S_FALSE and null when the parent of `node` itself
// is missing; E_POINTER when levels is 0 or the walk runs out of parents further up.
HRESULT GetXmlAncestor(IXMLDOMNode* node, unsigned levels, IXMLDOMNode** ancestor);
