#include <gtest/gtest.h>

#include <windows.h>

#include "SimulatedGantrel.h"
#include "updater/ostrim/GantrelLibrary.h"
#include "updater/ostrim/UpdateClock.h"
#include "updater/ostrim/VersionCheck.h"

namespace {

class VersionCheckTest : public testing::Test {
protected:
    VersionCheckTest() : gantrel(clock) {}
    CSystemClock clock;
    CGantrelLibrary gantrel;
};

TEST_F(VersionCheckTest, ApplicationVersionsCompareAsNumbers) {
    EXPECT_EQ(S_OK, CheckVersionRelation(VersionScheme::kApplication, gantrel, L"1.0.0.10", L"1.0.0.9", 8));
    EXPECT_EQ(S_FALSE, CheckVersionRelation(VersionScheme::kApplication, gantrel, L"1.0.0.10", L"1.0.0.9", 5));
    EXPECT_EQ(S_FALSE, CheckVersionRelation(VersionScheme::kApplication, gantrel, L"1.0.0.10", L"1.0.0.9", 3));
    EXPECT_EQ(S_FALSE, CheckVersionRelation(VersionScheme::kApplication, gantrel, L"1.0.0.10", L"1.0.0.9", 4));
    // A three-part version counts as -1, below every full one.
    EXPECT_EQ(S_OK, CheckVersionRelation(VersionScheme::kApplication, gantrel, L"2.0.0", L"0.0.0.0", 5));
    EXPECT_EQ(S_OK, CheckVersionRelation(VersionScheme::kApplication, gantrel, nullptr, L"1.0.0", 1));
}

TEST_F(VersionCheckTest, ReportOnlyAlwaysHolds) {
    for (int op : {0, 1, 3, 4, 8, 42}) {
        EXPECT_EQ(S_OK, CheckVersionRelation(VersionScheme::kReportOnly, gantrel, L"1.0.0.1", L"1.0.0.2", op)) << op;
    }
}

TEST_F(VersionCheckTest, PlayerFirmwareAsksTheFirmwareLibrary) {
    EXPECT_EQ(E_HANDLE, CheckVersionRelation(VersionScheme::kPlayerFirmware, gantrel, L"1.10", L"1.00", 8));
    gantrel.Attach(ResetSimulatedGantrel());
    const struct {
        HRESULT order;
        int op;
        HRESULT expected;
    } cases[] = {
        {2, 8, S_OK},     {2, 7, S_OK},     {2, 5, S_FALSE}, {2, 1, S_FALSE}, {2, 2, S_OK},
        {1, 1, S_OK},     {1, 6, S_OK},     {1, 7, S_OK},    {1, 8, S_FALSE}, {0, 5, S_OK},
        {0, 8, S_FALSE},  {0, 3, S_FALSE},  {1, 4, S_FALSE}, {1, 9, S_FALSE}, {1, 0, S_FALSE},
        {E_INVALIDARG, 1, E_INVALIDARG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << " operator " << c.op);
        Sim().versionOrder = c.order;
        EXPECT_EQ(c.expected, CheckVersionRelation(VersionScheme::kPlayerFirmware, gantrel, L"1.10", L"1.00", c.op));
    }
    EXPECT_EQ(E_INVALIDARG, CheckVersionRelation(VersionScheme::kPlayerFirmware, gantrel, nullptr, L"1.00", 1));
    EXPECT_EQ(E_INVALIDARG, CheckVersionRelation(VersionScheme::kPlayerFirmware, gantrel, L"1.00", nullptr, 1));
}

}  // namespace
