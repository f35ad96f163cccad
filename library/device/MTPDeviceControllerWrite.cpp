// Writing contents, their properties and the playlist objects made of them.

#include "library/content/TNContent.h"
#include "library/util/DestinationName.h"
#include "library/device/MTPDeviceController.h"
#include "library/device/WpdContentAccess.h"
#include "library/util/FileSystem.h"
#include "platform/wpd/PortableDevice.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

const DWORD kKindCarAudioMarker = 12;
const DWORD kDefaultBlockSize = 64 * 1024;
const DWORD kMaxBlockSize = 4 * 1024 * 1024;
const wchar_t kPlaylistFolderName[] = L"Playlists";
const wchar_t kPlaylistExtension[] = L"pla";

// The number the text starts with; false when it does not start with a digit. At most nine
// digits are read, so the value always fits.
bool LeadingNumber(const std::wstring& text, long* number) {
    if (text.empty() || text[0] < L'0' || text[0] > L'9') return false;
    long value = 0;
    for (size_t i = 0; i < text.size() && i < 9 && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
    }
    *number = value;
    return true;
}

std::wstring WithoutExtension(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

// What an upload needs to know of its source file. Asked for one by one: the all-in-one query
// also fetches the volume's serial number, which costs more than the rest together.
struct SourceFacts {
    uint64_t size = 0;
    FILETIME created = {};
    FILETIME modified = {};
};

HRESULT ReadSourceFacts(HANDLE file, SourceFacts* facts) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || !GetFileTime(file, &facts->created, nullptr, &facts->modified)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    facts->size = static_cast<uint64_t>(size.QuadPart);
    return S_OK;
}

// Reads a local file for an upload, or writes one for a download, a block at a time.
HRESULT ReadFileBlock(HANDLE file, void* buffer, ULONG size, ULONG* read) {
    DWORD done = 0;
    if (!ReadFile(file, buffer, size, &done, nullptr)) return HRESULT_FROM_WIN32(GetLastError());
    *read = done;
    return S_OK;
}

// A device says "full" in several ways; the owner knows one, the HRESULT of ERROR_DISK_FULL, and
// stops the run on it.
HRESULT AsDiskFull(HRESULT hr) {
    return hr == STG_E_MEDIUMFULL || hr == HRESULT_FROM_WIN32(ERROR_HANDLE_DISK_FULL) ? HRESULT_FROM_WIN32(ERROR_DISK_FULL)
                                                                                      : hr;
}

HRESULT WriteFileBlock(HANDLE file, const void* buffer, ULONG size) {
    DWORD done = 0;
    if (!WriteFile(file, buffer, size, &done, nullptr)) return HRESULT_FROM_WIN32(GetLastError());
    // A short write without an error only happens on a full volume.
    return done == size ? S_OK : HRESULT_FROM_WIN32(ERROR_DISK_FULL);
}

bool FileTimeToDate(const FILETIME& fileTime, DATE* date) {
    FILETIME local;
    SYSTEMTIME system;
    return FileTimeToLocalFileTime(&fileTime, &local) && FileTimeToSystemTime(&local, &system) &&
           SystemTimeToVariantTime(&system, date);
}

HRESULT SetDate(IPortableDeviceValues* values, REFPROPERTYKEY key, DATE date) {
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = VT_DATE;
    value.date = date;
    return values->SetValue(key, &value);
}

// Format of an audio file by its file-type code; false for codes without an MTP format.
bool AudioFormat(uint32_t fileType, GUID* format) {
    switch (fileType) {
        case 0: *format = WPD_OBJECT_FORMAT_MP3; return true;
        case 1: *format = WPD_OBJECT_FORMAT_WMA; return true;
        case 2: *format = WPD_OBJECT_FORMAT_MP4; return true;
        case 3: *format = WPD_OBJECT_FORMAT_3GP; return true;
        case 4: *format = WPD_OBJECT_FORMAT_MP4; return true;
        case 5: *format = WPD_OBJECT_FORMAT_WAVE; return true;
        default: return false;
    }
}

bool VideoFormat(uint32_t fileType, GUID* format) {
    switch (fileType) {
        case 4:
        case 19: *format = WPD_OBJECT_FORMAT_MP4; return true;
        case 18: *format = WPD_OBJECT_FORMAT_WMV; return true;
        default: return false;
    }
}

