#pragma once
// Shared by the analysis tests: the simulated engine registered for the suite, a listener that
// records its calls, and a chain end that keeps what reaches it.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "library/analysis/AnalysisManager.h"
#include "library/content/TNContentHandler.h"
#include "library/util/ScopedWin.h"
#include "standins/analysis/AnalysisEngineStandin.h"

// Registers the simulated engine and the stand-in decoders for a suite; each test sets the
// engine's script (QB_ANALYSIS_STANDIN) and can read what the last engine was told.
class CAnalysisSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static void SetScript(const wchar_t* script);
    static AnalysisStandinSession Session();
    // Removes or restores the engine's registration (an engine that is not installed).
    static void SetEngineInstalled(bool installed);

private:
    static HMODULE engine_;
    static HMODULE decoders_;
};

class CRecordingListener : public CAnalysisManager::IListener {
public:
    struct Call {
        int state;
        bool failed;
    };
    void OnAnalysisProgress(int state, int, int, bool failed) override;
    std::vector<Call> Calls();

private:
    CCriticalSection lock_;
    std::vector<Call> calls_;
};

// The end of a test chain: keeps the records (and deletes them at the end).
class CKeepingEnd : public CTNContentHandler {
public:
    ~CKeepingEnd() override;
    void PostContent(CTNContent* content) override;
    size_t Count();
    CTNContent* At(size_t index);
    bool WaitFor(size_t count, DWORD timeoutMs);

private:
    CCriticalSection lock_;
    std::vector<CTNContent*> contents_;
};

// A copy of a fixture in the temporary folder, deleted with the object unless someone else did.
class CFixtureCopy {
public:
    CFixtureCopy(const std::wstring& fixture, const wchar_t* extension);
    ~CFixtureCopy();
    const std::wstring& Path() const { return path_; }
    bool Exists() const;

private:
    std::wstring path_;
};

std::wstring MediaprobeFixture(const wchar_t* name);
std::wstring DecodeFixture(const wchar_t* name);
// The payload's records as (tag, data) pairs; empty when it does not parse.
std::vector<std::pair<std::string, std::vector<uint8_t>>> PayloadRecords(const CTNByteArray* payload);
