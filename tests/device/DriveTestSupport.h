#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/device/DeviceControllerBase.h"
#include "library/device/MSCDeviceController.h"
#include "tests/device/SimulatedDriveFacts.h"

// The drive letters run_with_drives.sh maps to empty removable test folders, and the letter of
// its tiny tmpfs drive (empty when this machine cannot mount one).
std::wstring TestDriveLetters();
std::wstring FullDriveLetter();

std::wstring RootOf(wchar_t letter);
// Removes everything below the folder, hidden entries included.
void EmptyFolder(const std::wstring& folder);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
bool IsHiddenPath(const std::wstring& path);
// A local scratch folder for source files (below the Wine user's temp folder).
std::wstring LocalScratchFolder();

// Records what a controller reports.
class CRecordingListener : public CDeviceControllerBase::IDevCtrlListener {
public:
    struct Progress {
        uint32_t written;
        uint32_t total;
    };
    void OnContentsEnumerated(uint64_t f0, uint64_t f1, uint64_t f2, uint64_t f3, uint64_t f4,
                              uint64_t freeBytes, uint64_t capacity) override {
        enumerations.push_back({f0, f1, f2, f3, f4, freeBytes, capacity});
    }
    void OnFolderTree(CQBTreeNode* root) override { trees.push_back(root); }
    void OnWriteProgress(uint32_t written, uint32_t total) override {
        progress.push_back({written, total});
        if (controller && stopAfterReports > 0 && progress.size() == stopAfterReports) {
            controller->SetTransferring(false);
        }
    }
    void OnMoodChannelStep(const wchar_t* destination) override { steps.push_back(destination); }
    void OnMoodChannelDone(const wchar_t* destination) override { dones.push_back(destination); }

    std::vector<std::vector<uint64_t>> enumerations;
    std::vector<CQBTreeNode*> trees;
    std::vector<Progress> progress;
    std::vector<std::wstring> steps;
    std::vector<std::wstring> dones;
    // When set, the transferring flag is cleared once this many progress reports came in.
    CDeviceControllerBase* controller = nullptr;
    size_t stopAfterReports = 0;
};

// Gives each test the mapped drives, emptied, shown to the controller through simulated facts.
class DriveTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes the letter a USB player drive carrying the capability document.
    void MakePlayer(wchar_t letter, const std::wstring& deviceId);
    wchar_t Letter(size_t index) const { return letters_[index]; }

    std::wstring letters_;
    CSimulatedDriveFacts facts_;
};

// A drive test whose first test drive is the selected player of a controller with a listener.
class DrivePlayerTest : public DriveTest {
protected:
    void SetUp() override;

    CMSCDeviceController controller_{facts_};
    CRecordingListener listener_;
    std::wstring root_;
};
