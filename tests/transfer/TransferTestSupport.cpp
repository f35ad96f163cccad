#include "tests/transfer/TransferTestSupport.h"

#include "library/capability/CapabilityNamespace.h"

CRecordingTransferListener::~CRecordingTransferListener() {
    CloseHandle(deleteFinished);
    CloseHandle(treeReported);
    CloseHandle(contentsReported);
    CloseHandle(deletedEnough);
}

void CRecordingTransferListener::OnDeviceContents(uint64_t a, uint64_t b, uint64_t c, uint64_t d,
                                                  uint64_t e, uint64_t f, uint64_t g) {
    contents.push_back({a, b, c, d, e, f, g});
    SetEvent(contentsReported);
}

void CRecordingTransferListener::OnContentDeleted(int status) {
    EXPECT_EQ(0, status);
    const int count = ++deletedReports;
    if (stopDeletingAfter != 0 && count == stopDeletingAfter) {
        SetEvent(deletedEnough);
        if (resumeDeleting != nullptr) WaitForSingleObject(resumeDeleting, 10000);
    }
}

void CRecordingTransferListener::OnDeleteFinished(int status, CQBTreeNode* root) {
    EXPECT_EQ(0, status);
    deleteTree.reset(root);
    SetEvent(deleteFinished);
}

void CRecordingTransferListener::OnFolderTree(int status, CQBTreeNode* root) {
    treeStatuses.push_back(status);
    trees.emplace_back(root);
    SetEvent(treeReported);
}

void CRecordingTransferListener::OnWriteProgress(uint32_t written, uint32_t total) {
    progress.push_back({written, total});
}

void CRecordingTransferListener::OnContentResult(int listKind, std::wstring sourcePath) {
    // Reading the lists here would dead-lock if the manager still held its result lock while the
    // window thread waits on it; the same thread would re-enter, so look from another thread.
    if (manager != nullptr) {
        HANDLE reader = CreateThread(
            nullptr, 0,
            [](void* self) WINAPI -> DWORD {
                static_cast<CTransferManager*>(self)->GetFailedList();
                return 0;
            },
            manager, 0, nullptr);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reader, 10000)) << "result lock held";
        CloseHandle(reader);
    }
    results.push_back({listKind, sourcePath});
}

std::string CapabilityXml(const std::string& audioExtensions, const std::string& folders,
                          bool feedFormat) {
    std::string audio;
    if (!audioExtensions.empty()) {
        audio = "<Audio><Format><Extension>" + audioExtensions + "</Extension></Format></Audio>";
    }
    if (feedFormat) {
        audio += "<Audio><Format comesfrom=\"rss\"><Extension>mp3</Extension></Format></Audio>";
    }
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Devices xmlns=\"") +
           QB_CAPABILITY_NAMESPACE_URI + "\"><Device><PlaybackCapabilities>" + audio +
           "</PlaybackCapabilities><FileSystem>" + folders + "</FileSystem></Device></Devices>";
}

std::string StandardCapability(bool feedFormat) {
    return CapabilityXml(
        "mp3",
        "<Path content-type=\"sound\" depth=\"3\"><Target>\\SONGS\\</Target></Path>"
        "<Path content-type=\"image\" depth=\"1\"><Target>\\PICS\\</Target></Path>"
        "<Path content-type=\"video\" depth=\"4\"><Target>\\MOVIES\\</Target></Path>"
        "<Path content-type=\"feeds\" depth=\"5\"><Target>\\FEEDS\\</Target></Path>"
        "<Path content-type=\"feedsound\"><Target>\\FEEDS\\AUDIO\\</Target></Path>"
        "<Path content-type=\"feedvideo\"><Target>\\FEEDS\\VIDEO\\</Target></Path>"
        "<Path content-type=\"feedimage\"><Target>\\FEEDS\\IMAGE\\</Target></Path>",
        feedFormat);
}

TransferTest::TransferTest() {
    CTransferManager::Controllers controllers{&mtp_, &msc_, [this]() {
                                                  const bool warned = mscWarning_;
                                                  mscWarning_ = false;
                                                  return warned;
                                              }};
    manager_ = std::make_unique<CTransferManager>(controllers);
}

void TransferTest::SetUp() {
    // The coordinator's thread, which checks the device, lives in COM; MSXML reads the documents.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(registry_.IsActive());
    manager_->SetDataFolder(data_.Path() + L"\\");
    manager_->SetWaits(1, 300);
    manager_->SetListener(&listener_);
    listener_.manager = manager_.get();
}

void TransferTest::TearDown() {
    manager_->ShutdownDevices();
    manager_->Stop();
    manager_.reset();
    CoUninitialize();
}

void TransferTest::SetUpPlayer(const std::string& capability, bool useMtp) {
    CFakeDeviceController& player = useMtp ? mtp_ : msc_;
    player.capability = capability;
    player.findResults = {CDeviceControllerBase::kDeviceFound};
    bool hasFile = false;
    ASSERT_EQ(CTransferManager::kStateFound, manager_->CheckDevice(&hasFile));
    ASSERT_EQ(S_OK, manager_->Start());
}

std::unique_ptr<CTNContent> TransferTest::Content(uint32_t kind, const std::wstring& relative,
                                                  const std::string& bytes, bool temp) {
    auto content = std::make_unique<CTNContent>(0, kind);
    const std::wstring name = L"source" + std::to_wstring(++contentCounter_) + L".bin";
    sources_.WriteFile(name, bytes);
    content->sourcePath = sources_.Join(name);
    if (temp) {
        sources_.WriteFile(L"temp_" + name, bytes);
        content->tempPath = sources_.Join(L"temp_" + name);
    }
    content->relativePath = relative;
    return content;
}

void TransferTest::Push(std::unique_ptr<CTNContent> content) {
    ASSERT_TRUE(PushAndWait(*manager_, std::move(content)));
}

void TransferTest::WaitIdle() {
    ASSERT_TRUE(WaitUntilIdle(*manager_));
}

::testing::AssertionResult WaitUntilIdle(CTransferManager& manager) {
    // Generous: the machine may be loaded by several builds.
    for (int i = 0; i < 6000; ++i) {
        if (manager.IsIdle()) return ::testing::AssertionSuccess();
        Sleep(5);
    }
    return ::testing::AssertionFailure() << "the transfer manager did not go idle";
}

::testing::AssertionResult PushAndWait(CTransferManager& manager, std::unique_ptr<CTNContent> content) {
    manager.PostContent(content.release());
    return WaitUntilIdle(manager);
}

bool MakeLargeFile(const std::wstring& path, uint64_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool made = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
}
