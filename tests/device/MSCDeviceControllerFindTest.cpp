#include <gtest/gtest.h>

#include "library/content/TNContent.h"
#include "tests/device/DriveTestSupport.h"

namespace {

class DriveFindTest : public DriveTest {};

TEST_F(DriveFindTest, FollowsPlayersComingAndGoing) {
    const wchar_t first = Letter(0), second = Letter(1), plain = Letter(2);
    MakePlayer(first, L"1234_0ab1_A");
    // A USB drive with neither player file is never a player.
    facts_.AddUsbDrive(plain, L"1234_0ab1_PLAIN");
    CMSCDeviceController controller(facts_);

    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceFound);
    EXPECT_EQ(controller.GetRootPath(), RootOf(first));
    EXPECT_EQ(controller.GetDeviceId(), L"1234_0ab1_A");

    const int queries = facts_.VolumeQueries();
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceKept);
    EXPECT_EQ(facts_.VolumeQueries(), queries) << "an unchanged drive set opens no volume";

    MakePlayer(second, L"1234_0ab1_B");
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceKeptOthersPresent);
    EXPECT_EQ(controller.GetRootPath(), RootOf(first));

    facts_.Hide(first);
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceReplaced);
    EXPECT_EQ(controller.GetRootPath(), RootOf(second));
    EXPECT_EQ(controller.GetDeviceId(), L"1234_0ab1_B");

    facts_.Hide(second);
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kNoDevice);
    EXPECT_EQ(controller.GetRootPath(), L"");
    EXPECT_EQ(controller.GetDeviceId(), L"");
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kNoDevice);
}

TEST_F(DriveFindTest, TheLowerDriveLetterWinsAndNonUsbDrivesAreIgnored) {
    MakePlayer(Letter(1), L"1234_0ab1_B");
    MakePlayer(Letter(0), L"1234_0ab1_A");
    // Removable and carrying the document, but not on USB.
    WriteBytes(RootOf(Letter(2)) + L"capability_00.xml", "<capability/>");
    facts_.Show(Letter(2));
    CMSCDeviceController controller(facts_);
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceFound);
    EXPECT_EQ(controller.GetRootPath(), RootOf(Letter(0)));
}

TEST_F(DriveFindTest, CarAudioUnitsNeedTheirModeAndWarnOncePerUnit) {
    const wchar_t unit = Letter(0);
    ASSERT_TRUE(WriteBytes(RootOf(unit) + L"Carvell.dat", ""));
    facts_.AddUsbDrive(unit, L"aaaa_bbbb_CAR");
    CMSCDeviceController controller(facts_);

    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kNoDevice);
    EXPECT_TRUE(controller.GetCarAudioWarning());
    controller.ClearCarAudioWarning();

    // Another scan of the same unit (the drive set changed) raises no second warning.
    facts_.Show(Letter(1));
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kNoDevice);
    EXPECT_FALSE(controller.GetCarAudioWarning());

    controller.SetDeviceMode(CDeviceControllerBase::kCarAudioAllowed);
    facts_.Hide(Letter(1));
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceFound);
    EXPECT_EQ(controller.GetDeviceId(), L"aaaa_bbbb_CAR");
}

TEST_F(DriveFindTest, ClearingTheIdForcesANewLookAndAnEmptyRootRefusesWork) {
    MakePlayer(Letter(0), L"1234_0ab1_A");
    CMSCDeviceController controller(facts_);
    ASSERT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceFound);

    controller.ClearDeviceId();
    EXPECT_EQ(controller.GetRootPath(), L"");
    EXPECT_EQ(controller.GetDeviceId(), L"");

    // Nothing is selected now: with the drive set unchanged the answer must not be "kept"; the
    // player is looked for again and found anew.
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceFound);
    EXPECT_EQ(controller.GetRootPath(), RootOf(Letter(0)));
    controller.ClearDeviceId();

    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring scratch = LocalScratchFolder();
    ASSERT_TRUE(SetCurrentDirectoryW(scratch.c_str()));
    const std::wstring source = scratch + L"\\song.mp3";
    ASSERT_TRUE(WriteBytes(source, "abc"));
    CTNContent content(0, CTNContent::kSong);
    content.sourcePath = source;

    EXPECT_EQ(controller.WriteContent(L"MUSIC\\song.mp3", &content), E_FAIL);
    EXPECT_FALSE(controller.CreateFolder(L"MUSIC\\"));
    EXPECT_FALSE(controller.SetKind1Folder(L"VIDEO\\"));
    EXPECT_FALSE(controller.CreateHiddenFolder(L"Tavrel_Automotive\\"));
    bool registered = true;
    EXPECT_EQ(controller.ToggleRegistration(&registered), E_FAIL);
    std::wstring full;
    EXPECT_FALSE(controller.FileExists(L"song.mp3", &full));
    EXPECT_EQ(controller.GetFreeSpace(), 0u);
    EXPECT_EQ(controller.GetTotalSpace(), 0u);
    EXPECT_FALSE(Exists(scratch + L"\\MUSIC"));
    EXPECT_FALSE(Exists(scratch + L"\\Carvell.dat"));
    EXPECT_FALSE(Exists(scratch + L"\\Tavrel_Automotive"));
    SetCurrentDirectoryW(current);
}

