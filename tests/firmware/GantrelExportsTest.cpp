#include <gtest/gtest.h>

#include <cstring>

#include "firmware/Gantrel.h"
#include "tests/firmware/FirmwareTestSupport.h"

namespace {

using GantrelExportsTest = FirmwareTest;

std::vector<DEVICE_INFO> Poisoned(size_t count) {
    std::vector<DEVICE_INFO> records(count);
    memset(records.data(), 0xcc, count * sizeof(DEVICE_INFO));
    return records;
}

bool IsPoisoned(const DEVICE_INFO& record) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&record);
    for (size_t i = 0; i < sizeof(record); ++i) {
        if (bytes[i] != 0xcc) return false;
    }
    return true;
}

TEST(CheckVersionTest, OrdersFixedFormVersions) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        HRESULT expected;
    };
    const Case cases[] = {
        {L"1.00", L"1.00", 1},         {L"1.00", L"1.10", 0},         {L"2.00", L"1.99", 2},
        {L"0.09", L"0.10", 0},         {L"9.99", L"0.00", 2},         {L"1.0", L"1.00", E_INVALIDARG},
        {L"10.0", L"1.00", E_INVALIDARG}, {L"1,00", L"1.00", E_INVALIDARG}, {L"", L"1.00", E_INVALIDARG},
        {L"1.00", L"1.000", E_INVALIDARG}, {L"a.00", L"1.00", E_INVALIDARG}, {L"1.0x", L"1.00", E_INVALIDARG},
        {L"1.00", nullptr, E_INVALIDARG}, {nullptr, L"1.00", E_INVALIDARG},
        {L"\x0661.00", L"1.00", E_INVALIDARG},  // a digit of another script is not a digit here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.a ? c.a : L"(null)") << L" vs " << (c.b ? c.b : L"(null)"));
        EXPECT_EQ(c.expected, CheckVersion(c.a, c.b));
    }
}

TEST_F(GantrelExportsTest, NoPlayers) {
    EXPECT_EQ(0, GetDevices());
    int count = -1;
    EXPECT_EQ(0, GetDeviceCount(&count));
    EXPECT_EQ(0, count);
    std::vector<DEVICE_INFO> records = Poisoned(2);
    EXPECT_EQ(0, GetDeviceInfo(records.data(), 2));
    EXPECT_TRUE(IsPoisoned(records[0]));
    EXPECT_EQ(1, CopyFirmwareBinary(kVendor, kMscProduct, L"S1", Image(L"fw.bin", 10).c_str(), L"\\fw.bin", FALSE));
    EXPECT_EQ(0, SendUpdateCommand(kVendor, kMscProduct, L"S1"));
    EXPECT_EQ(0, DeleteFirmwareBinary(kVendor, kMscProduct, L"S1", L"\\fw.bin"));
}

TEST_F(GantrelExportsTest, MassStorageThenMtp) {
    SimulatedDrive& drive = AddMscPlayer(L'E', "MSC1");
    const std::wstring mtpId = MtpDeviceId(kMtpProduct, L"USB7");
    AddMtpPlayer(mtpId, "MTP1");
    ASSERT_EQ(0, GetDevices());
    int count = 0;
    GetDeviceCount(&count);
    ASSERT_EQ(2, count);

    std::vector<DEVICE_INFO> records = Poisoned(3);
    EXPECT_EQ(0, GetDeviceInfo(records.data(), 3));
    EXPECT_EQ(kTransportMassStorage, records[0].transport);
    EXPECT_STREQ(L"MSC1", records[0].serial);
    EXPECT_EQ(kTransportMtp, records[1].transport);
    EXPECT_STREQ(L"MTP1", records[1].serial);
    EXPECT_TRUE(IsPoisoned(records[2]));
    // Every character after a string's end is cleared.
    EXPECT_EQ(0, records[1].serial[4]);
    EXPECT_EQ(0, records[1].serial[32]);

    records = Poisoned(2);
    EXPECT_EQ(0, GetDeviceInfo(records.data(), 1));
    EXPECT_EQ(kTransportMassStorage, records[0].transport);
    EXPECT_TRUE(IsPoisoned(records[1]));

    const std::wstring image = Image(L"fw.bin", 300);
    std::string bytes;
    ReadWholeFile(image, &bytes);
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"MSC1", image.c_str(), L"\\fw.bin", FALSE));
    std::string landed;
    EXPECT_TRUE(ReadWholeFile(drive.root + L"\\fw.bin", &landed));
    EXPECT_EQ(bytes, landed);
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMtpProduct, L"MTP1", image.c_str(), L"\\fw.bin", FALSE));
    EXPECT_EQ(bytes, MtpObjectData(mtpId, L"\\fw.bin"));
}

