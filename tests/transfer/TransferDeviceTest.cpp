// Finding the player, reading its capability, setting up its folders, and the device threads.
#include "tests/transfer/TransferTestSupport.h"

#include "library/mood/MoodChannelExport.h"
#include "library/util/Settings.h"

namespace {
constexpr int kNone = CTransferManager::kNoController;
constexpr int kMtp = CTransferManager::kMtpController;
constexpr int kMsc = CTransferManager::kMscController;

bool FolderThere(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

TEST_F(TransferTest, SelectControllerFollowsItsTable) {
    // Rows: the MTP result 1, 2, 3, 4, other (0); columns: the mass-storage result 1, 2, 3, 4,
    // other (0). Each cell: the state and the active type afterwards, once with MTP active before
    // and once with mass storage active before.
    struct Cell {
        int state;
        int typeAfterMtp;  // active type when MTP was active before
        int typeAfterMsc;  // when mass storage was active before
    };
    const int results[] = {1, 2, 3, 4, 0};
    const Cell table[5][5] = {
        // s = 1              s = 2              s = 3              s = 4              s other
        {{1, kMtp, kMtp}, {2, kMtp, kMtp}, {3, kMtp, kMsc}, {3, kMtp, kMsc}, {1, kMtp, kMtp}},  // m 1
        {{2, kMtp, kMtp}, {2, kMtp, kMtp}, {2, kMtp, kMtp}, {2, kMtp, kMtp}, {2, kMtp, kMtp}},  // m 2
        {{3, kMtp, kMsc}, {3, kMtp, kMsc}, {3, kMtp, kMsc}, {3, kMtp, kMsc}, {3, kMtp, kMsc}},  // m 3
        {{3, kMtp, kMsc}, {3, kMtp, kMsc}, {3, kMtp, kMsc}, {4, kMtp, kMsc}, {-1, kMtp, kMtp}}, // m 4
        {{1, kMsc, kMsc}, {2, kMsc, kMsc}, {-1, kMsc, kMsc}, {-1, kMsc, kMsc}, {0, kNone, kNone}},
    };
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 5; ++column) {
            for (int before : {kMtp, kMsc}) {
                // Make the wanted controller active first.
                mtp_.findResults = {before == kMtp ? 1 : 0};
                msc_.findResults = {before == kMsc ? 1 : 0};
                ASSERT_EQ(1, manager_->SelectController());
                ASSERT_EQ(before, manager_->GetActiveControllerType());

                mtp_.findResults = {results[row]};
                msc_.findResults = {results[column]};
                const Cell& cell = table[row][column];
                int state = cell.state;
                // Cells whose state depends on the type active before.
                if (state == -1) {
                    if (row == 3) state = before == kMsc ? 2 : 4;
                    if (row == 4) state = before == kMtp ? 2 : (column == 2 ? 3 : 4);
                }
                const int type = before == kMtp ? cell.typeAfterMtp : cell.typeAfterMsc;
                SCOPED_TRACE(testing::Message() << "m=" << results[row] << " s=" << results[column]
                                                << " before=" << before);
                EXPECT_EQ(state, manager_->SelectController());
                EXPECT_EQ(type, manager_->GetActiveControllerType());
                EXPECT_EQ(type == kNone ? L"" : L"0bda_1234_SER", GetCurrentDevId());
            }
        }
    }
}

TEST_F(TransferTest, DeviceIdIsStoredWithReservedCharactersReplaced) {
    msc_.deviceId = L"0bda_1234_A:B.C";
    msc_.findResults = {1};
    EXPECT_EQ(1, manager_->SelectController());
    EXPECT_EQ(L"0bda_1234_A_B_C", GetCurrentDevId());
}