TEST_F(DriveFindTest, SnapshotsTellArrivalAndRemovalApart) {
    const wchar_t first = Letter(0), second = Letter(1);
    facts_.AddUsbDrive(first, L"1234_0ab1_A");
    CMSCDeviceController controller(facts_);
    controller.SnapshotDevices();

    std::wstring label;
    uint64_t capacity = 0;
    EXPECT_FALSE(controller.CheckDeviceArrived(&label, &capacity)) << "nothing changed";

    // Snapshots need no player files: any removable USB drive counts.
    facts_.AddUsbDrive(second, L"1234_0ab1_B");
    EXPECT_TRUE(controller.CheckDeviceArrived(&label, &capacity));
    EXPECT_EQ(controller.GetRootPath(), RootOf(second));
    EXPECT_EQ(controller.GetDeviceId(), L"1234_0ab1_B");
    EXPECT_FALSE(label.empty());
    EXPECT_GT(capacity, 0u);

    facts_.Hide(first);
    EXPECT_TRUE(controller.CheckDeviceStillPresent()) << "another drive left";
    facts_.Hide(second);
    EXPECT_FALSE(controller.CheckDeviceStillPresent());
}

TEST_F(DriveFindTest, CapabilityDocumentIsReadWholeOrNotAtAll) {
    MakePlayer(Letter(0), L"1234_0ab1_A");
    const std::string document = "<capability><format>mp3</format></capability>";
    ASSERT_TRUE(WriteBytes(RootOf(Letter(0)) + L"capability_00.xml", document));
    CMSCDeviceController controller(facts_);
    ASSERT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceFound);
    EXPECT_TRUE(controller.HasCapabilityFile());

    const DWORD size = controller.GetCapabilityFileSize();
    ASSERT_EQ(size, document.size());
    std::string buffer(size, '\0');
    DWORD read = size;
    controller.ReadCapabilityFile(&buffer[0], &read);
    EXPECT_EQ(read, size);
    EXPECT_EQ(buffer, document);

    DWORD tooSmall = size - 1;
    controller.ReadCapabilityFile(&buffer[0], &tooSmall);
    EXPECT_EQ(tooSmall, 0u);

    DeleteFileW((RootOf(Letter(0)) + L"capability_00.xml").c_str());
    EXPECT_FALSE(controller.HasCapabilityFile());
    EXPECT_EQ(controller.GetCapabilityFileSize(), 0u);
    std::wstring icon = LocalScratchFolder() + L"\\icon.fil";
    controller.GetDeviceIcon(&icon);
    EXPECT_EQ(icon, L"");
}

}  // namespace

namespace {

TEST_F(DriveFindTest, WinesRealFactsShowNoUsbPlayer) {
    // The drives are removable and carry the document, but Wine reports no USB bus under them.
    for (wchar_t letter : letters_) {
        ASSERT_TRUE(WriteBytes(RootOf(letter) + L"capability_00.xml", "<capability/>"));
    }
    CMSCDeviceController controller;
    EXPECT_EQ(controller.FindDevice(), CDeviceControllerBase::kNoDevice);
    EXPECT_EQ(controller.GetRootPath(), L"");
}

}  // namespace

namespace {

TEST_F(DriveFindTest, TheDeviceIconComesFromThePlayerOrFromAKnownModel) {
    const std::wstring root = RootOf(Letter(0));
    const std::wstring local = LocalScratchFolder() + L"\\icon.fil";
    struct Case {
        const char* what;
        const wchar_t* deviceId;
        bool iconOnPlayer;
        std::wstring expected;
    };
    const Case cases[] = {
        {"icon on the player", L"9999_0001_S", true, local},
        {"known model without an icon", L"3B7A_0102_S", false, L"3B7A_0102"},
        {"unknown model without an icon", L"9999_0001_S", false, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EmptyFolder(root);
        DeleteFileW(local.c_str());
        MakePlayer(Letter(0), c.deviceId);
        if (c.iconOnPlayer) {
            ASSERT_TRUE(WriteBytes(root + L"DevIcon.fil", "icon"));
        }
        CMSCDeviceController controller(facts_);
        ASSERT_EQ(controller.FindDevice(), CDeviceControllerBase::kDeviceFound);
        std::wstring path = local;
        controller.GetDeviceIcon(&path);
        EXPECT_EQ(path, c.expected);
        if (c.iconOnPlayer) {
            EXPECT_EQ(ReadBytes(local), "icon");
        }
    }
}

}  // namespace
