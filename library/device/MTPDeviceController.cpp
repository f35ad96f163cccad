#include "library/device/MTPDeviceController.h"

#include "library/device/QBTreeNode.h"
#include "library/device/WpdContentAccess.h"
#include "library/util/DataFolders.h"
#include "platform/wpd/PortableDevice.h"

#include <algorithm>

namespace {

const wchar_t kIconFileName[] = L"DevIcon.fil";

std::wstring FirstComponent(const std::wstring& path) { return path.substr(0, path.find(L'\\')); }

// A text the device manager gives in a caller's buffer; empty when it has none.
template <class Getter>
std::wstring ManagerText(Getter getter) {
    DWORD length = 0;
    if (FAILED(getter(nullptr, &length)) || length == 0) return std::wstring();
    std::wstring text(length, L'\0');
    if (FAILED(getter(&text[0], &length))) return std::wstring();
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

}  // namespace

CMTPDeviceController::CMTPDeviceController()
    : cancelEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), localDataFolder_(GetUserDataFolder()) {}

CMTPDeviceController::~CMTPDeviceController() { ReleaseConnection(false); }

void CMTPDeviceController::UninitializeCom() {
    ReleaseConnection(false);
    CoUninitialize();
}

void CMTPDeviceController::SetListener(IDevCtrlListener* listener) { listener_ = listener; }

void CMTPDeviceController::SetLocalDataFolder(const std::wstring& folder) {
    CScopedLock lock(stateLock_);
    localDataFolder_ = folder;
    if (!localDataFolder_.empty() && localDataFolder_.back() != L'\\') localDataFolder_ += L'\\';
}

CScopedComPtr<IPortableDevice> CMTPDeviceController::Connection() {
    CScopedLock lock(stateLock_);
    // Each caller holds its own reference, so a search that replaces the connection meanwhile
    // never pulls it from under a running write.
    if (device_.Get()) device_->AddRef();
    return CScopedComPtr<IPortableDevice>(device_.Get());
}

void CMTPDeviceController::ReleaseConnection(bool close) {
    CScopedComPtr<IPortableDevice> device;
    CScopedComPtr<IPortableDeviceValues> properties;
    {
        CScopedLock lock(stateLock_);
        device = std::move(device_);
        properties = std::move(uploadProperties_);
        folderPathIds_.clear();
        ++connectionGeneration_;
    }
    if (device.Get() && close) {
        CScopedLock lock(deviceLock_);
        device->Close();
    }
}

HRESULT CMTPDeviceController::UploadProperties(CScopedComPtr<IPortableDeviceValues>* values) {
    CScopedLock lock(stateLock_);
    HRESULT hr = S_OK;
    if (uploadProperties_.Get()) {
        hr = uploadProperties_->Clear();
    } else {
        hr = CoCreateInstance(CLSID_PortableDeviceValues, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDeviceValues,
                              reinterpret_cast<void**>(uploadProperties_.Receive()));
    }
    if (FAILED(hr)) return hr;
    uploadProperties_->AddRef();
    *values = CScopedComPtr<IPortableDeviceValues>(uploadProperties_.Get());
    return S_OK;
}

HRESULT CMTPDeviceController::CreateManager(CScopedComPtr<IPortableDeviceManager>* manager) {
    return CoCreateInstance(CLSID_PortableDeviceManager, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDeviceManager,
                            reinterpret_cast<void**>(manager->Receive()));
}

