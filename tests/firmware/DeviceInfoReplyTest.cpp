#include "firmware/DeviceInfoReply.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<BYTE> Filled(size_t size, BYTE value) { return std::vector<BYTE>(size, value); }

TEST(DeviceInfoReplyTest, FieldsComeFromEachTransportsOffsets) {
    struct Case {
        const char* name;
        DeviceInfoLayout layout;
        size_t size;
    };
    const Case cases[] = {{"mass storage", kMassStorageReplyLayout, 128}, {"MTP", kMtpReplyLayout, 144}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BYTE> reply(c.size, 0);
        memcpy(&reply[c.layout.modelName], "MODEL", 5);
        memcpy(&reply[c.layout.firmwareVersion], "1.23", 4);
        memcpy(&reply[c.layout.secondVersion], "4.56", 4);
        memcpy(&reply[c.layout.serial], "SERIAL", 6);
        reply[c.layout.identifierBytes] = 0xab;
        reply[c.layout.identifierBytes + 1] = 0x01;
        const DeviceInfoFields fields = ReadDeviceInfoReply(reply.data(), reply.size(), c.layout);
        EXPECT_EQ(L"MODEL", fields.modelName);
        EXPECT_EQ(L"1.23", fields.firmwareVersion);
        EXPECT_EQ(L"4.56", fields.secondVersion);
        EXPECT_EQ(L"SERIAL", fields.serial);
        EXPECT_EQ(0xab, fields.identifierBytes[0]);
        EXPECT_EQ(0x01, fields.identifierBytes[1]);
    }
    EXPECT_EQ(24u, kMassStorageReplyLayout.modelName);
    EXPECT_EQ(52u, kMassStorageReplyLayout.serial);
    EXPECT_EQ(96u, kMassStorageReplyLayout.identifierBytes);
    EXPECT_EQ(60u, kMtpReplyLayout.serial);
    EXPECT_EQ(112u, kMtpReplyLayout.identifierBytes);
}

TEST(DeviceInfoReplyTest, TextsWithoutTerminatorStopAtTheirField) {
    const std::vector<BYTE> reply = Filled(144, 'A');
    const DeviceInfoFields fields = ReadDeviceInfoReply(reply.data(), reply.size(), kMtpReplyLayout);
    EXPECT_EQ(std::wstring(16, L'A'), fields.modelName);
    EXPECT_EQ(std::wstring(4, L'A'), fields.firmwareVersion);
    EXPECT_EQ(std::wstring(16, L'A'), fields.serial);
}

TEST(DeviceInfoReplyTest, ShortReplyGivesOnlyWhatArrived) {
    // The buffer holds more, but only 58 bytes came from the device: the serial at 52 is cut at 58
    // and the identifier bytes are absent.
    std::vector<BYTE> reply = Filled(128, 'B');
    const DeviceInfoFields fields = ReadDeviceInfoReply(reply.data(), 58, kMassStorageReplyLayout);
    EXPECT_EQ(std::wstring(6, L'B'), fields.serial);
    EXPECT_EQ(0, fields.identifierBytes[0]);
    EXPECT_EQ(0, fields.identifierBytes[1]);
    const DeviceInfoFields none = ReadDeviceInfoReply(reply.data(), 10, kMassStorageReplyLayout);
    EXPECT_TRUE(none.modelName.empty() && none.serial.empty() && none.firmwareVersion.empty());
    const DeviceInfoFields null = ReadDeviceInfoReply(nullptr, 128, kMassStorageReplyLayout);
    EXPECT_TRUE(null.modelName.empty());
}

TEST(DeviceInfoReplyTest, IdentifiersSplitWithoutEmptyTokens) {
    const std::vector<std::wstring> usb = SplitIdentifier(L"USB\\VID_2B7A&PID_0A01\\SER_1", L"\\_&");
    ASSERT_EQ(7u, usb.size());
    EXPECT_EQ(0x2b7au, HexToken(usb, 2));
    EXPECT_EQ(0x0a01u, HexToken(usb, 4));
    EXPECT_EQ(L"SER", usb[5]);
    const std::vector<std::wstring> mtp =
        SplitIdentifier(L"\\\\?\\usb#vid_2b7a&pid_0b02#S1#{6ac27878-a6fa-4155-ba85-f98f491d4f33}", L"\\_&#?");
    ASSERT_EQ(7u, mtp.size());
    EXPECT_EQ(L"usb", mtp[0]);
    EXPECT_EQ(0x2b7au, HexToken(mtp, 2));
    EXPECT_EQ(0x0b02u, HexToken(mtp, 4));
    EXPECT_EQ(0u, HexToken(mtp, 40));
    EXPECT_TRUE(SplitIdentifier(L"&&\\\\", L"\\&").empty());
}

TEST(DeviceInfoReplyTest, ModelKeyAndSerialMatch) {
    const BYTE bytes[2] = {0x0f, 0xa0};
    EXPECT_EQ(L"NW-T1_0fa0", FormatModelKey(L"NW-T1", bytes));
    EXPECT_EQ(L"a b", TrimWhiteSpace(L" \t a b \r\n"));
    EXPECT_TRUE(IsSamePlayer(1, 2, L"0123456789ABCDEF", 1, 2, L"0123456789ABCDEFXYZ"));
    EXPECT_FALSE(IsSamePlayer(1, 2, L"0123456789ABCDEF", 1, 2, L"0123456789ABCDEX"));
    EXPECT_FALSE(IsSamePlayer(1, 2, L"S", 1, 3, L"S"));
    EXPECT_FALSE(IsSamePlayer(1, 2, L"S", 1, 2, nullptr));
}

}  // namespace
