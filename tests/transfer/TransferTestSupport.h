#pragma once
// What the transfer manager's tests share: a listener that records, capability documents, and a
// fixture with a manager on two scripted controllers.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "library/device/QBTreeNode.h"
#include "library/transfer/TransferManager.h"
#include "tests/transfer/FakeDeviceController.h"
#include "tests/util/UtilTestSupport.h"

class CRecordingTransferListener : public CTransferManager::IListener {
public:
    ~CRecordingTransferListener();
    void OnContentProcessed() override { ++processed; }
    void OnDeviceContents(uint64_t a, uint64_t b, uint64_t c, uint64_t d, uint64_t e, uint64_t f,
                          uint64_t g) override;
    void OnContentDeleted(int status) override;
    void OnDeleteFinished(int status, CQBTreeNode* root) override;
    void OnFolderTree(int status, CQBTreeNode* root) override;
    void OnDiskFull() override { ++diskFull; }
    void OnWriteProgress(uint32_t written, uint32_t total) override;
    void OnContentResult(int listKind, std::wstring sourcePath) override;
    void OnMoodChannelStep(const wchar_t*) override {}
    void OnMoodChannelDone(const wchar_t*) override {}
    void OnDeviceWarning() override { ++warnings; }

    // Results of the manager read from inside OnContentResult: proves no lock is held there.
    CTransferManager* manager = nullptr;
    std::atomic<int> processed{0};
    std::atomic<int> diskFull{0};
    std::atomic<int> warnings{0};
    std::atomic<int> deletedReports{0};
    std::vector<std::vector<uint64_t>> contents;
    std::vector<std::pair<uint32_t, uint32_t>> progress;
    std::vector<std::pair<int, std::wstring>> results;
    std::vector<int> treeStatuses;
    std::vector<std::unique_ptr<CQBTreeNode>> trees;
    std::unique_ptr<CQBTreeNode> deleteTree;
    HANDLE deleteFinished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE treeReported = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE contentsReported = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Set after this many delete reports (0: never).
    int stopDeletingAfter = 0;
    HANDLE deletedEnough = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE resumeDeleting = nullptr;
};

// Sets `writing` at the first report of written bytes. Reports come from the writing thread, so
// it keeps none of them.
class CWriteStartedListener : public CRecordingTransferListener {
public:
    ~CWriteStartedListener() { CloseHandle(writing); }
    void OnWriteProgress(uint32_t written, uint32_t) override {
        if (written > 0) SetEvent(writing);
    }
    HANDLE writing = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

// A file of that many zero bytes, made sparse where the file system can, so that a gibibyte
// costs no disk space and no time to make.
bool MakeLargeFile(const std::wstring& path, uint64_t size);
// Milliseconds the call takes.
template <class Call>
DWORD Elapsed(Call call) {
    const ULONGLONG start = GetTickCount64();
    call();
    return static_cast<DWORD>(GetTickCount64() - start);
}

// "<Devices>" documents in the capability namespace.
std::string CapabilityXml(const std::string& audioExtensions, const std::string& folders,
                          bool feedFormat = false);
std::string StandardCapability(bool feedFormat = false);

// Waits until the manager holds no content, queued or in work. IsIdle reads both as one state,
// so the wait cannot end while a content is between the queue and its processing.
::testing::AssertionResult WaitUntilIdle(CTransferManager& manager);
// Posts the content and waits until the manager has written and forwarded (or dropped) it.
::testing::AssertionResult PushAndWait(CTransferManager& manager, std::unique_ptr<CTNContent> content);

class TransferTest : public ::testing::Test {
protected:
    TransferTest();
    void SetUp() override;
    void TearDown() override;

    // Starts the handler thread with the MTP fake as the set-up player.
    void SetUpPlayer(const std::string& capability, bool useMtp = true);
    // A content of the kind whose source (and, with temp, working copy) holds the bytes.
    std::unique_ptr<CTNContent> Content(uint32_t kind, const std::wstring& relative,
                                        const std::string& bytes = "data", bool temp = false);
    // Posts and waits until the handler is idle with everything forwarded.
    void Push(std::unique_ptr<CTNContent> content);
    void WaitIdle();

    CScratchRegistry registry_;
    CScratchFolder data_;
    CScratchFolder sources_;
    CScratchFolder mtpRoot_;
    CScratchFolder mscRoot_;
    CFakeDeviceController mtp_{mtpRoot_.Path() + L"\\"};
    CFakeDeviceController msc_{mscRoot_.Path() + L"\\"};
    bool mscWarning_ = false;
    CRecordingTransferListener listener_;
    std::unique_ptr<CTransferManager> manager_;
    int contentCounter_ = 0;
};