bool CMTPDeviceController::OpenAndTest(IPortableDeviceManager* manager, const std::wstring& id, bool leaveOpen,
                                       PlayerProbe* probe, CScopedComPtr<IPortableDevice>* opened) {
    if (id.empty() || !manager) return false;
    CScopedComPtr<IPortableDevice> device;
    HRESULT hr = CoCreateInstance(CLSID_PortableDevice, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDevice,
                                  reinterpret_cast<void**>(device.Receive()));
    CScopedComPtr<IPortableDeviceValues> clientInfo;
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(CLSID_PortableDeviceValues, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDeviceValues,
                              reinterpret_cast<void**>(clientInfo.Receive()));
    }
    if (SUCCEEDED(hr)) {
        CScopedLock lock(deviceLock_);
        hr = device->Open(id.c_str(), clientInfo.Get());
    }
    if (FAILED(hr)) return false;

    PlayerProbe found;
    bool isPlayer = false;
    {
        CWpdContentAccess access(device.Get(), deviceLock_);
        std::wstring protocol;
        if (access.ReadString(WPD_DEVICE_OBJECT_ID, WPD_DEVICE_PROTOCOL, &protocol) &&
            protocol.find(L"MTP") != std::wstring::npos) {
            access.ForEachChild(WPD_DEVICE_OBJECT_ID, 10, [&](const std::wstring& storage) {
                if (!access.FindChild(storage, kCapabilityFileName, false, &found.capabilityId)) return true;
                found.storageId = storage;
                access.FindChild(storage, kIconFileName, false, &found.iconId);
                isPlayer = true;
                return false;
            });
        }
    }
    if (isPlayer) {
        found.description = ManagerText([&](WCHAR* text, DWORD* length) {
            return manager->GetDeviceDescription(id.c_str(), text, length);
        });
        if (probe) *probe = found;
    }
    if (isPlayer && leaveOpen && opened) {
        *opened = std::move(device);
    } else {
        CScopedLock lock(deviceLock_);
        device->Close();
    }
    return isPlayer;
}

std::vector<std::wstring> CMTPDeviceController::ListPlayers(IPortableDeviceManager* manager) {
    std::vector<std::wstring> players;
    DWORD count = 0;
    if (FAILED(manager->GetDevices(nullptr, &count)) || count == 0) return players;
    std::vector<LPWSTR> ids(count, nullptr);
    if (FAILED(manager->GetDevices(ids.data(), &count))) count = 0;
    for (DWORD i = 0; i < count && i < ids.size(); ++i) {
        if (ids[i] && OpenAndTest(manager, ids[i], false, nullptr, nullptr)) players.push_back(ids[i]);
    }
    for (LPWSTR id : ids) CoTaskMemFree(id);
    return players;
}

int CMTPDeviceController::FindDevice() {
    CScopedComPtr<IPortableDeviceManager> manager;
    std::vector<std::wstring> players;
    if (SUCCEEDED(CreateManager(&manager))) players = ListPlayers(manager.Get());

    const uint32_t newCount = static_cast<uint32_t>(players.size());
    std::wstring chosen = GetDeviceId();
    const bool listed = std::find(players.begin(), players.end(), chosen) != players.end();
    const std::wstring first = players.empty() ? std::wstring() : players.front();
    int result;
    if (players.empty()) {
        chosen.clear();
        result = kNoDevice;
    } else if (chosen.empty()) {
        // Equal counts with nothing chosen keep the answer the callers know ("nothing changed").
        result = newCount == playerCount_ ? kDeviceKept : (playerCount_ < newCount ? kDeviceFound : kNoDevice);
        if (result == kDeviceFound) chosen = first;
    } else if (!listed) {
        // The chosen player is gone: another one takes its place even when the count is the same.
        chosen = first;
        result = kDeviceReplaced;
    } else {
        result = newCount > playerCount_ ? kDeviceKeptOthersPresent : kDeviceKept;
    }
    playerCount_ = newCount;

    bool reopen;
    {
        CScopedLock lock(stateLock_);
        deviceId_ = chosen;
        reopen = result == kDeviceFound || result == kDeviceReplaced || modified_;
        modified_ = false;
    }
    if (reopen && !chosen.empty()) {
        OpenChosenDevice(manager.Get());
    } else if (result == kNoDevice) {
        ReleaseConnection(true);
    }
    return result;
}

