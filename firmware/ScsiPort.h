#pragma once
// An open volume that takes SCSI commands: the seam between the mass-storage side and the storage
// stack, so that a simulated player can answer in tests.

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The sense bytes a command reports: sense key byte (2), additional sense code (12) and its
// qualifier (13) of the returned sense data.
struct ScsiSense {
    BYTE senseKey = 0;
    BYTE additionalCode = 0;
    BYTE qualifier = 0;
};

class IScsiPort {
public:
    virtual ~IScsiPort() = default;
    // Sends one CDB with data coming in from the device into data (dataLength bytes). Returns 0
    // when the command went through and the sense key byte is 0, E_FAIL otherwise, E_INVALIDARG
    // for a port without a volume. transferred (may be null) receives how many bytes the device
    // sent, never more than dataLength.
    virtual HRESULT Execute(const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength, ScsiSense* sense,
                            DWORD* transferred) = 0;
    // The storage device number of the volume's disk.
    virtual bool GetDeviceNumber(DWORD* number) = 0;
};
