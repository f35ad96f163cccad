#include <gtest/gtest.h>

#include "firmware/Gantrel.h"
#include "tests/firmware/FirmwareTestSupport.h"

namespace {

class MtpPlayersTest : public FirmwareTest {
protected:
    void SetUp() override {
        FirmwareTest::SetUp();
        id_ = MtpDeviceId(kMtpProduct, L"USB0001");
        AddMtpPlayer(id_, "MTPSERIAL0000001");
    }
    int Count() {
        EXPECT_EQ(0, GetDevices());
        int count = -1;
        EXPECT_EQ(0, GetDeviceCount(&count));
        return count;
    }
    HRESULT Copy(const std::wstring& image, const wchar_t* path, BOOL create = FALSE,
                 const wchar_t* serial = L"MTPSERIAL0000001") {
        return CopyFirmwareBinary(kVendor, kMtpProduct, serial, image.c_str(), path, create);
    }
    std::string ImageBytes(const std::wstring& path) {
        std::string bytes;
        ReadWholeFile(path, &bytes);
        return bytes;
    }

    std::wstring id_;
};

TEST_F(MtpPlayersTest, PlayerIsReportedWithItsIdentity) {
    ASSERT_EQ(1, Count());
    DEVICE_INFO info;
    ASSERT_EQ(0, GetDeviceInfo(&info, 1));
    EXPECT_EQ(kTransportMtp, info.transport);
    EXPECT_EQ(kVendor, info.vendorId);
    EXPECT_EQ(kMtpProduct, info.productId);
    EXPECT_STREQ(L"MTPSERIAL0000001", info.serial);
    EXPECT_STREQ(L"NW-T200", info.modelName);
    EXPECT_STREQ(L"NW-T200_1b2c", info.modelKey);
    EXPECT_STREQ(L"2.05", info.firmwareVersion);
    EXPECT_STREQ(L"0.40", info.secondVersion);
    EXPECT_STREQ(L"PA001", info.productCode);
}

TEST_F(MtpPlayersTest, GetDeviceInfoCarriesTheTwoParameters) {
    Count();
    const auto operations = standin_.Operations(id_);
    ASSERT_EQ(1u, operations.size());
    EXPECT_EQ(0x9401u, operations[0][0]);
    EXPECT_EQ(0x312E3030u, operations[0][1]);
    EXPECT_EQ(0x64626D6Eu, operations[0][2]);
}

TEST_F(MtpPlayersTest, ModelKeyIsAlignedThenTrimmed) {
    standin_.SetVendor(id_, L"tavrel.com: 1.0", kPlayerOpcodes,
                       MtpDeviceInfo(" T 9 ", "1.00", "1.00", "MTPSERIAL0000001", 0x00, 0x7f));
    ASSERT_EQ(1, Count());
    DEVICE_INFO info;
    GetDeviceInfo(&info, 1);
    EXPECT_STREQ(L"T 9_007f", info.modelKey);
}

TEST_F(MtpPlayersTest, OnlyPlayersWithTheExtensionAndOperationAreListed) {
    std::vector<WORD> manyWithInfoLast(19, 0x9500);
    manyWithInfoLast.push_back(0x9401);
    manyWithInfoLast.push_back(0x9600);
    std::vector<WORD> infoAfterTwenty(20, 0x9500);
    infoAfterTwenty.push_back(0x9401);
    struct Case {
        const char* name;
        std::wstring description;
        std::vector<WORD> opcodes;
        DWORD response;
        bool listed;
        size_t operations;
    };
    const Case cases[] = {
        {"player", L"tavrel.com: 1.0", kPlayerOpcodes, 0x2001, true, 1},
        {"no maker extension", L"microsoft.com: 1.0;", kPlayerOpcodes, 0x2001, false, 0},
        {"no Get Device Info", L"tavrel.com: 1.0", {0x9402}, 0x2001, false, 0},
        {"21 codes, Get Device Info 20th", L"tavrel.com: 1.0", manyWithInfoLast, 0x2001, true, 1},
        {"Get Device Info only 21st", L"tavrel.com: 1.0", infoAfterTwenty, 0x2001, false, 0},
        {"Get Device Info answers an error", L"tavrel.com: 1.0", kPlayerOpcodes, 0x2002, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin_.Reset();
        AddMtpPlayer(id_, "MTPSERIAL0000001");
        standin_.SetVendor(id_, c.description, c.opcodes, MtpDeviceInfo("M", "1.00", "1.00", "S", 1, 2), c.response);
        EXPECT_EQ(c.listed ? 1 : 0, Count());
        EXPECT_EQ(c.operations, standin_.Operations(id_).size());
    }
}

TEST_F(MtpPlayersTest, ShortOrEmptyReplies) {
    std::vector<BYTE> shortReply = MtpDeviceInfo("SHORTMODEL", "3.00", "0.00", "SHORTSERIAL", 9, 9);
    shortReply.resize(64);  // ends inside the serial
    standin_.SetVendor(id_, L"tavrel.com: 1.0", kPlayerOpcodes, shortReply);
    ASSERT_EQ(1, Count());
    DEVICE_INFO info;
    GetDeviceInfo(&info, 1);
    EXPECT_STREQ(L"SHORTMODEL", info.modelName);
    EXPECT_STREQ(L"SHOR", info.serial);
    EXPECT_STREQ(L"SHORTMODEL_0000", info.modelKey);

    standin_.SetVendor(id_, L"tavrel.com: 1.0", kPlayerOpcodes, {});
    EXPECT_EQ(0, Count());

    std::vector<BYTE> oversized(4096, 'Z');
    standin_.SetVendor(id_, L"tavrel.com: 1.0", kPlayerOpcodes, oversized);
    ASSERT_EQ(1, Count());
    GetDeviceInfo(&info, 1);
    EXPECT_STREQ(L"ZZZZZZZZZZZZZZZZ", info.serial);
}

TEST_F(MtpPlayersTest, CopyLandsAndASecondCopyReplacesIt) {
    const std::wstring image = Image(L"fw.bin", 70000);
    ASSERT_EQ(0, Copy(image, L"\\fw.bin"));
    EXPECT_EQ(ImageBytes(image), MtpObjectData(id_, L"\\fw.bin"));
    const std::wstring newer = Image(L"fw2.bin", 123);
    ASSERT_EQ(0, Copy(newer, L"\\fw.bin"));
    EXPECT_EQ(ImageBytes(newer), MtpObjectData(id_, L"\\fw.bin"));
    EXPECT_TRUE(Traced(L"Leaving CopyFirmwareBinary()\r\n"));
}

TEST_F(MtpPlayersTest, RootPathTakesTheImagesOwnName) {
    const std::wstring image = Image(L"TN_FW_100.bin", 10);
    ASSERT_EQ(0, Copy(image, L"\\"));
    EXPECT_EQ(ImageBytes(image), MtpObjectData(id_, L"\\TN_FW_100.bin"));
    const std::wstring other = Image(L"other.bin", 20);
    ASSERT_EQ(0, Copy(other, L""));
    EXPECT_EQ(ImageBytes(other), MtpObjectData(id_, L"\\other.bin"));
}

TEST_F(MtpPlayersTest, ImageAsLargeAsTheFreeSpaceIsRefused) {
    standin_.Reset();
    AddMtpPlayer(id_, "MTPSERIAL0000001", 5000);
    EXPECT_EQ(E_OUTOFMEMORY, Copy(Image(L"big.bin", 5000), L"\\fw.bin"));
    EXPECT_FALSE(MtpObjectExists(id_, L"\\fw.bin"));
    EXPECT_EQ(0, Copy(Image(L"fits.bin", 4999), L"\\fw.bin"));
}

TEST_F(MtpPlayersTest, UnknownPlayerGivesOne) {
    const std::wstring image = Image(L"fw.bin", 10);
    EXPECT_EQ(1, Copy(image, L"\\fw.bin", FALSE, L"NOSUCHSERIAL"));
    EXPECT_EQ(1, CopyFirmwareBinary(kVendor, 0x0fff, L"MTPSERIAL0000001", image.c_str(), L"\\fw.bin", FALSE));
    EXPECT_FALSE(MtpObjectExists(id_, L"\\fw.bin"));
}

TEST_F(MtpPlayersTest, MissingMiddleFolderIsNotTheRoot) {
    const std::wstring image = Image(L"fw.bin", 10);
    ASSERT_EQ(0, Copy(image, L"\\fw.bin"));
    // "\A\fw.bin" without A: nothing of the root may be taken for it.
    EXPECT_EQ(E_FAIL, Copy(Image(L"fw3.bin", 30), L"\\A\\fw.bin"));
    EXPECT_EQ(ImageBytes(image), MtpObjectData(id_, L"\\fw.bin"));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMtpProduct, L"MTPSERIAL0000001", L"\\A\\fw.bin"));
    EXPECT_EQ(ImageBytes(image), MtpObjectData(id_, L"\\fw.bin"));
}

