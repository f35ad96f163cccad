#include "tests/contents/ContentsTestSupport.h"

#include <shlobj.h>

#include "library/util/FileSystem.h"

void CTestDataObject::SetBytes(CLIPFORMAT format, const void* bytes, size_t size) {
    blocks_[format] = std::string(static_cast<const char*>(bytes), size);
}

void CTestDataObject::SetBytes(const wchar_t* formatName, const void* bytes, size_t size) {
    SetBytes(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(formatName)), bytes, size);
}

void CTestDataObject::SetText(const std::wstring& text) {
    SetBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void CTestDataObject::SetFiles(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
    block.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    SetBytes(CF_HDROP, block.data(), block.size());
}

STDMETHODIMP CTestDataObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDataObject) return E_NOINTERFACE;
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CTestDataObject::QueryGetData(FORMATETC* format) {
    if (!format) return E_INVALIDARG;
    if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    return blocks_.count(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP CTestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    const HRESULT available = QueryGetData(format);
    if (available != S_OK) return available;
    const std::string& bytes = blocks_[format->cfFormat];
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return E_OUTOFMEMORY;
    memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP CTestDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTestDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void CScriptedCoordinator::NotifyItemDone() { ++itemsDone; }

void CScriptedCoordinator::GetSyncFileList(int kind, std::vector<std::wstring>* list) {
    if (kind == 0) *list = previousSync;
}

bool CScriptedCoordinator::DeviceRequest(CTNContent* content, std::wstring* existingPath) {
    if (onDeviceRequest) onDeviceRequest();
    if (!onPlayer.count(content->sourcePath)) return false;
    *existingPath = L"\\Music\\" + content->relativePath;
    return true;
}

CScriptedITunesClient::CScriptedITunesClient()
    : enteredEnumerate(CreateEventW(nullptr, TRUE, FALSE, nullptr)), cancel_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CScriptedITunesClient::~CScriptedITunesClient() {
    CloseHandle(enteredEnumerate);
    CloseHandle(cancel_);
}

bool CScriptedITunesClient::Enumerate(const std::vector<std::wstring>& wanted, const ItemSink& sink,
                                      const std::wstring& searchName) {
    enumeratedNames.push_back(searchName);
    enumeratedPaths.push_back(wanted);
    SetEvent(enteredEnumerate);
    if (blockInEnumerate) {
        WaitForSingleObject(cancel_, INFINITE);
        return false;
    }
    bool all = true;
    for (const std::wstring& path : wanted) {
        if (!library.count(path)) {
            all = false;
            continue;
        }
        CTNContent* track = new CTNContent(1, 0);
        track->sourcePath = path;
        sink(track);
    }
    return all;
}

int32_t CScriptedITunesClient::CountTracks(const std::wstring& name) {
    const auto found = selections.find(name);
    return found == selections.end() ? 0 : found->second;
}

bool CScriptedITunesClient::ReadTracks(const std::wstring& name, const ItemSink& sink) {
    const auto found = readable.find(name);
    if (found == readable.end()) return false;
    for (int32_t i = 0; i < found->second; ++i) {
        CTNContent* track = new CTNContent(1, 0);
        track->sourcePath = L"C:\\iTunes\\" + name + L"\\" + std::to_wstring(i) + L".m4a";
        sink(track);
    }
    return true;
}

void CContentSink::PostContent(CTNContent* content) {
    {
        CScopedLock lock(lock_);
        arrivals_.push_back(Arrival{content->sourcePath, content->relativePath, content->replaceExisting,
                                    content->deleteSource, content->syncKind, content->kind, content->fileType,
                                    content->originFlag, content->lookupId, content->deviceObjectId,
                                    content->companionSourcePath, content->companionRelativePath});
    }
    delete content;
}

std::vector<CContentSink::Arrival> CContentSink::Arrivals() {
    CScopedLock lock(lock_);
    return arrivals_;
}

size_t CContentSink::Count() {
    CScopedLock lock(lock_);
    return arrivals_.size();
}

ContentsFixture::ContentsFixture() {
    manager.SetCoordinator(&coordinator);
    // A player that plays every format, so the checks pass what these tests drop.
    manager.SetFileTypeMasks(~uint64_t(0), ~uint64_t(0));
    manager.SetSyncFolderSource(&folders);
    client = new CScriptedITunesClient();
    manager.SetITunesClientFactory([this](const std::wstring&) {
        clientHandedOver = true;
        return std::unique_ptr<IITunesLibraryClient>(client);
    });
    manager.SetNext(&sink);
    manager.Start();
}

ContentsFixture::~ContentsFixture() {
    manager.Stop();
    manager.SetNext(nullptr);
    if (!clientHandedOver) delete client;
}

bool ContentsFixture::WaitAccounted(DWORD timeoutMs) {
    return WaitFor(
        [this] {
            return manager.GetAnnouncedCount() == int32_t(sink.Count()) + coordinator.itemsDone.load();
        },
        timeoutMs);
}

bool ContentsFixture::WaitAnnouncedAndAccounted(int32_t expectedAnnounced, DWORD timeoutMs) {
    return WaitFor(
        [this, expectedAnnounced] {
            const int32_t announced = manager.GetAnnouncedCount();
            return announced == expectedAnnounced &&
                   announced == int32_t(sink.Count()) + coordinator.itemsDone.load();
        },
        timeoutMs);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(5);
    }
    // Settle: nothing more may arrive after the condition first holds.
    Sleep(50);
    return condition();
}

std::wstring MakeTempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"qb_contents_" + name + L"_" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(folder);
    CreateFolderTree(folder);
    return folder;
}

void RemoveTree(const std::wstring& folder) {
    const std::wstring prefixed = AddLongPathPrefix(folder);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((prefixed + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
            } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(AddLongPathPrefix(path).c_str());
            } else {
                SetFileAttributesW(AddLongPathPrefix(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(AddLongPathPrefix(path).c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(prefixed.c_str());
}

bool WriteEmptyFile(const std::wstring& path) {
    HANDLE file = CreateFileW(AddLongPathPrefix(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
