// The scratch registry of the tests: every run sets up its own redirected hives even while other
// test programs make and remove theirs in the same prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "tests/util/UtilTestSupport.h"

TEST(ScratchRegistryTest, SetsUpWhileOtherRunsComeAndGo) {
    CScopedRegKey software;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, software.Receive()));
    // The registry side of other test programs starting and ending meanwhile, as fast as it goes.
    std::atomic<bool> stop{false};
    std::atomic<int> otherRuns{0};
    std::thread others([&] {
        while (!stop) {
            CScratchKeyTree other(software.Get());
            if (other.IsValid()) ++otherRuns;
        }
    });
    int failed = 0;
    for (int run = 0; run < 300; ++run) {
        CScratchRegistry registry;
        if (!registry.IsActive()) {
            ++failed;
            continue;
        }
        // The redirection holds: a value written through HKCU lands in this run's own key.
        const DWORD value = static_cast<DWORD>(run);
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, L"Probe", L"Run", REG_DWORD, &value,
                                                 sizeof(value)));
        DWORD read = 0;
        DWORD size = sizeof(read);
        ASSERT_EQ(ERROR_SUCCESS,
                  RegGetValueW(registry.User(), L"Probe", L"Run", RRF_RT_REG_DWORD, nullptr, &read, &size));
        EXPECT_EQ(value, read);
    }
    stop = true;
    others.join();
    EXPECT_EQ(0, failed);
    EXPECT_GT(otherRuns.load(), 0);
}

TEST(ScratchRegistryTest, RemovesItsWholeTree) {
    CScopedRegKey software;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, software.Receive()));
    std::wstring name;
    {
        CScratchKeyTree tree(software.Get());
        ASSERT_TRUE(tree.IsValid());
        name = tree.Name();
        const DWORD value = 7;
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(tree.Machine(), L"Deep\\Below", L"Value", REG_DWORD, &value,
                                                 sizeof(value)));
    }
    ASSERT_FALSE(name.empty());
    CScopedRegKey gone;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(software.Get(), name.c_str(), 0, KEY_READ, gone.Receive()));
}
