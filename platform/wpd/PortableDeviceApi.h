#pragma once
// Client interfaces of Windows Portable Devices, declared from the platform's published ABI:
// identifiers and method order match the system's, so the same code drives the system's runtime
// on Windows and our simulated player under test. The value collections come from mingw-w64.

#include <windows.h>
#include <objidl.h>
#include <propidl.h>
#include <portabledevicetypes.h>

// Object id of the device object, the root of every device's object tree.
#define WPD_DEVICE_OBJECT_ID L"DEVICE"

// Options of IPortableDeviceContent::Delete.
enum : DWORD {
    PORTABLE_DEVICE_DELETE_NO_RECURSION = 0,
    PORTABLE_DEVICE_DELETE_WITH_RECURSION = 1,
};

// Errors of the WPD facility that callers and the stand-in share.
constexpr HRESULT E_WPD_DEVICE_ALREADY_OPENED = static_cast<HRESULT>(0x802A0001L);
constexpr HRESULT E_WPD_DEVICE_NOT_OPEN = static_cast<HRESULT>(0x802A0002L);

inline constexpr CLSID CLSID_PortableDeviceManager = {
    0x0af10cec, 0x2ecd, 0x4b92, {0x95, 0x81, 0x34, 0xf6, 0xae, 0x06, 0x37, 0xf3}};
inline constexpr CLSID CLSID_PortableDevice = {
    0x728a21c5, 0x3d9e, 0x48d7, {0x98, 0x10, 0x86, 0x48, 0x48, 0xf0, 0xf4, 0x04}};
inline constexpr CLSID CLSID_PortableDeviceKeyCollection = {
    0xde2d022d, 0x2480, 0x43be, {0x97, 0xf0, 0xd1, 0xfa, 0x2c, 0xf9, 0x8f, 0x4f}};
inline constexpr CLSID CLSID_PortableDevicePropVariantCollection = {
    0x08a99e2f, 0x6d6d, 0x4b80, {0xaf, 0x5a, 0xba, 0xf2, 0xbc, 0xbe, 0x4c, 0xb9}};

inline constexpr IID IID_IPortableDeviceManager = {
    0xa1567595, 0x4c2f, 0x4574, {0xa6, 0xfa, 0xec, 0xef, 0x91, 0x7b, 0x9a, 0x40}};
inline constexpr IID IID_IPortableDevice = {
    0x625e2df8, 0x6392, 0x4cf0, {0x9a, 0xd1, 0x3c, 0xfa, 0x5f, 0x17, 0x77, 0x5c}};
inline constexpr IID IID_IPortableDeviceContent = {
    0x6a96ed84, 0x7c73, 0x4480, {0x99, 0x38, 0xbf, 0x5a, 0xf4, 0x77, 0xd4, 0x26}};
inline constexpr IID IID_IPortableDeviceProperties = {
    0x7f6d695c, 0x03df, 0x4439, {0xa8, 0x09, 0x59, 0x26, 0x6b, 0xee, 0xe3, 0xa6}};
inline constexpr IID IID_IPortableDeviceResources = {
    0xfd8878ac, 0xd841, 0x4d17, {0x89, 0x1c, 0xe6, 0x82, 0x9c, 0xdb, 0x69, 0x34}};
inline constexpr IID IID_IEnumPortableDeviceObjectIDs = {
    0x10ece955, 0xcf41, 0x4728, {0xbf, 0xa0, 0x41, 0xee, 0xdf, 0x1b, 0xbf, 0x19}};
inline constexpr IID IID_IPortableDeviceDataStream = {
    0x88e04db3, 0x1012, 0x4d64, {0x99, 0x96, 0xf7, 0x03, 0xa9, 0x50, 0xd3, 0xf4}};

// Interfaces this program never calls; only their pointers appear in the method lists below.
struct IPortableDeviceCapabilities;
struct IPortableDeviceEventCallback;

struct IEnumPortableDeviceObjectIDs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG cObjects, LPWSTR* pObjIDs, ULONG* pcFetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cObjects) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumPortableDeviceObjectIDs** ppEnum) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
};

struct IPortableDeviceProperties : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSupportedProperties(LPCWSTR pszObjectID,
                                                             IPortableDeviceKeyCollection** ppKeys) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyAttributes(LPCWSTR pszObjectID, REFPROPERTYKEY Key,
                                                            IPortableDeviceValues** ppAttributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetValues(LPCWSTR pszObjectID, IPortableDeviceKeyCollection* pKeys,
                                                IPortableDeviceValues** ppValues) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetValues(LPCWSTR pszObjectID, IPortableDeviceValues* pValues,
                                                IPortableDeviceValues** ppResults) = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete(LPCWSTR pszObjectID, IPortableDeviceKeyCollection* pKeys) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
};

