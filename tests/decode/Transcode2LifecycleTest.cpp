#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>
#include <uuids.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "library/media/decode/ITranscode2.h"
#include "library/util/ScopedWin.h"
#include "platform/dshow/MediaType.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/decode/TestReceiver.h"

namespace {

class Transcode2LifecycleTest : public CTranscodeTest {};

int ThreadCount() {
    CScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

TEST_F(Transcode2LifecycleTest, ReleaseIsHarmlessAtAnyTime) {
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(nullptr));
    graph->Release();
    graph->ReleaseSingleMode();
    graph->Release();
    AM_MEDIA_TYPE type = {};
    LONGLONG duration = 0;
    EXPECT_EQ(E_FAIL, graph->Run());
    EXPECT_EQ(E_FAIL, graph->Stop());
    EXPECT_EQ(E_FAIL, graph->GetInputMediaType(&type));
    EXPECT_EQ(E_FAIL, graph->GetDuration(&duration));
    EXPECT_TRUE(TranscodeTokenIsFree());
}

TEST_F(Transcode2LifecycleTest, ProbeWithoutReceiverGivesTheCompressedTypeAndTheToken) {
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(nullptr));
    ASSERT_EQ(S_OK, graph->SetFile(FixturePath(L"tone-id3-lame.mp3").c_str(), 1));
    EXPECT_FALSE(TranscodeTokenIsFree());
    AM_MEDIA_TYPE type = {};
    ASSERT_EQ(S_OK, graph->GetInputMediaType(&type));
    // Compressed MPEG audio: as a payload type behind a splitter, or the byte stream itself where
    // one filter splits and decodes (Wine's).
    const bool payload = IsEqualGUID(MEDIATYPE_Audio, type.majortype) && IsEqualGUID(MEDIASUBTYPE_MPEG1AudioPayload, type.subtype);
    const bool stream = IsEqualGUID(MEDIATYPE_Stream, type.majortype) && IsEqualGUID(MEDIASUBTYPE_MPEG1Audio, type.subtype);
    EXPECT_TRUE(payload || stream);
    // Copying again frees what the record held.
    ASSERT_EQ(S_OK, graph->GetInputMediaType(&type));
    EXPECT_EQ(E_FAIL, graph->GetInputMediaType(nullptr));
    FreeMediaTypeContents(type);
    LONGLONG duration = 0;
    ASSERT_EQ(S_OK, graph->GetDuration(&duration));
    EXPECT_NEAR(3000, duration, 100);
    EXPECT_EQ(E_FAIL, graph->GetDuration(nullptr));
    graph->Release();
    EXPECT_TRUE(TranscodeTokenIsFree());
    EXPECT_EQ(E_FAIL, graph->GetInputMediaType(&type));
}

TEST_F(Transcode2LifecycleTest, SetFileTwiceRebuildsAndEveryRunSendsTheType) {
    CTestReceiver receiver;
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(&receiver));
    ASSERT_EQ(S_OK, graph->SetFile(FixturePath(L"tone-mono.wav").c_str(), 2));
    // The second call gives the first graph's token back before it waits for one.
    ASSERT_EQ(S_OK, graph->SetFile(FixturePath(L"tone-mono.wav").c_str(), 0));
    ASSERT_EQ(S_OK, graph->Run());
    ASSERT_TRUE(receiver.WaitForEnd(30000));
    ASSERT_EQ(S_OK, graph->Stop());
    ASSERT_EQ(S_OK, graph->Run());
    EXPECT_EQ(2, receiver.MediaTypes());
    EXPECT_EQ(S_OK, graph->Stop());
    graph->Release();
}

TEST_F(Transcode2LifecycleTest, NonAudioFilesFail) {
    CScratchFile text(std::vector<uint8_t>(4000, 'x'));
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(nullptr));
    EXPECT_TRUE(FAILED(graph->SetFile(text.Path().c_str(), 1)));
    // A failed build after the token was taken keeps it until Release.
    EXPECT_FALSE(TranscodeTokenIsFree());
    graph->Release();
    EXPECT_TRUE(TranscodeTokenIsFree());
    EXPECT_TRUE(FAILED(graph->SetFile(L"C:\\no\\such\\file.wav", 2)));
    graph->Release();
}

