#include "library/capability/DeviceCapabilityParser.h"

#include <cstring>
#include <iterator>
#include <new>
#include <string>

#include "library/capability/CapabilityXPath.h"
#include "library/capability/CapabilityXmlRead.h"
#include "library/capability/DevCapabilityImpl.h"
#include "library/capability/PlaybackCapabilityBuilder.h"
#include "library/capability/XmlDocument.h"

namespace {

#define TNC QB_CAPABILITY_PREFIX

// The document is UTF-8 whatever code page the thread runs with; decoding it with the ANSI code
// page would garble every name outside ASCII. A damaged byte becomes U+FFFD instead of costing
// the player its whole document.
HRESULT DecodeUtf8(const char* bytes, int size, std::wstring& text) {
    size_t length = strnlen(bytes, static_cast<size_t>(size));
    static const char kByteOrderMark[] = "\xEF\xBB\xBF";
    if (length >= 3 && std::memcmp(bytes, kByteOrderMark, 3) == 0) {
        bytes += 3;
        length -= 3;
    }
    text.clear();
    if (length == 0) return S_OK;
    // Decoded here rather than by MultiByteToWideChar: Wine's lenient mode drops the bytes that
    // follow a damaged one. Each byte that starts no valid sequence becomes one U+FFFD.
    const auto* in = reinterpret_cast<const unsigned char*>(bytes);
    text.reserve(length);
    size_t at = 0;
    while (at < length) {
        const unsigned char lead = in[at];
        size_t extra = 0;
        uint32_t code = lead;
        uint32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07, least = 0x10000;
        } else if (lead >= 0x80) {
            text.push_back(L'\uFFFD');
            ++at;
            continue;
        }
        bool valid = extra < length - at;
        for (size_t i = 1; valid && i <= extra; ++i) {
            valid = (in[at + i] & 0xC0) == 0x80;
            code = (code << 6) | (in[at + i] & 0x3F);
        }
        if (valid && extra > 0) valid = code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid) {
            text.push_back(L'\uFFFD');
            ++at;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back(static_cast<wchar_t>(code));
        }
        at += extra + 1;
    }
    return S_OK;
}

// A player's document is untrusted and MSXML bounds neither entity expansion nor the attributes
// of one element: a document type declaration (no capability document needs one) and more
// attributes on an element than any real one carries are refused before MSXML sees the text.
constexpr size_t kMaxAttributesPerElement = 256;

bool IsWithinBounds(const std::wstring& text) {
    if (text.find(L"<!DOCTYPE") != std::wstring::npos || text.find(L"<!ENTITY") != std::wstring::npos) return false;
    bool inTag = false;
    wchar_t quote = 0;
    size_t attributes = 0;
    for (wchar_t c : text) {
        if (!inTag) {
            if (c == L'<') {
                inTag = true;
                attributes = 0;
            }
        } else if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'=') {
            if (++attributes > kMaxAttributesPerElement) return false;
        } else if (c == L'>') {
            inTag = false;
        }
    }
    return true;
}

// The namespace Devices declares. Wine's attribute map never lists "xmlns", so the element's own
// namespace (the same text wherever a default namespace is declared) stands in for it.
HRESULT ReadDeclaredNamespace(IXMLDOMDocument2* document, CTNDevCapabilityImpl& capability) {
    CScopedComPtr<IXMLDOMNode> devices;
    HRESULT hr = SelectXmlNode(document, L"//" TNC L"Devices", devices.Receive());
    if (hr != S_OK || !devices) return hr;
    CScopedBstr declared;
    hr = GetXmlAttributeText(devices.Get(), L"xmlns", declared.Receive());
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE) {
        hr = devices->get_namespaceURI(declared.Receive());
        if (FAILED(hr)) return hr;
        if (!declared.Get()) return S_FALSE;
    }
    capability.SetProperty(CTNDevCapability::kPropNamespace, ToWideString(declared));
    return S_OK;
}