HRESULT AddMediaProperties(IPortableDeviceValues* values, const CTNContent& content) {
    HRESULT hr = S_OK;
    switch (content.kind) {
        case CTNContent::kSong:
        case CTNContent::kAudioEpisode: {
            GUID format;
            hr = values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_AUDIO);
            if (SUCCEEDED(hr) && AudioFormat(content.fileType, &format)) hr = values->SetGuidValue(WPD_OBJECT_FORMAT, format);
            if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_MEDIA_TITLE, content.title.c_str());
            if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_MEDIA_ARTIST, content.artist.c_str());
            if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_MEDIA_GENRE, content.genre.c_str());
            if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_MUSIC_ALBUM, content.album.c_str());
            if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_MEDIA_ALBUM_ARTIST, content.albumArtist.c_str());
            long year = 0;
            if (SUCCEEDED(hr) && LeadingNumber(content.yearText, &year) && year >= 1900 && year <= 9999) {
                SYSTEMTIME newYear = {};
                newYear.wYear = static_cast<WORD>(year);
                newYear.wMonth = 1;
                newYear.wDay = 1;
                DATE date;
                if (SystemTimeToVariantTime(&newYear, &date)) hr = SetDate(values, WPD_MEDIA_RELEASE_DATE, date);
            }
            long track = 0;
            if (!LeadingNumber(content.trackText, &track)) track = 0;
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_MUSIC_TRACK, track);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_MEDIA_SAMPLE_RATE, content.sampleRate);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_AUDIO_BITRATE, content.audioBitrate);
            if (SUCCEEDED(hr)) hr = values->SetFloatValue(WPD_AUDIO_CHANNEL_COUNT, static_cast<FLOAT>(content.channelCount));
            if (SUCCEEDED(hr)) hr = values->SetUnsignedLargeIntegerValue(WPD_MEDIA_DURATION, content.duration);
            return hr;
        }
        case CTNContent::kPicture:
        case CTNContent::kVideoCompanion:
            hr = values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_IMAGE);
            if (SUCCEEDED(hr)) hr = values->SetGuidValue(WPD_OBJECT_FORMAT, WPD_OBJECT_FORMAT_EXIF);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_MEDIA_WIDTH, content.width);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_MEDIA_HEIGHT, content.height);
            return hr;
        case CTNContent::kVideo:
        case CTNContent::kVideoEpisode: {
            GUID format;
            if (!VideoFormat(content.fileType, &format)) return E_FAIL;
            hr = values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_VIDEO);
            if (SUCCEEDED(hr)) hr = values->SetGuidValue(WPD_OBJECT_FORMAT, format);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_MEDIA_WIDTH, content.width);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_MEDIA_HEIGHT, content.height);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_MEDIA_SAMPLE_RATE, content.sampleRate);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_AUDIO_BITRATE, content.audioBitrate);
            if (SUCCEEDED(hr)) hr = values->SetSignedIntegerValue(WPD_VIDEO_BITRATE, content.videoBitrate);
            if (SUCCEEDED(hr)) hr = values->SetFloatValue(WPD_AUDIO_CHANNEL_COUNT, static_cast<FLOAT>(content.channelCount));
            if (SUCCEEDED(hr)) hr = values->SetUnsignedLargeIntegerValue(WPD_MEDIA_DURATION, content.duration);
            return hr;
        }
        case CTNContent::kFeedFile:
            hr = values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_GENERIC_FILE);
            if (SUCCEEDED(hr)) hr = values->SetGuidValue(WPD_OBJECT_FORMAT, WPD_OBJECT_FORMAT_XML);
            return hr;
        default:
            hr = values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_UNSPECIFIED);
            if (SUCCEEDED(hr)) hr = values->SetGuidValue(WPD_OBJECT_FORMAT, WPD_OBJECT_FORMAT_UNSPECIFIED);
            return hr;
    }
}

