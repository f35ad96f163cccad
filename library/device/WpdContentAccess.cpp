#include "library/device/WpdContentAccess.h"

#include "library/device/WpdClassCache.h"
#include "platform/wpd/PortableDevice.h"

namespace {

HRESULT CreateValues(CScopedComPtr<IPortableDeviceValues>* values) {
    return CWpdClassCache::Create(CLSID_PortableDeviceValues, IID_IPortableDeviceValues,
                                  reinterpret_cast<void**>(values->Receive()));
}

}  // namespace

CWpdContentAccess::CWpdContentAccess(IPortableDevice* device, CCriticalSection& deviceLock) : deviceLock_(deviceLock) {
    if (!device) return;
    CScopedLock lock(deviceLock_);
    status_ = device->Content(content_.Receive());
    if (SUCCEEDED(status_)) status_ = content_->Properties(properties_.Receive());
}

HRESULT CWpdContentAccess::ReadValues(const std::wstring& objectId, REFPROPERTYKEY key,
                                      CScopedComPtr<IPortableDeviceValues>* values) {
    if (FAILED(status_)) return status_;
    HRESULT hr = S_OK;
    if (!readKeys_.Get()) {
        hr = CWpdClassCache::Create(CLSID_PortableDeviceKeyCollection, IID_IPortableDeviceKeyCollection,
                                    reinterpret_cast<void**>(readKeys_.Receive()));
    } else {
        hr = readKeys_->Clear();
    }
    if (SUCCEEDED(hr)) hr = readKeys_->Add(key);
    if (FAILED(hr)) return hr;
    CScopedLock lock(deviceLock_);
    return properties_->GetValues(objectId.c_str(), readKeys_.Get(), values->Receive());
}

bool CWpdContentAccess::ReadString(const std::wstring& objectId, REFPROPERTYKEY key, std::wstring* value) {
    CScopedComPtr<IPortableDeviceValues> values;
    if (FAILED(ReadValues(objectId, key, &values))) return false;
    LPWSTR text = nullptr;
    if (FAILED(values->GetStringValue(key, &text)) || !text) return false;
    value->assign(text);
    CoTaskMemFree(text);
    return true;
}

bool CWpdContentAccess::ReadGuid(const std::wstring& objectId, REFPROPERTYKEY key, GUID* value) {
    CScopedComPtr<IPortableDeviceValues> values;
    if (FAILED(ReadValues(objectId, key, &values))) return false;
    return SUCCEEDED(values->GetGuidValue(key, value));
}

bool CWpdContentAccess::ReadUInt64(const std::wstring& objectId, REFPROPERTYKEY key, uint64_t* value) {
    CScopedComPtr<IPortableDeviceValues> values;
    if (FAILED(ReadValues(objectId, key, &values))) return false;
    ULONGLONG number = 0;
    if (FAILED(values->GetUnsignedLargeIntegerValue(key, &number))) return false;
    *value = number;
    return true;
}

bool CWpdContentAccess::ForEachChild(const std::wstring& parentId, ULONG batch,
                                     const std::function<bool(const std::wstring&)>& visit) {
    if (FAILED(status_) || parentId.empty()) return false;
    CScopedComPtr<IEnumPortableDeviceObjectIDs> children;
    {
        CScopedLock lock(deviceLock_);
        if (FAILED(content_->EnumObjects(0, parentId.c_str(), nullptr, children.Receive()))) return false;
    }
    LPWSTR ids[10] = {};
    if (batch > 10) batch = 10;
    for (;;) {
        ULONG fetched = 0;
        HRESULT hr;
        {
            CScopedLock lock(deviceLock_);
            hr = children->Next(batch, ids, &fetched);
        }
        if (FAILED(hr)) return false;
        bool keepGoing = true;
        for (ULONG i = 0; i < fetched; ++i) {
            // Each id is freed as soon as it has been used, also when the walk stops here.
            std::wstring id = ids[i];
            CoTaskMemFree(ids[i]);
            if (keepGoing) keepGoing = visit(id);
        }
        if (!keepGoing) return false;
        if (hr != S_OK || fetched == 0) return true;
    }
}

bool CWpdContentAccess::FindChild(const std::wstring& parentId, const std::wstring& name, bool ignoreCase,
                                  std::wstring* childId) {
    bool found = false;
    ForEachChild(parentId, 10, [&](const std::wstring& id) {
        std::wstring childName;
        if (!ReadString(id, WPD_OBJECT_ORIGINAL_FILE_NAME, &childName)) return true;
        bool same = ignoreCase ? CompareStringOrdinal(childName.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL
                               : childName == name;
        if (!same) return true;
        *childId = id;
        found = true;
        return false;
    });
    return found;
}

HRESULT CWpdContentAccess::CreateFolder(const std::wstring& parentId, const std::wstring& name,
                                        std::wstring* folderId) {
    if (FAILED(status_)) return status_;
    CScopedComPtr<IPortableDeviceValues> values;
    HRESULT hr = CreateValues(&values);
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_PARENT_ID, parentId.c_str());
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_NAME, name.c_str());
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, name.c_str());
    if (SUCCEEDED(hr)) hr = values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_FOLDER);
    if (SUCCEEDED(hr)) hr = values->SetBoolValue(WPD_OBJECT_ISHIDDEN, FALSE);
    if (FAILED(hr)) return hr;
    LPWSTR id = nullptr;
    {
        CScopedLock lock(deviceLock_);
        hr = content_->CreateObjectWithPropertiesOnly(values.Get(), &id);
    }
    if (SUCCEEDED(hr) && id) folderId->assign(id);
    CoTaskMemFree(id);
    return hr;
}

HRESULT CWpdContentAccess::Rename(const std::wstring& objectId, const std::wstring& newName) {
    if (FAILED(status_)) return status_;
    CScopedComPtr<IPortableDeviceValues> values;
    HRESULT hr = CreateValues(&values);
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, newName.c_str());
    if (FAILED(hr)) return hr;
    CScopedComPtr<IPortableDeviceValues> results;
    CScopedLock lock(deviceLock_);
    return properties_->SetValues(objectId.c_str(), values.Get(), results.Receive());
}

HRESULT CWpdContentAccess::Delete(const std::wstring& objectId) {
    if (FAILED(status_)) return status_;
    CScopedComPtr<IPortableDevicePropVariantCollection> ids;
    HRESULT hr = CWpdClassCache::Create(CLSID_PortableDevicePropVariantCollection,
                                        IID_IPortableDevicePropVariantCollection, reinterpret_cast<void**>(ids.Receive()));
    if (FAILED(hr)) return hr;
    PROPVARIANT id;
    PropVariantInit(&id);
    id.vt = VT_LPWSTR;
    id.pwszVal = const_cast<LPWSTR>(objectId.c_str());
    hr = ids->Add(&id);  // the collection keeps its own copy
    if (FAILED(hr)) return hr;
    CScopedLock lock(deviceLock_);
    return content_->Delete(PORTABLE_DEVICE_DELETE_NO_RECURSION, ids.Get(), nullptr);
}

HRESULT CWpdContentAccess::OpenData(const std::wstring& objectId, IStream** stream, DWORD* optimalBufferSize) {
    if (FAILED(status_)) return status_;
    CScopedComPtr<IPortableDeviceResources> resources;
    CScopedLock lock(deviceLock_);
    HRESULT hr = content_->Transfer(resources.Receive());
    if (FAILED(hr)) return hr;
    return resources->GetStream(objectId.c_str(), WPD_RESOURCE_DEFAULT, STGM_READ, optimalBufferSize, stream);
}