TEST_F(MtpPlayersTest, CreateFoldersBuildsThePath) {
    const std::wstring image = Image(L"fw.bin", 10);
    ASSERT_EQ(0, Copy(image, L"\\A\\B\\fw.bin", TRUE));
    EXPECT_EQ(ImageBytes(image), MtpObjectData(id_, L"\\A\\B\\fw.bin"));
    EXPECT_FALSE(MtpObjectExists(id_, L"\\fw.bin"));
    ASSERT_EQ(0, Copy(image, L"\\A\\B\\fw.bin", FALSE));
}

TEST_F(MtpPlayersTest, DeleteRemovesOnlyTheNamedImage) {
    const std::wstring image = Image(L"fw.bin", 10);
    ASSERT_EQ(0, Copy(image, L"\\fw.bin"));
    ASSERT_EQ(0, Copy(image, L"\\keep.bin"));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMtpProduct, L"MTPSERIAL0000001", L"\\missing.bin"));
    EXPECT_TRUE(MtpObjectExists(id_, L"\\fw.bin"));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMtpProduct, L"OTHER", L"\\fw.bin"));
    EXPECT_TRUE(MtpObjectExists(id_, L"\\fw.bin"));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMtpProduct, L"MTPSERIAL0000001", L"\\fw.bin"));
    EXPECT_FALSE(MtpObjectExists(id_, L"\\fw.bin"));
    EXPECT_TRUE(MtpObjectExists(id_, L"\\keep.bin"));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMtpProduct, L"MTPSERIAL0000001", L""));
    EXPECT_TRUE(MtpObjectExists(id_, L"\\keep.bin"));
}

TEST_F(MtpPlayersTest, UpdateCommandReachesTheNamedPlayer) {
    Count();
    EXPECT_EQ(0, SendUpdateCommand(kVendor, kMtpProduct, L"OTHER"));
    EXPECT_EQ(1u, standin_.Operations(id_).size());
    EXPECT_EQ(0, SendUpdateCommand(kVendor, kMtpProduct, L"MTPSERIAL0000001"));
    const auto operations = standin_.Operations(id_);
    ASSERT_EQ(2u, operations.size());
    EXPECT_EQ(0x9402u, operations[1][0]);
    EXPECT_EQ(0x312E3030u, operations[1][1]);
    EXPECT_EQ(0x64626D6Eu, operations[1][2]);
    // A player gone since the scan cannot take the command.
    standin_.Detach(id_);
    EXPECT_EQ(E_FAIL, SendUpdateCommand(kVendor, kMtpProduct, L"MTPSERIAL0000001"));
}

}  // namespace
