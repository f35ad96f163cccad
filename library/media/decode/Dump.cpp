#include "library/media/decode/Dump.h"

#include <cwchar>
#include <new>

#include "library/media/decode/DumpFilter.h"
#include "library/media/decode/DumpInputPin.h"

namespace {
const size_t kMaxFileNameLength = 260;
}  // namespace

CDump* CDump::Create(IUnknown* outer, HRESULT* hr) {
    HRESULT result = S_OK;
    CDump* dump = new (std::nothrow) CDump(outer, &result);
    if (dump == nullptr) result = E_OUTOFMEMORY;
    if (hr != nullptr) *hr = result;
    return dump;
}

CDump::CDump(IUnknown* outer, HRESULT* hr) : CDsUnknown(outer) {
    filter_ = new (std::nothrow) CDumpFilter(this, GetOwner(), &lock_, hr);
    if (filter_ == nullptr) {
        *hr = E_OUTOFMEMORY;
        return;
    }
    pin_ = new (std::nothrow) CDumpInputPin(this, filter_, &lock_, &receiveLock_, hr);
    if (pin_ == nullptr) *hr = E_OUTOFMEMORY;
}

CDump::~CDump() {
    CloseFile();
    delete pin_;
    delete filter_;
    delete position_;
    delete[] fileName_;
}

HRESULT STDMETHODCALLTYPE CDump::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    CScopedLock lock(lock_);
    if (IsEqualIID(iid, IID_IFileSinkFilter)) return GetInterface(static_cast<IFileSinkFilter*>(this), object);
    if (IsEqualIID(iid, IID_IBaseFilter) || IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IPersist) ||
        IsEqualIID(iid, IID_IAMFilterMiscFlags)) {
        if (filter_ == nullptr) return E_NOINTERFACE;
        return filter_->NonDelegatingQueryInterface(iid, object);
    }
    if (IsEqualIID(iid, IID_IMediaPosition) || IsEqualIID(iid, IID_IMediaSeeking)) {
        if (position_ == nullptr) {
            if (pin_ == nullptr) return E_NOINTERFACE;
            position_ = new (std::nothrow) CDsPosPassThru(GetOwner(), pin_);
            if (position_ == nullptr) return E_OUTOFMEMORY;
        }
        return position_->NonDelegatingQueryInterface(iid, object);
    }
    return CDsUnknown::NonDelegatingQueryInterface(iid, object);
}

void CDump::SetReceiver(ISampleReceiver2* receiver) {
    CScopedLock lock(receiveLock_);
    receiver_ = receiver;
}

HRESULT STDMETHODCALLTYPE CDump::SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) {
    if (name == nullptr) return E_POINTER;
    const size_t length = wcslen(name);
    if (length > kMaxFileNameLength) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (copy == nullptr) return E_OUTOFMEMORY;
    wmemcpy(copy, name, length + 1);
    {
        CScopedLock lock(lock_);
        CloseFile();
        delete[] fileName_;
        fileName_ = copy;
    }
    writeError_ = false;
    const HRESULT hr = OpenFile();
    CloseFile();
    return hr;
}

HRESULT STDMETHODCALLTYPE CDump::GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* type) {
    if (name == nullptr) return E_POINTER;
    *name = nullptr;
    CScopedLock lock(lock_);
    if (fileName_ != nullptr) {
        const size_t bytes = (wcslen(fileName_) + 1) * sizeof(wchar_t);
        *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (*name != nullptr) memcpy(*name, fileName_, bytes);
    }
    if (type != nullptr) *type = AM_MEDIA_TYPE{};
    return S_OK;
}

HRESULT CDump::OpenFile() {
    if (file_ != INVALID_HANDLE_VALUE) return S_OK;
    if (fileName_ == nullptr) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    file_ = CreateFileW(fileName_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    return S_OK;
}

HRESULT CDump::CloseFile() {
    CScopedLock lock(lock_);
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    return S_OK;
}
