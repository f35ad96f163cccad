// The convert stage around a scripted converter: what it does to the record, which list a failure
// lands in and with what text, the reports it forwards, the size settings and cancelling.
#include <windows.h>
#include "platform/dshow/DShow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/media/convert/MovieConvertManager.h"
#include "library/util/DataFolders.h"
#include "library/util/ScopedWin.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"

namespace {

const wchar_t kProductKey[] = L"Software\\Tavrel Corporation\\Quillbay";

// Sets one setting for a test and puts back what was there (or nothing) afterwards.
class CSettingForTest {
public:
    CSettingForTest(const wchar_t* name, DWORD value) : name_(name) {
        hadValue_ = ReadSetting(name, &previous_);
        WriteSettingDword(name, value);
    }
    // Removes the setting for the test.
    explicit CSettingForTest(const wchar_t* name) : name_(name) {
        hadValue_ = ReadSetting(name, &previous_);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kProductKey, name);
    }
    ~CSettingForTest() {
        if (hadValue_) {
            WriteSettingDword(name_, previous_);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kProductKey, name_.c_str());
        }
    }

private:
    std::wstring name_;
    DWORD previous_ = 0;
    bool hadValue_ = false;
};

// Plays the converter: reports like the real one, writes a partial output and ends with a set
// result; with `block` it waits for Abort and ends with S_FALSE.
class CScriptedConverter : public IQBCONVMovie {
public:
    HRESULT result = S_OK;
    bool block = false;
    IQBCONVMovieListener* listener = nullptr;
    std::atomic<int> starts{0};
    std::atomic<bool> running{false};
    std::wstring lastSource;
    std::wstring lastOutput;
    uint32_t boxWidth = 0, boxHeight = 0, audio = 0, video = 0, total = 0;
    CScopedHandle aborted{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    // Runs inside Start before the conversion resets its abort event, as a real one does.
    std::function<void()> beforeReset;

    HRESULT Initialize() override { return S_OK; }
    HRESULT SetOutputSize(uint32_t width, uint32_t height) override {
        boxWidth = width;
        boxHeight = height;
        return S_OK;
    }
    void SetAudioBitrate(uint32_t bits) override {
        audio = bits;
        SetTotalBitrate(audio + video);
    }
    void SetTotalBitrate(uint32_t bits) override { total = bits; }
    void SetVideoBitrate(uint32_t bits) override {
        video = bits;
        SetTotalBitrate(audio + video);
    }
    HRESULT Start(const wchar_t* source, const wchar_t* output) override {
        ++starts;
        lastSource = source;
        lastOutput = output;
        listener->OnStart(source);
        if (beforeReset) beforeReset();
        ResetEvent(aborted.Get());
        HANDLE file = CreateFileW(output, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        listener->OnProgress(source, 0);
        HRESULT hr = WaitForSingleObject(aborted.Get(), 0) == WAIT_OBJECT_0 ? S_FALSE : result;
        if (block) {
            running = true;
            WaitForSingleObject(aborted.Get(), 30000);
            hr = S_FALSE;
        }
        listener->OnProgress(source, 100);
        if (SUCCEEDED(hr)) {
            listener->OnComplete(source);
        } else {
            listener->OnError(source);
        }
        return hr;
    }
    void Abort() override { SetEvent(aborted.Get()); }
};

class CRecordingListener : public CMovieConvertManager::IListener {
public:
    void OnConvertStart(std::wstring name) override { Add(L"start " + name); }
    void OnConvertProgress(std::wstring name, int32_t percent) override { Add(name + L" " + std::to_wstring(percent)); }
    void OnConvertEnd(std::wstring name) override { Add(L"end " + name); }
    std::vector<std::wstring> Events() {
        CScopedLock lock(lock_);
        return events_;
    }

private:
    void Add(const std::wstring& event) {
        CScopedLock lock(lock_);
        events_.push_back(event);
    }
    CCriticalSection lock_;
    std::vector<std::wstring> events_;
};

// The next stage: keeps what arrives.
class CKeepingHandler : public CTNContentHandler {
public:
    ~CKeepingHandler() override {
        for (CTNContent* content : contents_) delete content;
    }
    void PostContent(CTNContent* content) override {
        CScopedLock lock(lock_);
        contents_.push_back(content);
    }
    bool WaitFor(size_t count) {
        for (int i = 0; i < 1000; ++i) {
            if (Count() >= count) return true;
            Sleep(10);
        }
        return false;
    }
    size_t Count() {
        CScopedLock lock(lock_);
        return contents_.size();
    }
    CTNContent* At(size_t index) {
        CScopedLock lock(lock_);
        return contents_[index];
    }

private:
    CCriticalSection lock_;
    std::vector<CTNContent*> contents_;
};

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class MovieConvertManagerTest : public testing::Test {
protected:
    void SetUp() override {
        // The converter writes into the per-user data folder, which start-up makes.
        createdDataFolder_ = GetFileAttributesW(GetUserDataFolder().c_str()) == INVALID_FILE_ATTRIBUTES;
        if (createdDataFolder_) {
            ASSERT_TRUE(CreateUserDataFolder());
        }
        converter_ = new CScriptedConverter();
        manager_.reset(new CMovieConvertManager(std::unique_ptr<IQBCONVMovie>(converter_)));
        converter_->listener = manager_.get();
        manager_->SetListener(&listener_);
        manager_->SetNext(&next_);
        ASSERT_EQ(S_OK, manager_->Start());
        manager_->Reset();
    }
    void TearDown() override {
        manager_.reset();
        if (createdDataFolder_) {
            // The folder and, when nothing else is in it, the maker's folder above it.
            std::wstring folder = GetUserDataFolder();
            RemoveDirectoryW(folder.c_str());
            folder.resize(folder.find_last_of(L'\\', folder.size() - 2));
            RemoveDirectoryW(folder.c_str());
        }
    }

    static CTNContent* Movie(uint8_t skip, int32_t passUnconverted) {
        CTNContent* content = new CTNContent(0, CTNContent::kVideo);
        content->sourcePath = L"C:\\movies\\clip.mp4";
        content->relativePath = L"Video\\clip.mp4";
        content->fileType = 7;
        content->skip = skip;
        content->passUnconverted = passUnconverted;
        return content;
    }

    bool createdDataFolder_ = false;
    CKeepingHandler next_;
    CRecordingListener listener_;
    CScriptedConverter* converter_ = nullptr;
    std::unique_ptr<CMovieConvertManager> manager_;
};

TEST_F(MovieConvertManagerTest, AMovieNotMarkedPassesStraightOn) {
    manager_->PostContent(Movie(0, 1));
    ASSERT_EQ(1u, next_.Count());  // on the caller's thread, before PostContent returned
    EXPECT_EQ(0, converter_->starts.load());
    EXPECT_EQ(L"Video\\clip.mp4", next_.At(0)->relativePath);
}

TEST_F(MovieConvertManagerTest, ASuccessfulConversionRewritesTheRecord) {
    manager_->PostContent(Movie(1, 0));
    ASSERT_TRUE(next_.WaitFor(1));
    CTNContent* content = next_.At(0);
    EXPECT_EQ(L"C:\\movies\\clip.mp4", converter_->lastSource);
    EXPECT_EQ(converter_->lastOutput, content->tempPath);
    EXPECT_EQ(0u, content->tempPath.find(GetUserDataFolder()));
    EXPECT_EQ(L".wmv", content->tempPath.substr(content->tempPath.size() - 4));
    EXPECT_TRUE(FileExists(content->tempPath));
    EXPECT_EQ(18u, content->fileType);
    EXPECT_EQ(L"Video\\clip.wmv", content->relativePath);
    EXPECT_EQ(0, content->skip);
    const std::vector<std::wstring> expected = {L"start clip.mp4", L"clip.mp4 0", L"clip.mp4 100", L"end clip.mp4"};
    EXPECT_EQ(expected, listener_.Events());
    EXPECT_TRUE(manager_->GetFailedList().empty());
    EXPECT_TRUE(manager_->GetUnsupportedList().empty());
    DeleteFileW(content->tempPath.c_str());
}

TEST_F(MovieConvertManagerTest, AWorkingCopyIsConvertedInPlaceOfTheSource) {
    CTNContent* movie = Movie(1, 0);
    movie->tempPath = L"C:\\work\\copy.mp4";
    manager_->PostContent(movie);
    ASSERT_TRUE(next_.WaitFor(1));
    EXPECT_EQ(L"C:\\work\\copy.mp4", converter_->lastSource);
    DeleteFileW(next_.At(0)->tempPath.c_str());
}

struct FailureCase {
    HRESULT result;
    int32_t passUnconverted;
    DWORD logging;
    const wchar_t* unsupported;  // the expected entry of each list, or null for none
    const wchar_t* failed;
};

TEST_F(MovieConvertManagerTest, FailuresAreSortedIntoTheListsAndPartialOutputsDeleted) {
    const FailureCase cases[] = {
        {VFW_E_CANNOT_CONNECT, 0, 1, L"C:\\movies\\clip.mp4 : 0x80040217", nullptr},
        {VFW_S_AUDIO_NOT_RENDERED, 0, 1, L"C:\\movies\\clip.mp4 : 0x40258", nullptr},
        {VFW_E_UNSUPPORTED_VIDEO, 0, 0, L"C:\\movies\\clip.mp4", nullptr},
        {E_FAIL, 0, 0, nullptr, L"C:\\movies\\clip.mp4"},
        {VFW_S_PARTIAL_RENDER, 0, 1, nullptr, L"C:\\movies\\clip.mp4 : 0x40242"},
        {E_FAIL, 1, 1, nullptr, nullptr},
    };
    for (size_t i = 0; i < ARRAYSIZE(cases); ++i) {
        const FailureCase& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i);
        CSettingForTest logging(settings::kMovieConvertLogging, c.logging);
        converter_->result = c.result;
        manager_->PostContent(Movie(1, c.passUnconverted));
        ASSERT_TRUE(next_.WaitFor(i + 1));
        CTNContent* content = next_.At(i);
        EXPECT_FALSE(converter_->lastOutput.empty());
        EXPECT_FALSE(FileExists(converter_->lastOutput));
        EXPECT_TRUE(content->tempPath.empty());
        EXPECT_EQ(L"Video\\clip.mp4", content->relativePath);
        EXPECT_EQ(c.passUnconverted == 1 ? 0 : 1, content->skip);
        const std::vector<std::wstring> unsupported = manager_->GetUnsupportedList();
        const std::vector<std::wstring> failed = manager_->GetFailedList();
        EXPECT_EQ(c.unsupported ? std::vector<std::wstring>{c.unsupported} : std::vector<std::wstring>{}, unsupported);
        EXPECT_EQ(c.failed ? std::vector<std::wstring>{c.failed} : std::vector<std::wstring>{}, failed);
        manager_->ClearFailedList();
        manager_->ClearUnsupportedList();
    }
}

TEST_F(MovieConvertManagerTest, OutputSizeFollowsThePlayerUnlessHeldSmall) {
    struct SizeCase {
        int setting;  // -1: missing
        uint32_t width, height, boxWidth, boxHeight, video;
    };
    const SizeCase cases[] = {
        {1, 480, 272, 320, 240, 768000},
        {0, 480, 272, 480, 272, 1536000},
        {-1, 480, 272, 480, 272, 1536000},
        {-1, 320, 240, 320, 240, 768000},
        {0, 320, 256, 320, 256, 1536000},
    };
    for (const SizeCase& c : cases) {
        std::unique_ptr<CSettingForTest> setting(c.setting < 0 ? new CSettingForTest(settings::kMovieConvertSize)
                                                               : new CSettingForTest(settings::kMovieConvertSize, c.setting));
        manager_->SetOutputSize(c.width, c.height);
        EXPECT_EQ(c.boxWidth, converter_->boxWidth) << c.width << "x" << c.height << " setting " << c.setting;
        EXPECT_EQ(c.boxHeight, converter_->boxHeight);
        EXPECT_EQ(128000u, converter_->audio);
        EXPECT_EQ(c.video, converter_->video);
        EXPECT_EQ(128000u + c.video, converter_->total);
    }
}

TEST_F(MovieConvertManagerTest, CancelAbortsTheConversionSilentlyAndDropsTheMovie) {
    converter_->block = true;
    manager_->PostContent(Movie(1, 0));
    for (int i = 0; i < 1000 && !converter_->running; ++i) Sleep(10);
    ASSERT_TRUE(converter_->running);
    manager_->Cancel();
    for (int i = 0; i < 1000 && manager_->IsBusy(); ++i) Sleep(10);
    EXPECT_FALSE(manager_->IsBusy());
    EXPECT_EQ(0u, next_.Count());
    EXPECT_FALSE(FileExists(converter_->lastOutput));
    const std::vector<std::wstring> expected = {L"start clip.mp4", L"clip.mp4 0"};
    EXPECT_EQ(expected, listener_.Events());
    EXPECT_TRUE(manager_->GetFailedList().empty());
}

// The abort of a cancel that lands in the moment before a conversion resets its abort event is
// lost to the converter; the manager still stops the conversion it cancelled and keeps no output.
TEST_F(MovieConvertManagerTest, CancelLandingAsTheConversionStartsStillStopsIt) {
    converter_->beforeReset = [this] { manager_->Cancel(); };
    manager_->PostContent(Movie(1, 0));
    for (int i = 0; i < 1000 && converter_->starts == 0; ++i) Sleep(10);
    for (int i = 0; i < 1000 && manager_->IsBusy(); ++i) Sleep(10);
    ASSERT_EQ(1, converter_->starts.load());
    EXPECT_FALSE(manager_->IsBusy());
    EXPECT_EQ(0u, next_.Count());
    EXPECT_FALSE(FileExists(converter_->lastOutput));
    EXPECT_TRUE(manager_->GetFailedList().empty());
}

}  // namespace
