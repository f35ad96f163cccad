#include "firmware/Win32ScsiPort.h"

#include <winioctl.h>

#include "library/device/UsbTopology.h"

#include <cstring>

namespace {

constexpr UCHAR kTargetId = 1;
constexpr UCHAR kSenseInfoLength = 18;
constexpr ULONG kTimeoutSeconds = 10;
constexpr UCHAR kDataIn = 1;  // SCSI_IOCTL_DATA_IN
constexpr size_t kSenseKeyByte = 2;
constexpr size_t kAdditionalCodeByte = 12;
constexpr size_t kQualifierByte = 13;

#if defined(__i386__)
// The layout the shipped 32-bit library sends: 44-byte header, sense data at 48, 80 bytes in all.
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == 44, "32-bit pass-through header");
static_assert(offsetof(ScsiPassThroughRequest, sense) == 48, "sense data at 48");
static_assert(sizeof(ScsiPassThroughRequest) == 80, "80-byte request");
#endif

}  // namespace

void BuildPassThroughRequest(const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength,
                             ScsiPassThroughRequest* request) {
    memset(request, 0, sizeof(*request));
    SCSI_PASS_THROUGH_DIRECT& header = request->header;
    header.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
    header.PathId = 0;
    header.TargetId = kTargetId;
    header.Lun = 0;
    if (cdbLength > sizeof(header.Cdb)) cdbLength = sizeof(header.Cdb);
    header.CdbLength = cdbLength;
    header.SenseInfoLength = kSenseInfoLength;
    header.DataIn = kDataIn;
    header.DataTransferLength = dataLength;
    header.DataBuffer = data;
    header.TimeOutValue = kTimeoutSeconds;
    header.SenseInfoOffset = offsetof(ScsiPassThroughRequest, sense);
    memcpy(header.Cdb, cdb, cdbLength);
}

HRESULT ExecuteScsiPassThrough(HANDLE volume, const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength,
                               ScsiSense* sense, DWORD* transferred) {
    if (transferred) *transferred = 0;
    if (volume == nullptr || volume == INVALID_HANDLE_VALUE) return E_INVALIDARG;
    ScsiPassThroughRequest request;
    BuildPassThroughRequest(cdb, cdbLength, data, dataLength, &request);
    DWORD returned = 0;
    const BOOL sent = DeviceIoControl(volume, IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof(request), &request,
                                      sizeof(request), &returned, nullptr);
    ScsiSense answer;
    answer.senseKey = request.sense[kSenseKeyByte];
    answer.additionalCode = request.sense[kAdditionalCodeByte];
    answer.qualifier = request.sense[kQualifierByte];
    if (sense) *sense = answer;
    // The driver writes back how much came in; it may not claim more than the buffer holds.
    if (transferred && sent) {
        const DWORD count = request.header.DataTransferLength;
        *transferred = count < dataLength ? count : dataLength;
    }
    return sent && answer.senseKey == 0 ? S_OK : E_FAIL;
}

CWin32ScsiPort::CWin32ScsiPort(wchar_t driveLetter) {
    const wchar_t path[] = {L'\\', L'\\', L'.', L'\\', driveLetter, L':', L'\0'};
    volume_ = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
}

CWin32ScsiPort::~CWin32ScsiPort() {
    if (IsOpen()) CloseHandle(volume_);
}

bool CWin32ScsiPort::IsOpen() const { return volume_ != INVALID_HANDLE_VALUE && volume_ != nullptr; }

HRESULT CWin32ScsiPort::Execute(const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength, ScsiSense* sense,
                                DWORD* transferred) {
    return ExecuteScsiPassThrough(volume_, cdb, cdbLength, data, dataLength, sense, transferred);
}

bool CWin32ScsiPort::GetDeviceNumber(DWORD* number) {
    CWin32UsbTopology topology;
    return topology.GetDeviceNumber(volume_, number);
}
