#include "library/contents/PcastReader.h"

#include <memory>
#include <string>

#include "library/capability/XmlDocument.h"
#include "library/util/ScopedCom.h"
#include "library/util/TextConversion.h"

namespace {

// Present texts replace the field; an absent one (S_FALSE) leaves it empty.
HRESULT ReadAttribute(IXMLDOMNode* element, const wchar_t* name, std::wstring* field) {
    CScopedBstr text;
    const HRESULT hr = GetXmlAttributeText(element, name, text.Receive());
    if (hr == S_OK && text.Get()) *field = text.Text();
    return hr;
}

HRESULT ReadChildText(IXMLDOMNode* node, const wchar_t* name, std::wstring* field) {
    CScopedBstr text;
    const HRESULT hr = GetXmlNodeText(node, name, text.Receive());
    if (hr == S_OK) *field = text.Text();
    return hr;
}

}  // namespace

HRESULT ReadPcastChannel(IXMLDOMNode* node, pcast::CChannel** channel) {
    if (!node || !channel) return E_POINTER;
    *channel = nullptr;
    std::unique_ptr<pcast::CChannel> read(new (std::nothrow) pcast::CChannel());
    if (!read) return E_OUTOFMEMORY;

    CScopedComPtr<IXMLDOMNode> link;
    HRESULT hr = SelectXmlNode(node, L"link", link.Receive());
    if (FAILED(hr)) return hr;
    if (link) {
        hr = ReadAttribute(link.Get(), L"rel", &read->link.rel);
        if (SUCCEEDED(hr)) hr = ReadAttribute(link.Get(), L"type", &read->link.type);
        if (SUCCEEDED(hr)) hr = ReadAttribute(link.Get(), L"href", &read->link.href);
        if (FAILED(hr)) return hr;
    }
    for (auto field : {std::make_pair(L"title", &read->title), std::make_pair(L"category", &read->category),
                       std::make_pair(L"subtitle", &read->subtitle)}) {
        hr = ReadChildText(node, field.first, field.second);
        if (FAILED(hr)) return hr;
    }
    *channel = read.release();
    return hr;
}

HRESULT ParsePcastChannel(const uint8_t* bytes, int32_t count, pcast::CChannel** channel) {
    if (!bytes || count < 1 || !channel) return E_POINTER;
    *channel = nullptr;
    if (count > kMaxPcastBytes) return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);

    std::string utf8(reinterpret_cast<const char*>(bytes), size_t(count));
    // A byte-order mark would reach the parser as U+FEFF ahead of the declaration.
    if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) utf8.erase(0, 3);
    std::wstring text;
    if (!Utf8ToWide(utf8, &text)) return HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
    // A subscription needs no document type; its entities are the one way a small file grows
    // without bound in the parser.
    if (text.find(L"<!DOCTYPE") != std::wstring::npos) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

    CScopedComPtr<IXMLDOMDocument2> document;
    HRESULT hr = LoadXmlDocument(text.c_str(), document.Receive());
    if (hr != S_OK || !document) return hr;
    CScopedComPtr<IXMLDOMNode> node;
    hr = SelectXmlNode(document.Get(), L"//pcast/channel", node.Receive());
    if (hr != S_OK || !node) return hr;
    return ReadPcastChannel(node.Get(), channel);
}
