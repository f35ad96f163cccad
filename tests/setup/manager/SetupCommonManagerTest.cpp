// The setup manager without a player: what it refuses and what it leaves alone.
#include "setup/manager/SetupCommonManager.h"

#include <gtest/gtest.h>

#include "library/capability/DefaultCapabilityXml.h"

namespace {

TEST(SetupCommonManagerTest, WithoutAPlayerNothingIsToggledListedOrWritten) {
    CSetupCommonManager manager(nullptr, std::wstring());
    EXPECT_EQ(E_POINTER, manager.ToggleDeviceRegistration());
    EXPECT_FALSE(manager.PlayerHoldsSongs());
    EXPECT_FALSE(manager.IsDeviceConnected());
    // No songs present: no refresh starts.
    EXPECT_FALSE(manager.StartRefreshThread());
    EXPECT_FALSE(manager.IsRefreshRunning());
    // A write thread without a listed tree would empty the player's mood files: none starts.
    EXPECT_FALSE(manager.Transfer().StartWriteThread());
    manager.StartWriteThread();
    manager.StopRefresh();
    manager.DeleteCacheFiles();
    std::vector<std::pair<std::wstring, std::wstring>> list{{L"a", L"b"}};
    manager.Transfer().CopyDeviceList(&list);
    EXPECT_TRUE(list.empty());
}

TEST(SetupCommonManagerTest, TheWizardKeepsItsBuiltInCapabilityUnderItsOwnId) {
    DWORD size = 0;
    EXPECT_EQ(S_OK, LoadDefaultCapabilityXml(nullptr, &size, CSetupCommonManager::kBuiltInCapabilityResourceId));
    EXPECT_GT(size, 100u);
    DWORD mainProgramSize = 0;
    EXPECT_EQ(S_OK, LoadDefaultCapabilityXml(nullptr, &mainProgramSize));
    EXPECT_EQ(mainProgramSize, size) << "one document under both ids";
}

}  // namespace