TEST_F(TransferTest, CarAudioWarningIsRaisedOnlyWhenCarAudioIsNotAllowed) {
    mscWarning_ = true;
    EXPECT_EQ(0, manager_->SelectController());
    EXPECT_EQ(1, listener_.warnings);
    EXPECT_FALSE(mscWarning_);

    manager_->SetCarAudioAllowed(1);
    mscWarning_ = true;
    EXPECT_EQ(0, manager_->SelectController());
    EXPECT_EQ(1, listener_.warnings);
    EXPECT_FALSE(mscWarning_) << "the flag is cleared in any case";
}

TEST_F(TransferTest, MtpPlayerIsPreferredAndSetUpFromItsDocument) {
    mtpRoot_.WriteFile(L"capability_00.xml", "x");
    mtp_.capability = StandardCapability(true);
    msc_.capability = CapabilityXml("wma", "<Path content-type=\"sound\"><Target>\\OTHER\\</Target></Path>");
    mtp_.findResults = {1};
    msc_.findResults = {1};
    bool hasFile = false;
    EXPECT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_TRUE(hasFile);
    EXPECT_EQ(kMtp, manager_->GetActiveControllerType());
    EXPECT_EQ(CTransferManager::kOrdinaryPlayer, manager_->GetMode());
    EXPECT_EQ(L"MUSIC\\", manager_->GetMusicFolder());
    EXPECT_EQ(L"MOVIES\\", manager_->GetVideoFolder());
    EXPECT_EQ(L"PICS\\", manager_->GetFolder(CTransferManager::kImageFolder));
    EXPECT_EQ(L"FEEDS\\", manager_->GetFolder(CTransferManager::kFeedsFolder));
    EXPECT_EQ(L"FEEDS\\AUDIO\\", manager_->GetFolder(CTransferManager::kFeedSoundFolder));
    EXPECT_EQ(L"Playlists", manager_->GetFolder(CTransferManager::kPlaylistFolder));
    EXPECT_EQ(L"SONGS\\", mtp_.folders[0]);
    EXPECT_EQ(L"PICS\\", mtp_.folders[1]);
    EXPECT_EQ(L"MOVIES\\", mtp_.folders[2]);
    EXPECT_EQ(L"FEEDS\\AUDIO\\", mtp_.folders[3]);
    EXPECT_EQ(L"Playlists", mtp_.folders[4]);
    EXPECT_EQ(3, manager_->GetDepthLimit(CTransferManager::kSoundDepth));
    EXPECT_EQ(1, manager_->GetDepthLimit(CTransferManager::kImageDepth));
    EXPECT_EQ(4, manager_->GetDepthLimit(CTransferManager::kVideoDepth));
    EXPECT_EQ(5, manager_->GetDepthLimit(CTransferManager::kFeedsDepth));
    EXPECT_EQ(2, manager_->GetDepthLimit(CTransferManager::kFixedDepth));
    bool feeds = false;
    EXPECT_TRUE(manager_->HasFeedPlayback(&feeds));
    EXPECT_TRUE(feeds);
    // The player is still there: nothing changes.
    mtp_.findResults = {4};
    msc_.findResults = {0};
    EXPECT_EQ(4, manager_->CheckDevice(&hasFile));
}

TEST_F(TransferTest, PlayerWithoutCapabilityFileGetsTheBuiltInDocument) {
    // The fake's folder holds no capability document.
    msc_.findResults = {1};
    bool hasFile = true;
    EXPECT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_FALSE(hasFile);
    EXPECT_EQ(1, msc_.sizeQueries) << "no polling for a file that is not there";
    EXPECT_EQ(kMsc, manager_->GetActiveControllerType());
    EXPECT_EQ(L"MUSIC\\", manager_->GetMusicFolder());
    EXPECT_EQ(L"VIDEO\\", manager_->GetVideoFolder());
    EXPECT_EQ(L"PICTURE\\", manager_->GetFolder(CTransferManager::kImageFolder));
    EXPECT_EQ(7, manager_->GetDepthLimit(CTransferManager::kSoundDepth));
    std::vector<std::wstring> extensions;
    EXPECT_TRUE(manager_->GetCapabilityExtensions(extensions, 1, 0));
    EXPECT_FALSE(extensions.empty());
}

