#include "standins/fennic/StandinScript.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <vector>

namespace standin {

namespace {

std::wstring Environment(const wchar_t* name) {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return std::wstring();
    return std::wstring(buffer.data(), length);
}

}  // namespace

CFennicScript CFennicScript::Current() {
    CFennicScript script;
    script.m_script = L";" + Environment(L"QB_FENNIC_STANDIN") + L";";
    return script;
}

std::wstring CFennicScript::Text(const wchar_t* key, const wchar_t* fallback) const {
    const std::wstring pattern = L";" + std::wstring(key) + L"=";
    const size_t start = m_script.find(pattern);
    if (start == std::wstring::npos) return fallback;
    const size_t value = start + pattern.size();
    return m_script.substr(value, m_script.find(L';', value) - value);
}

long CFennicScript::Number(const wchar_t* key, long fallback) const {
    const std::wstring text = Text(key);
    return text.empty() ? fallback : static_cast<long>(wcstoul(text.c_str(), nullptr, 0));
}

HRESULT CFennicScript::FailureOf(const wchar_t* call) const {
    const std::wstring failure = Text(L"fail");
    const size_t colon = failure.find(L':');
    if (colon == std::wstring::npos || failure.compare(0, colon, call) != 0) return S_OK;
    return static_cast<HRESULT>(wcstoul(failure.c_str() + colon + 1, nullptr, 0));
}

void Journal(const wchar_t* format, ...) {
    static std::mutex lock;
    const std::wstring path = Environment(L"QB_FENNIC_STANDIN_LOG");
    if (path.empty()) return;
    wchar_t line[1024];
    va_list arguments;
    va_start(arguments, format);
    _vsnwprintf_s(line, _TRUNCATE, format, arguments);
    va_end(arguments);
    char bytes[4096];
    const int length = WideCharToMultiByte(CP_UTF8, 0, line, -1, bytes, sizeof(bytes) - 1, nullptr, nullptr);
    if (length <= 0) return;
    bytes[length - 1] = '\n';
    std::lock_guard<std::mutex> hold(lock);
    FILE* file = _wfopen(path.c_str(), L"ab");
    if (file == nullptr) return;
    fwrite(bytes, 1, static_cast<size_t>(length), file);
    fclose(file);
}

}  // namespace standin
