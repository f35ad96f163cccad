#include "standins/wpd/CSimulatedPlayers.h"

#include "platform/wpd/PortableDevice.h"
#include "standins/wpd/CStandinValues.h"

#include <algorithm>

namespace standin {

namespace {

const wchar_t kStoreFolderName[] = L".standin";
const int kMaxImportDepth = 32;
const HRESULT kNoSuchObject = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
const HRESULT kNotConnected = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);

class CLock {
public:
    explicit CLock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~CLock() { LeaveCriticalSection(&section_); }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

CScopedComPtr<IPortableDeviceValues> NewValues() {
    CScopedComPtr<IPortableDeviceValues> values;
    CStandinValues::Create(IID_IPortableDeviceValues, reinterpret_cast<void**>(values.Receive()));
    return values;
}

std::wstring StringValue(IPortableDeviceValues* values, REFPROPERTYKEY key) {
    LPWSTR text = nullptr;
    if (FAILED(values->GetStringValue(key, &text)) || !text) return std::wstring();
    std::wstring result(text);
    CoTaskMemFree(text);
    return result;
}

bool IsContainerType(IPortableDeviceValues* values) {
    GUID type = GUID_NULL;
    if (FAILED(values->GetGuidValue(WPD_OBJECT_CONTENT_TYPE, &type))) return false;
    return IsEqualGUID(type, WPD_CONTENT_TYPE_FOLDER) || IsEqualGUID(type, WPD_CONTENT_TYPE_FUNCTIONAL_OBJECT);
}

ULONGLONG FileSize(const WIN32_FIND_DATAW& data) {
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

CSimulatedPlayers& CSimulatedPlayers::Instance() {
    static CSimulatedPlayers players;
    return players;
}

CSimulatedPlayers::CSimulatedPlayers() { InitializeCriticalSection(&lock_); }
CSimulatedPlayers::~CSimulatedPlayers() { DeleteCriticalSection(&lock_); }

std::wstring CSimulatedPlayers::StoreFolder(const SimDevice& device) const {
    return device.config.folder + L"\\" + kStoreFolderName;
}

HRESULT CSimulatedPlayers::Attach(const SimDeviceConfig& config) {
    if (config.id.empty() || config.folder.empty()) return E_INVALIDARG;
    CLock lock(lock_);
    auto found = devices_.find(config.id);
    if (found != devices_.end()) {
        if (!found->second.attached) order_.push_back(config.id);
        found->second.attached = true;
        return S_OK;
    }
    SimDevice device;
    device.config = config;
    HRESULT hr = Populate(device);
    if (FAILED(hr)) return hr;
    device.attached = true;
    devices_[config.id] = std::move(device);
    order_.push_back(config.id);
    return S_OK;
}

HRESULT CSimulatedPlayers::Detach(const std::wstring& id) {
    CLock lock(lock_);
    auto found = devices_.find(id);
    if (found == devices_.end() || !found->second.attached) return S_FALSE;
    found->second.attached = false;
    order_.erase(std::remove(order_.begin(), order_.end(), id), order_.end());
    return S_OK;
}

void CSimulatedPlayers::Reset() {
    CLock lock(lock_);
    devices_.clear();
    order_.clear();
    for (ArmedFault& fault : faults_) fault = ArmedFault();
}

void CSimulatedPlayers::ArmFault(Fault fault, LONG nthCall, HRESULT failure) {
    CLock lock(lock_);
    faults_[static_cast<int>(fault)] = ArmedFault{nthCall, failure};
}

bool CSimulatedPlayers::TakeFault(Fault fault, HRESULT* failure) {
    CLock lock(lock_);
    ArmedFault& armed = faults_[static_cast<int>(fault)];
    if (armed.remaining <= 0) return false;
    if (--armed.remaining > 0) return false;
    *failure = armed.failure;
    return true;
}

HRESULT CSimulatedPlayers::SetVendor(const std::wstring& id, const SimVendorConfig& vendor) {
    CLock lock(lock_);
    SimDevice* device = Attached(id);
    if (!device) return kNotConnected;
    device->vendor = vendor;
    return S_OK;
}

bool CSimulatedPlayers::Vendor(const std::wstring& id, SimVendorConfig* vendor) {
    CLock lock(lock_);
    SimDevice* device = Attached(id);
    if (!device) return false;
    *vendor = device->vendor;
    return true;
}

void CSimulatedPlayers::RecordOperation(const std::wstring& id, const SimOperation& operation) {
    CLock lock(lock_);
    if (SimDevice* device = Attached(id)) device->operations.push_back(operation);
}

std::vector<SimOperation> CSimulatedPlayers::Operations(const std::wstring& id) {
    CLock lock(lock_);
    auto found = devices_.find(id);
    return found == devices_.end() ? std::vector<SimOperation>() : found->second.operations;
}

std::vector<std::wstring> CSimulatedPlayers::AttachedIds() {
    CLock lock(lock_);
    return order_;
}

bool CSimulatedPlayers::IsAttached(const std::wstring& id) {
    CLock lock(lock_);
    return Attached(id) != nullptr;
}

bool CSimulatedPlayers::DeviceText(const std::wstring& id, Text which, std::wstring* text) {
    CLock lock(lock_);
    SimDevice* device = Attached(id);
    if (!device) return false;
    switch (which) {
        case Text::FriendlyName: *text = device->config.friendlyName; break;
        case Text::Description: *text = device->config.description; break;
        case Text::Manufacturer: *text = device->config.manufacturer; break;
    }
    return true;
}

CSimulatedPlayers::SimDevice* CSimulatedPlayers::Attached(const std::wstring& id) {
    auto found = devices_.find(id);
    if (found == devices_.end() || !found->second.attached) return nullptr;
    return &found->second;
}

CSimulatedPlayers::SimObject* CSimulatedPlayers::Object(SimDevice& device, const std::wstring& id) {
    auto found = device.objects.find(id);
    return found == device.objects.end() ? nullptr : &found->second;
}

std::wstring CSimulatedPlayers::AddObject(SimDevice& device, const std::wstring& parentId,
                                          IPortableDeviceValues* properties, bool container) {
    wchar_t id[16];
    wsprintfW(id, L"o%X", device.nextId++);
    properties->SetStringValue(WPD_OBJECT_ID, id);
    properties->SetStringValue(WPD_OBJECT_PARENT_ID, parentId.c_str());
    SimObject object;
    object.parent = parentId;
    properties->AddRef();
    object.properties = CScopedComPtr<IPortableDeviceValues>(properties);
    object.container = container;
    device.objects[id] = std::move(object);
    if (SimObject* parent = Object(device, parentId)) parent->children.push_back(id);
    return id;
}

HRESULT CSimulatedPlayers::Populate(SimDevice& device) {
    CScopedComPtr<IPortableDeviceValues> root = NewValues();
    CScopedComPtr<IPortableDeviceValues> storage = NewValues();
    if (!root.Get() || !storage.Get()) return E_OUTOFMEMORY;
    const SimDeviceConfig& config = device.config;
    root->SetStringValue(WPD_OBJECT_ID, WPD_DEVICE_OBJECT_ID);
    root->SetStringValue(WPD_OBJECT_NAME, config.friendlyName.c_str());
    root->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_FUNCTIONAL_OBJECT);
    root->SetStringValue(WPD_DEVICE_PROTOCOL, config.protocol.c_str());
    root->SetStringValue(WPD_DEVICE_MANUFACTURER, config.manufacturer.c_str());
    root->SetStringValue(WPD_DEVICE_MODEL, config.description.c_str());
    root->SetStringValue(WPD_DEVICE_FRIENDLY_NAME, config.friendlyName.c_str());
    SimObject rootObject;
    root->AddRef();
    rootObject.properties = CScopedComPtr<IPortableDeviceValues>(root.Get());
    rootObject.container = true;
    device.objects[WPD_DEVICE_OBJECT_ID] = std::move(rootObject);

    storage->SetStringValue(WPD_OBJECT_NAME, config.storageName.c_str());
    storage->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_FUNCTIONAL_OBJECT);
    storage->SetGuidValue(WPD_FUNCTIONAL_OBJECT_CATEGORY, WPD_FUNCTIONAL_CATEGORY_STORAGE);
    storage->SetUnsignedLargeIntegerValue(WPD_STORAGE_CAPACITY, config.capacity);
    storage->SetStringValue(WPD_STORAGE_DESCRIPTION, config.storageName.c_str());
    device.storageId = AddObject(device, WPD_DEVICE_OBJECT_ID, storage.Get(), true);