void CMTPDeviceController::OpenChosenDevice(IPortableDeviceManager* manager) {
    ReleaseConnection(true);
    const std::wstring id = GetDeviceId();
    PlayerProbe probe;
    CScopedComPtr<IPortableDevice> device;
    if (!OpenAndTest(manager, id, true, &probe, &device)) return;
    std::wstring friendlyName = ManagerText([&](WCHAR* text, DWORD* length) {
        return manager->GetDeviceFriendlyName(id.c_str(), text, length);
    });
    std::wstring storageName;
    uint64_t capacity = 0;
    {
        CWpdContentAccess access(device.Get(), deviceLock_);
        access.ReadString(probe.storageId, WPD_OBJECT_NAME, &storageName);
        access.ReadUInt64(probe.storageId, WPD_STORAGE_CAPACITY, &capacity);
    }
    CScopedLock lock(stateLock_);
    device_ = std::move(device);
    storageId_ = probe.storageId;
    capabilityId_ = probe.capabilityId;
    iconId_ = probe.iconId;
    description_ = probe.description;
    rootPath_ = friendlyName + L"\\" + storageName + L"\\";
    totalCapacity_ = capacity;
}

std::wstring CMTPDeviceController::GetDeviceId() {
    CScopedLock lock(stateLock_);
    return deviceId_;
}

void CMTPDeviceController::ClearDeviceId() {
    CScopedLock lock(stateLock_);
    deviceId_.clear();
}

std::wstring CMTPDeviceController::Folder(size_t index) {
    CScopedLock lock(stateLock_);
    return index < kFolderCount ? folderIds_[index] : std::wstring();
}

