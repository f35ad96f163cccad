#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "updater/ostrim/DownloadedFile.h"

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"DownloadedFileTest_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}

void WriteBytes(const std::wstring& path, DWORD count) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    std::vector<char> bytes(count, 'x');
    DWORD written = 0;
    WriteFile(file, bytes.data(), count, &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(count, written);
}

TEST(DownloadedFileTest, SizeIsComparedExactly) {
    const std::wstring path = TempFile(L"size.bin");
    WriteBytes(path, 1000);
    struct Case {
        uint64_t expected;
        HRESULT result;
    };
    const Case cases[] = {
        {1000, S_OK},
        {1001, kDownloadTooShort},  // one byte short
        {999, kDownloadTooLong},
        {0x100000000ULL + 1000, kDownloadTooShort},  // sizes are not cut to 32 bits
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.expected);
        EXPECT_EQ(test.result, CheckDownloadedFileSize(path.c_str(), test.expected));
    }
    DeleteFileW(path.c_str());
    EXPECT_EQ(E_ACCESSDENIED, CheckDownloadedFileSize(path.c_str(), 1000));
}

TEST(DownloadedFileTest, FileThatCannotBeOpenedIsAFailure) {
    const std::wstring missing = TempFile(L"missing.exe");
    DeleteFileW(missing.c_str());
    EXPECT_TRUE(FAILED(OpenWithShell(missing.c_str(), L"")));
}

}  // namespace