TEST_F(TransferTest, CapabilitySizeIsPolledTenTimesAndReadElevenTimes) {
    // The fake answers FileExists from its folder: give it the document file.
    mscRoot_.WriteFile(L"capability_00.xml", "x");
    msc_.capability = StandardCapability();
    msc_.zeroSizeAnswers = 9;
    msc_.shortReads = 10;
    msc_.findResults = {1};
    bool hasFile = false;
    EXPECT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_TRUE(hasFile);
    EXPECT_EQ(10, msc_.sizeQueries);
    ASSERT_EQ(11u, msc_.readSizesAsked.size());
    for (DWORD asked : msc_.readSizesAsked) EXPECT_EQ(msc_.capability.size(), asked);
    EXPECT_EQ(L"MOVIES\\", manager_->GetVideoFolder()) << "the player's own document was used";
}

TEST_F(TransferTest, SizeStayingZeroFallsBackToTheBuiltInDocument) {
    mscRoot_.WriteFile(L"capability_00.xml", "x");
    msc_.capability = StandardCapability();
    msc_.zeroSizeAnswers = 100;
    msc_.findResults = {1};
    bool hasFile = false;
    EXPECT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_EQ(10, msc_.sizeQueries);
    EXPECT_EQ(L"VIDEO\\", manager_->GetVideoFolder());
}

TEST_F(TransferTest, UnusableDocumentsDropThePlayer) {
    const struct {
        std::string document;
        const char* what;
    } cases[] = {{"<not xml", "not well-formed"},
                 {CapabilityXml("", "<Path content-type=\"sound\"><Target>\\M\\</Target></Path>"),
                  "no audio format"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mscRoot_.WriteFile(L"capability_00.xml", "x");
        msc_.capability = c.document;
        msc_.calls.clear();
        msc_.findResults = {1};
        bool hasFile = false;
        EXPECT_EQ(0, manager_->CheckDevice(&hasFile));
        EXPECT_EQ(CTransferManager::kNoUsablePlayer, manager_->GetMode());
        EXPECT_EQ(L"", GetCurrentDevId());
        EXPECT_NE(msc_.calls.end(), std::find(msc_.calls.begin(), msc_.calls.end(), L"ClearDeviceId"));
        std::vector<std::wstring> extensions;
        EXPECT_FALSE(manager_->GetCapabilityExtensions(extensions, 1, 0));
    }
}

TEST_F(TransferTest, NewPlayerDoesNotInheritTheLastPlayersFolders) {
    mtp_.capability = StandardCapability(true);
    mtp_.findResults = {1};
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    ASSERT_EQ(L"FEEDS\\", manager_->GetFolder(CTransferManager::kFeedsFolder));
    // The next player's document names no feed folders.
    mtp_.capability = CapabilityXml("mp3", "<Path content-type=\"sound\"><Target>\\M\\</Target></Path>");
    mtp_.findResults = {2};
    ASSERT_EQ(2, manager_->CheckDevice(&hasFile));
    EXPECT_EQ(L"", manager_->GetFolder(CTransferManager::kFeedsFolder));
    EXPECT_EQ(L"", manager_->GetVideoFolder());
}

TEST_F(TransferTest, CarAudioUnitIsSetUpWithItsFoldersAndTheMoodExport) {
    manager_->SetCarAudioAllowed(1);
    mscRoot_.WriteFile(L"Carvell.dat", "");
    // The unit's own document lists no audio format: the built-in one serves.
    mscRoot_.WriteFile(L"capability_00.xml", "x");
    msc_.capability = CapabilityXml("", "<Path content-type=\"sound\"><Target>\\M\\</Target></Path>");
    // A stale work file of an earlier unit.
    data_.WriteFile(L"Tavrel_Automotive\\HVC\\CID000.ZEP", "old");
    msc_.findResults = {1};
    bool hasFile = false;
    EXPECT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_FALSE(hasFile);
    EXPECT_EQ(CTransferManager::kCarAudioUnit, manager_->GetMode());
    EXPECT_EQ(L"Tavrel_Automotive", manager_->GetFolder(CTransferManager::kCarAudioFolder));
    EXPECT_EQ(L"MUSIC\\", manager_->GetMusicFolder());
    EXPECT_NE(msc_.calls.end(),
              std::find(msc_.calls.begin(), msc_.calls.end(), L"CreateHiddenFolder Tavrel_Automotive"));
    EXPECT_NE(msc_.calls.end(), std::find(msc_.calls.begin(), msc_.calls.end(), L"CopyFolderTree"));
    EXPECT_FALSE(FolderThere(data_.Join(L"Tavrel_Automotive\\HVC\\CID000.ZEP")));
    EXPECT_TRUE(FolderThere(data_.Join(L"Tavrel_Automotive\\HVC")));
    EXPECT_TRUE(FolderThere(data_.Join(L"Tavrel_Automotive\\HVM")));
    // The export is open on the data folder: tracks can be entered.
    EXPECT_EQ(0, AssignTrackToMoodChannels(nullptr, 0, L"\\MUSIC\\a.mp3"));

    // The unit goes away: the export closes.
    msc_.findResults = {0};
    EXPECT_EQ(0, manager_->CheckDevice(&hasFile));
    EXPECT_EQ(CTransferManager::kNoUsablePlayer, manager_->GetMode());
    EXPECT_NE(0, AssignTrackToMoodChannels(nullptr, 0, L"\\MUSIC\\a.mp3"));
}

TEST_F(TransferTest, CarAudioMarkerIsIgnoredWhenCarAudioIsNotAllowed) {
    mscRoot_.WriteFile(L"Carvell.dat", "");
    msc_.findResults = {1};
    bool hasFile = false;
    EXPECT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_EQ(CTransferManager::kOrdinaryPlayer, manager_->GetMode());
    EXPECT_EQ(L"", manager_->GetFolder(CTransferManager::kCarAudioFolder));
}

TEST_F(TransferTest, EnumerationReportsItsSevenValues) {
    mtp_.capability = StandardCapability(/*feedFormat=*/true);
    mtp_.findResults = {1};
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    manager_->StartDeviceThread();
    manager_->RequestEnumeration();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener_.contentsReported, 10000));
    ASSERT_EQ(1u, listener_.contents.size());
    EXPECT_EQ((std::vector<uint64_t>{1, 2, 3, 4, 5, 6, 7}), listener_.contents[0]);
    EXPECT_EQ(1, mtp_.enumerationFeedsAsked);
}

