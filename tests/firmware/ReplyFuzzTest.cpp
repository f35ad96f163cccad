// Seeded random replies from the simulated players: truncated, oversized, without terminators,
// with lying lengths. Nothing may crash, and every record must stay within its fields.
#include <gtest/gtest.h>

#include <cwchar>
#include <random>

#include "firmware/Gantrel.h"
#include "tests/firmware/FirmwareTestSupport.h"

namespace {

constexpr int kRounds = 250;

class ReplyFuzzTest : public FirmwareTest {
protected:
    std::vector<BYTE> RandomBytes(size_t maxLength, bool allowNul) {
        std::uniform_int_distribution<size_t> length(0, maxLength);
        std::uniform_int_distribution<int> byte(allowNul ? 0 : 1, 255);
        std::vector<BYTE> bytes(length(random_));
        for (BYTE& b : bytes) b = static_cast<BYTE>(byte(random_));
        return bytes;
    }
    // Often a player's own INQUIRY answer, so that the scan goes on to Get Device Info.
    std::vector<BYTE> Inquiry() {
        std::vector<BYTE> reply = Chance(3) ? InquiryReply("TAVREL", "TORNELLE") : RandomBytes(200, true);
        if (Chance(4)) reply.resize(std::uniform_int_distribution<size_t>(0, reply.size())(random_));
        return reply;
    }
    std::wstring RandomText(size_t maxLength) {
        std::uniform_int_distribution<size_t> length(0, maxLength);
        std::uniform_int_distribution<int> character(1, 0xd7ff);
        std::wstring text(length(random_), L'x');
        for (wchar_t& c : text) c = static_cast<wchar_t>(character(random_));
        return text;
    }
    bool Chance(int oneIn) { return std::uniform_int_distribution<int>(1, oneIn)(random_) == 1; }

    template <size_t N>
    static void ExpectTerminated(const WCHAR (&field)[N], size_t maxLength) {
        const size_t length = wcsnlen(field, N);
        EXPECT_LT(length, N);
        EXPECT_LE(length, maxLength);
        for (size_t i = length; i < N; ++i) EXPECT_EQ(0, field[i]);
    }
    void ExpectSoundRecords() {
        int count = -1;
        ASSERT_EQ(0, GetDeviceCount(&count));
        ASSERT_GE(count, 0);
        listed_ += count;
        std::vector<DEVICE_INFO> records(count);
        ASSERT_EQ(0, GetDeviceInfo(records.data(), static_cast<unsigned>(count)));
        for (const DEVICE_INFO& info : records) {
            ExpectTerminated(info.serial, 16);
            ExpectTerminated(info.firmwareVersion, 4);
            ExpectTerminated(info.secondVersion, 4);
            ExpectTerminated(info.modelName, 16);
            ExpectTerminated(info.modelKey, 21);
            EXPECT_STREQ(L"PA001", info.productCode);
        }
    }

    std::mt19937 random_;
    int listed_ = 0;  // records the rounds produced: the replies must reach the parsers
};

TEST_F(ReplyFuzzTest, MassStorageRepliesNeverCrash) {
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        random_.seed(0x5eed0000u + round);
        machine_ = CSimulatedMassStorage();
        const int drives = std::uniform_int_distribution<int>(1, 3)(random_);
        for (int i = 0; i < drives; ++i) {
            SimulatedDrive& drive = AddMscPlayer(static_cast<wchar_t>(L'D' + i), "S" + std::to_string(i));
            drive.inquiry = Inquiry();
            drive.inquirySense = Chance(8) ? 5 : 0;
            drive.deviceInfo = RandomBytes(400, !Chance(2));
            drive.deviceInfoSense = Chance(8) ? 3 : 0;
            drive.overstatesLength = Chance(2);
            if (Chance(4)) drive.usbProductString = RandomText(300);
            if (Chance(4)) drive.usbSerial = RandomText(300);
        }
        ASSERT_EQ(0, GetDevices());
        ExpectSoundRecords();
        SendUpdateCommand(kVendor, kMscProduct, L"S0");
    }
    EXPECT_GT(listed_, kRounds / 4);
}

TEST_F(ReplyFuzzTest, MtpRepliesNeverCrash) {
    const std::wstring id = MtpDeviceId(kMtpProduct, L"FUZZ");
    AddMtpPlayer(id, "FUZZ");
    for (int round = 0; round < kRounds / 5; ++round) {
        SCOPED_TRACE(round);
        random_.seed(0x3a7f0000u + round);
        std::vector<WORD> opcodes(std::uniform_int_distribution<size_t>(0, 40)(random_));
        for (WORD& code : opcodes) code = static_cast<WORD>(std::uniform_int_distribution<int>(0x9400, 0x9403)(random_));
        const std::wstring description = Chance(4) ? RandomText(2000) : L"tavrel.com: 1.0" + RandomText(1500);
        ASSERT_EQ(S_OK, standin_.SetVendor(id, description, opcodes, RandomBytes(600, !Chance(2)),
                                           Chance(6) ? 0x2019 : 0x2001));
        ASSERT_EQ(0, GetDevices());
        ExpectSoundRecords();
    }
    EXPECT_GT(listed_, 0);
}

}  // namespace
