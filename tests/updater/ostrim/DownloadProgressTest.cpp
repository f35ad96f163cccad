#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "FennicTestSupport.h"
#include "library/util/ScopedCom.h"
#include "platform/fennic/FennicInterfaces.h"
#include "updater/ostrim/DownloadProgress.h"
#include "updater/ostrim/UpdateClock.h"

namespace {

class CFastClock : public IUpdateClock {
public:
    void Sleep(DWORD milliseconds) override { ::Sleep(std::max<DWORD>(1, milliseconds / 1000)); }
};

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class DownloadProgressTest : public CFennicSuite {
protected:
    // Starts a download of the scripted components and runs the display until it closes.
    HRESULT Download(CDownloadProgress** progress = nullptr) {
        EXPECT_EQ(S_OK, CoCreateInstance(kClsidFennicUserInterface, nullptr, CLSCTX_INPROC_SERVER,
                                         kIidFennicUserInterface, reinterpret_cast<void**>(m_ui.Receive())));
        EXPECT_EQ(S_OK, CoCreateInstance(kClsidFennicDownload, nullptr, CLSCTX_INPROC_SERVER, kIidFennicDownload,
                                         reinterpret_cast<void**>(m_download.Receive())));
        if (!m_ui || !m_download) return E_FAIL;
        m_progress.reset(new CDownloadProgress(m_ui.Get(), m_download.Get(), m_clock));
        EXPECT_EQ(S_OK, m_download->Start(m_fileId.Get(), m_service.Get()));
        if (progress) *progress = m_progress.get();
        return m_progress->StartDownload(m_service.Get(), m_fileId.Get());
    }
    void TearDown() override {
        m_progress.reset();
        m_download.Reset();
        m_ui.Reset();
        CFennicSuite::TearDown();
    }

    CFastClock m_clock;
    CScopedBstr m_service{L"DownloadTest"};
    CScopedBstr m_fileId{L"file1"};
    CScopedComPtr<IFennicUserInterface> m_ui;
    CScopedComPtr<IFennicDownload> m_download;
    std::unique_ptr<CDownloadProgress> m_progress;
};

TEST_F(DownloadProgressTest, ProgressIsShownUntilTheDownloadEndsAndTheWorkerClosesTheDisplay) {
    SetScript(L"offer=1;step=25");
    CDownloadProgress* progress = nullptr;
    EXPECT_EQ(S_OK, Download(&progress));
    EXPECT_EQ(S_OK, progress->Result());
    EXPECT_FALSE(progress->Cancelled());
    const std::string journal = Journal();
    const size_t shown = journal.find("ui.11 25 DownloadTest");
    ASSERT_NE(std::string::npos, shown) << journal;
    EXPECT_LT(shown, journal.find("ui.11 50 DownloadTest")) << journal;
    EXPECT_LT(journal.find("ui.11 75 DownloadTest"), journal.find("ui.11 100 DownloadTest")) << journal;
    EXPECT_EQ(1u, Count(journal, "ui.6 DownloadTest")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("dl.3")) << journal;
}

TEST_F(DownloadProgressTest, FailedStatusEndsTheWorkerWithIt) {
    SetScript(L"offer=1;status=0x80044207");
    CDownloadProgress* progress = nullptr;
    EXPECT_EQ(S_OK, Download(&progress));
    EXPECT_EQ(static_cast<HRESULT>(0x80044207), progress->Result());
    const std::string journal = Journal();
    EXPECT_EQ(std::string::npos, journal.find("ui.11")) << journal;
    EXPECT_EQ(1u, Count(journal, "ui.6 ")) << journal;
}

TEST_F(DownloadProgressTest, HeldDownloadRestartsAndItsOldCancelledStatusIsNoFailure) {
    struct Case {
        const wchar_t* script;
        HRESULT result;
        size_t restarts;
    };
    // Without a hold a cancelled status ends the download; after a resume it only echoes the hold.
    const Case cases[] = {
        {L"offer=1;hold=3;status=0x80042202", S_OK, 1},
        {L"offer=1;status=0x80042202", kDownloadCancelled, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(test.script)));
        SetScript(test.script);
        const size_t before = Count(Journal(), "dl.2 ");
        const size_t holdsBefore = Count(Journal(), "dl.3 ");
        CDownloadProgress* progress = nullptr;
        EXPECT_EQ(S_OK, Download(&progress));
        EXPECT_EQ(test.result, progress->Result());
        // The test's own start, then the worker's restarts.
        EXPECT_EQ(before + 1 + test.restarts, Count(Journal(), "dl.2 "));
        EXPECT_EQ(holdsBefore + test.restarts, Count(Journal(), "dl.3 "));
    }
}

TEST_F(DownloadProgressTest, CancelledDisplayStopsTheWorkerWithoutClosingIt) {
    SetScript(L"offer=1;cancel=1;step=1");
    CDownloadProgress* progress = nullptr;
    EXPECT_EQ(kDownloadCancelled, Download(&progress));
    EXPECT_TRUE(progress->Cancelled());
    const std::string journal = Journal();
    EXPECT_NE(std::string::npos, journal.find("dl.3 DownloadTest")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("ui.6")) << journal;
}

}  // namespace
