#include "library/device/MSCDeviceController.h"

#include <objbase.h>

#include <algorithm>

#include "library/util/FileSystem.h"

namespace {

const wchar_t kDeviceIconName[] = L"DevIcon.fil";
constexpr int kDriveLetters = 26;

// Models whose icon the program carries itself, by the vendor and product part of the id.
const wchar_t* const kModelsWithOwnIcon[] = {L"3b7a_0101", L"3b7a_0102", L"3b7a_0110",
                                             L"3b7a_0120"};

std::wstring DriveRoot(int letterIndex) {
    return std::wstring(1, static_cast<wchar_t>(L'A' + letterIndex)) + L":\\";
}

bool Contains(const std::vector<std::wstring>& list, const std::wstring& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

CMSCDeviceController::CMSCDeviceController() : CMSCDeviceController(ownDriveFacts_) {}

CMSCDeviceController::CMSCDeviceController(IDriveFacts& driveFacts)
    : driveFacts_(driveFacts), cancelEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CMSCDeviceController::~CMSCDeviceController() = default;

void CMSCDeviceController::UninitializeCom() { CoUninitialize(); }

void CMSCDeviceController::SetListener(IDevCtrlListener* listener) { listener_ = listener; }

bool CMSCDeviceController::IsPlayerDrive(const std::wstring& root, std::wstring* deviceId,
                                         bool requirePlayerFiles) {
    if (driveFacts_.GetRootDriveType(root) != DRIVE_REMOVABLE) return false;
    const std::wstring volumePath = L"\\\\?\\" + root.substr(0, 2);
    CScopedHandle volume(CreateFileW(volumePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume.IsValid()) return false;
    if (!driveFacts_.IsUsbVolume(volume.Get(), root)) return false;
    if (requirePlayerFiles && !PathExists(root + kCapabilityFileName) &&
        !PathExists(root + kCarAudioMarkerName)) {
        return false;
    }
    driveFacts_.ReadUsbIdentity(volume.Get(), root, deviceId);
    return true;
}

std::vector<CMSCDeviceController::Drive> CMSCDeviceController::CollectDrives(
    DWORD mask, bool requirePlayerFiles) {
    std::vector<Drive> drives;
    for (int letter = 0; letter < kDriveLetters; ++letter) {
        if ((mask & (1u << letter)) == 0) continue;
        Drive drive{DriveRoot(letter), std::wstring()};
        if (IsPlayerDrive(drive.root, &drive.deviceId, requirePlayerFiles)) drives.push_back(drive);
    }
    return drives;
}

int CMSCDeviceController::FindDevice() {
    const DWORD mask = driveFacts_.GetLogicalDriveMask();
    if (mask == lastDriveMask_ && !rescanNeeded_) {
        lastFindResult_ = lastFindResult_ != kNoDevice ? kDeviceKept : kNoDevice;
        return lastFindResult_;
    }
    rescanNeeded_ = false;
    carAudioWarning_ = false;
    bool selectedPresent = false;
    const Drive* other = nullptr;
    const std::vector<Drive> drives = CollectDrives(mask, true);
    for (const Drive& drive : drives) {
        const bool hasMarker = PathExists(drive.root + kCarAudioMarkerName);
        if (deviceMode_ == kMediaPlayersOnly && hasMarker && drive.deviceId != deviceId_ &&
            !Contains(warnedDeviceIds_, drive.deviceId)) {
            carAudioWarning_ = true;
            warnedDeviceIds_.push_back(drive.deviceId);
        }
        const bool isPlayer = PathExists(drive.root + kCapabilityFileName) ||
                              (hasMarker && deviceMode_ >= kCarAudioAllowed);
        if (!isPlayer) continue;
        if (!root_.empty() && drive.deviceId == deviceId_) {
            selectedPresent = true;
        } else if (other == nullptr) {
            other = &drive;
        }
    }
    int result;
    if (selectedPresent) {
        result = other != nullptr ? kDeviceKeptOthersPresent : kDeviceKept;
    } else if (other != nullptr) {
        result = root_.empty() ? kDeviceFound : kDeviceReplaced;
        root_ = other->root;
        deviceId_ = other->deviceId;
    } else {
        root_.clear();
        deviceId_.clear();
        result = kNoDevice;
    }
    lastDriveMask_ = mask;
    lastFindResult_ = result;
    return result;
}

std::wstring CMSCDeviceController::GetDeviceId() { return deviceId_; }

void CMSCDeviceController::ClearDeviceId() {
    deviceId_.clear();
    root_.clear();
    // With nothing selected the unchanged-mask shortcut would still answer "kept".
    rescanNeeded_ = true;
}

void CMSCDeviceController::SnapshotDevices() {
    snapshot_.clear();
    lastDriveMask_ = driveFacts_.GetLogicalDriveMask();
    for (const Drive& drive : CollectDrives(lastDriveMask_, false)) {
        snapshot_.push_back(drive.deviceId);
    }
}

bool CMSCDeviceController::CheckDeviceArrived(std::wstring* label, uint64_t* capacity) {
    const DWORD mask = driveFacts_.GetLogicalDriveMask();
    if (mask == lastDriveMask_) return false;
    lastDriveMask_ = mask;
    const std::vector<Drive> drives = CollectDrives(mask, false);
    bool arrived = false;
    if (drives.size() > snapshot_.size()) {
        for (const Drive& drive : drives) {
            if (Contains(snapshot_, drive.deviceId)) continue;
            root_ = drive.root;
            deviceId_ = drive.deviceId;
            if (label) *label = GetVolumeLabel();
            if (capacity) *capacity = GetTotalSpace();
            arrived = true;
            break;
        }
    }
    snapshot_.clear();
    for (const Drive& drive : drives) snapshot_.push_back(drive.deviceId);
    return arrived;
}

bool CMSCDeviceController::CheckDeviceStillPresent() {
    const DWORD mask = driveFacts_.GetLogicalDriveMask();
    if (mask == lastDriveMask_) return true;
    lastDriveMask_ = mask;
    const std::vector<Drive> drives = CollectDrives(mask, false);
    bool selectedPresent = false;
    for (const Drive& drive : drives) {
        if (drive.deviceId == deviceId_) selectedPresent = true;
    }
    const bool gone = drives.size() < snapshot_.size() && !selectedPresent;
    snapshot_.clear();
    for (const Drive& drive : drives) snapshot_.push_back(drive.deviceId);
    return !gone;
}

bool CMSCDeviceController::RootFileExists(const wchar_t* name) {
    return HasRoot() && PathExists(root_ + name);
}

bool CMSCDeviceController::FileExists(std::wstring relativePath, std::wstring* fullPath) {
    if (!HasRoot()) return false;
    const std::wstring path = root_ + relativePath;
    if (!PathExists(path)) return false;
    if (fullPath) *fullPath = path;
    return true;
}

DWORD CMSCDeviceController::GetCapabilityFileSize() {
    if (!HasRoot()) return 0;
    CScopedHandle file(CreateFileW((root_ + kCapabilityFileName).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > MAXDWORD) return 0;
    return static_cast<DWORD>(size.QuadPart);
}

void CMSCDeviceController::ReadCapabilityFile(void* buffer, DWORD* size) {
    if (size == nullptr) return;
    const DWORD room = *size;
    *size = 0;
    if (buffer == nullptr || !HasRoot()) return;
    CScopedHandle file(CreateFileW((root_ + kCapabilityFileName).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER length = {};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &length) || length.QuadPart > room) return;
    const DWORD wanted = static_cast<DWORD>(length.QuadPart);
    DWORD done = 0;
    while (done < wanted) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), static_cast<BYTE*>(buffer) + done, wanted - done, &read,
                      nullptr) ||
            read == 0) {
            return;
        }
        done += read;
    }
    *size = done;
}