HRESULT ReadIdentification(IXMLDOMNode* device, CTNDevCapabilityImpl& capability) {
    CScopedComPtr<IXMLDOMNode> identification;
    HRESULT hr = SelectXmlNode(device, TNC L"Identification", identification.Receive());
    if (hr != S_OK || !identification) return hr;
    static const XmlTextField kFields[] = {
        {TNC L"Model", CTNDevCapability::kPropModel},
        {TNC L"Manufacturer", CTNDevCapability::kPropManufacturer},
        {TNC L"Vendor", CTNDevCapability::kPropVendor},
        {TNC L"Brand", CTNDevCapability::kPropBrand},
    };
    CapabilityPropertyMap found;
    hr = StoreNodeTexts(identification.Get(), kFields, std::size(kFields), found);
    if (FAILED(hr)) return hr;
    for (const auto& property : found) capability.SetProperty(property.first, property.second);
    return S_OK;
}

HRESULT ReadRavelin(IXMLDOMNode* device, CTNDevCapabilityImpl& capability) {
    CScopedComPtr<IXMLDOMNode> applications;
    HRESULT hr = SelectXmlNode(device, TNC L"Applications", applications.Receive());
    if (hr != S_OK || !applications) return hr;
    CScopedComPtr<IXMLDOMNode> ravelin;
    hr = SelectXmlNode(applications.Get(), TNC L"Ravelin", ravelin.Receive());
    if (hr != S_OK || !ravelin) return hr;
    CScopedBstr enable;
    hr = GetXmlAttributeText(ravelin.Get(), L"enable", enable.Receive());
    if (FAILED(hr)) return hr;
    if (hr == S_OK) capability.SetProperty(CTNDevCapability::kPropRavelinEnable, ToWideString(enable));
    CScopedBstr version;
    hr = GetXmlAttributeText(ravelin.Get(), L"version", version.Receive());
    if (FAILED(hr)) return hr;
    if (hr == S_OK) {
        capability.SetProperty(CTNDevCapability::kPropRavelinVersion, ToWideString(version));
    }
    return S_OK;
}

HRESULT ReadFolders(IXMLDOMNode* device, CTNDevCapabilityImpl& capability) {
    CScopedComPtr<IXMLDOMNode> fileSystem;
    HRESULT hr = SelectXmlNode(device, TNC L"FileSystem", fileSystem.Receive());
    if (hr != S_OK || !fileSystem) return hr;
    struct ContentType {
        const wchar_t* name;
        int folder;
        int depth;
    };
    static const ContentType kContentTypes[] = {
        {L"camera", CTNDevCapability::kPropFolderCamera, CTNDevCapability::kPropDepthCamera},
        {L"image", CTNDevCapability::kPropFolderImage, CTNDevCapability::kPropDepthImage},
        {L"video", CTNDevCapability::kPropFolderVideo, CTNDevCapability::kPropDepthVideo},
        {L"sound", CTNDevCapability::kPropFolderSound, CTNDevCapability::kPropDepthSound},
        {L"feedimage", CTNDevCapability::kPropFolderFeedImage,
         CTNDevCapability::kPropDepthFeedImage},
        {L"feedvideo", CTNDevCapability::kPropFolderFeedVideo,
         CTNDevCapability::kPropDepthFeedVideo},
        {L"feedsound", CTNDevCapability::kPropFolderFeedSound,
         CTNDevCapability::kPropDepthFeedSound},
        {L"feeds", CTNDevCapability::kPropFolderFeeds, CTNDevCapability::kPropDepthFeeds},
    };
    for (const ContentType& contentType : kContentTypes) {
        std::wstring xpath = std::wstring(TNC L"Path[@content-type='") + contentType.name + L"']";
        CScopedComPtr<IXMLDOMNode> path;
        hr = SelectXmlNode(fileSystem.Get(), xpath.c_str(), path.Receive());
        if (FAILED(hr)) return hr;
        if (!path) continue;
        CScopedBstr folder;
        hr = path->get_text(folder.Receive());
        if (FAILED(hr)) return hr;
        capability.SetProperty(contentType.folder, ToWideString(folder));
        CScopedBstr depth;
        hr = GetXmlAttributeText(path.Get(), L"depth", depth.Receive());
        if (FAILED(hr)) return hr;
        if (hr == S_OK) capability.SetProperty(contentType.depth, ToWideString(depth));
    }
    return S_OK;
}

