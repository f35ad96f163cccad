#include "platform/dshow/FilterRegistration.h"

namespace {
// regsvr32 calls the server without COM started on its thread.
class CComScope {
public:
    CComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

HRESULT CreateMapper(IFilterMapper2** mapper) {
    return CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                            reinterpret_cast<void**>(mapper));
}
}  // namespace

HRESULT RegisterDsFilter(REFCLSID clsid, const wchar_t* name, DWORD merit, ULONG pinCount, const REGFILTERPINS* pins) {
    CComScope com;
    IFilterMapper2* mapper = nullptr;
    HRESULT hr = CreateMapper(&mapper);
    if (FAILED(hr)) return hr;
    REGFILTER2 filter = {};
    filter.dwVersion = 1;
    filter.dwMerit = merit;
    filter.cPins = pinCount;
    filter.rgPins = pins;
    hr = mapper->RegisterFilter(clsid, name, nullptr, &CLSID_LegacyAmFilterCategory, nullptr, &filter);
    mapper->Release();
    return hr;
}

HRESULT UnregisterDsFilter(REFCLSID clsid) {
    CComScope com;
    IFilterMapper2* mapper = nullptr;
    HRESULT hr = CreateMapper(&mapper);
    if (FAILED(hr)) return hr;
    hr = mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, clsid);
    mapper->Release();
    // A filter that was never entered is as unregistered as it can be.
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : hr;
}