void CMSCDeviceController::GetDeviceIcon(std::wstring* localPath) {
    if (localPath == nullptr) return;
    if (!HasCapabilityFile()) {
        localPath->clear();
        return;
    }
    if (CopyFileW((root_ + kDeviceIconName).c_str(), localPath->c_str(), FALSE)) return;
    const std::wstring model = deviceId_.substr(0, 9);
    for (const wchar_t* known : kModelsWithOwnIcon) {
        if (model.size() == 9 && _wcsicmp(model.c_str(), known) == 0) {
            *localPath = model;
            return;
        }
    }
    localPath->clear();
}

uint64_t CMSCDeviceController::GetFreeSpace() {
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!HasRoot() || !GetDiskFreeSpaceExW(root_.c_str(), &available, &total, &free)) return 0;
    return free.QuadPart;
}

uint64_t CMSCDeviceController::GetTotalSpace() {
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!HasRoot() || !GetDiskFreeSpaceExW(root_.c_str(), &available, &total, &free)) return 0;
    capacity_ = total.QuadPart;
    return capacity_;
}

std::wstring CMSCDeviceController::GetVolumeLabel() {
    wchar_t label[256] = {};
    if (HasRoot() && GetVolumeInformationW(root_.c_str(), label, 256, nullptr, nullptr, nullptr,
                                           nullptr, 0) &&
        label[0] != L'\0') {
        return label;
    }
    return root_;
}

