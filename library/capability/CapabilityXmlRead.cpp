#include "library/capability/CapabilityXmlRead.h"

#include "library/capability/XmlDocument.h"

HRESULT StoreNodeTexts(IXMLDOMNode* parent, const XmlTextField* fields, size_t count,
                       CapabilityPropertyMap& properties) {
    for (size_t i = 0; i < count; ++i) {
        CScopedBstr text;
        HRESULT hr = GetXmlNodeText(parent, fields[i].xpath, text.Receive());
        if (FAILED(hr)) return hr;
        if (hr == S_OK) properties[fields[i].id] = ToWideString(text);
    }
    return S_OK;
}

HRESULT ForEachNodeText(IXMLDOMNode* parent, const wchar_t* xpath,
                        const std::function<void(const std::wstring&)>& take) {
    CScopedComPtr<IXMLDOMNodeList> nodes;
    HRESULT hr = SelectXmlNodes(parent, xpath, nodes.Receive());
    if (FAILED(hr)) return hr;
    if (!nodes) return S_OK;
    for (;;) {
        CScopedComPtr<IXMLDOMNode> node;
        HRESULT next = nodes->nextNode(node.Receive());
        if (FAILED(next)) return next;
        if (!node) return S_OK;
        CScopedBstr text;
        HRESULT read = node->get_text(text.Receive());
        if (FAILED(read)) return read;
        if (text.Get()) take(ToWideString(text));
    }
}
