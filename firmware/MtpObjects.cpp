#include "firmware/MtpObjects.h"

#include <shlwapi.h>

#include <memory>
#include <new>
#include <vector>

#include "firmware/DebugLog.h"
#include "firmware/DeviceInfoReply.h"
#include "library/device/WpdClassCache.h"
#include "library/util/ScopedWin.h"
#include "platform/wpd/PortableDevice.h"

namespace {

// Block size when the device suggests none.
constexpr DWORD kDefaultTransferSize = 256 * 1024;

// The size of a stream at its start, which it is left at. A seek to the end asks only for the size;
// Stat gathers times and the volume's identity as well, which on some systems costs as much as
// copying megabytes.
HRESULT StreamSize(IStream* stream, ULARGE_INTEGER* size) {
    const LARGE_INTEGER zero = {};
    HRESULT hr = stream->Seek(zero, STREAM_SEEK_END, size);
    const HRESULT rewound = stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return FAILED(hr) ? hr : rewound;
}

}  // namespace

HRESULT OpenMtpDevice(const wchar_t* deviceId, CScopedComPtr<IPortableDevice>* device) {
    CScopedComPtr<IPortableDeviceValues> clientInfo;
    HRESULT hr = CWpdClassCache::Create(CLSID_PortableDevice, IID_IPortableDevice,
                                        reinterpret_cast<void**>(device->Receive()));
    if (SUCCEEDED(hr)) {
        hr = CWpdClassCache::Create(CLSID_PortableDeviceValues, IID_IPortableDeviceValues,
                                    reinterpret_cast<void**>(clientInfo.Receive()));
    }
    if (SUCCEEDED(hr)) hr = clientInfo->SetUnsignedIntegerValue(WPD_CLIENT_DESIRED_ACCESS, GENERIC_READ | GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = (*device)->Open(deviceId, clientInfo.Get());
    if (FAILED(hr)) device->Reset();
    return hr;
}

HRESULT FindDeviceRootObject(CWpdContentAccess& access, std::wstring* storageId) {
    storageId->clear();
    access.ForEachChild(WPD_DEVICE_OBJECT_ID, 10, [&](const std::wstring& id) {
        GUID category = GUID_NULL;
        if (access.ReadGuid(id, WPD_FUNCTIONAL_OBJECT_CATEGORY, &category) &&
            IsEqualGUID(category, WPD_FUNCTIONAL_CATEGORY_STORAGE)) {
            *storageId = id;
        }
        return true;
    });
    return storageId->empty() ? E_FAIL : S_OK;
}

HRESULT CreateFolderPath(CWpdContentAccess& access, const std::wstring& path, const std::wstring& startId,
                         bool create, bool lastMustExist, std::wstring* parentId, std::wstring* foundId) {
    parentId->clear();
    foundId->clear();
    const std::vector<std::wstring> names = SplitIdentifier(path, L"\\");
    std::wstring current = startId;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool isLast = i + 1 == names.size();
        std::wstring child;
        if (access.FindChild(current, names[i], false, &child)) {
            if (isLast) {
                *foundId = child;
                break;
            }
            GUID type = GUID_NULL;
            if (!access.ReadGuid(child, WPD_OBJECT_CONTENT_TYPE, &type) || !IsEqualGUID(type, WPD_CONTENT_TYPE_FOLDER)) {
                return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
            }
            current = child;
            continue;
        }
        if (isLast) {
            if (lastMustExist) return E_INVALIDARG;
            break;
        }
        if (!create) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
        DebugLine(L"Creating New Folder");
        std::wstring folder;
        const HRESULT hr = access.CreateFolder(current, names[i], &folder);
        if (FAILED(hr)) return hr;
        current = folder;
    }
    *parentId = current;
    return S_OK;
}

HRESULT CheckStorageFreeSpace(CWpdContentAccess& access, const std::wstring& storageId, const wchar_t* firmwareFile) {
    uint64_t freeBytes = 0;
    if (!access.ReadUInt64(storageId, WPD_STORAGE_FREE_SPACE_IN_BYTES, &freeBytes)) return E_FAIL;
    CScopedHandle file(CreateFileW(firmwareFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size)) return E_FAIL;
    return static_cast<uint64_t>(size.QuadPart) < freeBytes ? S_OK : E_OUTOFMEMORY;
}

HRESULT WriteObjectProperties(IPortableDeviceValues* values, const std::wstring& parentId, IStream* data,
                              const std::wstring& fileName) {
    if (FAILED(values->SetStringValue(WPD_OBJECT_PARENT_ID, parentId.c_str()))) {
        DebugLine(L"! Failed to set WPD_OBJECT_PARENT_ID\r\n");
    }
    ULARGE_INTEGER size = {};
    if (FAILED(StreamSize(data, &size))) {
        DebugLine(L"! Failed to get file's total size");
    } else if (FAILED(values->SetUnsignedLargeIntegerValue(WPD_OBJECT_SIZE, size.QuadPart))) {
        DebugLine(L"! Failed to set WPD_OBJECT_SIZE");
    }
    if (FAILED(values->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, fileName.c_str()))) {
        DebugLine(L"! Failed to set WPD_OBJECT_ORIGINAL_FILE_NAME");
    }
    const std::wstring stem = fileName.substr(0, PathFindExtensionW(fileName.c_str()) - fileName.c_str());
    if (FAILED(values->SetStringValue(WPD_OBJECT_NAME, stem.c_str()))) DebugLine(L"! Failed to set WPD_OBJECT_NAME");
    return S_OK;
}

HRESULT CopyStreamToDevice(IStream* source, IStream* destination, DWORD bufferSize) {
    if (!source || !destination) {
        DebugLine(L"! A NULL IStream interface pointer was received\n");
        return E_INVALIDARG;
    }
    if (bufferSize == 0) bufferSize = kDefaultTransferSize;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[bufferSize]);
    if (!buffer) {
        DebugLine(L"! Failed to allocate x bytes for the temporary transfer buffer.\n");
        return E_OUTOFMEMORY;
    }
    for (;;) {
        ULONG read = 0;
        HRESULT hr = source->Read(buffer.get(), bufferSize, &read);
        if (FAILED(hr)) {
            DebugFormat(L"! Failed to read %d bytes from the source stream", static_cast<int>(bufferSize));
            return hr;
        }
        if (read == 0) return S_OK;
        ULONG written = 0;
        hr = destination->Write(buffer.get(), read, &written);
        if (FAILED(hr) || written != read) {
            DebugFormat(L"! Failed to write %d bytes of object data to the destination stream", static_cast<int>(read));
            return FAILED(hr) ? hr : E_FAIL;
        }
    }
}

HRESULT DeleteDeviceObject(CWpdContentAccess& access, const std::wstring& objectId) {
    const HRESULT hr = access.Delete(objectId);
    if (SUCCEEDED(hr)) {
        DebugLine(L"The object  was deleted from the device.\n");
    } else {
        DebugLine(L"! Failed to delete an object from the device");
    }
    return hr;
}
