#pragma once
// A fixture with the simulated player registered, a controller, and reads of what landed on the
// player made through the same portable-device classes.

#include "library/content/TNContent.h"
#include "library/device/MTPDeviceController.h"
#include "library/device/QBTreeNode.h"
#include "library/util/ScopedCom.h"
#include "platform/wpd/PortableDevice.h"
#include "platform/wpd/PortableDeviceApi.h"
#include "tests/wpd/WpdStandinSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

class CRecordingListener : public CDeviceControllerBase::IDevCtrlListener {
public:
    void OnContentsEnumerated(uint64_t a, uint64_t b, uint64_t c, uint64_t d, uint64_t e, uint64_t f,
                              uint64_t g) override {
        uint64_t values[7] = {a, b, c, d, e, f, g};
        std::copy(values, values + 7, enumerated);
        ++enumerations;
    }
    void OnFolderTree(CQBTreeNode* root) override {
        ++trees;
        lastTree = root;
    }
    void OnWriteProgress(uint32_t written, uint32_t total) override {
        ++progressCalls;
        if (onProgress) onProgress(written, total);
    }
    void OnMoodChannelStep(const wchar_t*) override { ++moodSteps; }
    void OnMoodChannelDone(const wchar_t*) override { ++moodDone; }

    uint64_t enumerated[7] = {};
    int enumerations = 0;
    int trees = 0;
    CQBTreeNode* lastTree = nullptr;
    int progressCalls = 0;
    int moodSteps = 0;
    int moodDone = 0;
    std::function<void(uint32_t, uint32_t)> onProgress;
};

class MtpControllerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A player folder holding the capability document; attached under `id`.
    std::wstring AttachPlayer(const std::wstring& id, uint64_t capacity = 64ull << 20);
    std::unique_ptr<CTNContent> Song(const std::wstring& name, const std::string& bytes);

    // Reads of the chosen player through a second connection.
    CScopedComPtr<IPortableDeviceValues> Properties(const std::wstring& objectId);
    std::wstring Text(const std::wstring& objectId, REFPROPERTYKEY key);
    std::string Data(const std::wstring& objectId);
    std::vector<std::wstring> Children(const std::wstring& objectId);
    std::wstring ObjectAt(const std::wstring& relativePath);
    // Deletes an object with everything below it through the second connection, as another
    // program on the computer might.
    HRESULT DeleteElsewhere(const std::wstring& objectId);
    // Gives an object another original file name through the second connection, as another
    // program (or a player's own menu) might.
    HRESULT RenameElsewhere(const std::wstring& objectId, const std::wstring& name);

    CWpdStandin standin_;
    CScratchFolder sources_;
    std::vector<std::unique_ptr<CScratchFolder>> players_;
    CMTPDeviceController controller_;
    CRecordingListener listener_;
    std::string capability_ = "<?xml version=\"1.0\"?><capability><model>Sim</model></capability>";
    CScopedComPtr<IPortableDevice> reader_;
};
