#include "standins/cdlookup/CddbStandinObjects.h"

#include <oleauto.h>

#include <cwchar>
#include <new>
#include <string>

#include "standins/cdlookup/CddbStandinScript.h"

namespace cddb_standin {
namespace {

LONG g_liveObjects = 0;

// Reference counting and QueryInterface for an object of one interface.
template <typename Interface>
class CObject : public Interface {
public:
    explicit CObject(REFIID iid) : iid_(iid) { InterlockedIncrement(&g_liveObjects); }
    virtual ~CObject() { InterlockedDecrement(&g_liveObjects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    const IID iid_;
    LONG references_ = 1;
};

std::wstring Text(BSTR value) { return value == nullptr ? std::wstring() : std::wstring(value); }

HRESULT CopyOut(const BYTE* bytes, ULONG size, BYTE* buffer, ULONG capacity, ULONG* length) {
    if (length == nullptr) return E_POINTER;
    *length = size;
    if (buffer == nullptr) return S_OK;
    if (capacity < size) return E_INVALIDARG;
    memcpy(buffer, bytes, size);
    return S_OK;
}

class CMatch : public CObject<ICddbMatch> {
public:
    explicit CMatch(const std::wstring& identifier) : CObject(IID_ICddbMatch), identifier_(identifier) {}
    HRESULT STDMETHODCALLTYPE GetIdentifier(BSTR* identifier) override {
        if (identifier == nullptr) return E_POINTER;
        *identifier = SysAllocString(identifier_.c_str());
        return *identifier != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetDataItem(BSTR name, long kind, BYTE* buffer, ULONG capacity,
                                          ULONG* length) override {
        if (Text(name) != L"ravelinvexal" || kind != kCddbDataItemBinary) {
            if (length != nullptr) *length = 0;
            return S_FALSE;
        }
        return CopyOut(kDataBlock, kDataBlockSize, buffer, capacity, length);
    }
    HRESULT STDMETHODCALLTYPE GetCoverArt(BYTE* buffer, ULONG capacity, ULONG* length) override {
        if (IsMode(L"nocover")) {
            if (length != nullptr) *length = 0;
            return S_FALSE;
        }
        return CopyOut(kCoverPicture, kCoverPictureSize, buffer, capacity, length);
    }

private:
    std::wstring identifier_;
};

class COptions : public CObject<ICddbOptions> {
public:
    COptions() : CObject(IID_ICddbOptions) {}
    HRESULT STDMETHODCALLTYPE SetProxyServer(BSTR host) override {
        host_ = Text(host);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProxyServerPort(long port) override {
        port_ = port;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetLocalCachePath(BSTR path) override {
        path_ = Text(path);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetLocalCacheTimeout(long value) override {
        timeout_ = value;
        return S_OK;
    }
    std::wstring Describe() const {
        return host_ + L"|" + std::to_wstring(port_) + L"|" + path_ + L"|" + std::to_wstring(timeout_);
    }

private:
    std::wstring host_;
    long port_ = -2;
    std::wstring path_;
    long timeout_ = 0;
};

class CControl : public CObject<ICddbControl> {
public:
    CControl() : CObject(IID_ICddbControl) {}
    HRESULT STDMETHODCALLTYPE SetClientInfo(BSTR clientId, BSTR clientTag, BSTR version, BSTR extra) override {
        Report(L"QB_CDDB_STANDIN_CLIENT", Text(clientId) + L"|" + Text(clientTag) + L"|" + Text(version) + L"|" +
                                              Text(extra));
        return IsMode(L"noregister") ? E_ACCESSDENIED : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetOptions(ICddbOptions** options) override {
        if (options == nullptr) return E_POINTER;
        *options = new (std::nothrow) COptions();
        return *options != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE SetOptions(ICddbOptions* options) override {
        if (options == nullptr) return E_POINTER;
        Report(L"QB_CDDB_STANDIN_OPTIONS", static_cast<COptions*>(options)->Describe());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Startup(long, long) override {
        // The real control module cannot work without its UI module's handle.
        return g_peerModule != nullptr ? S_OK : E_UNEXPECTED;
    }
    HRESULT STDMETHODCALLTYPE Shutdown() override { return S_OK; }
};

class CMusicId : public CObject<ICddbMusicId> {
public:
    CMusicId() : CObject(IID_ICddbMusicId) {}
    HRESULT STDMETHODCALLTYPE IdentifyFile(BSTR path, long* matchCount, ICddbMatch** best) override {
        if (matchCount == nullptr || best == nullptr) return E_POINTER;
        *best = nullptr;
        *matchCount = 0;
        Append(L"QB_CDDB_STANDIN_CALLS", L"identify:" + Text(path) + L";");
        if (g_peerModule == nullptr) return E_UNEXPECTED;
        if (IsMode(L"slow")) Sleep(300);
        if (IsMode(L"fail")) return E_FAIL;
        if (IsMode(L"crash")) return RPC_E_SERVERFAULT;
        if (IsMode(L"nomatch")) return S_FALSE;
        *matchCount = IsMode(L"several") ? 3 : 1;
        *best = new (std::nothrow) CMatch(kMatchIdentifier);
        return *best != nullptr ? S_OK : E_OUTOFMEMORY;
    }
};

class CLink : public CObject<ICddbLink> {
public:
    CLink() : CObject(IID_ICddbLink) {}
    HRESULT STDMETHODCALLTYPE FetchByIdentifier(BSTR identifier, ICddbMatch** match) override {
        if (match == nullptr) return E_POINTER;
        *match = nullptr;
        Append(L"QB_CDDB_STANDIN_CALLS", L"fetch:" + Text(identifier) + L";");
        if (g_peerModule == nullptr) return E_UNEXPECTED;
        if (IsMode(L"fail")) return E_FAIL;
        if (IsMode(L"crash")) return RPC_E_SERVERFAULT;
        if (IsMode(L"nomatch")) return S_FALSE;
        *match = new (std::nothrow) CMatch(Text(identifier));
        return *match != nullptr ? S_OK : E_OUTOFMEMORY;
    }
};

class CFactory : public CObject<IClassFactory> {
public:
    explicit CFactory(REFCLSID classId) : CObject(IID_IClassFactory), classId_(classId) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        IUnknown* created = CreateObject(classId_);
        if (created == nullptr) return E_OUTOFMEMORY;
        const HRESULT hr = created->QueryInterface(riid, object);
        created->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    const CLSID classId_;
};

}  // namespace

IUnknown* CreateObject(REFCLSID classId) {
    if (IsEqualCLSID(classId, CLSID_CddbControl)) return new (std::nothrow) CControl();
    if (IsEqualCLSID(classId, CLSID_CddbMusicId)) return new (std::nothrow) CMusicId();
    if (IsEqualCLSID(classId, CLSID_CddbLink)) return new (std::nothrow) CLink();
    return nullptr;
}

IClassFactory* CreateFactory(REFCLSID classId) { return new (std::nothrow) CFactory(classId); }

LONG LiveObjects() { return g_liveObjects; }

}  // namespace cddb_standin
