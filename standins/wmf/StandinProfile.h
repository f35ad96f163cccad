#pragma once
// Stand-in for the profile side of the Windows Media runtime that Wine lacks: an empty profile
// that takes streams, stream configurations with their media type, video settings and property
// vault, and codec information offering a few Windows Media Audio formats.

#include <windows.h>
#include "platform/wmf/WindowsMedia.h"

#include <map>
#include <string>
#include <vector>

#include "standins/wpd/ComObject.h"

namespace standin {

class CStreamConfig : public CComObject, public IWMStreamConfig, public IWMVideoMediaProps, public IWMPropertyVault {
public:
    explicit CStreamConfig(REFGUID streamType);
    // A copy of every setting (profiles keep copies of what is added to them).
    CStreamConfig* Clone() const;
    // Sets the media type from its parts.
    void SetType(const WM_MEDIA_TYPE& type);
    const WM_MEDIA_TYPE& Type() const { return type_; }
    const std::vector<BYTE>& Format() const { return format_; }
    WORD Number() const { return number_; }
    const GUID& StreamType() const { return streamType_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    STANDIN_IUNKNOWN_REFCOUNT
    // IWMStreamConfig
    HRESULT STDMETHODCALLTYPE GetStreamType(GUID* type) override;
    HRESULT STDMETHODCALLTYPE GetStreamNumber(WORD* number) override;
    HRESULT STDMETHODCALLTYPE SetStreamNumber(WORD number) override;
    HRESULT STDMETHODCALLTYPE GetStreamName(WCHAR* name, WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetStreamName(LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE GetConnectionName(WCHAR* name, WORD* length) override;
    HRESULT STDMETHODCALLTYPE SetConnectionName(LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE GetBitrate(DWORD* bitrate) override;
    HRESULT STDMETHODCALLTYPE SetBitrate(DWORD bitrate) override;
    HRESULT STDMETHODCALLTYPE GetBufferWindow(DWORD* window) override;
    HRESULT STDMETHODCALLTYPE SetBufferWindow(DWORD window) override;
    // IWMMediaProps
    HRESULT STDMETHODCALLTYPE GetType(GUID* type) override;
    HRESULT STDMETHODCALLTYPE GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetMediaType(WM_MEDIA_TYPE* type) override;
    // IWMVideoMediaProps
    HRESULT STDMETHODCALLTYPE GetMaxKeyFrameSpacing(LONGLONG* time) override;
    HRESULT STDMETHODCALLTYPE SetMaxKeyFrameSpacing(LONGLONG time) override;
    HRESULT STDMETHODCALLTYPE GetQuality(DWORD* quality) override;
    HRESULT STDMETHODCALLTYPE SetQuality(DWORD quality) override;
    // IWMPropertyVault
    HRESULT STDMETHODCALLTYPE GetPropertyCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetPropertyByName(const WCHAR* name, WMT_ATTR_DATATYPE* type, BYTE* value, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetProperty(const WCHAR* name, WMT_ATTR_DATATYPE type, BYTE* value, DWORD size) override;
    HRESULT STDMETHODCALLTYPE GetPropertyByIndex(DWORD index, WCHAR* name, DWORD* length, WMT_ATTR_DATATYPE* type,
                                                 BYTE* value, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE CopyPropertiesFrom(IWMPropertyVault* vault) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

private:
    struct Property {
        WMT_ATTR_DATATYPE type;
        std::vector<BYTE> value;
    };
    GUID streamType_;
    WORD number_ = 0;
    std::wstring name_;
    std::wstring connection_;
    DWORD bitrate_ = 0;
    DWORD bufferWindow_ = 0;
    WM_MEDIA_TYPE type_ = {};
    std::vector<BYTE> format_;
    LONGLONG keyFrameSpacing_ = 0;
    DWORD quality_ = 0;
    std::map<std::wstring, Property> properties_;
};

// Makes the profile manager that WMCreateProfileManager hands out.
HRESULT CreateProfileManager(IWMProfileManager** manager);

}  // namespace standin
