#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "SimulatedGantrel.h"
#include "updater/ostrim/FirmwareDisplay.h"
#include "updater/ostrim/FirmwareUpdate.h"
#include "updater/ostrim/GantrelLibrary.h"
#include "updater/ostrim/UpdateClock.h"

namespace {

// A thousand times faster than the wall clock; keeps every wait it was asked for.
class CFastClock : public IUpdateClock {
public:
    void Sleep(DWORD milliseconds) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_waits[milliseconds];
        }
        ::Sleep(std::max<DWORD>(1, milliseconds / 1000));
    }
    int Waits(DWORD milliseconds) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_waits[milliseconds];
    }

private:
    std::mutex m_mutex;
    std::map<DWORD, int> m_waits;
};

class CRecordingDisplay : public IFirmwareDisplay {
public:
    CRecordingDisplay() : m_closed(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~CRecordingDisplay() override { CloseHandle(m_closed); }
    long ShowAndWait() override {
        return WaitForSingleObject(m_closed, 60000) == WAIT_OBJECT_0 ? S_OK : E_ABORT;
    }
    void ShowProgress(int percent) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_shown.push_back(percent);
        shownCount = static_cast<int>(m_shown.size());
    }
    void Close() override {
        ++closeCount;
        SetEvent(m_closed);
    }
    std::vector<int> Shown() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_shown;
    }
    std::atomic<int> shownCount{0};
    std::atomic<int> closeCount{0};

private:
    HANDLE m_closed;
    std::mutex m_mutex;
    std::vector<int> m_shown;
};

constexpr ULONG kFourMiB = 4 * 1048576;
const wchar_t kFirmwareFile[] = L"C:\\users\\Public\\Downloads\\TORNELLE_110.bin";

class FirmwareUpdateTest : public testing::Test {
protected:
    FirmwareUpdateTest() : gantrel(clock), update(gantrel, display, clock) { gantrel.Attach(ResetSimulatedGantrel()); }

    HRESULT Run() { return update.UpdateTornelle(SimulatedPlayer(L"1.00"), kFirmwareFile, kFourMiB); }

    void ExpectCopyDeleted() {
        EXPECT_EQ(L"\\TORNELLE_110.bin", Sim().copiedTo);
        EXPECT_EQ(Sim().copiedTo, Sim().deleted);
        EXPECT_EQ(1, Sim().deleteCalls);
        EXPECT_TRUE(gantrel.targetPath.empty());
    }

    CFastClock clock;
    CRecordingDisplay display;
    CGantrelLibrary gantrel;
    CFirmwareUpdate update;
};

TEST(FirmwareProgressTest, FourMiBTakes192Seconds) {
    EXPECT_DOUBLE_EQ(192.0, CFirmwareUpdate::ExpectedSeconds(kFourMiB));
    EXPECT_DOUBLE_EQ(180.0, CFirmwareUpdate::ExpectedSeconds(0));
    // The size counts as unsigned: the largest value is about 4 GiB, not a negative size.
    EXPECT_GT(CFirmwareUpdate::ExpectedSeconds(0xFFFFFFFFu), 12000.0);
}

TEST_F(FirmwareUpdateTest, PlayerThatRestartsSucceedsAndTheBarEndsFull) {
    // The player is seen away once, then comes back only after the display has shown 250 passes,
    // well past the expected 192 s.
    Sim().returns = [this](int poll) {
        if (poll < 2) return false;
        while (display.shownCount < 250) ::Sleep(1);
        return true;
    };
    EXPECT_EQ(S_OK, Run());
    EXPECT_EQ(S_OK, update.Result());
    EXPECT_TRUE(update.IsDone());
    EXPECT_TRUE(Sim().commandSent);
    EXPECT_EQ(kFirmwareFile, Sim().copiedFrom);
    ExpectCopyDeleted();
    EXPECT_EQ(1, display.closeCount);
    EXPECT_EQ(1, clock.Waits(10000));
    EXPECT_EQ(1, clock.Waits(5000));
    EXPECT_EQ(1, clock.Waits(50));

    const std::vector<int> shown = display.Shown();
    ASSERT_GE(shown.size(), 251u);
    EXPECT_EQ(100, shown.back());
    for (size_t pass = 0; pass + 1 < shown.size(); ++pass) {
        const int expected = std::min<int>(99, static_cast<int>(pass * 100 / 192));
        ASSERT_EQ(expected, shown[pass]) << "pass " << pass;
    }
    EXPECT_EQ((std::vector<int>{0, 0, 1, 1, 2}), std::vector<int>(shown.begin(), shown.begin() + 5));
    EXPECT_EQ(99, shown[191]);
    EXPECT_EQ(98, shown[190]);
}

TEST_F(FirmwareUpdateTest, PlayerThatNeverLeavesFailsAfterFiveChecks) {
    Sim().leaveAfterPolls = INT_MAX;
    EXPECT_EQ(kPlayerDidNotRestart, Run());
    EXPECT_EQ(5, Sim().pollsAfterCommand);
    EXPECT_EQ(1, clock.Waits(10000));
    EXPECT_EQ(1, clock.Waits(5000));
    EXPECT_EQ(0, clock.Waits(2000));
    ExpectCopyDeleted();
    // A failed update closes the display without a full bar.
    EXPECT_EQ(1, display.closeCount);
    const std::vector<int> shown = display.Shown();
    EXPECT_TRUE(std::find(shown.begin(), shown.end(), 100) == shown.end());
}

TEST_F(FirmwareUpdateTest, PlayerThatNeverReturnsFailsAfter295Checks) {
    Sim().returns = [](int) { return false; };
    EXPECT_EQ(kPlayerDidNotRestart, Run());
    EXPECT_EQ(1 + 295, Sim().pollsAfterCommand);
    EXPECT_EQ(295, clock.Waits(2000));
    ExpectCopyDeleted();
    EXPECT_EQ(1, display.closeCount);
}

