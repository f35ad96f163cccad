#include <gtest/gtest.h>

#include <algorithm>

#include "library/content/ParallelRunnableTNContentHandlerCollection.h"
#include "tests/content/ContentTestSupport.h"

namespace {

// A group member whose work is a shared callback.
class CGroupMember : public CParallelRunnableTNContentHandler {
public:
    explicit CGroupMember(std::function<void(CTNContent*)>* sharedWork) : work_(sharedWork) {}

protected:
    void ProcessContent(CTNContent* content) override {
        (*work_)(content);
        ForwardCurrent();
    }

private:
    std::function<void(CTNContent*)>* work_;
};

class ParallelGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCountedContent::ResetCounts();
        gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        work = [](CTNContent*) {};
    }
    void TearDown() override {
        SetEvent(gate);
        group.reset();
        CloseHandle(gate);
    }
    void Build(int members) {
        group = std::make_unique<CParallelRunnableTNContentHandlerCollection>();
        for (int i = 0; i < members; ++i) group->AddHandler(new CGroupMember(&work));
        group->SetNext(&end);
        ASSERT_EQ(S_OK, group->Start());
    }

    HANDLE gate = nullptr;
    std::function<void(CTNContent*)> work;
    CCollectingHandler end;
    std::unique_ptr<CParallelRunnableTNContentHandlerCollection> group;
};

TEST_F(ParallelGroupTest, TwoIdleMembersWorkOnTwoContentsAtOnce) {
    std::atomic<int> inside{0};
    std::atomic<bool> sawBoth{false};
    work = [&](CTNContent*) {
        ++inside;
        // Only a second member inside at the same time lets this finish early.
        if (WaitUntil([&] { return inside.load() >= 2; }, 3000)) sawBoth = true;
    };
    Build(2);
    group->PostContent(new CCountedContent(0, 0, 1));
    group->PostContent(new CCountedContent(0, 0, 2));
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 2; }));
    EXPECT_TRUE(sawBoth.load());
}

TEST_F(ParallelGroupTest, BusyMembersTakeWaitingContentsInOrderAndTotalSums) {
    std::atomic<int> inside{0};
    work = [&](CTNContent*) {
        ++inside;
        WaitForSingleObject(gate, INFINITE);
    };
    Build(2);
    for (int i = 1; i <= 5; ++i) group->PostContent(new CCountedContent(0, 0, i));
    ASSERT_TRUE(WaitUntil([&] { return inside.load() == 2; }));
    Sleep(50);
    EXPECT_EQ(2, inside.load());
    SetEvent(gate);
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 5; }));
    std::vector<int> serials = end.Serials();
    std::sort(serials.begin(), serials.end());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), serials);
    EXPECT_EQ(5u, group->GetTotalCount());
    EXPECT_EQ(0, CCountedContent::live.load());

    group->ResetTotalCounts();
    EXPECT_EQ(0u, group->GetTotalCount());
    for (int i = 0; i < 3; ++i) group->PostContent(new CCountedContent(0, 0, 10 + i));
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 8; }));
    EXPECT_EQ(3u, group->GetTotalCount());
}

TEST_F(ParallelGroupTest, CancelAllDeletesWaitingQueuedAndInFlightContents) {
    std::atomic<int> inside{0};
    work = [&](CTNContent*) {
        ++inside;
        WaitForSingleObject(gate, INFINITE);
    };
    Build(2);
    for (int i = 0; i < 6; ++i) group->PostContent(new CCountedContent(0, 0, i));
    ASSERT_TRUE(WaitUntil([&] { return inside.load() == 2; }));

    group->CancelAll();
    EXPECT_EQ(2, CCountedContent::live.load());
    SetEvent(gate);
    ASSERT_TRUE(WaitUntil([&] { return CCountedContent::live.load() == 0; }));
    EXPECT_EQ(0u, end.Count());
    EXPECT_EQ(0u, group->GetTotalCount());

    group->Reset();
    EXPECT_TRUE(group->WaitAllAccepting());
    group->PostContent(new CCountedContent(0, 0, 42));
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 1; }));
}

TEST_F(ParallelGroupTest, ContentsPostedWhileAMemberFinishesAreNeverStranded) {
    // Many short contents racing the members' hand-over: every one must reach the end.
    work = [](CTNContent*) { Sleep(0); };
    Build(3);
    for (int i = 0; i < 500; ++i) group->PostContent(new CCountedContent(0, 0, i));
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 500; }, 20000)) << end.Count();
    EXPECT_EQ(500u, group->GetTotalCount());
}

}  // namespace
