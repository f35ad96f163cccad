#include "standins/wpd/CStandinUploadStream.h"

#include "platform/wpd/PortableDevice.h"
#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/CStandinValues.h"

#include <new>

namespace standin {

namespace {
const HRESULT kClosed = STG_E_REVERTED;
}

CStandinUploadStream::CStandinUploadStream(std::wstring device, IPortableDeviceValues* properties)
    : device_(std::move(device)) {
    properties->AddRef();
    properties_ = CScopedComPtr<IPortableDeviceValues>(properties);
}

HRESULT CStandinUploadStream::Create(const std::wstring& device, IPortableDeviceValues* properties,
                                     IStream** stream) {
    CSimulatedPlayers& players = CSimulatedPlayers::Instance();
    ULONGLONG declared = 0;
    if (FAILED(properties->GetUnsignedLargeIntegerValue(WPD_OBJECT_SIZE, &declared))) return E_INVALIDARG;
    ULONGLONG free = 0;
    HRESULT hr = players.FreeSpace(device, &free);
    if (FAILED(hr)) return hr;
    // A player refuses an object that its storage cannot hold before any data moves.
    if (declared > free) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    // Just as early it refuses one whose parent is gone or can hold no objects.
    LPWSTR parent = nullptr;
    hr = properties->GetStringValue(WPD_OBJECT_PARENT_ID, &parent);
    if (SUCCEEDED(hr)) hr = parent ? players.CheckParent(device, parent) : E_INVALIDARG;
    CoTaskMemFree(parent);
    if (FAILED(hr)) return hr;

    CScopedComPtr<IPortableDeviceValues> copy;
    hr = CStandinValues::Create(IID_IPortableDeviceValues, reinterpret_cast<void**>(copy.Receive()));
    if (FAILED(hr)) return hr;
    hr = CStandinValues::CopyAll(properties, copy.Get());
    if (FAILED(hr)) return hr;
    CStandinUploadStream* upload = new (std::nothrow) CStandinUploadStream(device, copy.Get());
    if (!upload) return E_OUTOFMEMORY;
    upload->declaredSize_ = declared;
    hr = players.NewDataFile(device, &upload->dataPath_);
    if (SUCCEEDED(hr)) {
        upload->data_ = CreateFileW(upload->dataPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (upload->data_ == INVALID_HANDLE_VALUE) hr = HRESULT_FROM_WIN32(GetLastError());
    }
    if (FAILED(hr)) {
        upload->Release();
        return hr;
    }
    *stream = static_cast<IPortableDeviceDataStream*>(upload);
    return S_OK;
}

CStandinUploadStream::~CStandinUploadStream() { Discard(); }

void CStandinUploadStream::Discard() {
    if (data_ != INVALID_HANDLE_VALUE) {
        CloseHandle(data_);
        data_ = INVALID_HANDLE_VALUE;
        DeleteFileW(dataPath_.c_str());
    }
}

HRESULT CStandinUploadStream::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISequentialStream) || IsEqualIID(iid, IID_IStream) ||
        IsEqualIID(iid, IID_IPortableDeviceDataStream)) {
        *result = static_cast<IPortableDeviceDataStream*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

// The stream of a new object only takes data.
HRESULT CStandinUploadStream::Read(void*, ULONG, ULONG* read) {
    if (read) *read = 0;
    return STG_E_ACCESSDENIED;
}

HRESULT CStandinUploadStream::Write(const void* buffer, ULONG size, ULONG* written) {
    if (written) *written = 0;
    if (!buffer && size) return STG_E_INVALIDPOINTER;
    if (data_ == INVALID_HANDLE_VALUE) return kClosed;
    HRESULT failure = S_OK;
    if (CSimulatedPlayers::Instance().TakeFault(Fault::Write, &failure)) return failure;
    ULONGLONG free = 0;
    HRESULT hr = CSimulatedPlayers::Instance().FreeSpace(device_, &free);
    if (FAILED(hr)) return hr;
    if (written_ + size > free) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    DWORD done = 0;
    if (!WriteFile(data_, buffer, size, &done, nullptr)) return HRESULT_FROM_WIN32(GetLastError());
    written_ += done;
    if (written) *written = done;
    return S_OK;
}

HRESULT CStandinUploadStream::Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) { return STG_E_INVALIDFUNCTION; }
HRESULT CStandinUploadStream::SetSize(ULARGE_INTEGER) { return STG_E_INVALIDFUNCTION; }
HRESULT CStandinUploadStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT CStandinUploadStream::Commit(DWORD) {
    if (data_ == INVALID_HANDLE_VALUE) return kClosed;
    HRESULT failure = S_OK;
    if (CSimulatedPlayers::Instance().TakeFault(Fault::Commit, &failure)) {
        Discard();
        return failure;
    }
    CloseHandle(data_);
    data_ = INVALID_HANDLE_VALUE;
    // A player takes an object only with all the bytes that were announced for it.
    if (written_ != declaredSize_) {
        DeleteFileW(dataPath_.c_str());
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    }
    // The file written is the object's data from now on: committing moves no bytes.
    HRESULT hr = CSimulatedPlayers::Instance().CreateObject(device_, properties_.Get(), dataPath_, written_, &objectId_);
    if (FAILED(hr)) DeleteFileW(dataPath_.c_str());
    return hr;
}

HRESULT CStandinUploadStream::Revert() {
    Discard();
    return S_OK;
}

HRESULT CStandinUploadStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
HRESULT CStandinUploadStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT CStandinUploadStream::Stat(STATSTG* stat, DWORD) {
    if (!stat) return STG_E_INVALIDPOINTER;
    ZeroMemory(stat, sizeof(*stat));
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = written_;
    stat->grfMode = STGM_WRITE;
    return S_OK;
}

HRESULT CStandinUploadStream::Clone(IStream**) { return STG_E_INVALIDFUNCTION; }

HRESULT CStandinUploadStream::GetObjectID(LPWSTR* objectId) {
    if (!objectId) return E_POINTER;
    *objectId = nullptr;
    if (objectId_.empty()) return E_UNEXPECTED;
    *objectId = TaskString(objectId_.c_str());
    return *objectId ? S_OK : E_OUTOFMEMORY;
}

HRESULT CStandinUploadStream::Cancel() {
    Discard();
    return S_OK;
}

}  // namespace standin
