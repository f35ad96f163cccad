#pragma once
// Runs an installer program from a folder of its own, beside a recorder that stands in for the
// program it starts.

#include <windows.h>

#include <string>

#include "tests/util/UtilTestSupport.h"

class CInstallerRun {
public:
    // Copies `program` (a file of the test's own folder) into a scratch program folder, and the
    // command-line recorder there as `startedName`.
    CInstallerRun(const wchar_t* program, const wchar_t* startedName);

    bool IsValid() const { return valid_; }
    const CScratchFolder& Folder() const { return folder_; }
    // Runs the program with `arguments` and returns its exit code (or ~0u when it did not run).
    DWORD Run(const std::wstring& arguments);
    // Starts the program without waiting; the caller closes the process handle (null on failure).
    HANDLE Start(const std::wstring& arguments);
    // The command lines the stand-in was started with, waiting up to `waitMs` for the first.
    std::wstring Recorded(DWORD waitMs);

private:
    CScratchFolder folder_;
    std::wstring program_;
    std::wstring recordFile_;
    bool valid_ = false;
};

// The folder of the running test program, with a trailing backslash.
std::wstring TestProgramFolder();

// A file type of its own (a unique extension under HKLM's classes) whose "open" runs `program`
// with the file's path in quotes; removed at the end.
class CFileTypeRegistration {
public:
    explicit CFileTypeRegistration(const std::wstring& program);
    ~CFileTypeRegistration();
    CFileTypeRegistration(const CFileTypeRegistration&) = delete;
    CFileTypeRegistration& operator=(const CFileTypeRegistration&) = delete;

    bool IsValid() const { return valid_; }
    const std::wstring& Extension() const { return extension_; }

private:
    std::wstring extension_;
    std::wstring className_;
    bool valid_ = false;
};