TEST_F(TransferTest, FolderTreeIsReportedAndASecondRequestWaitsForTheFirst) {
    mtpRoot_.WriteFile(L"one.mp3", "1");
    mtp_.capability = StandardCapability();
    mtp_.findResults = {1};
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    CScopedHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CScopedHandle entered(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    mtp_.holdTree = never.Get();
    mtp_.treeEntered = entered.Get();
    manager_->StartFolderTreeThread(0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered.Get(), 10000));
    // The first build is held until its operation is aborted; the second one runs.
    mtp_.holdTree = nullptr;
    manager_->StartFolderTreeThread(2);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener_.treeReported, 10000));
    manager_->StopFolderTreeThread();
    ASSERT_EQ(1u, listener_.trees.size()) << "the aborted build is not reported";
    EXPECT_EQ(0, listener_.treeStatuses[0]);
    EXPECT_EQ(L"folder2", listener_.trees[0]->GetName());
    EXPECT_EQ(1u, listener_.trees[0]->GetChildCount());
}

TEST_F(TransferTest, DeleteStoppedHalfWayStillReturnsAFreshTree) {
    for (const wchar_t* name : {L"a.mp3", L"b.mp3", L"c.mp3", L"d.mp3"}) mtpRoot_.WriteFile(name, "x");
    mtp_.capability = StandardCapability();
    mtp_.findResults = {1};
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    std::vector<std::unique_ptr<CQBTreeNode>> nodes;
    std::vector<CQBTreeNode*> selection;
    for (const wchar_t* name : {L"a.mp3", L"b.mp3", L"c.mp3", L"d.mp3"}) {
        nodes.push_back(CQBTreeNode::NewFile({name}, {name}, 1));
        selection.push_back(nodes.back().get());
    }
    CScopedHandle resume(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    listener_.stopDeletingAfter = 2;
    listener_.resumeDeleting = resume.Get();
    manager_->StartDeleteThread(selection);
    // The dialog may free its nodes at once: the thread works from its own copies.
    nodes.clear();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener_.deletedEnough, 10000));
    HANDLE stopper = CreateThread(
        nullptr, 0,
        [](void* self) WINAPI -> DWORD {
            static_cast<CTransferManager*>(self)->StopDeleteThread();
            return 0;
        },
        manager_.get(), 0, nullptr);
    // Once the stop has cleared the flag, let the thread go on.
    for (int i = 0; i < 1000 && manager_->IsDeleting(); ++i) Sleep(10);
    EXPECT_FALSE(manager_->IsDeleting());
    SetEvent(resume.Get());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(stopper, 10000));
    CloseHandle(stopper);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener_.deleteFinished, 10000));
    // Deleted from the last selected one backwards: d and c went, a and b stay.
    EXPECT_EQ((std::vector<std::wstring>{L"d.mp3", L"c.mp3"}), mtp_.deleted);
    ASSERT_NE(nullptr, listener_.deleteTree);
    EXPECT_EQ(2u, listener_.deleteTree->GetChildCount());
}

