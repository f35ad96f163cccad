#include "library/capability/XmlDocument.h"

#include "library/util/ScopedCom.h"

namespace {

// setProperty and friends take a BSTR; a string literal is no BSTR (it has no length prefix).
HRESULT MakeBstr(const wchar_t* text, CScopedBstr& bstr) {
    BSTR allocated = SysAllocString(text);
    if (!allocated) return E_OUTOFMEMORY;
    *bstr.Receive() = allocated;
    return S_OK;
}

HRESULT SetStringProperty(IXMLDOMDocument2* document, const wchar_t* name, const wchar_t* value) {
    CScopedBstr nameBstr;
    HRESULT hr = MakeBstr(name, nameBstr);
    if (FAILED(hr)) return hr;
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BSTR;
    variant.bstrVal = SysAllocString(value);
    if (!variant.bstrVal) return E_OUTOFMEMORY;
    hr = document->setProperty(nameBstr.Get(), variant);
    VariantClear(&variant);
    return hr;
}

HRESULT SetBoolProperty(IXMLDOMDocument2* document, const wchar_t* name, bool value) {
    CScopedBstr nameBstr;
    HRESULT hr = MakeBstr(name, nameBstr);
    if (FAILED(hr)) return hr;
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BOOL;
    variant.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return document->setProperty(nameBstr.Get(), variant);
}

}  // namespace

HRESULT CreateXmlDocument(IXMLDOMDocument2** document) {
    if (!document) return E_POINTER;
    *document = nullptr;
    HRESULT hr = CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_ALL, kIidXmlDomDocument2,
                                  reinterpret_cast<void**>(document));
    if (FAILED(hr)) return hr;
    IXMLDOMDocument2* created = *document;
    hr = created->put_async(VARIANT_FALSE);
    if (SUCCEEDED(hr)) hr = created->put_validateOnParse(VARIANT_FALSE);
    if (SUCCEEDED(hr)) hr = created->put_resolveExternals(VARIANT_FALSE);
    if (SUCCEEDED(hr)) hr = SetStringProperty(created, L"SelectionLanguage", L"XPath");
    if (SUCCEEDED(hr)) hr = SetBoolProperty(created, L"ProhibitDTD", false);
    return hr;
}

HRESULT LoadXmlDocument(const wchar_t* xmlText, IXMLDOMDocument2** document) {
    if (!document) return E_POINTER;
    *document = nullptr;
    if (!xmlText) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

    CScopedComPtr<IXMLDOMDocument2> created;
    HRESULT hr = CreateXmlDocument(created.Receive());
    if (FAILED(hr)) return hr;
    CScopedBstr text;
    hr = MakeBstr(xmlText, text);
    if (FAILED(hr)) return hr;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    hr = created->loadXML(text.Get(), &loaded);
    if (FAILED(hr)) return hr;
    if (loaded != VARIANT_TRUE) return hr == S_OK ? S_FALSE : hr;
    *document = created.Detach();
    return hr;
}

HRESULT SetXmlProperty(IXMLDOMDocument2* document, const wchar_t* name, const wchar_t* value) {
    if (!document || !name || !value) return E_POINTER;
    return SetStringProperty(document, name, value);
}

HRESULT SelectXmlNode(IXMLDOMNode* node, const wchar_t* xpath, IXMLDOMNode** found) {
    if (!node || !xpath || !found) return E_POINTER;
    *found = nullptr;
    CScopedBstr query;
    HRESULT hr = MakeBstr(xpath, query);
    if (FAILED(hr)) return hr;
    return node->selectSingleNode(query.Get(), found);
}

HRESULT SelectXmlNodes(IXMLDOMNode* node, const wchar_t* xpath, IXMLDOMNodeList** found) {
    if (!node || !xpath || !found) return E_POINTER;
    *found = nullptr;
    CScopedBstr query;
    HRESULT hr = MakeBstr(xpath, query);
    if (FAILED(hr)) return hr;
    return node->selectNodes(query.Get(), found);
}

HRESULT GetXmlNodeText(IXMLDOMNode* node, const wchar_t* xpath, BSTR* text) {
    if (!node || !xpath || !text) return E_POINTER;
    CScopedComPtr<IXMLDOMNode> found;
    HRESULT hr = SelectXmlNode(node, xpath, found.Receive());
    if (hr != S_OK || !found) return FAILED(hr) ? hr : S_FALSE;
    return found->get_text(text);
}

HRESULT GetXmlAttributeText(IXMLDOMNode* node, const wchar_t* name, BSTR* text) {
    if (!node || !name || !text) return E_POINTER;
    *text = nullptr;
    CScopedComPtr<IXMLDOMNamedNodeMap> attributes;
    HRESULT hr = node->get_attributes(attributes.Receive());
    if (FAILED(hr)) return hr;
    // Nodes that carry no attributes at all (text, the document) give no map.
    if (!attributes) return S_FALSE;
    CScopedBstr nameBstr;
    hr = MakeBstr(name, nameBstr);
    if (FAILED(hr)) return hr;
    CScopedComPtr<IXMLDOMNode> attribute;
    hr = attributes->getNamedItem(nameBstr.Get(), attribute.Receive());
    if (FAILED(hr)) return hr;
    if (!attribute) return S_FALSE;
    return attribute->get_text(text);
}

HRESULT GetXmlAncestor(IXMLDOMNode* node, unsigned levels, IXMLDOMNode** ancestor) {
    if (!node || !ancestor || levels == 0) return E_POINTER;
    *ancestor = nullptr;
    HRESULT hr = node->get_parentNode(ancestor);
    for (unsigned level = 1; level < levels && SUCCEEDED(hr); ++level) {
        CScopedComPtr<IXMLDOMNode> current(*ancestor);
        *ancestor = nullptr;
        if (!current) return E_POINTER;
        hr = current->get_parentNode(ancestor);
    }
    return hr;
}
