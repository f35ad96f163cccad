#include <gtest/gtest.h>

#include <cstring>

#include "firmware/Gantrel.h"
#include "firmware/MassStoragePlayers.h"
#include "tests/firmware/FirmwareTestSupport.h"

namespace {

class MassStorageTest : public FirmwareTest {
protected:
    std::vector<DEVICE_INFO> Scan() {
        EXPECT_EQ(0, GetDevices());
        int count = -1;
        EXPECT_EQ(0, GetDeviceCount(&count));
        std::vector<DEVICE_INFO> records(count > 0 ? count : 0);
        EXPECT_EQ(0, GetDeviceInfo(records.data(), static_cast<unsigned>(records.size())));
        return records;
    }
    std::string FileOn(const SimulatedDrive& drive, const std::wstring& path) {
        std::string bytes;
        return ReadWholeFile(drive.root + path, &bytes) ? bytes : "<missing>";
    }
    std::string ImageBytes(const std::wstring& path) {
        std::string bytes;
        ReadWholeFile(path, &bytes);
        return bytes;
    }
};

TEST_F(MassStorageTest, PlayerIsReportedWithItsIdentity) {
    AddMscPlayer(L'E', "SER00000000000017");
    std::vector<DEVICE_INFO> records = Scan();
    ASSERT_EQ(1u, records.size());
    const DEVICE_INFO& info = records[0];
    EXPECT_EQ(kTransportMassStorage, info.transport);
    EXPECT_EQ(kVendor, info.vendorId);
    EXPECT_EQ(kMscProduct, info.productId);
    // The reply's serial field is 16 bytes: a longer serial is cut there.
    EXPECT_STREQ(L"SER0000000000001", info.serial);
    EXPECT_STREQ(L"PA001", info.productCode);
    EXPECT_STREQ(L"NW-T100", info.modelName);
    EXPECT_STREQ(L"NW-T100_0a3c", info.modelKey);
    EXPECT_STREQ(L"1.02", info.firmwareVersion);
    EXPECT_STREQ(L"0.31", info.secondVersion);
}

TEST_F(MassStorageTest, ModelKeyIsTrimmedBeforeFormatting) {
    AddMscPlayer(L'E', "S1").deviceInfo = MassStorageDeviceInfo("  NW T1 \t", "1.00", "0.01", "S1", 0xff, 0x00);
    std::vector<DEVICE_INFO> records = Scan();
    ASSERT_EQ(1u, records.size());
    EXPECT_STREQ(L"NW T1_ff00", records[0].modelKey);
    EXPECT_STREQ(L"  NW T1 \t", records[0].modelName);
}

TEST_F(MassStorageTest, OnlyTheMakersPlayersAreListed) {
    struct Case {
        const char* name;
        void (*change)(SimulatedDrive&);
    };
    const Case cases[] = {
        {"product field not padded with spaces",
         [](SimulatedDrive& d) { d.inquiry = InquiryReply("TAVREL", "TORNELLEX"); }},
        {"product field in lower case", [](SimulatedDrive& d) { d.inquiry = InquiryReply("TAVREL", "tornelle"); }},
        {"other vendor field", [](SimulatedDrive& d) { d.inquiry = InquiryReply("TAVRE", "TORNELLE"); }},
        {"INQUIRY fails", [](SimulatedDrive& d) { d.inquirySense = 5; }},
        {"INQUIRY answers too few bytes", [](SimulatedDrive& d) { d.inquiry.resize(24); }},
        {"volume does not open", [](SimulatedDrive& d) { d.opens = false; }},
        {"fixed disk", [](SimulatedDrive& d) { d.driveType = DRIVE_FIXED; }},
        {"foreign USB vendor id",
         [](SimulatedDrive& d) {
             d.usbInstanceId = L"USB\\VID_1234&PID_0A01\\S1";
             d.usbVendor = 0x1234;
         }},
        {"iProduct with a suffix", [](SimulatedDrive& d) { d.usbProductString = L"TORNELLE2"; }},
        {"iProduct in lower case", [](SimulatedDrive& d) { d.usbProductString = L"Tornelle"; }},
        {"USB serial differs from the instance id", [](SimulatedDrive& d) { d.usbSerial = L"OTHER"; }},
        {"not on USB", [](SimulatedDrive& d) { d.usbInstanceId.clear(); }},
        {"Get Device Info fails", [](SimulatedDrive& d) { d.deviceInfoSense = 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        machine_ = CSimulatedMassStorage();
        c.change(AddMscPlayer(L'F', "S1"));
        AddMscPlayer(L'G', "S2");
        std::vector<DEVICE_INFO> records = Scan();
        ASSERT_EQ(1u, records.size());
        EXPECT_STREQ(L"S2", records[0].serial);
    }
}

TEST_F(MassStorageTest, DrivesBeforeCAreNeverScanned) {
    SimulatedDrive& a = AddMscPlayer(L'A', "SA");
    SimulatedDrive& b = AddMscPlayer(L'B', "SB");
    EXPECT_TRUE(Scan().empty());
    EXPECT_TRUE(a.commands.empty());
    EXPECT_TRUE(b.commands.empty());
}

TEST_F(MassStorageTest, CommandsAreExactlyThePlayersCdbs) {
    SimulatedDrive& drive = AddMscPlayer(L'H', "S1");
    Scan();
    ASSERT_EQ(2u, drive.commands.size());
    EXPECT_EQ(std::vector<BYTE>(scsi::kInquiry, scsi::kInquiry + 6), drive.commands[0]);
    const std::vector<BYTE> getDeviceInfo = {0xfc, 0x00, 0x20, 0x64, 0x62, 0x6d, 0x6e, 0x00, 0x80, 0x00, 0x00, 0x00};
    EXPECT_EQ(getDeviceInfo, drive.commands[1]);

    EXPECT_EQ(0, SendUpdateCommand(kVendor, kMscProduct, L"S1"));
    ASSERT_EQ(3u, drive.commands.size());
    const std::vector<BYTE> startUpdate = {0xfc, 0x00, 0x04, 0x64, 0x62, 0x6d, 0x6e, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(startUpdate, drive.commands[2]);
}

TEST_F(MassStorageTest, UpdateCommandGoesOnlyToTheNamedPlayer) {
    SimulatedDrive& first = AddMscPlayer(L'E', "S1");
    SimulatedDrive& second = AddMscPlayer(L'F', "S2");
    Scan();
    EXPECT_EQ(0, SendUpdateCommand(kVendor, kMscProduct, L"S2"));
    EXPECT_EQ(2u, first.commands.size());
    ASSERT_EQ(3u, second.commands.size());
    EXPECT_EQ(0x04, second.commands[2][2]);
    EXPECT_EQ(0, SendUpdateCommand(kVendor, kMscProduct, L"S9"));
    EXPECT_EQ(3u, second.commands.size());
}

TEST_F(MassStorageTest, CopyLandsOnTheNamedPlayerOnly) {
    SimulatedDrive& first = AddMscPlayer(L'E', "S1");
    SimulatedDrive& second = AddMscPlayer(L'F', "S2");
    const std::wstring image = Image(L"fw.bin", 4096);
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"S2", image.c_str(), L"\\fw.bin", FALSE));
    EXPECT_EQ(ImageBytes(image), FileOn(second, L"\\fw.bin"));
    EXPECT_EQ("<missing>", FileOn(first, L"\\fw.bin"));
}

TEST_F(MassStorageTest, EmptyPathPutsTheImageAtTheRootUnderItsName) {
    SimulatedDrive& drive = AddMscPlayer(L'E', "S1");
    const std::wstring image = Image(L"TN_FW.bin", 100);
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"S1", image.c_str(), L"", FALSE));
    EXPECT_EQ(ImageBytes(image), FileOn(drive, L"\\TN_FW.bin"));
}