TEST_F(TransferTest, HostileCapabilityDocumentsCostLittleAndNeverEndTheProgram) {
    std::string attributes;
    for (int i = 0; i < 100000; ++i) attributes += " a" + std::to_string(i) + "=\"x\"";
    const std::string standard = StandardCapability();
    const size_t body = standard.find("<Devices");
    std::string entity = "<!DOCTYPE Devices [<!ENTITY big \"" + std::string(100000, 'x') + "\">]>";
    std::string references;
    for (int i = 0; i < 1000; ++i) references += "&big;";
    struct Case {
        const char* name;
        std::string document;
        DWORD claimedSize;
    };
    const Case cases[] = {
        {"one big entity referenced many times",
         entity + standard.substr(body, standard.find("</Devices>") - body) + "<!--" + references + "--></Devices>", 0},
        {"100000 attributes", standard.substr(0, body) + "<Devices" + attributes + standard.substr(body + 8), 0},
        {"300 MB", standard, 300u << 20},
        {"a size that wraps", standard, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mtp_.capability = c.document;
        mtp_.claimedSize = c.claimedSize;
        mtp_.readSizesAsked.clear();
        mtp_.findResults = {CDeviceControllerBase::kDeviceFound};
        bool hasFile = false;
        int state = -1;
        EXPECT_GT(2000u, Elapsed([&] { state = manager_->CheckDevice(&hasFile); }));
        EXPECT_EQ(CTransferManager::kStateNoPlayer, state);
        EXPECT_EQ(CTransferManager::kNoUsablePlayer, manager_->GetMode());
        if (c.claimedSize != 0) {
            EXPECT_TRUE(mtp_.readSizesAsked.empty()) << "nothing allocated or read";
        }
    }

    // A damaged byte costs one character: the player still works.
    mtp_.claimedSize = 0;
    mtp_.capability = CapabilityXml("mp3", "<Path content-type=\"sound\"><Target>\\SONGS\xC3\x28\\</Target></Path>");
    mtp_.findResults = {CDeviceControllerBase::kDeviceFound};
    bool hasFile = false;
    EXPECT_EQ(CTransferManager::kStateFound, manager_->CheckDevice(&hasFile));
    EXPECT_EQ(CTransferManager::kOrdinaryPlayer, manager_->GetMode());
    EXPECT_EQ(L"MUSIC\\", manager_->GetMusicFolder());
}
