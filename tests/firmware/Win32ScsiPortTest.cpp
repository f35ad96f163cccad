#include "firmware/Win32ScsiPort.h"

#include <gtest/gtest.h>

#include "firmware/MassStoragePlayers.h"

namespace {

TEST(Win32ScsiPortTest, RequestCarriesTheDriversHeader) {
    BYTE data[scsi::kVendorDataSize] = {};
    ScsiPassThroughRequest request;
    memset(&request, 0xcc, sizeof(request));
    BuildPassThroughRequest(scsi::kGetDeviceInfo, sizeof(scsi::kGetDeviceInfo), data, sizeof(data), &request);
    const SCSI_PASS_THROUGH_DIRECT& header = request.header;
    EXPECT_EQ(sizeof(SCSI_PASS_THROUGH_DIRECT), header.Length);
    EXPECT_EQ(0, header.PathId);
    EXPECT_EQ(1, header.TargetId);
    EXPECT_EQ(0, header.Lun);
    EXPECT_EQ(12, header.CdbLength);
    EXPECT_EQ(18, header.SenseInfoLength);
    EXPECT_EQ(1, header.DataIn);
    EXPECT_EQ(128u, header.DataTransferLength);
    EXPECT_EQ(data, header.DataBuffer);
    EXPECT_EQ(10u, header.TimeOutValue);
    EXPECT_EQ(offsetof(ScsiPassThroughRequest, sense), header.SenseInfoOffset);
    EXPECT_EQ(0, memcmp(header.Cdb, scsi::kGetDeviceInfo, 12));
    EXPECT_EQ(0, header.Cdb[12]);
    // The sense area starts cleared, so a driver that writes none reports a good status.
    for (UCHAR byte : request.sense) EXPECT_EQ(0, byte);
    // The sense data must follow the header in the same buffer, never overlap it.
    EXPECT_GE(header.SenseInfoOffset, sizeof(SCSI_PASS_THROUGH_DIRECT));
    EXPECT_GE(sizeof(ScsiPassThroughRequest) - header.SenseInfoOffset, header.SenseInfoLength);
}

TEST(Win32ScsiPortTest, OverlongCdbIsCutToTheField) {
    BYTE cdb[20];
    for (BYTE i = 0; i < 20; ++i) cdb[i] = i + 1;
    ScsiPassThroughRequest request;
    BuildPassThroughRequest(cdb, sizeof(cdb), nullptr, 0, &request);
    EXPECT_EQ(16, request.header.CdbLength);
    EXPECT_EQ(0, memcmp(request.header.Cdb, cdb, 16));
}

TEST(Win32ScsiPortTest, NoVolumeIsTheCallersError) {
    BYTE data[96];
    ScsiSense sense;
    DWORD transferred = 7;
    EXPECT_EQ(E_INVALIDARG,
              ExecuteScsiPassThrough(INVALID_HANDLE_VALUE, scsi::kInquiry, 6, data, sizeof(data), &sense, &transferred));
    EXPECT_EQ(0u, transferred);
    EXPECT_EQ(E_INVALIDARG, ExecuteScsiPassThrough(nullptr, scsi::kInquiry, 6, data, sizeof(data), &sense, nullptr));
}

}  // namespace