    if (!CreateDirectoryW(StoreFolder(device).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return ImportFolder(device, device.storageId, config.folder, 0);
}

// Files already in the player's folder become objects of the storage, folders folder objects.
HRESULT CSimulatedPlayers::ImportFolder(SimDevice& device, const std::wstring& parentId,
                                        const std::wstring& folder, int depth) {
    if (depth > kMaxImportDepth) return S_OK;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(error);
    }
    HRESULT hr = S_OK;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || (depth == 0 && name == kStoreFolderName)) continue;
        CScopedComPtr<IPortableDeviceValues> properties = NewValues();
        if (!properties.Get()) {
            hr = E_OUTOFMEMORY;
            break;
        }
        properties->SetStringValue(WPD_OBJECT_NAME, name.c_str());
        properties->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, name.c_str());
        bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder) {
            properties->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_FOLDER);
            properties->SetGuidValue(WPD_OBJECT_FORMAT, WPD_OBJECT_FORMAT_PROPERTIES_ONLY);
            properties->SetUnsignedLargeIntegerValue(WPD_OBJECT_SIZE, 0);
            std::wstring id = AddObject(device, parentId, properties.Get(), true);
            hr = ImportFolder(device, id, folder + L"\\" + name, depth + 1);
            if (FAILED(hr)) break;
        } else {
            ULONGLONG size = FileSize(data);
            properties->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_GENERIC_FILE);
            properties->SetGuidValue(WPD_OBJECT_FORMAT, WPD_OBJECT_FORMAT_UNSPECIFIED);
            properties->SetUnsignedLargeIntegerValue(WPD_OBJECT_SIZE, size);
            std::wstring id = AddObject(device, parentId, properties.Get(), false);
            SimObject* object = Object(device, id);
            object->dataPath = folder + L"\\" + name;
            object->size = size;
            device.used += size;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return hr;
}