TEST_F(GantrelExportsTest, NoMoreRecordsThanAskedFor) {
    AddMscPlayer(L'E', "A");
    AddMscPlayer(L'F', "B");
    AddMtpPlayer(MtpDeviceId(kMtpProduct, L"USB7"), "C");
    GetDevices();
    std::vector<DEVICE_INFO> records = Poisoned(3);
    EXPECT_EQ(0, GetDeviceInfo(records.data(), 2));
    EXPECT_STREQ(L"A", records[0].serial);
    EXPECT_STREQ(L"B", records[1].serial);
    EXPECT_TRUE(IsPoisoned(records[2]));
}

TEST_F(GantrelExportsTest, CopyGoesToTheTransportThatHoldsTheWholeKey) {
    // A mass-storage and an MTP player of one vendor and product id, told apart by serial.
    SimulatedDrive& drive = AddMscPlayer(L'E', "MSC1", kMscProduct);
    const std::wstring mtpId = MtpDeviceId(kMscProduct, L"USB7");
    AddMtpPlayer(mtpId, "MTP1");
    const std::wstring image = Image(L"fw.bin", 50);
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMscProduct, L"MTP1", image.c_str(), L"\\fw.bin", FALSE));
    EXPECT_TRUE(MtpObjectExists(mtpId, L"\\fw.bin"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((drive.root + L"\\fw.bin").c_str()));
    // The mass-storage side's own verdict comes back as it is, without the MTP side's line.
    TraceLines().clear();
    EXPECT_EQ(E_INVALIDARG, CopyFirmwareBinary(kVendor, kMscProduct, L"MSC1", image.c_str(), L"fw.bin", TRUE));
    EXPECT_FALSE(Traced(L"Leaving CopyFirmwareBinary()\r\n"));
    EXPECT_EQ(1, CopyFirmwareBinary(kVendor, kMscProduct, L"NONE", image.c_str(), L"\\fw.bin", FALSE));
}

TEST_F(GantrelExportsTest, TraceLinesAreExact) {
    GetDevices();
    int count = 0;
    GetDeviceCount(&count);
    DEVICE_INFO info;
    GetDeviceInfo(&info, 0);
    SendUpdateCommand(kVendor, kMscProduct, L"S");
    DeleteFirmwareBinary(kVendor, kMscProduct, L"S", L"\\fw.bin");
    wchar_t name[12];
    GetModuleName(name, 12);
    for (const wchar_t* line :
         {L"Entering GetDevices()\r\n", L"Leaving GetDevices()\r\n", L"Entering GetDeviceCount()\r\n",
          L"GetDeviceCount():MSCTornelleList.GetCount() = 0\r\n", L"GetDeviceCount():MTPTornelleList.GetCount() = 0\r\n",
          L"Leaving GetDeviceCount()\r\n", L"Entering GetDeviceInfo()\r\n", L"Leaving GetDeviceInfo()\r\n",
          L"Entering SendUpdateCommand\r\n", L"Entering DeleteFirmwareBinary\r\n", L"Leaving DeleteFirmwareBinary\r\n",
          L"Entering GetModuleName", L"Entering FindMSCTornelle()\r\n", L"Leaving FindMSCTornelle()\r\n",
          L"Entering FindMTPTornelle()\r\n"}) {
        EXPECT_TRUE(Traced(line)) << line;
    }
    const std::vector<std::wstring>& lines = TraceLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(L"Entering GetDevices()\r\n", lines.front());
    EXPECT_EQ(L"Entering GetModuleName", lines.back());

    TraceLines().clear();
    CopyFirmwareBinary(kVendor, kMscProduct, L"S", Image(L"fw.bin", 1).c_str(), L"\\fw.bin", FALSE);
    ASSERT_FALSE(TraceLines().empty());
    EXPECT_EQ(L"Entering CopyFirmwareBinary\r\n", TraceLines().front());
    EXPECT_EQ(L"Leaving CopyFirmwareBinary()\r\n", TraceLines().back());
}

TEST_F(GantrelExportsTest, ModuleName) {
    wchar_t name[16];
    wmemset(name, L'#', 16);
    EXPECT_EQ(0, GetModuleName(name, 12));
    EXPECT_STREQ(L"Gantrel.DLL", name);
    EXPECT_EQ(L'#', name[12]);
    wmemset(name, L'#', 16);
    EXPECT_EQ(E_INVALIDARG, GetModuleName(name, 11));
    EXPECT_EQ(L'#', name[0]);
    EXPECT_EQ(E_POINTER, GetModuleName(nullptr, 12));
}

}  // namespace
