#pragma once

#include "firmware/ScsiPort.h"

#include <ntddscsi.h>

// A direct pass-through request as the port driver reads it: the header, then room for the
// sense data, in one buffer that carries the request in and the answer out.
struct ScsiPassThroughRequest {
    SCSI_PASS_THROUGH_DIRECT header;
    ULONG filler;  // keeps the sense data on an 8-byte boundary, where drivers expect it
    UCHAR sense[32];
};

// Fills the request for one CDB (at most 16 bytes) with data coming in from the device.
void BuildPassThroughRequest(const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength,
                             ScsiPassThroughRequest* request);

// The real port: a volume opened by drive letter, commands through IOCTL_SCSI_PASS_THROUGH_DIRECT.
class CWin32ScsiPort : public IScsiPort {
public:
    // Opens \\.\X: for reading and writing, shared; IsOpen tells whether that worked.
    explicit CWin32ScsiPort(wchar_t driveLetter);
    ~CWin32ScsiPort() override;
    CWin32ScsiPort(const CWin32ScsiPort&) = delete;
    CWin32ScsiPort& operator=(const CWin32ScsiPort&) = delete;

    bool IsOpen() const;
    HRESULT Execute(const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength, ScsiSense* sense,
                    DWORD* transferred) override;
    bool GetDeviceNumber(DWORD* number) override;

private:
    HANDLE volume_;
};

// Sends one command on an open volume handle; the free-standing form of CWin32ScsiPort::Execute.
HRESULT ExecuteScsiPassThrough(HANDLE volume, const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength,
                               ScsiSense* sense, DWORD* transferred);