// The display may come back before the update ends; the outcome is still the update's own.
TEST_F(FirmwareUpdateTest, ResultIsReadOnlyAfterTheUpdateEnds) {
    display.Close();
    display.closeCount = 0;
    Sim().leaveAfterPolls = INT_MAX;
    EXPECT_EQ(kPlayerDidNotRestart, Run());
    EXPECT_EQ(5, Sim().pollsAfterCommand);
    ExpectCopyDeleted();
    EXPECT_EQ(1, display.closeCount);
}

TEST_F(FirmwareUpdateTest, TwoPlayersDuringTheWaitCountAsLeft) {
    Sim().playersWhileAway = 2;
    Sim().returns = [](int poll) { return poll >= 4; };
    EXPECT_EQ(S_OK, Run());
    EXPECT_EQ(4, Sim().pollsAfterCommand);
    EXPECT_EQ(100, display.Shown().back());
}

TEST_F(FirmwareUpdateTest, CopyFailuresStopBeforeTheCommand) {
    const struct {
        HRESULT copyResult;
        HRESULT expected;
    } cases[] = {{1, kNoPlayer}, {E_ACCESSDENIED, E_ACCESSDENIED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.copyResult);
        gantrel.Attach(ResetSimulatedGantrel());
        display.closeCount = 0;
        Sim().copyResult = c.copyResult;
        EXPECT_EQ(c.expected, Run());
        EXPECT_FALSE(Sim().commandSent);
        EXPECT_EQ(1, Sim().deleteCalls);
        EXPECT_EQ(1, display.closeCount);
    }
}

TEST(GantrelLibraryTest, WithoutTheLibraryEveryCallIsEHandle) {
    CFastClock clock;
    CGantrelLibrary gantrel(clock);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), gantrel.Load(L"QbMissingGantrel.dll"));
    EXPECT_FALSE(gantrel.IsBound());
    DEVICE_INFO info;
    info.vendorId = 7;
    EXPECT_EQ(E_HANDLE, gantrel.GetSinglePlayerInfo(&info));
    EXPECT_EQ(0u, info.vendorId);
    EXPECT_EQ(E_HANDLE, gantrel.UpdateFirmware(1, 2, L"S", kFirmwareFile));
    EXPECT_EQ(E_HANDLE, gantrel.CheckSamePlayer(SimulatedPlayer(L"1.00")));

    // The firmware update then fails at once and closes its display without a full bar.
    CRecordingDisplay display;
    CFirmwareUpdate update(gantrel, display, clock);
    EXPECT_EQ(E_HANDLE, update.UpdateTornelle(SimulatedPlayer(L"1.00"), kFirmwareFile, kFourMiB));
    EXPECT_EQ(1, display.closeCount);
    const std::vector<int> shown = display.Shown();
    EXPECT_TRUE(std::find(shown.begin(), shown.end(), 100) == shown.end());
}

TEST(GantrelLibraryTest, TheBuiltLibraryBindsEveryExport) {
    CFastClock clock;
    CGantrelLibrary gantrel(clock);
    EXPECT_EQ(S_OK, gantrel.Load());
    EXPECT_TRUE(gantrel.IsBound());
}

TEST(GantrelLibraryTest, SinglePlayerInfo) {
    CFastClock clock;
    CGantrelLibrary gantrel(clock);
    const struct {
        int players;
        HRESULT getDevices;
        HRESULT expected;
    } cases[] = {{1, S_OK, S_OK}, {0, S_OK, kNoPlayer}, {2, S_OK, kSeveralPlayers}, {1, E_UNEXPECTED, E_UNEXPECTED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.players << " players");
        gantrel.Attach(ResetSimulatedGantrel());
        Sim().playersBeforeCommand = c.players;
        Sim().getDevicesResult = c.getDevices;
        DEVICE_INFO info;
        EXPECT_EQ(c.expected, gantrel.GetSinglePlayerInfo(&info));
        EXPECT_EQ(c.expected == S_OK ? 0x054Cu : 0u, info.vendorId);
        EXPECT_EQ(c.expected == S_OK ? 0 : 1, gantrel.CheckSamePlayer(SimulatedPlayer(L"1.00")));
    }
}

TEST(GantrelLibraryTest, CheckSamePlayerComparesIdentityNotVersion) {
    CFastClock clock;
    CGantrelLibrary gantrel(clock);
    gantrel.Attach(ResetSimulatedGantrel());
    DEVICE_INFO stored = SimulatedPlayer(L"0.99");
    EXPECT_EQ(0, gantrel.CheckSamePlayer(stored));
    stored.serial[31] = L'2';
    EXPECT_EQ(1, gantrel.CheckSamePlayer(stored));
    stored = SimulatedPlayer(L"1.00");
    stored.productId = 1;
    EXPECT_EQ(1, gantrel.CheckSamePlayer(stored));
    gantrel.Unload();
    EXPECT_EQ(E_HANDLE, gantrel.CheckSamePlayer(stored));
}

TEST(GantrelLibraryTest, UpdateFirmwareNeedsAFile) {
    CFastClock clock;
    CGantrelLibrary gantrel(clock);
    gantrel.Attach(ResetSimulatedGantrel());
    EXPECT_EQ(E_INVALIDARG, gantrel.UpdateFirmware(1, 2, L"S", nullptr));
    EXPECT_EQ(E_INVALIDARG, gantrel.UpdateFirmware(1, 2, L"S", L""));
    EXPECT_FALSE(Sim().commandSent);
}

}  // namespace