TEST_F(Transcode2LifecycleTest, LeavesNoThreadOrHandleBehind) {
    auto cycle = [] {
        CTestReceiver receiver;
        std::unique_ptr<ITranscode2> graph(CreateTranscode2(&receiver));
        ASSERT_EQ(S_OK, graph->SetFile(FixturePath(L"tone-id3-lame.mp3").c_str(), 1));
        ASSERT_EQ(S_OK, graph->Run());
        ASSERT_TRUE(receiver.WaitForEnd(30000));
        graph->Release();
    };
    cycle();  // the platform keeps some lasting state after its first graph
    Sleep(200);
    const int threads = ThreadCount();
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    for (int i = 0; i < 3; ++i) cycle();
    Sleep(200);
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(ThreadCount(), threads);
    EXPECT_LE(handlesAfter, handles + 2);
}

// A receiver slow enough that the stream is still running when the test lets go of the graph.
class CSlowReceiver : public CTestReceiver {
public:
    HRESULT OnSample(IMediaSample* sample) override {
        Sleep(20);
        return CTestReceiver::OnSample(sample);
    }
};

TEST_F(Transcode2LifecycleTest, ReleaseWhileRunningStopsTheGraph) {
    CSlowReceiver receiver;
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(&receiver));
    ASSERT_EQ(S_OK, graph->SetFile(FixturePath(L"tone-id3-lame.mp3").c_str(), 1));
    ASSERT_EQ(S_OK, graph->Run());
    for (int i = 0; i < 500 && receiver.samples_ == 0; ++i) Sleep(10);
    ASSERT_GT(receiver.samples_.load(), 0);
    graph->Release();
    const int samples = receiver.samples_;
    EXPECT_EQ(0, receiver.endsOfStream_.load());
    Sleep(200);
    // Nothing reaches the receiver once Release has returned.
    EXPECT_EQ(samples, receiver.samples_.load());
    EXPECT_TRUE(TranscodeTokenIsFree());
}

CCriticalSection g_traceLock;
std::vector<std::string> g_traceLines;

void CollectTrace(const char* line) {
    CScopedLock lock(g_traceLock);
    g_traceLines.push_back(line);
}

bool Traced(const std::string& prefix) {
    CScopedLock lock(g_traceLock);
    for (const std::string& line : g_traceLines)
        if (line.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

TEST_F(Transcode2LifecycleTest, TracesEntryAndLeaveThroughTheHook) {
    SetTranscodeTraceSink(CollectTrace);
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(nullptr));
    EXPECT_EQ(S_OK, graph->SetFile(FixturePath(L"tone-mono.wav").c_str(), 2));
    graph->Release();
    SetTranscodeTraceSink(nullptr);
    EXPECT_TRUE(Traced("Enter CTranscode2::SetFile() ("));
    EXPECT_TRUE(Traced("Leave CTranscode2::SetFile() = 0x0 ("));
    EXPECT_TRUE(Traced("Leave CTranscode2::Initialize() = 0x0 ("));
    EXPECT_TRUE(Traced("Enter CTranscode2::thrMonitorEventProc("));
    EXPECT_TRUE(Traced("Leave CTranscode2::Release() ("));
}

TEST_F(Transcode2LifecycleTest, TheTokenHoldsAcrossProcesses) {
    const std::wstring suffix = std::to_wstring(GetCurrentProcessId());
    const std::wstring builtName = L"QbDecodeTestBuilt" + suffix, releaseName = L"QbDecodeTestRelease" + suffix;
    CScopedHandle built(CreateEventW(nullptr, TRUE, FALSE, builtName.c_str()));
    CScopedHandle release(CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
    wchar_t folder[MAX_PATH];
    GetModuleFileNameW(nullptr, folder, MAX_PATH);
    std::wstring helper(folder);
    helper = helper.substr(0, helper.find_last_of(L"\\/") + 1) + L"decode_token_holder.exe";
    std::wstring commandLine = L"\"" + helper + L"\" \"" + FixturePath(L"tone-mono.wav") + L"\" " + builtName + L" " + releaseName;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(helper.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(built.Get(), 60000));

    std::unique_ptr<ITranscode2> graph(CreateTranscode2(nullptr));
    CScopedHandle ours(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HRESULT hr = E_PENDING;
    std::thread waiter([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        hr = graph->SetFile(FixturePath(L"tone-mono.wav").c_str(), 2);
        SetEvent(ours.Get());
        CoUninitialize();
    });
    // The other program holds the token: our build waits.
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(ours.Get(), 1000));
    SetEvent(release.Get());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ours.Get(), 60000));
    waiter.join();
    EXPECT_EQ(S_OK, hr);
    graph->Release();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(processHandle.Get(), 60000));
    DWORD exitCode = 99;
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    EXPECT_EQ(0u, exitCode);
}

}  // namespace
