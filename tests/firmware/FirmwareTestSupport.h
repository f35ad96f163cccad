#pragma once
// A fixture with the firmware library loaded in-process on a simulated machine: mass-storage
// players on simulated drives, MTP players in the registered simulated MTP player, a scratch
// folder for images, and the library's trace captured line by line.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "firmware/Gantrel.h"
#include "tests/firmware/SimulatedMassStorage.h"
#include "tests/firmware/SimulatedMtpPlayers.h"
#include "tests/util/UtilTestSupport.h"
#include "tests/wpd/WpdStandinSupport.h"

class FirmwareTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A mass-storage player on the drive letter, its files in a scratch folder of its own.
    SimulatedDrive& AddMscPlayer(wchar_t letter, const std::string& serial, uint16_t product = kMscProduct);
    // An MTP player of the maker; gives its folder. The vendor answers can be changed afterwards.
    std::wstring AddMtpPlayer(const std::wstring& id, const std::string& serial, uint64_t capacity = 64ull << 20);
    // An image of that many bytes in the scratch folder; gives its path.
    std::wstring Image(const std::wstring& name, size_t size);

    // The data of the object at the path on the MTP player, "<missing>" when there is none.
    std::string MtpObjectData(const std::wstring& id, const std::wstring& path);
    bool MtpObjectExists(const std::wstring& id, const std::wstring& path);

    static std::vector<std::wstring>& TraceLines();
    bool Traced(const std::wstring& line) const;

    CSimulatedMassStorage machine_;
    CWpdStandin standin_;
    CScratchFolder images_;
    std::vector<std::unique_ptr<CScratchFolder>> folders_;
    bool comInitialized_ = false;
};