// Fills an empty property set.
HRESULT BuildProperties(const CTNContent& content, const std::wstring& parentId, const std::wstring& fileName,
                        const SourceFacts& source, IPortableDeviceValues* v) {
    HRESULT hr = v->SetStringValue(WPD_OBJECT_PARENT_ID, parentId.c_str());
    if (SUCCEEDED(hr)) hr = v->SetUnsignedLargeIntegerValue(WPD_OBJECT_SIZE, source.size);
    if (SUCCEEDED(hr)) hr = v->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, fileName.c_str());
    const std::wstring name = content.title.empty() ? WithoutExtension(fileName) : content.title;
    if (SUCCEEDED(hr)) hr = v->SetStringValue(WPD_OBJECT_NAME, name.c_str());
    if (SUCCEEDED(hr) && content.kind == kKindCarAudioMarker) hr = v->SetBoolValue(WPD_OBJECT_ISHIDDEN, TRUE);
    DATE created, modified;
    if (SUCCEEDED(hr) && FileTimeToDate(source.created, &created) && FileTimeToDate(source.modified, &modified)) {
        hr = SetDate(v, WPD_OBJECT_DATE_CREATED, created);
        if (SUCCEEDED(hr)) hr = SetDate(v, WPD_OBJECT_DATE_MODIFIED, modified);
    }
    if (SUCCEEDED(hr)) hr = AddMediaProperties(v, content);
    if (SUCCEEDED(hr) && !content.unsupported) hr = v->SetBoolValue(WPD_API_OPTION_USE_CLEAR_DATA_STREAM, TRUE);
    return hr;
}

}  // namespace

HRESULT CMTPDeviceController::WriteContent(std::wstring destination, CTNContent* content) {
    if (!content) return E_POINTER;
    // The destination comes from tag and feed text: the same names as on mass storage, so that a
    // player holds nothing its own file system (or a computer it is copied to) cannot.
    if (!CDestinationName::IsSafeRelativePath(destination)) return E_INVALIDARG;
    CScopedLock writing(writeLock_);
    if (!IsTransferring()) return kWriteStopped;
    CScopedComPtr<IPortableDevice> device = Connection();
    if (!device.Get()) return E_FAIL;
    CWpdContentAccess access(device.Get(), deviceLock_);
    if (FAILED(access.Status())) return access.Status();
    const size_t slash = destination.rfind(L'\\');
    const std::wstring folderPath = slash == std::wstring::npos ? std::wstring() : destination.substr(0, slash);
    const std::wstring fileName = slash == std::wstring::npos ? destination : destination.substr(slash + 1);
    std::wstring parent;
    bool cached = false;
    HRESULT hr = DestinationFolder(access, folderPath, &parent, &cached);
    if (hr != S_OK) return hr;
    hr = Upload(access, parent, fileName, content);
    if (FAILED(hr) && cached) {
        // Another program may have removed the folder since it was found: look once more, and
        // write again only when that gives another folder.
        ForgetFolder(parent);
        std::wstring fresh;
        if (DestinationFolder(access, folderPath, &fresh, &cached) == S_OK && fresh != parent) {
            hr = Upload(access, fresh, fileName, content);
        }
    }
    return hr;
}

HRESULT CMTPDeviceController::DestinationFolder(CWpdContentAccess& access, const std::wstring& folderPath,
                                                std::wstring* folderId, bool* cached) {
    std::wstring parent;
    std::wstring remembered;
    uint64_t generation;
    {
        CScopedLock lock(stateLock_);
        auto found = folderPathIds_.find(folderPath);
        if (found != folderPathIds_.end()) remembered = found->second;
        parent = storageId_;
        generation = connectionGeneration_;
    }
    // Another program may have renamed or moved the folder since: the remembered object counts
    // only while it still sits at the path, else the path is walked again.
    *cached = !remembered.empty() && IsFolderAt(access, remembered, folderPath, parent);
    if (*cached) {
        *folderId = remembered;
        return S_OK;
    }
    if (!remembered.empty()) ForgetFolder(remembered);
    size_t start = 0;
    while (start < folderPath.size()) {
        size_t slash = folderPath.find(L'\\', start);
        if (slash == std::wstring::npos) slash = folderPath.size();
        const std::wstring component = folderPath.substr(start, slash - start);
        start = slash + 1;
        if (component.empty()) continue;
        // The walk can take seconds on a full player: a stop ends it before it makes a folder.
        if (!IsTransferring()) return kWriteStopped;
        std::wstring child;
        if (!access.FindChild(parent, component, false, &child)) {
            HRESULT hr = access.CreateFolder(parent, component, &child);
            if (FAILED(hr)) return hr;
        }
        parent = child;
    }
    {
        CScopedLock lock(stateLock_);
        if (generation == connectionGeneration_) folderPathIds_[folderPath] = parent;
    }
    *folderId = parent;
    return S_OK;
}

