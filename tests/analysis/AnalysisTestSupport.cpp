#include "tests/analysis/AnalysisTestSupport.h"

#include "library/media/decode/ITranscode2.h"
#include "tests/decode/DecodeTestSupport.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* ServerEntry)();
typedef void(WINAPI* SessionEntry)(AnalysisStandinSession*);

HRESULT CallServerEntry(HMODULE server, const char* name) {
    FARPROC entry = GetProcAddress(server, name);
    if (!entry) return E_NOINTERFACE;
    return reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(entry))();
}

HMODULE LoadBeside(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module(path);
    module = module.substr(0, module.find_last_of(L"\\/") + 1) + name;
    return LoadLibraryW(module.c_str());
}

}  // namespace

HMODULE CAnalysisSuite::engine_ = nullptr;
HMODULE CAnalysisSuite::decoders_ = nullptr;

void CAnalysisSuite::SetUpTestSuite() {
    engine_ = LoadBeside(L"QbStandinAnalysis.dll");
    decoders_ = LoadBeside(L"QbStandinDecoders.ax");
    ASSERT_NE(nullptr, engine_);
    ASSERT_NE(nullptr, decoders_);
    ASSERT_EQ(S_OK, CallServerEntry(engine_, "DllRegisterServer"));
    ASSERT_EQ(S_OK, CallServerEntry(decoders_, "DllRegisterServer"));
}

void CAnalysisSuite::TearDownTestSuite() {
    if (engine_) CallServerEntry(engine_, "DllUnregisterServer");
    if (decoders_) CallServerEntry(decoders_, "DllUnregisterServer");
}

void CAnalysisSuite::SetUp() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ASSERT_EQ(S_OK, CreateTranscodeSingleModeEvent());
    SetScript(L"");
}

void CAnalysisSuite::TearDown() {
    SetScript(L"");
    CloseTranscodeSingleModeEvent();
    CoUninitialize();
}

void CAnalysisSuite::SetScript(const wchar_t* script) { SetEnvironmentVariableW(L"QB_ANALYSIS_STANDIN", script); }

AnalysisStandinSession CAnalysisSuite::Session() {
    AnalysisStandinSession session{};
    auto entry = reinterpret_cast<SessionEntry>(
        reinterpret_cast<void*>(GetProcAddress(engine_, "AnalysisStandinGetSession")));
    if (entry) entry(&session);
    return session;
}

void CAnalysisSuite::SetEngineInstalled(bool installed) {
    CallServerEntry(engine_, installed ? "DllRegisterServer" : "DllUnregisterServer");
}

void CRecordingListener::OnAnalysisProgress(int state, int, int, bool failed) {
    CScopedLock lock(lock_);
    calls_.push_back({state, failed});
}

std::vector<CRecordingListener::Call> CRecordingListener::Calls() {
    CScopedLock lock(lock_);
    return calls_;
}

CKeepingEnd::~CKeepingEnd() {
    for (CTNContent* content : contents_) delete content;
}

void CKeepingEnd::PostContent(CTNContent* content) {
    CScopedLock lock(lock_);
    contents_.push_back(content);
}

size_t CKeepingEnd::Count() {
    CScopedLock lock(lock_);
    return contents_.size();
}

CTNContent* CKeepingEnd::At(size_t index) {
    CScopedLock lock(lock_);
    return index < contents_.size() ? contents_[index] : nullptr;
}

bool CKeepingEnd::WaitFor(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (Count() < count) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(5);
    }
    return true;
}

CFixtureCopy::CFixtureCopy(const std::wstring& fixture, const wchar_t* extension) {
    wchar_t temp[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"qba", 0, file);
    DeleteFileW(file);
    path_ = std::wstring(file) + extension;
    CopyFileW(fixture.c_str(), path_.c_str(), FALSE);
}

CFixtureCopy::~CFixtureCopy() { DeleteFileW(path_.c_str()); }

bool CFixtureCopy::Exists() const { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring MediaprobeFixture(const wchar_t* name) {
    const std::string dir = QB_TEST_DATA_DIR "/mediaprobe/";
    return std::wstring(dir.begin(), dir.end()) + name;
}

std::wstring DecodeFixture(const wchar_t* name) { return FixturePath(name); }

std::vector<std::pair<std::string, std::vector<uint8_t>>> PayloadRecords(const CTNByteArray* payload) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> records;
    if (!payload) return records;
    uint32_t at = 0;
    while (payload->length - at >= 20) {
        const uint8_t* header = payload->data + at;
        const uint32_t length = (uint32_t(header[16]) << 24) | (uint32_t(header[17]) << 16) |
                                (uint32_t(header[18]) << 8) | header[19];
        if (length > payload->length - at - 20) return {};
        records.emplace_back(std::string(reinterpret_cast<const char*>(header), 4),
                             std::vector<uint8_t>(header + 20, header + 20 + length));
        at += 20 + length;
    }
    return records;
}