ULONGLONG CSimulatedPlayers::FreeBytes(const SimDevice& device) {
    if (faults_[static_cast<int>(Fault::DiskFull)].remaining > 0) return 0;
    return device.used >= device.config.capacity ? 0 : device.config.capacity - device.used;
}

HRESULT CSimulatedPlayers::Children(const std::wstring& deviceId, const std::wstring& parent,
                                    std::vector<std::wstring>* ids) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    SimObject* object = Object(*device, parent);
    if (!object) return kNoSuchObject;
    *ids = object->children;
    return S_OK;
}

HRESULT CSimulatedPlayers::GetValues(const std::wstring& deviceId, const std::wstring& objectId,
                                     IPortableDeviceKeyCollection* keys, IPortableDeviceValues** values) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    SimObject* object = Object(*device, objectId);
    if (!object) return kNoSuchObject;
    CScopedComPtr<IPortableDeviceValues> result = NewValues();
    if (!result.Get()) return E_OUTOFMEMORY;
    IPortableDeviceValues* stored = object->properties.Get();
    bool isStorage = objectId == device->storageId;
    if (isStorage) stored->SetUnsignedLargeIntegerValue(WPD_STORAGE_FREE_SPACE_IN_BYTES, FreeBytes(*device));

    HRESULT hr = S_OK;
    DWORD count = 0;
    if (keys) {
        keys->GetCount(&count);
        for (DWORD i = 0; i < count; ++i) {
            PROPERTYKEY key;
            if (FAILED(keys->GetAt(i, &key))) continue;
            PROPVARIANT value;
            PropVariantInit(&value);
            if (SUCCEEDED(stored->GetValue(key, &value))) {
                result->SetValue(key, &value);
            } else {
                result->SetErrorValue(key, HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED));
                hr = S_FALSE;
            }
            PropVariantClear(&value);
        }
    } else {
        stored->GetCount(&count);
        for (DWORD i = 0; i < count; ++i) {
            PROPERTYKEY key;
            PROPVARIANT value;
            PropVariantInit(&value);
            if (SUCCEEDED(stored->GetAt(i, &key, &value))) result->SetValue(key, &value);
            PropVariantClear(&value);
        }
    }
    *values = result.Detach();
    return hr;
}

HRESULT CSimulatedPlayers::SetValues(const std::wstring& deviceId, const std::wstring& objectId,
                                     IPortableDeviceValues* values, IPortableDeviceValues** results) {
    HRESULT failure = S_OK;
    if (TakeFault(Fault::Rename, &failure)) return failure;
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    SimObject* object = Object(*device, objectId);
    if (!object || objectId == WPD_DEVICE_OBJECT_ID) return kNoSuchObject;
    CScopedComPtr<IPortableDeviceValues> outcome = NewValues();
    DWORD count = 0;
    values->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        PROPERTYKEY key;
        PROPVARIANT value;
        PropVariantInit(&value);
        if (FAILED(values->GetAt(i, &key, &value))) continue;
        // Identity, place and size belong to the device.
        bool readOnly = IsSamePropertyKey(key, WPD_OBJECT_ID) || IsSamePropertyKey(key, WPD_OBJECT_PARENT_ID) ||
                        IsSamePropertyKey(key, WPD_OBJECT_SIZE);
        HRESULT hr = readOnly ? E_ACCESSDENIED : object->properties->SetValue(key, &value);
        if (outcome.Get()) outcome->SetErrorValue(key, hr);
        PropVariantClear(&value);
    }
    if (results) *results = outcome.Detach();
    return S_OK;
}

