#pragma once
// Helpers of the decoding tests: scratch files and fixture paths.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library/media/decode/ITranscode2.h"

// A file in the temp folder that is deleted with the object.
class CScratchFile {
public:
    explicit CScratchFile(const std::vector<uint8_t>& bytes);
    ~CScratchFile();
    CScratchFile(const CScratchFile&) = delete;
    CScratchFile& operator=(const CScratchFile&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

std::wstring FixturePath(const wchar_t* name);
std::vector<uint8_t> ReadWholeFile(const std::wstring& path);

// Whether the single-decode token is free now; puts it back when it was.
bool TranscodeTokenIsFree();

// Tests that run decodes: COM on the test thread and the single-decode event around each case.
class CTranscodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_EQ(S_OK, CreateTranscodeSingleModeEvent());
    }
    void TearDown() override {
        CloseTranscodeSingleModeEvent();
        CoUninitialize();
    }
};