bool CMTPDeviceController::ResolvePath(CWpdContentAccess& access, const std::wstring& relativePath,
                                       std::wstring* objectId) {
    std::wstring current;
    {
        CScopedLock lock(stateLock_);
        current = storageId_;
    }
    if (relativePath.empty() || relativePath.front() == L'\\' || current.empty()) return false;
    size_t start = 0;
    while (start <= relativePath.size()) {
        size_t slash = relativePath.find(L'\\', start);
        std::wstring component = relativePath.substr(start, slash == std::wstring::npos ? std::wstring::npos
                                                                                         : slash - start);
        if (component.empty()) break;  // a trailing backslash names the folder itself
        if (!access.FindChild(current, component, false, &current)) return false;
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    *objectId = current;
    return true;
}

bool CMTPDeviceController::FileExists(std::wstring relativePath, std::wstring* fullPath) {
    CWpdContentAccess access(Connection().Get(), deviceLock_);
    std::wstring id;
    if (!ResolvePath(access, relativePath, &id)) return false;
    if (fullPath) *fullPath = id;
    return true;
}

BOOL CMTPDeviceController::DeleteContent(const std::wstring& path) {
    if (path.empty()) return FALSE;
    CWpdContentAccess access(Connection().Get(), deviceLock_);
    ForgetFolder(path);
    return SUCCEEDED(access.Delete(path));
}

uint64_t CMTPDeviceController::GetFreeSpace() {
    CScopedComPtr<IPortableDevice> device = Connection();
    if (!device.Get()) return 0;
    CWpdContentAccess access(device.Get(), deviceLock_);
    uint64_t free = 0;
    std::wstring storage;
    {
        CScopedLock lock(stateLock_);
        storage = storageId_;
    }
    return access.ReadUInt64(storage, WPD_STORAGE_FREE_SPACE_IN_BYTES, &free) ? free : 0;
}

uint64_t CMTPDeviceController::GetTotalSpace() {
    CScopedLock lock(stateLock_);
    return device_.Get() ? totalCapacity_ : 0;
}

std::wstring CMTPDeviceController::GetVolumeLabel() {
    CScopedLock lock(stateLock_);
    return description_;
}

std::wstring CMTPDeviceController::GetRootPath() {
    CScopedLock lock(stateLock_);
    return rootPath_;
}

std::wstring CMTPDeviceController::GetMediaRootFolder() {
    CScopedLock lock(stateLock_);
    return mediaRootFolder_;
}

bool CMTPDeviceController::SetFolderByName(const std::wstring& relativeFolder, size_t index, bool create,
                                           bool* created) {
    CScopedComPtr<IPortableDevice> device = Connection();
    if (!device.Get()) return false;
    CWpdContentAccess access(device.Get(), deviceLock_);
    std::wstring storage;
    {
        CScopedLock lock(stateLock_);
        storage = storageId_;
    }
    const std::wstring name = FirstComponent(relativeFolder);
    if (name.empty()) return false;
    std::wstring id;
    if (!access.FindChild(storage, name, true, &id)) {
        if (!create || FAILED(access.CreateFolder(storage, name, &id))) return false;
        if (created) *created = true;
    }
    CScopedLock lock(stateLock_);
    folderIds_[index] = id;
    return true;
}

bool CMTPDeviceController::CreateFolder(const std::wstring& relativeFolder) {
    if (!SetFolderByName(relativeFolder, 0, true)) return false;
    CWpdContentAccess access(Connection().Get(), deviceLock_);
    std::wstring name;
    if (!access.ReadString(Folder(0), WPD_OBJECT_ORIGINAL_FILE_NAME, &name)) name = FirstComponent(relativeFolder);
    CScopedLock lock(stateLock_);
    mediaRootFolder_ = name + L"\\";
    return true;
}

bool CMTPDeviceController::SetKind1Folder(const std::wstring& relativeFolder) {
    return SetFolderByName(relativeFolder, 1, false);
}
bool CMTPDeviceController::SetKind2Folder(const std::wstring& relativeFolder) {
    return SetFolderByName(relativeFolder, 2, false);
}
bool CMTPDeviceController::SetKind3Folder(const std::wstring& relativeFolder) {
    return SetFolderByName(relativeFolder, 3, false);
}

bool CMTPDeviceController::PrepareFolder(const std::wstring& name) {
    {
        CScopedLock lock(stateLock_);
        folderIds_[4].clear();
        playlistFolderName_ = name;
    }
    return SetFolderByName(name, 4, false);
}

bool CMTPDeviceController::CreateHiddenFolder(const std::wstring& relativeFolder) {
    return SetFolderByName(relativeFolder, 5, true);
}

void CMTPDeviceController::ReadCapabilityFile(void* buffer, DWORD* size) {
    if (!size) return;
    const DWORD wanted = *size;
    *size = 0;
    if (!buffer) return;
    CScopedComPtr<IPortableDevice> device = Connection();
    CWpdContentAccess access(device.Get(), deviceLock_);
    std::wstring capability;
    {
        CScopedLock lock(stateLock_);
        capability = capabilityId_;
    }
    uint64_t documentSize = 0;
    if (capability.empty() || !access.ReadUInt64(capability, WPD_OBJECT_SIZE, &documentSize)) return;
    if (documentSize != wanted) return;
    CScopedComPtr<IStream> stream;
    DWORD optimal = 0;
    if (FAILED(access.OpenData(capability, stream.Receive(), &optimal))) return;
    if (optimal == 0) optimal = 4096;
    BYTE* target = static_cast<BYTE*>(buffer);
    DWORD done = 0;
    while (done < wanted) {
        ULONG piece = std::min<DWORD>(optimal, wanted - done);
        ULONG read = 0;
        HRESULT hr;
        {
            CScopedLock lock(deviceLock_);
            hr = stream->Read(target + done, piece, &read);
        }
        if (FAILED(hr) || read == 0) break;
        done += read;
    }
    // A document read only in part is no document: the caller retries or takes the built-in one.
    *size = done == wanted ? done : 0;
}

DWORD CMTPDeviceController::GetCapabilityFileSize() {
    std::wstring capability;
    {
        CScopedLock lock(stateLock_);
        capability = capabilityId_;
    }
    if (capability.empty()) return 0;
    CWpdContentAccess access(Connection().Get(), deviceLock_);
    uint64_t size = 0;
    if (!access.ReadUInt64(capability, WPD_OBJECT_SIZE, &size)) return 0;
    // A size beyond 32 bits must not wrap to a small one: it stays too large to be read.
    return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
}

void CMTPDeviceController::GetDeviceIcon(std::wstring* localPath) {
    if (!localPath) return;
    std::wstring icon;
    {
        CScopedLock lock(stateLock_);
        icon = iconId_;
    }
    CWpdContentAccess access(Connection().Get(), deviceLock_);
    if (icon.empty() || FAILED(CopyObjectToFile(access, icon, *localPath, false))) localPath->clear();
}

bool CMTPDeviceController::FolderIsEmpty(const std::wstring& folderId) {
    CScopedComPtr<IPortableDevice> device = Connection();
    if (folderId.empty() || !device.Get()) return false;
    CWpdContentAccess access(device.Get(), deviceLock_);
    // A folder whose children cannot be listed counts as empty, as on mass storage.
    bool empty = true;
    access.ForEachChild(folderId, 5, [&](const std::wstring&) {
        empty = false;
        return false;
    });
    return empty;
}

bool CMTPDeviceController::CheckFolder1() { return FolderIsEmpty(Folder(0)); }
bool CMTPDeviceController::CheckFolder2() { return FolderIsEmpty(Folder(2)); }
bool CMTPDeviceController::CheckFolder3() { return FolderIsEmpty(Folder(3)); }

void CMTPDeviceController::BeginEnumeration() {
    CScopedLock lock(enumerationLock_);
    enumerating_ = true;
}
void CMTPDeviceController::AbortEnumeration() {
    CScopedLock lock(enumerationLock_);
    enumerating_ = false;
}
void CMTPDeviceController::EndEnumeration() { AbortEnumeration(); }
bool CMTPDeviceController::IsEnumerating() {
    CScopedLock lock(enumerationLock_);
    return enumerating_;
}

void CMTPDeviceController::BeginTreeOperation() {
    CScopedLock lock(treeLock_);
    treeRunning_ = true;
}
void CMTPDeviceController::AbortTreeOperation() {
    CScopedLock lock(treeLock_);
    treeRunning_ = false;
}
void CMTPDeviceController::EndTreeOperation() { AbortTreeOperation(); }
bool CMTPDeviceController::IsTreeRunning() {
    CScopedLock lock(treeLock_);
    return treeRunning_;
}

void CMTPDeviceController::SetTransferring(bool transferring) {
    CScopedLock lock(transferringLock_);
    transferring_ = transferring;
}
bool CMTPDeviceController::IsTransferring() {
    CScopedLock lock(transferringLock_);
    return transferring_;
}

void CMTPDeviceController::SetModified() {
    CScopedLock lock(stateLock_);
    modified_ = true;
}

void CMTPDeviceController::ClearPending() {
    CScopedLock lock(stateLock_);
    pending_.clear();
}

void CMTPDeviceController::ResetCancel() { ResetEvent(cancelEvent_.Get()); }
void CMTPDeviceController::Cancel() { SetEvent(cancelEvent_.Get()); }
void CMTPDeviceController::Abort() { Cancel(); }

void CMTPDeviceController::SnapshotDevices() {
    CScopedComPtr<IPortableDeviceManager> manager;
    std::vector<std::wstring> players;
    if (SUCCEEDED(CreateManager(&manager))) players = ListPlayers(manager.Get());
    CScopedLock lock(stateLock_);
    deviceId_.clear();
    snapshot_ = players;
}

bool CMTPDeviceController::CheckDeviceArrived(std::wstring* label, uint64_t* capacity) {
    CScopedComPtr<IPortableDeviceManager> manager;
    std::vector<std::wstring> players;
    if (SUCCEEDED(CreateManager(&manager))) players = ListPlayers(manager.Get());
    std::wstring arrived;
    {
        CScopedLock lock(stateLock_);
        for (const std::wstring& id : players) {
            if (std::find(snapshot_.begin(), snapshot_.end(), id) == snapshot_.end()) {
                arrived = id;
                break;
            }
        }
        snapshot_ = players;
        if (!arrived.empty()) deviceId_ = arrived;
    }
    if (arrived.empty()) return false;
    OpenChosenDevice(manager.Get());
    if (label) *label = GetVolumeLabel();
    if (capacity) *capacity = GetTotalSpace();
    return true;
}

bool CMTPDeviceController::CheckDeviceStillPresent() {
    CScopedComPtr<IPortableDeviceManager> manager;
    std::vector<std::wstring> players;
    if (SUCCEEDED(CreateManager(&manager))) players = ListPlayers(manager.Get());
    CScopedLock lock(stateLock_);
    snapshot_ = players;
    return deviceId_.empty() || std::find(players.begin(), players.end(), deviceId_) != players.end();
}