HRESULT ReadPlaybackCapabilities(IXMLDOMNode* device, CTNDevCapabilityImpl& capability) {
    CScopedComPtr<IXMLDOMNode> playbackCapabilities;
    HRESULT hr =
        SelectXmlNode(device, TNC L"PlaybackCapabilities", playbackCapabilities.Receive());
    if (hr != S_OK || !playbackCapabilities) return hr;
    struct Element {
        const wchar_t* xpath;
        int type;
    };
    // File elements are not built into records.
    static const Element kElements[] = {
        {TNC L"Audio", CTNDevCapability::kAudio},
        {TNC L"Video", CTNDevCapability::kVideo},
        {TNC L"Image", CTNDevCapability::kImage},
    };
    for (const Element& element : kElements) {
        CScopedComPtr<IXMLDOMNodeList> elements;
        hr = SelectXmlNodes(playbackCapabilities.Get(), element.xpath, elements.Receive());
        if (FAILED(hr)) return hr;
        hr = ParsePlaybackCapabilities(capability, elements.Get(), element.type);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT ReadDocument(const char* bytes, int size, CTNDevCapabilityImpl& capability) {
    std::wstring text;
    HRESULT hr = DecodeUtf8(bytes, size, text);
    if (FAILED(hr)) return hr;
    if (!IsWithinBounds(text)) return E_POINTER;
    CScopedComPtr<IXMLDOMDocument2> document;
    hr = LoadXmlDocument(text.c_str(), document.Receive());
    if (FAILED(hr)) return hr;
    // No document (the text is not well-formed) fails here with E_POINTER.
    hr = SetXmlProperty(document.Get(), L"SelectionNamespaces",
                        CapabilitySelectionNamespaces().c_str());
    if (FAILED(hr)) return hr;
    hr = ReadDeclaredNamespace(document.Get(), capability);
    if (FAILED(hr)) return hr;

    CScopedComPtr<IXMLDOMNode> device;
    hr = SelectXmlNode(document.Get(), L"//" TNC L"Devices/" TNC L"Device", device.Receive());
    if (FAILED(hr)) return hr;
    if (!device) return E_POINTER;
    hr = ReadIdentification(device.Get(), capability);
    if (SUCCEEDED(hr)) hr = ReadRavelin(device.Get(), capability);
    if (SUCCEEDED(hr)) hr = ReadFolders(device.Get(), capability);
    if (SUCCEEDED(hr)) hr = ReadPlaybackCapabilities(device.Get(), capability);
    if (FAILED(hr)) return hr;
    capability.SetDocument(document.Get());
    return S_OK;
}

}  // namespace

HRESULT ParseDeviceCapabilityXml(const char* bytes, int size, CTNDevCapability** capability) {
    if (!bytes || size <= 0 || !capability) return E_POINTER;
    // Refused before a byte is decoded: no real document comes near the limit.
    if (static_cast<unsigned>(size) > kMaxCapabilityDocumentBytes) return E_POINTER;
    std::unique_ptr<CTNDevCapabilityImpl> parsed(new (std::nothrow) CTNDevCapabilityImpl());
    if (!parsed) return E_OUTOFMEMORY;
    HRESULT hr;
    try {
        hr = ReadDocument(bytes, size, *parsed);
    } catch (const std::bad_alloc&) {
        // The player's data never ends the program: no memory is a failed parse.
        hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr)) return hr;
    *capability = parsed.release();
    return S_OK;
}
