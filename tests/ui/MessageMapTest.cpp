#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/ui/UiFrameWnd.h"

using ::testing::ElementsAre;

namespace {

const CUiRegisteredMessage kRefreshMessage(L"QbUiMessageMapTestRefresh");

// A base and a derived frame, each with a table, recording which handler ran.
class CBaseTestFrame : public CUiFrameWnd {
public:
    const CUiMessageMap& GetMessageMap() const override {
        static const CUiMessageMap map(&CUiFrameWnd::GetMessageMap(), {
            UiOnCommand(201, &CBaseTestFrame::OnBaseCommand),
            UiOnCommand(202, &CBaseTestFrame::OnSharedCommand),
            UiOnMessage(WM_USER + 7, &CBaseTestFrame::OnUserMessage),
        });
        return map;
    }
    std::vector<std::string> calls;

protected:
    void OnBaseCommand() { calls.push_back("base 201"); }
    void OnSharedCommand() { calls.push_back("base 202"); }
    LRESULT OnUserMessage(WPARAM wParam, LPARAM lParam) {
        calls.push_back("base user");
        return static_cast<LRESULT>(wParam * 10 + lParam);
    }
};

class CDerivedTestFrame : public CBaseTestFrame {
public:
    const CUiMessageMap& GetMessageMap() const override {
        static const CUiMessageMap map(&CBaseTestFrame::GetMessageMap(), {
            UiOnCommand(202, &CDerivedTestFrame::OnDerivedCommand),
            UiOnNotify(55, NM_CLICK, &CDerivedTestFrame::OnTreeClick),
            UiOnRegisteredMessage(kRefreshMessage, &CDerivedTestFrame::OnRefresh),
            UiOnMessage(WM_ERASEBKGND, &CDerivedTestFrame::OnEraseBackground),
        });
        return map;
    }

private:
    void OnDerivedCommand() { calls.push_back("derived 202"); }
    LRESULT OnTreeClick(NMHDR* header) {
        calls.push_back("click " + std::to_string(header->idFrom));
        return 1;
    }
    LRESULT OnRefresh(WPARAM, LPARAM) {
        calls.push_back("refresh");
        return 99;
    }
    LRESULT OnEraseBackground(WPARAM, LPARAM) { return TRUE; }
};

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        CUiFrameWnd::CreateArgs args;
        args.title = L"Message map";
        ASSERT_TRUE(frame_.Create(args));
    }
    LRESULT Notify(UINT_PTR id, UINT code) {
        NMHDR header{nullptr, id, code};
        return SendMessageW(frame_.Hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
    }
    CDerivedTestFrame frame_;
};

}  // namespace

TEST_F(MessageMapTest, AClassEntriesComeBeforeItsBaseAndUnlistedMessagesGoToTheDefault) {
    HWND hwnd = frame_.Hwnd();
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(202, BN_CLICKED), 0);
    SendMessageW(hwnd, WM_COMMAND, 201, 0);
    SendMessageW(hwnd, WM_COMMAND, 203, 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 7, 4, 2), 42);
    EXPECT_EQ(SendMessageW(hwnd, WM_ERASEBKGND, 0, 0), TRUE);
    // Unlisted: DefWindowProc answers WM_GETTEXTLENGTH with the title's length.
    EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 11);
    EXPECT_THAT(frame_.calls, ElementsAre("derived 202", "base 201", "base user"));
}

TEST_F(MessageMapTest, NotificationsMatchTheirControlAndCode) {
    EXPECT_EQ(Notify(55, NM_CLICK), 1);
    EXPECT_EQ(Notify(55, NM_DBLCLK), 0);
    EXPECT_EQ(Notify(56, NM_CLICK), 0);
    EXPECT_THAT(frame_.calls, ElementsAre("click 55"));
}

TEST_F(MessageMapTest, RegisteredMessagesMatchTheirRuntimeId) {
    ASSERT_NE(kRefreshMessage.Id(), 0u);
    EXPECT_EQ(SendMessageW(frame_.Hwnd(), kRefreshMessage.Id(), 0, 0), 99);
    EXPECT_EQ(SendMessageW(frame_.Hwnd(), RegisterWindowMessageW(L"QbUiMessageMapTestOther"), 0, 0), 0);
    EXPECT_THAT(frame_.calls, ElementsAre("refresh"));
}

TEST_F(MessageMapTest, TheWindowObjectIsFoundFromItsHandleUntilTheWindowIsGone) {
    HWND hwnd = frame_.Hwnd();
    EXPECT_EQ(CUiWnd::FromHandle(hwnd), &frame_);
    EXPECT_EQ(CUiWnd::FromHandle(nullptr), nullptr);
    EXPECT_TRUE(frame_.DestroyWindow());
    EXPECT_EQ(frame_.Hwnd(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
}
