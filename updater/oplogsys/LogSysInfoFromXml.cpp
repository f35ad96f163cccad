#include "updater/oplogsys/LogSysInfoFromXml.h"

#include <cwchar>
#include <new>
#include <string_view>

#include "library/util/ScopedWin.h"
#include "updater/oplogsys/DebugOutputLogFactory.h"
#include "updater/oplogsys/FileLogFactory.h"
#include "updater/oplogsys/NullLogFactory.h"

namespace opLogSys {
namespace {

// The MSXML DOM document and the two interfaces the configuration is read through.
constexpr CLSID kClsidDomDocument = {0x2933bf90, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
constexpr IID kIidXmlDomDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
constexpr IID kIidXmlDomNode = {0x2933bf80, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
constexpr IID kIidXmlDomElement = {0x2933bf86, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

constexpr DWORD kMaxConfigBytes = 1024 * 1024;

bool NodeNameIs(IXMLDOMNode* node, const wchar_t* name) {
    CScopedBstr nodeName;
    if (FAILED(node->get_nodeName(nodeName.Receive())) || !nodeName.Get()) return false;
    CScopedBstr wanted(name);
    return VarBstrCmp(nodeName.Get(), wanted.Get(), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

// A present attribute whose value is a string; anything else reads as empty.
std::wstring AttributeText(IXMLDOMNode* node, const wchar_t* name) {
    CScopedComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(kIidXmlDomElement, reinterpret_cast<void**>(element.Receive())))) return {};
    CScopedBstr attributeName(name);
    VARIANT value;
    VariantInit(&value);
    std::wstring text;
    if (element->getAttribute(attributeName.Get(), &value) == S_OK && value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}

template <class Visit>
HRESULT ForEachChild(IXMLDOMNode* node, Visit visit) {
    CScopedComPtr<IXMLDOMNodeList> children;
    HRESULT hr = node->get_childNodes(children.Receive());
    if (FAILED(hr) || !children) return hr;
    long count = 0;
    children->get_length(&count);
    for (long i = 0; i < count; ++i) {
        CScopedComPtr<IXMLDOMNode> child;
        if (children->get_item(i, child.Receive()) == S_OK && child) visit(child.Get());
    }
    return S_OK;
}

bool Contains(std::string_view bytes, std::string_view needle) { return bytes.find(needle) != std::string_view::npos; }

// "<!DOCTYPE" or "<!ENTITY" in 8-bit text or in UTF-16 of either byte order.
bool DeclaresDocumentType(std::string_view bytes) {
    for (const char* keyword : {"<!DOCTYPE", "<!ENTITY"}) {
        const std::string_view plain(keyword);
        std::string little, big;
        for (char c : plain) {
            little += c;
            little += '\0';
            big += '\0';
            big += c;
        }
        if (Contains(bytes, plain) || Contains(bytes, little) || Contains(bytes, big)) return true;
    }
    return false;
}

}  // namespace

bool IsAcceptableConfigFile(const wchar_t* path) {
    CScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxConfigBytes) return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return false;
    return !DeclaresDocumentType(bytes);
}

CLogSysInfoFromXML::CLogSysInfoFromXML(const wchar_t* path)
    : path_(path ? path : L""), inner_(new (std::nothrow) CLogSysInfo()) {
    if (inner_ && !path_.empty() && GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES) Load();
}

ULONG CLogSysInfoFromXML::Release() {
    const LONG count = InterlockedDecrement(&count_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT CLogSysInfoFromXML::Load() {
    if (!inner_ || !IsAcceptableConfigFile(path_.c_str())) return E_FAIL;
    // The log system may be first used on a thread that has not entered COM.
    const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT hr = E_FAIL;
    {
        CScopedComPtr<IXMLDOMDocument> document;
        hr = CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDomDocument,
                              reinterpret_cast<void**>(document.Receive()));
        if (SUCCEEDED(hr)) {
            document->put_async(VARIANT_FALSE);
            document->put_resolveExternals(VARIANT_FALSE);
            document->put_validateOnParse(VARIANT_FALSE);
            VARIANT source;
            VariantInit(&source);
            source.vt = VT_BSTR;
            source.bstrVal = SysAllocString(path_.c_str());
            VARIANT_BOOL loaded = VARIANT_FALSE;
            hr = source.bstrVal ? document->load(source, &loaded) : E_OUTOFMEMORY;
            VariantClear(&source);
            CScopedComPtr<IXMLDOMElement> root;
            CScopedComPtr<IXMLDOMNode> rootNode;
            if (hr == S_OK && loaded == VARIANT_TRUE && document->get_documentElement(root.Receive()) == S_OK && root &&
                SUCCEEDED(root->QueryInterface(kIidXmlDomNode, reinterpret_cast<void**>(rootNode.Receive())))) {
                hr = ForEachChild(rootNode.Get(), [this](IXMLDOMNode* child) { LoadElement(child); });
            } else if (SUCCEEDED(hr)) {
                hr = S_FALSE;
            }
        }
    }
    if (SUCCEEDED(entered)) CoUninitialize();
    return hr;
}

HRESULT CLogSysInfoFromXML::LoadElement(IXMLDOMNode* node) {
    if (NodeNameIs(node, L"FACTORY")) return LoadFactory(node);
    if (NodeNameIs(node, L"FILTERLIST")) return LoadFilterList(node);
    return S_FALSE;
}

HRESULT CLogSysInfoFromXML::LoadFactory(IXMLDOMNode* node) {
    const std::wstring name = AttributeText(node, L"name");
    const std::wstring className = AttributeText(node, L"class");
    const std::wstring autoflush = AttributeText(node, L"autoflush");
    const std::wstring location = AttributeText(node, L"location");
    IOutputLogSystemFactory* factory = nullptr;
    if (name == L"IOutputLogSystemFactory" && className == L"opLogSys::File::COutputLogSystemFactory")
        factory = new (std::nothrow) File::COutputLogSystemFactory(location.c_str(), autoflush == L"true");
    else if (name == L"IOutputLogSystemFactory" && className == L"opLogSys::Ods::COutputLogSystemFactory")
        factory = new (std::nothrow) Ods::COutputLogSystemFactory();
    else
        factory = new (std::nothrow) Null::COutputLogSystemFactory();
    if (!factory) return E_OUTOFMEMORY;
    inner_->SetFactory(factory);
    return S_OK;
}

HRESULT CLogSysInfoFromXML::LoadFilterList(IXMLDOMNode* node) {
    return ForEachChild(node, [this](IXMLDOMNode* child) { LoadFilter(child); });
}

HRESULT CLogSysInfoFromXML::LoadFilter(IXMLDOMNode* node) {
    if (!NodeNameIs(node, L"FILTER")) return E_FAIL;
    const std::wstring subject = AttributeText(node, L"subject");
    const int minLevel = static_cast<int>(std::wcstol(AttributeText(node, L"minLevel").c_str(), nullptr, 10));
    const int maxLevel = static_cast<int>(std::wcstol(AttributeText(node, L"maxLevel").c_str(), nullptr, 10));
    if (CLogSysInfo::COutputLogState* state = inner_->State()) state->AddFilter(minLevel, maxLevel, subject.c_str());
    return S_OK;
}

}  // namespace opLogSys
