#pragma once
// The interfaces of the outside CD-lookup SDK as this program uses them, declared here from what
// the program needs of them; the stand-in modules in standins/cdlookup implement the same ones.

#include <windows.h>
#include <unknwn.h>

// The modules' own entry points beside the COM ones.
typedef HRESULT(WINAPI* DllGetObjectFn)(REFCLSID classId, REFIID interfaceId, void** object);
typedef HRESULT(WINAPI* DllGetClassObjectFn)(REFCLSID classId, REFIID interfaceId, void** object);
typedef HRESULT(WINAPI* DllDisableCOMFalloverFn)(BOOL disable);
typedef HRESULT(WINAPI* DllSetCddbHINSTFn)(HINSTANCE module);

// {42b48302-8422-4ec5-bffb-f77499371fc5}
const CLSID CLSID_CddbControl = {0x42b48302, 0x8422, 0x4ec5, {0xbf, 0xfb, 0xf7, 0x74, 0x99, 0x37, 0x1f, 0xc5}};
// {1f66d0ff-a306-42d2-afb9-b4a516fc94f3}
const IID IID_ICddbControl = {0x1f66d0ff, 0xa306, 0x42d2, {0xaf, 0xb9, 0xb4, 0xa5, 0x16, 0xfc, 0x94, 0xf3}};
// {774345d9-b2a5-45ca-83bd-e238b4629c6f}
const CLSID CLSID_CddbMusicId = {0x774345d9, 0xb2a5, 0x45ca, {0x83, 0xbd, 0xe2, 0x38, 0xb4, 0x62, 0x9c, 0x6f}};
// {61721cb6-4a91-46bd-84a8-5db700cbcaae}
const IID IID_ICddbMusicId = {0x61721cb6, 0x4a91, 0x46bd, {0x84, 0xa8, 0x5d, 0xb7, 0x00, 0xcb, 0xca, 0xae}};
// {dc4148e4-595f-43c0-b9f2-aa97ae7d689c}
const CLSID CLSID_CddbLink = {0xdc4148e4, 0x595f, 0x43c0, {0xb9, 0xf2, 0xaa, 0x97, 0xae, 0x7d, 0x68, 0x9c}};
// {413bd7f9-92ac-4a0c-af9a-48ce71b558d8}
const IID IID_ICddbLink = {0x413bd7f9, 0x92ac, 0x4a0c, {0xaf, 0x9a, 0x48, 0xce, 0x71, 0xb5, 0x58, 0xd8}};
// {06d52938-8716-419e-b89c-1c776169be42}
const IID IID_ICddbOptions = {0x06d52938, 0x8716, 0x419e, {0xb8, 0x9c, 0x1c, 0x77, 0x61, 0x69, 0xbe, 0x42}};
// {04e6d242-d320-4072-8450-b0efb1a91f55}
const IID IID_ICddbMatch = {0x04e6d242, 0xd320, 0x4072, {0x84, 0x50, 0xb0, 0xef, 0xb1, 0xa9, 0x1f, 0x55}};

// The kind of a match's data item that holds raw bytes.
const long kCddbDataItemBinary = 10;

// Connection options: handed out by the control object, changed, handed back.
struct ICddbOptions : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetProxyServer(BSTR host) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProxyServerPort(long port) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLocalCachePath(BSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLocalCacheTimeout(long value) = 0;
};

// One album or track the service matched.
struct ICddbMatch : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetIdentifier(BSTR* identifier) = 0;
    // A null buffer asks for the length only; S_FALSE when the match has no such item.
    virtual HRESULT STDMETHODCALLTYPE GetDataItem(BSTR name, long kind, BYTE* buffer, ULONG capacity,
                                                  ULONG* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCoverArt(BYTE* buffer, ULONG capacity, ULONG* length) = 0;
};

struct ICddbControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetClientInfo(BSTR clientId, BSTR clientTag, BSTR version, BSTR extra) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOptions(ICddbOptions** options) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOptions(ICddbOptions* options) = 0;
    virtual HRESULT STDMETHODCALLTYPE Startup(long flags, long reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE Shutdown() = 0;
};

// Identifies a media file: S_OK with the best match (and how many there were), S_FALSE for none.
struct ICddbMusicId : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IdentifyFile(BSTR path, long* matchCount, ICddbMatch** best) = 0;
};

// Fetches a match by the identifier an earlier identification gave.
struct ICddbLink : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE FetchByIdentifier(BSTR identifier, ICddbMatch** match) = 0;
};
