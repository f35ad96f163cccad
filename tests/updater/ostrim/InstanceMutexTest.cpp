#include <gtest/gtest.h>

#include <windows.h>

#include "updater/ostrim/InstanceMutex.h"

namespace {

DWORD WINAPI WaitOnce(void* mutex) {
    const DWORD result = WaitForSingleObject(static_cast<HANDLE>(mutex), 0);
    if (result == WAIT_OBJECT_0) ReleaseMutex(static_cast<HANDLE>(mutex));
    return result;
}

TEST(InstanceMutexTest, SecondInstanceIsRefusedUntilTheFirstEnds) {
    CInstanceMutex first;
    ASSERT_TRUE(first.Create());
    ASSERT_NE(nullptr, first.Handle());
    CInstanceMutex second;
    EXPECT_FALSE(second.Create());
    EXPECT_EQ(nullptr, second.Handle());
    first.Close();
    EXPECT_TRUE(second.Create());
}

TEST(InstanceMutexTest, MutexIsNotOwnedByItsCreator) {
    CInstanceMutex mutex;
    ASSERT_TRUE(mutex.Create());
    // Another thread can take it at once: only its existence counts.
    HANDLE thread = CreateThread(nullptr, 0, WaitOnce, mutex.Handle(), 0, nullptr);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    DWORD result = WAIT_FAILED;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    EXPECT_EQ(WAIT_OBJECT_0, result);
}

TEST(InstanceMutexTest, NameIsMachineWide) {
    EXPECT_STREQ(L"Global\\Ostrim_G", CInstanceMutex::kName);
}

}  // namespace