bool CSimulatedPlayers::CanHoldChildren(SimDevice& device, const std::wstring& parentId) {
    SimObject* parent = Object(device, parentId);
    return parent && parent->container && parentId != WPD_DEVICE_OBJECT_ID;
}

HRESULT CSimulatedPlayers::CheckParent(const std::wstring& deviceId, const std::wstring& parentId) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    return CanHoldChildren(*device, parentId) ? S_OK : E_INVALIDARG;
}

HRESULT CSimulatedPlayers::CreateObject(const std::wstring& deviceId, IPortableDeviceValues* values,
                                        const std::wstring& dataFile, ULONGLONG dataSize, std::wstring* objectId) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    std::wstring parentId = StringValue(values, WPD_OBJECT_PARENT_ID);
    if (!CanHoldChildren(*device, parentId)) return E_INVALIDARG;

    CScopedComPtr<IPortableDeviceValues> properties = NewValues();
    if (!properties.Get()) return E_OUTOFMEMORY;
    HRESULT copied = CStandinValues::CopyAll(values, properties.Get());
    if (FAILED(copied)) return copied;
    // Creation options steer the transfer; they are no property of the object.
    properties->RemoveValue(WPD_API_OPTION_USE_CLEAR_DATA_STREAM);
    if (StringValue(properties.Get(), WPD_OBJECT_NAME).empty()) {
        properties->SetStringValue(WPD_OBJECT_NAME, StringValue(properties.Get(), WPD_OBJECT_ORIGINAL_FILE_NAME).c_str());
    }
    const ULONGLONG size = dataFile.empty() ? 0 : dataSize;
    if (size > FreeBytes(*device)) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    properties->SetUnsignedLargeIntegerValue(WPD_OBJECT_SIZE, size);
    bool container = IsContainerType(properties.Get());
    std::wstring id = AddObject(*device, parentId, properties.Get(), container);
    if (!dataFile.empty()) {
        SimObject* object = Object(*device, id);
        object->dataPath = dataFile;
        object->size = size;
        device->used += size;
    }
    *objectId = id;
    return S_OK;
}

void CSimulatedPlayers::RemoveTree(SimDevice& device, const std::wstring& id) {
    SimObject* object = Object(device, id);
    if (!object) return;
    std::vector<std::wstring> children = object->children;
    for (const std::wstring& child : children) RemoveTree(device, child);
    object = Object(device, id);
    if (!object->dataPath.empty()) {
        DeleteFileW(object->dataPath.c_str());
        device.used -= std::min(device.used, object->size);
    }
    if (SimObject* parent = Object(device, object->parent)) {
        parent->children.erase(std::remove(parent->children.begin(), parent->children.end(), id),
                               parent->children.end());
    }
    device.objects.erase(id);
}

HRESULT CSimulatedPlayers::Delete(const std::wstring& deviceId, const std::wstring& objectId, bool recursive) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    SimObject* object = Object(*device, objectId);
    if (!object) return kNoSuchObject;
    if (objectId == WPD_DEVICE_OBJECT_ID || objectId == device->storageId) return E_ACCESSDENIED;
    if (!object->children.empty() && !recursive) return HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY);
    RemoveTree(*device, objectId);
    return S_OK;
}

HRESULT CSimulatedPlayers::DataFile(const std::wstring& deviceId, const std::wstring& objectId, std::wstring* path) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    SimObject* object = Object(*device, objectId);
    if (!object) return kNoSuchObject;
    if (object->dataPath.empty()) return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
    *path = object->dataPath;
    return S_OK;
}

HRESULT CSimulatedPlayers::FreeSpace(const std::wstring& deviceId, ULONGLONG* bytes) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    *bytes = FreeBytes(*device);
    return S_OK;
}

HRESULT CSimulatedPlayers::NewDataFile(const std::wstring& deviceId, std::wstring* path) {
    CLock lock(lock_);
    SimDevice* device = Attached(deviceId);
    if (!device) return kNotConnected;
    wchar_t name[32];
    wsprintfW(name, L"\\data%u.dat", device->nextDataFile++);
    *path = StoreFolder(*device) + name;
    return S_OK;
}

}  // namespace standin