std::wstring CMSCDeviceController::GetRootPath() { return root_; }

void CMSCDeviceController::WritePlaylist(CTNContent*) {}

std::wstring CMSCDeviceController::GetDeviceFolder(int index) const {
    return index >= 0 && index < 6 ? folders_[index] : std::wstring();
}

bool CMSCDeviceController::CreateFolder(const std::wstring& relativeFolder) {
    if (!HasRoot() || relativeFolder.empty()) return false;
    const std::wstring path = root_ + relativeFolder.substr(0, relativeFolder.size() - 1);
    if (!PathExists(path) && !CreateDirectoryW(path.c_str(), nullptr)) return false;
    folders_[0] = path + L"\\";
    return true;
}

// The kind folders are only remembered; on mass storage they always succeed once a player is
// selected. Without one they would point into the computer's current folder, so they fail.
bool CMSCDeviceController::SetKind1Folder(const std::wstring& relativeFolder) {
    if (!HasRoot()) return false;
    folders_[1] = root_ + relativeFolder;
    return true;
}

bool CMSCDeviceController::SetKind2Folder(const std::wstring& relativeFolder) {
    if (!HasRoot()) return false;
    folders_[2] = root_ + relativeFolder;
    return true;
}

bool CMSCDeviceController::SetKind3Folder(const std::wstring& relativeFolder) {
    if (!HasRoot()) return false;
    folders_[3] = root_ + relativeFolder;
    return true;
}

bool CMSCDeviceController::PrepareFolder(const std::wstring&) { return false; }

bool CMSCDeviceController::CreateHiddenFolder(const std::wstring& relativeFolder) {
    if (!HasRoot() || relativeFolder.empty()) return false;
    std::wstring path = root_ + relativeFolder;
    if (path.back() == L'\\') path.pop_back();
    if (!PathExists(path)) {
        if (!CreateDirectoryW(path.c_str(), nullptr)) return false;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    folders_[5] = path + L"\\";
    return false;
}

std::wstring CMSCDeviceController::GetMediaRootFolder() { return L"MUSIC\\"; }

void CMSCDeviceController::BeginEnumeration() { enumerating_.Set(true); }
void CMSCDeviceController::AbortEnumeration() { enumerating_.Set(false); }
void CMSCDeviceController::EndEnumeration() { enumerating_.Set(false); }
void CMSCDeviceController::BeginTreeOperation() { treeOperation_.Set(true); }
void CMSCDeviceController::AbortTreeOperation() { treeOperation_.Set(false); }
void CMSCDeviceController::EndTreeOperation() { treeOperation_.Set(false); }
void CMSCDeviceController::SetTransferring(bool transferring) { transferring_.Set(transferring); }
bool CMSCDeviceController::IsTransferring() { return transferring_.Get(); }
void CMSCDeviceController::SetModified() { modified_ = true; }
void CMSCDeviceController::ClearPending() {}

void CMSCDeviceController::ResetCancel() { ResetEvent(cancelEvent_.Get()); }
void CMSCDeviceController::Cancel() { SetEvent(cancelEvent_.Get()); }
void CMSCDeviceController::Abort() { SetEvent(cancelEvent_.Get()); }

bool CMSCDeviceController::IsCancelled() {
    return WaitForSingleObject(cancelEvent_.Get(), 0) == WAIT_OBJECT_0;
}