bool CMTPDeviceController::IsFolderAt(CWpdContentAccess& access, std::wstring objectId,
                                      const std::wstring& folderPath, const std::wstring& storageId) {
    if (!folderPath.empty()) {
        const std::vector<std::wstring> names = CDestinationName::Split(folderPath);
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            std::wstring actual;
            if (!access.ReadString(objectId, WPD_OBJECT_ORIGINAL_FILE_NAME, &actual) || actual != *name ||
                !access.ReadString(objectId, WPD_OBJECT_PARENT_ID, &objectId)) {
                return false;
            }
        }
    }
    return objectId == storageId;
}

void CMTPDeviceController::ForgetFolder(const std::wstring& folderId) {
    CScopedLock lock(stateLock_);
    for (auto entry = folderPathIds_.begin(); entry != folderPathIds_.end();) {
        entry = entry->second == folderId ? folderPathIds_.erase(entry) : std::next(entry);
    }
}

HRESULT CMTPDeviceController::Upload(CWpdContentAccess& access, const std::wstring& parentId,
                                     const std::wstring& fileName, CTNContent* content) {
    const bool progress = content->kind != kKindCarAudioMarker;
    std::wstring replacedId, replacedName;
    if (content->replaceExisting) {
        replacedId = content->deviceObjectId;
        // The object to replace is where this write goes, whatever the record's own path says.
        if (replacedId.empty()) access.FindChild(parentId, fileName, false, &replacedId);
        if (!replacedId.empty()) {
            // A folder is never the object to replace: renamed aside it would stay renamed.
            GUID type = GUID_NULL;
            if (!access.ReadGuid(replacedId, WPD_OBJECT_CONTENT_TYPE, &type) ||
                IsEqualGUID(type, WPD_CONTENT_TYPE_FOLDER) || IsEqualGUID(type, WPD_CONTENT_TYPE_FUNCTIONAL_OBJECT)) {
                return E_FAIL;
            }
            if (!access.ReadString(replacedId, WPD_OBJECT_ORIGINAL_FILE_NAME, &replacedName)) return E_FAIL;
            HRESULT hr = access.Rename(replacedId, replacedId + L".dat");
            if (FAILED(hr)) return hr;
        }
    }

    const std::wstring sourcePath =
        content->tempPath.empty() ? AddLongPathPrefix(content->sourcePath) : content->tempPath;
    const std::wstring recordName = GetFileNameFromPath(content->relativePath);
    const std::wstring objectName = CDestinationName::IsSafeComponent(recordName) ? recordName : fileName;
    // The source is read through its handle: a stream object over the file would add nothing. No
    // sequential-scan hint: under Wine it slowed a run of 4 MiB copies by half.
    CScopedHandle source(CreateFileW(sourcePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
    HRESULT hr = source.IsValid() ? S_OK : HRESULT_FROM_WIN32(GetLastError());
    SourceFacts sourceFacts;
    if (SUCCEEDED(hr)) hr = ReadSourceFacts(source.Get(), &sourceFacts);
    CScopedComPtr<IPortableDeviceValues> properties;
    if (SUCCEEDED(hr)) hr = UploadProperties(&properties);
    if (SUCCEEDED(hr)) hr = BuildProperties(*content, parentId, objectName, sourceFacts, properties.Get());
    CScopedComPtr<IStream> target;
    DWORD optimal = 0;
    if (SUCCEEDED(hr)) {
        CScopedLock lock(deviceLock_);
        hr = access.Content()->CreateObjectWithPropertiesAndData(properties.Get(), target.Receive(), &optimal, nullptr);
    }
    CScopedComPtr<IPortableDeviceDataStream> data;
    if (SUCCEEDED(hr)) hr = target->QueryInterface(IID_IPortableDeviceDataStream, reinterpret_cast<void**>(data.Receive()));
    std::wstring newId;
    if (SUCCEEDED(hr)) {
        auto readSource = [&](void* buffer, ULONG size, ULONG* read) {
            return ReadFileBlock(source.Get(), buffer, size, read);
        };
        auto writeTarget = [&](const void* buffer, ULONG size) {
            ULONG written = 0;
            CScopedLock lock(deviceLock_);
            HRESULT result = target->Write(buffer, size, &written);
            // A short write without an error is a full storage.
            return AsDiskFull(SUCCEEDED(result) && written != size ? STG_E_MEDIUMFULL : result);
        };
        hr = CopyBlocks(readSource, writeTarget, optimal, sourceFacts.size, progress,
                        [this] { return !IsTransferring(); });
        // Only a complete copy is committed; a stopped or failed one is released uncommitted, so
        // the device never completes the object.
        if (hr == S_OK) {
            CScopedLock lock(deviceLock_);
            hr = target->Commit(STGC_DEFAULT);
            LPWSTR id = nullptr;
            if (hr == S_OK && SUCCEEDED(data->GetObjectID(&id)) && id) newId = id;
            CoTaskMemFree(id);
        }
    }
    data.Reset();
    target.Reset();

    if (hr == S_OK && content->playlistMemberCount != 0) {
        AddPendingMember(newId, content);
        CreatePlaylistIfComplete(access, content->playlistKey, content->playlistName);
    }
    if (!replacedId.empty()) {
        if (hr == S_OK) {
            access.Delete(replacedId);
        } else {
            access.Rename(replacedId, replacedName);
        }
    }
    if (hr == S_FALSE || hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return kWriteStopped;
    return hr;
}

HRESULT CMTPDeviceController::CopyBlocks(const BlockReader& read, const BlockWriter& write, DWORD bufferSize,
                                         uint64_t total, bool progress,
                                         const std::function<bool()>& stopRequested) {
    if (bufferSize == 0) bufferSize = kDefaultBlockSize;
    // Whatever the device suggests, a copy holds no more memory than this.
    bufferSize = std::min(bufferSize, kMaxBlockSize);
    std::vector<BYTE> buffer;
    {
        CScopedLock lock(bufferLock_);
        buffer.swap(spareBuffer_);
    }
    if (buffer.size() < bufferSize) {
        try {
            buffer.resize(bufferSize);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    IDevCtrlListener* listener = progress ? listener_ : nullptr;
    if (listener) listener->OnWriteProgress(0, static_cast<uint32_t>(total));
    HRESULT result = S_OK;
    uint64_t count = 0;
    for (;;) {
        if (stopRequested()) {
            result = S_FALSE;
            break;
        }
        ULONG got = 0;
        HRESULT hr = read(buffer.data(), bufferSize, &got);
        if (FAILED(hr)) {
            result = hr;
            break;
        }
        if (got == 0) break;
        hr = write(buffer.data(), got);
        if (FAILED(hr)) {
            result = hr;
            break;
        }
        count += got;
        if (listener) listener->OnWriteProgress(static_cast<uint32_t>(count), static_cast<uint32_t>(total));
    }
    if (listener) listener->OnWriteProgress(0, 0);
    CScopedLock lock(bufferLock_);
    if (spareBuffer_.size() < buffer.size()) spareBuffer_.swap(buffer);
    return result;
}

HRESULT CMTPDeviceController::CopyObjectToFile(CWpdContentAccess& access, const std::wstring& objectId,
                                               const std::wstring& localPath, bool progress) {
    uint64_t size = 0;
    if (!access.ReadUInt64(objectId, WPD_OBJECT_SIZE, &size)) return E_FAIL;
    CScopedComPtr<IStream> source;
    DWORD optimal = 0;
    HRESULT hr = access.OpenData(objectId, source.Receive(), &optimal);
    if (FAILED(hr)) return hr;
    CScopedHandle target(CreateFileW(localPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
    if (!target.IsValid()) return HRESULT_FROM_WIN32(GetLastError());
    hr = CopyBlocks(
        [&](void* buffer, ULONG size, ULONG* read) {
            CScopedLock lock(deviceLock_);
            return source->Read(buffer, size, read);
        },
        [&](const void* buffer, ULONG size) { return WriteFileBlock(target.Get(), buffer, size); }, optimal, size,
        progress, [&] { return progress && WaitForSingleObject(cancelEvent_.Get(), 0) == WAIT_OBJECT_0; });
    if (hr == S_FALSE) hr = HRESULT_FROM_WIN32(ERROR_CANCELLED);
    if (hr != S_OK) {
        target.Reset();
        DeleteFileW(localPath.c_str());
    }
    return hr;
}

void CMTPDeviceController::WritePlaylist(CTNContent* playlist) {
    if (!playlist) return;
    CScopedLock writing(writeLock_);
    AddPendingMember(playlist->deviceObjectId, playlist);
    CWpdContentAccess access(Connection().Get(), deviceLock_);
    CreatePlaylistIfComplete(access, playlist->playlistKey, playlist->playlistName);
}

void CMTPDeviceController::AddPendingMember(const std::wstring& objectId, CTNContent* content) {
    CScopedLock lock(stateLock_);
    pending_.push_back(PendingMember{objectId, content->playlistKey, content->playlistMemberCount,
                                     content->playlistMemberIndex});
}

void CMTPDeviceController::CreatePlaylistIfComplete(CWpdContentAccess& access, const std::wstring& playlistKey,
                                                    const std::wstring& playlistName) {
    std::vector<std::wstring> members;
    std::wstring folderName, storage;
    {
        CScopedLock lock(stateLock_);
        int32_t expected = 0;
        for (const PendingMember& member : pending_) {
            if (member.playlistKey != playlistKey) continue;
            members.push_back(member.objectId);
            expected = member.expectedCount;
        }
        if (members.empty() || static_cast<int32_t>(members.size()) != expected) return;
        // The members are taken: a later write of the same playlist starts a new list.
        pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                      [&](const PendingMember& member) { return member.playlistKey == playlistKey; }),
                       pending_.end());
        folderName = playlistFolderName_.empty() ? kPlaylistFolderName : playlistFolderName_;
        storage = storageId_;
    }
    std::wstring fileName = playlistName + L"." + kPlaylistExtension;
    SanitizeFileName(&fileName);
    // A playlist named like a device ("CON") or with a trailing space still gets a plain name.
    if (!CDestinationName::IsSafeComponent(fileName)) fileName = L"_" + fileName;
    if (!CDestinationName::IsSafeComponent(fileName)) return;
    std::wstring older;
    if (FileExists(folderName + L"\\" + fileName, &older)) DeleteContent(older);
    std::wstring folder = Folder(4);
    if (folder.empty()) {
        if (FAILED(access.CreateFolder(storage, kPlaylistFolderName, &folder))) return;
        CScopedLock lock(stateLock_);
        folderIds_[4] = folder;
    }
    CScopedComPtr<IPortableDevicePropVariantCollection> references;
    CScopedComPtr<IPortableDeviceValues> values;
    HRESULT hr = CoCreateInstance(CLSID_PortableDevicePropVariantCollection, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IPortableDevicePropVariantCollection, reinterpret_cast<void**>(references.Receive()));
    for (const std::wstring& member : members) {
        PROPVARIANT id;
        PropVariantInit(&id);
        id.vt = VT_LPWSTR;
        id.pwszVal = const_cast<LPWSTR>(member.c_str());
        if (SUCCEEDED(hr)) hr = references->Add(&id);
    }
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(CLSID_PortableDeviceValues, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDeviceValues,
                              reinterpret_cast<void**>(values.Receive()));
    }
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_PARENT_ID, folder.c_str());
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, fileName.c_str());
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_NAME, WithoutExtension(fileName).c_str());
    if (SUCCEEDED(hr)) hr = values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_PLAYLIST);
    if (SUCCEEDED(hr)) hr = values->SetGuidValue(WPD_OBJECT_FORMAT, WPD_OBJECT_FORMAT_ABSTRACT_AUDIO_VIDEO_PLAYLIST);
    if (SUCCEEDED(hr)) hr = values->SetIPortableDevicePropVariantCollectionValue(WPD_OBJECT_REFERENCES, references.Get());
    if (SUCCEEDED(hr)) {
        LPWSTR id = nullptr;
        CScopedLock lock(deviceLock_);
        access.Content()->CreateObjectWithPropertiesOnly(values.Get(), &id);
        CoTaskMemFree(id);
    }
}
