#pragma once
// Shared by the update client's tests: the simulated update components registered for a suite, a
// script and journal per test, and the registry values a test leaves behind removed.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class CFennicSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The components' script for this test; the download folder is added.
    void SetScript(const std::wstring& script);
    // Every call the components journaled so far, one per line.
    std::string Journal() const;
    // A service identifier of this test's own, so that parallel runs keep apart in the registry.
    const std::wstring& Service() const { return m_service; }

    static std::wstring StatusKey(const std::wstring& service, const std::wstring& instance);
    static std::wstring ReadValue(const std::wstring& key, const wchar_t* name);
    static void WriteValue(const std::wstring& key, const wchar_t* name, const wchar_t* value);
    static void RemoveService(const std::wstring& service);
    static std::wstring BesideTests(const wchar_t* name);
    // Removes or restores the components' registration (components that are not installed).
    static void SetComponentsRegistered(bool registered);

private:
    static HMODULE s_components;
    std::wstring m_service;
    std::wstring m_folder;
    std::wstring m_journal;
};
