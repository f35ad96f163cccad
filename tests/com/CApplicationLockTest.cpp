#include "platform/com/CApplicationLock.h"

#include <gtest/gtest.h>

TEST(ApplicationLock, RunsTheReleaseActionOnceWhenTheLastHoldGoes) {
    CApplicationLock lock;
    int released = 0;
    lock.SetReleaseAction([&released] { ++released; });
    lock.Lock();
    lock.Lock();
    lock.Unlock();
    EXPECT_EQ(0, released);
    EXPECT_EQ(1, lock.Count());
    lock.Unlock();
    EXPECT_EQ(1, released);
    EXPECT_EQ(0, lock.Count());
    // An unbalanced unlock neither goes below zero nor releases again.
    lock.Unlock();
    EXPECT_EQ(0, lock.Count());
    EXPECT_EQ(1, released);
}

TEST(ApplicationLock, AWindowHoldKeepsTheServerAfterTheLastObject) {
    CApplicationLock lock;
    int released = 0;
    lock.SetReleaseAction([&released] { ++released; });
    {
        CApplicationLockHold window(lock);
        { CApplicationLockHold object(lock); }
        EXPECT_EQ(0, released);
    }
    EXPECT_EQ(1, released);
}

TEST(ApplicationLock, TheReleaseActionMayLockAgain) {
    CApplicationLock lock;
    lock.SetReleaseAction([&lock] { lock.Lock(); });
    lock.Lock();
    lock.Unlock();
    EXPECT_EQ(1, lock.Count());
}

TEST(ApplicationLock, QuitThreadOnReleasePostsQuitToThatThread) {
    CApplicationLock lock;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives this thread its queue
    lock.QuitThreadOnRelease(GetCurrentThreadId());
    lock.Lock();
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    lock.Unlock();
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
}

TEST(ApplicationLock, TheFirstClientTakesOverTheStartupHold) {
    CApplicationLock lock;
    int released = 0;
    lock.SetReleaseAction([&released] { ++released; });
    lock.HoldForStartup();
    EXPECT_EQ(1, lock.Count());
    {
        CApplicationLockHold client(lock);
        EXPECT_EQ(1, lock.Count());
        lock.EndStartupHold();  // the grace ending later changes nothing
        EXPECT_EQ(1, lock.Count());
        EXPECT_EQ(0, released);
    }
    EXPECT_EQ(1, released);
    EXPECT_EQ(0, lock.Count());
}

TEST(ApplicationLock, AServerNoClientUsedEndsWithItsStartupHold) {
    CApplicationLock lock;
    int released = 0;
    lock.SetReleaseAction([&released] { ++released; });
    lock.HoldForStartup();
    lock.HoldForStartup();  // one start-up hold at most
    EXPECT_EQ(1, lock.Count());
    lock.EndStartupHold();
    EXPECT_EQ(1, released);
    EXPECT_EQ(0, lock.Count());
    lock.EndStartupHold();
    EXPECT_EQ(1, released);
}
