#include "tests/filters/FilterTestSupport.h"

#include <cstring>

#include "library/util/ScopedWin.h"

CSampleSource::CSampleSource(LONG size) {
    if (FAILED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                reinterpret_cast<void**>(&allocator_)))) {
        return;
    }
    ALLOCATOR_PROPERTIES wanted = {4, size, 1, 0};
    ALLOCATOR_PROPERTIES actual = {};
    allocator_->SetProperties(&wanted, &actual);
    allocator_->Commit();
}

CSampleSource::~CSampleSource() {
    if (allocator_ == nullptr) return;
    allocator_->Decommit();
    allocator_->Release();
}

IMediaSample* CSampleSource::Make(const std::vector<BYTE>& bytes) {
    if (allocator_ == nullptr) return nullptr;
    IMediaSample* sample = nullptr;
    if (FAILED(allocator_->GetBuffer(&sample, nullptr, nullptr, 0))) return nullptr;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    sample->SetActualDataLength(static_cast<LONG>(bytes.size()));
    return sample;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

CTempFolder::CTempFolder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    GUID id;
    CoCreateGuid(&id);
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    path_ = std::wstring(base) + L"qbfilters" + text + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
}

CTempFolder::~CTempFolder() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((path_ + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

namespace {
void PutU32(std::vector<BYTE>& out, DWORD value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(value >> (8 * i)));
}
void PutU16(std::vector<BYTE>& out, WORD value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}
}  // namespace

bool WriteWav(const std::wstring& path, WORD channels, DWORD rate, const std::vector<SHORT>& samples) {
    const DWORD dataBytes = static_cast<DWORD>(samples.size() * 2);
    std::vector<BYTE> file;
    file.insert(file.end(), {'R', 'I', 'F', 'F'});
    PutU32(file, 36 + dataBytes);
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(file, 16);
    PutU16(file, 1);
    PutU16(file, channels);
    PutU32(file, rate);
    PutU32(file, rate * channels * 2);
    PutU16(file, static_cast<WORD>(channels * 2));
    PutU16(file, 16);
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    PutU32(file, dataBytes);
    for (SHORT value : samples) PutU16(file, static_cast<WORD>(value));
    CScopedHandle handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!handle.IsValid()) return false;
    DWORD written = 0;
    return WriteFile(handle.Get(), file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
           written == file.size();
}
