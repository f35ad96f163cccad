#include <cstring>

#include "standins/wmf/StandinProfile.h"

namespace standin {

namespace {

const HRESULT kBufferTooSmall = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);

HRESULT CopyName(const std::wstring& text, WCHAR* name, WORD* length) {
    if (length == nullptr) return E_POINTER;
    const WORD needed = static_cast<WORD>(text.size() + 1);
    if (name == nullptr) {
        *length = needed;
        return S_OK;
    }
    if (*length < needed) return kBufferTooSmall;
    std::memcpy(name, text.c_str(), needed * sizeof(WCHAR));
    *length = needed;
    return S_OK;
}

}  // namespace

CStreamConfig::CStreamConfig(REFGUID streamType) : streamType_(streamType) { type_.majortype = streamType; }

CStreamConfig* CStreamConfig::Clone() const {
    CStreamConfig* copy = new CStreamConfig(streamType_);
    copy->number_ = number_;
    copy->name_ = name_;
    copy->connection_ = connection_;
    copy->bitrate_ = bitrate_;
    copy->bufferWindow_ = bufferWindow_;
    copy->SetType(type_);
    copy->format_ = format_;
    copy->type_.pbFormat = copy->format_.empty() ? nullptr : copy->format_.data();
    copy->keyFrameSpacing_ = keyFrameSpacing_;
    copy->quality_ = quality_;
    copy->properties_ = properties_;
    return copy;
}

void CStreamConfig::SetType(const WM_MEDIA_TYPE& type) {
    if (type.pbFormat != format_.data()) {
        format_.assign(type.pbFormat, type.pbFormat + (type.pbFormat != nullptr ? type.cbFormat : 0));
    }
    type_ = type;
    type_.pUnk = nullptr;
    type_.cbFormat = static_cast<ULONG>(format_.size());
    type_.pbFormat = format_.empty() ? nullptr : format_.data();
}

HRESULT CStreamConfig::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IWMStreamConfig))) {
        *object = static_cast<IWMStreamConfig*>(this);
    } else if (IsEqualIID(iid, __uuidof(IWMMediaProps)) || IsEqualIID(iid, __uuidof(IWMVideoMediaProps))) {
        *object = static_cast<IWMVideoMediaProps*>(this);
    } else if (IsEqualIID(iid, __uuidof(IWMPropertyVault))) {
        *object = static_cast<IWMPropertyVault*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CStreamConfig::GetStreamType(GUID* type) {
    *type = streamType_;
    return S_OK;
}
HRESULT CStreamConfig::GetStreamNumber(WORD* number) {
    *number = number_;
    return S_OK;
}
HRESULT CStreamConfig::SetStreamNumber(WORD number) {
    number_ = number;
    return S_OK;
}
HRESULT CStreamConfig::GetStreamName(WCHAR* name, WORD* length) { return CopyName(name_, name, length); }
HRESULT CStreamConfig::SetStreamName(LPCWSTR name) {
    name_ = name != nullptr ? name : L"";
    return S_OK;
}
HRESULT CStreamConfig::GetConnectionName(WCHAR* name, WORD* length) { return CopyName(connection_, name, length); }
HRESULT CStreamConfig::SetConnectionName(LPCWSTR name) {
    connection_ = name != nullptr ? name : L"";
    return S_OK;
}
HRESULT CStreamConfig::GetBitrate(DWORD* bitrate) {
    *bitrate = bitrate_;
    return S_OK;
}
HRESULT CStreamConfig::SetBitrate(DWORD bitrate) {
    bitrate_ = bitrate;
    return S_OK;
}
HRESULT CStreamConfig::GetBufferWindow(DWORD* window) {
    *window = bufferWindow_;
    return S_OK;
}
HRESULT CStreamConfig::SetBufferWindow(DWORD window) {
    bufferWindow_ = window;
    return S_OK;
}

HRESULT CStreamConfig::GetType(GUID* type) {
    *type = type_.majortype;
    return S_OK;
}

HRESULT CStreamConfig::GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) {
    if (size == nullptr) return E_POINTER;
    const DWORD needed = static_cast<DWORD>(sizeof(WM_MEDIA_TYPE) + format_.size());
    if (type == nullptr) {
        *size = needed;
        return S_OK;
    }
    if (*size < needed) return kBufferTooSmall;
    *type = type_;
    BYTE* format = reinterpret_cast<BYTE*>(type) + sizeof(WM_MEDIA_TYPE);
    if (!format_.empty()) std::memcpy(format, format_.data(), format_.size());
    type->pbFormat = format_.empty() ? nullptr : format;
    *size = needed;
    return S_OK;
}

HRESULT CStreamConfig::SetMediaType(WM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    SetType(*type);
    return S_OK;
}

HRESULT CStreamConfig::GetMaxKeyFrameSpacing(LONGLONG* time) {
    *time = keyFrameSpacing_;
    return S_OK;
}
HRESULT CStreamConfig::SetMaxKeyFrameSpacing(LONGLONG time) {
    keyFrameSpacing_ = time;
    return S_OK;
}
HRESULT CStreamConfig::GetQuality(DWORD* quality) {
    *quality = quality_;
    return S_OK;
}
HRESULT CStreamConfig::SetQuality(DWORD quality) {
    quality_ = quality;
    return S_OK;
}

HRESULT CStreamConfig::GetPropertyCount(DWORD* count) {
    *count = static_cast<DWORD>(properties_.size());
    return S_OK;
}

HRESULT CStreamConfig::GetPropertyByName(const WCHAR* name, WMT_ATTR_DATATYPE* type, BYTE* value, DWORD* size) {
    auto found = properties_.find(name);
    if (found == properties_.end()) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    *type = found->second.type;
    const DWORD needed = static_cast<DWORD>(found->second.value.size());
    if (value != nullptr) {
        if (*size < needed) return kBufferTooSmall;
        std::memcpy(value, found->second.value.data(), needed);
    }
    *size = needed;
    return S_OK;
}

HRESULT CStreamConfig::SetProperty(const WCHAR* name, WMT_ATTR_DATATYPE type, BYTE* value, DWORD size) {
    if (name == nullptr || (value == nullptr && size != 0)) return E_POINTER;
    properties_[name] = Property{type, std::vector<BYTE>(value, value + size)};
    return S_OK;
}

HRESULT CStreamConfig::GetPropertyByIndex(DWORD, WCHAR*, DWORD*, WMT_ATTR_DATATYPE*, BYTE*, DWORD*) { return E_NOTIMPL; }
HRESULT CStreamConfig::CopyPropertiesFrom(IWMPropertyVault*) { return E_NOTIMPL; }
HRESULT CStreamConfig::Clear() {
    properties_.clear();
    return S_OK;
}

}  // namespace standin