TEST_F(MassStorageTest, CreateFoldersMakesEachLevelAndAcceptsExistingOnes) {
    SimulatedDrive& drive = AddMscPlayer(L'E', "S1");
    const std::wstring image = Image(L"fw.bin", 100);
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"S1", image.c_str(), L"\\A\\B\\fw.bin", TRUE));
    EXPECT_EQ(ImageBytes(image), FileOn(drive, L"\\A\\B\\fw.bin"));
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"S1", image.c_str(), L"\\A\\B\\fw.bin", TRUE));
    // Without a folder to make, create is refused as the caller's error.
    EXPECT_EQ(E_INVALIDARG, CopyFirmwareBinary(kVendor, kMscProduct, L"S1", image.c_str(), L"fw.bin", TRUE));
}

TEST_F(MassStorageTest, ImageAsLargeAsTheFreeSpaceIsRefused) {
    SimulatedDrive& drive = AddMscPlayer(L'E', "S1");
    drive.freeBytes = 1000;
    EXPECT_EQ(E_OUTOFMEMORY,
              CopyFirmwareBinary(kVendor, kMscProduct, L"S1", Image(L"fw.bin", 1000).c_str(), L"\\fw.bin", FALSE));
    EXPECT_EQ("<missing>", FileOn(drive, L"\\fw.bin"));
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"S1", Image(L"small.bin", 999).c_str(), L"\\fw.bin",
                                    FALSE));
}

TEST_F(MassStorageTest, MissingPlayerOrImage) {
    AddMscPlayer(L'E', "S1");
    const std::wstring image = Image(L"fw.bin", 10);
    EXPECT_EQ(1, CopyFirmwareBinary(kVendor, kMscProduct, L"S9", image.c_str(), L"\\fw.bin", FALSE));
    EXPECT_EQ(1, CopyFirmwareBinary(kVendor, 0x0fff, L"S1", image.c_str(), L"\\fw.bin", FALSE));
    EXPECT_EQ(E_FAIL,
              CopyFirmwareBinary(kVendor, kMscProduct, L"S1", images_.Join(L"absent.bin").c_str(), L"\\fw.bin", FALSE));
}

TEST_F(MassStorageTest, DeleteRemovesTheImageOrAnEmptyFolder) {
    SimulatedDrive& drive = AddMscPlayer(L'E', "S1");
    const std::wstring image = Image(L"fw.bin", 10);
    ASSERT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"S1", image.c_str(), L"\\fw.bin", FALSE));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMscProduct, L"S1", L"\\fw.bin"));
    EXPECT_EQ("<missing>", FileOn(drive, L"\\fw.bin"));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMscProduct, L"S1", L"\\fw.bin"));
    ASSERT_TRUE(CreateDirectoryW((drive.root + L"\\EMPTY").c_str(), nullptr));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMscProduct, L"S1", L"\\EMPTY"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((drive.root + L"\\EMPTY").c_str()));
}

}  // namespace
