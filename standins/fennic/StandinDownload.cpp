#include "standins/fennic/StandinDownload.h"

#include <new>
#include <vector>

namespace standin {

namespace {

const wchar_t* Text(BSTR text) { return text != nullptr ? text : L""; }

// Only letters and digits of a service-given identifier reach a file name.
std::wstring SafeFileName(const wchar_t* text) {
    std::wstring name;
    for (; *text != L'\0' && name.size() < 64; ++text) {
        if (iswalnum(*text)) name += *text;
    }
    return name.empty() ? L"update" : name;
}

HRESULT WriteFileOfSize(const std::wstring& path, DWORD bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    std::vector<char> block(65536, 'u');
    HRESULT hr = S_OK;
    while (bytes > 0 && SUCCEEDED(hr)) {
        const DWORD chunk = bytes < block.size() ? bytes : static_cast<DWORD>(block.size());
        DWORD written = 0;
        if (!WriteFile(file, block.data(), chunk, &written, nullptr) || written != chunk) hr = E_FAIL;
        bytes -= chunk;
    }
    CloseHandle(file);
    return hr;
}

}  // namespace

HRESULT CStandinDownload::Create(IUnknown* outer, REFIID iid, void** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) CStandinDownload();
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, result);
    object->Release();
    return hr;
}

HRESULT CStandinDownload::QueryInterface(REFIID iid, void** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidFennicDownload)) {
        *result = static_cast<IFennicDownload*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT CStandinDownload::GetProgress(BSTR, LONG* percent) {
    if (percent == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(m_lock);
    m_progress += CFennicScript::Current().Number(L"step", 50);
    if (m_progress > 100) m_progress = 100;
    *percent = m_progress;
    return CFennicScript::Current().FailureOf(L"dl.1");
}

HRESULT CStandinDownload::Start(BSTR fileId, BSTR service) {
    Journal(L"dl.2 %ls %ls", Text(fileId), Text(service));
    const HRESULT failure = CFennicScript::Current().FailureOf(L"dl.2");
    if (FAILED(failure)) return failure;
    const long announced = CFennicScript::Current().Number(L"size", 4096);
    const std::wstring path = CFennicScript::Current().Text(L"dir") + L"\\" + SafeFileName(Text(fileId)) + CFennicScript::Current().Text(L"ext", L".bin");
    const HRESULT hr = WriteFileOfSize(path, static_cast<DWORD>(CFennicScript::Current().Number(L"written", announced)));
    std::lock_guard<std::mutex> hold(m_lock);
    m_path = path;
    m_progress = 0;
    m_status = SUCCEEDED(hr) ? static_cast<HRESULT>(CFennicScript::Current().Number(L"status", 0)) : hr;
    return S_OK;
}

HRESULT CStandinDownload::Hold(BSTR service) {
    Journal(L"dl.3 %ls", Text(service));
    std::lock_guard<std::mutex> hold(m_lock);
    m_status = kDownloadCancelled;
    return S_OK;
}

HRESULT CStandinDownload::GetLocalPath(BSTR, BSTR* path) {
    if (path == nullptr) return E_POINTER;
    *path = nullptr;
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_path.empty()) return E_UNEXPECTED;
    *path = SysAllocString(m_path.c_str());
    return *path != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CStandinDownload::Finish(BSTR localPath, BSTR service) {
    Journal(L"dl.5 %ls %ls", Text(localPath), Text(service));
    std::lock_guard<std::mutex> hold(m_lock);
    // The component owns the downloads: the finished one is removed.
    if (!m_path.empty() && localPath != nullptr && m_path == localPath) DeleteFileW(m_path.c_str());
    m_path.clear();
    return S_OK;
}

HRESULT CStandinDownload::GetStatus(LONG* value, HRESULT* status) {
    if (value == nullptr || status == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(m_lock);
    *value = m_progress;
    *status = m_status;
    return S_OK;
}

HRESULT CStandinDownload::CheckHash(BSTR hashReference, BOOL* matches) {
    if (matches == nullptr) return E_POINTER;
    *matches = CFennicScript::Current().Number(L"hash", 1) != 0;
    Journal(L"dl.7 %ls %d", Text(hashReference), *matches ? 1 : 0);
    return S_OK;
}

}  // namespace standin