struct IPortableDeviceResources : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSupportedResources(LPCWSTR pszObjectID,
                                                            IPortableDeviceKeyCollection** ppKeys) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResourceAttributes(LPCWSTR pszObjectID, REFPROPERTYKEY Key,
                                                            IPortableDeviceValues** ppResourceAttributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStream(LPCWSTR pszObjectID, REFPROPERTYKEY Key, DWORD dwMode,
                                                DWORD* pdwOptimalBufferSize, IStream** ppStream) = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete(LPCWSTR pszObjectID, IPortableDeviceKeyCollection* pKeys) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateResource(IPortableDeviceValues* pResourceAttributes,
                                                     IStream** ppData, DWORD* pdwOptimalWriteBufferSize,
                                                     LPWSTR* ppszCookie) = 0;
};

struct IPortableDeviceContent : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumObjects(DWORD dwFlags, LPCWSTR pszParentObjectID,
                                                  IPortableDeviceValues* pFilter,
                                                  IEnumPortableDeviceObjectIDs** ppEnum) = 0;
    virtual HRESULT STDMETHODCALLTYPE Properties(IPortableDeviceProperties** ppProperties) = 0;
    virtual HRESULT STDMETHODCALLTYPE Transfer(IPortableDeviceResources** ppResources) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateObjectWithPropertiesOnly(IPortableDeviceValues* pValues,
                                                                     LPWSTR* ppszObjectID) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateObjectWithPropertiesAndData(IPortableDeviceValues* pValues,
                                                                        IStream** ppData,
                                                                        DWORD* pdwOptimalWriteBufferSize,
                                                                        LPWSTR* ppszCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete(DWORD dwOptions, IPortableDevicePropVariantCollection* pObjectIDs,
                                             IPortableDevicePropVariantCollection** ppResults) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetObjectIDsFromPersistentUniqueIDs(
        IPortableDevicePropVariantCollection* pPersistentUniqueIDs,
        IPortableDevicePropVariantCollection** ppObjectIDs) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(IPortableDevicePropVariantCollection* pObjectIDs,
                                           LPCWSTR pszDestinationFolderObjectID,
                                           IPortableDevicePropVariantCollection** ppResults) = 0;
    virtual HRESULT STDMETHODCALLTYPE Copy(IPortableDevicePropVariantCollection* pObjectIDs,
                                           LPCWSTR pszDestinationFolderObjectID,
                                           IPortableDevicePropVariantCollection** ppResults) = 0;
};

struct IPortableDevice : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open(LPCWSTR pszPnPDeviceID, IPortableDeviceValues* pClientInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendCommand(DWORD dwFlags, IPortableDeviceValues* pParameters,
                                                  IPortableDeviceValues** ppResults) = 0;
    virtual HRESULT STDMETHODCALLTYPE Content(IPortableDeviceContent** ppContent) = 0;
    virtual HRESULT STDMETHODCALLTYPE Capabilities(IPortableDeviceCapabilities** ppCapabilities) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(DWORD dwFlags, IPortableDeviceEventCallback* pCallback,
                                             IPortableDeviceValues* pParameters, LPWSTR* ppszCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(LPCWSTR pszCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPnPDeviceID(LPWSTR* ppszPnPDeviceID) = 0;
};

struct IPortableDeviceManager : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetDevices(LPWSTR* pPnPDeviceIDs, DWORD* pcPnPDeviceIDs) = 0;
    virtual HRESULT STDMETHODCALLTYPE RefreshDeviceList() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceFriendlyName(LPCWSTR pszPnPDeviceID, WCHAR* pDeviceFriendlyName,
                                                            DWORD* pcchDeviceFriendlyName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceDescription(LPCWSTR pszPnPDeviceID, WCHAR* pDeviceDescription,
                                                           DWORD* pcchDeviceDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceManufacturer(LPCWSTR pszPnPDeviceID, WCHAR* pDeviceManufacturer,
                                                            DWORD* pcchDeviceManufacturer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceProperty(LPCWSTR pszPnPDeviceID, LPCWSTR pszDevicePropertyName,
                                                        BYTE* pData, DWORD* pcbData, DWORD* pdwType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPrivateDevices(LPWSTR* pPnPDeviceIDs, DWORD* pcPnPDeviceIDs) = 0;
};

struct IPortableDeviceDataStream : public IStream {
    virtual HRESULT STDMETHODCALLTYPE GetObjectID(LPWSTR* ppszObjectID) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
};
