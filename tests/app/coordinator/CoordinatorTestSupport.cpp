#include "tests/app/coordinator/CoordinatorTestSupport.h"

#include "library/capability/CapabilityNamespace.h"
#include "library/util/Settings.h"

namespace {

std::string Formats(const std::string& list, const char* attribute) {
    std::string formats;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        formats += std::string("<Format") + attribute + "><Extension>" + list.substr(start, end - start) +
                   "</Extension></Format>";
        start = end + 1;
    }
    return formats;
}

std::string Element(const char* name, const std::string& list, bool feed) {
    if (list.empty()) return std::string();
    return std::string("<") + name + ">" + Formats(list, feed ? " comesfrom=\"rss\"" : "") + "</" + name + ">";
}

}  // namespace

CRecordingEvents::CRecordingEvents() : posted_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CRecordingEvents::~CRecordingEvents() { CloseHandle(posted_); }

void CRecordingEvents::PublishEntryPoint(ICOMManagerListener* entryPoint) {
    CScopedLock lock(lock_);
    published.push_back(entryPoint != nullptr);
}

void CRecordingEvents::Add(const Event& event) {
    {
        CScopedLock lock(lock_);
        events_.push_back(event);
    }
    SetEvent(posted_);
}

std::vector<CRecordingEvents::Event> CRecordingEvents::Events() {
    CScopedLock lock(lock_);
    return events_;
}

std::vector<std::wstring> CRecordingEvents::Texts(Kind kind) {
    std::vector<std::wstring> texts;
    for (const Event& event : Events()) {
        if (event.kind == kind) texts.push_back(event.text);
    }
    return texts;
}

int CRecordingEvents::Count(Kind kind) {
    int count = 0;
    for (const Event& event : Events()) count += event.kind == kind;
    return count;
}

void CRecordingEvents::Clear() {
    CScopedLock lock(lock_);
    events_.clear();
}

bool CRecordingEvents::WaitFor(Kind kind, int count) {
    const ULONGLONG deadline = GetTickCount64() + kEventWaitMs;
    while (Count(kind) < count) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        WaitForSingleObject(posted_, static_cast<DWORD>(deadline - now));
    }
    return true;
}

std::string CapabilityDocument(const CapabilityLists& lists) {
    std::string playback = Element("Audio", lists.audio, false) + Element("Image", lists.image, false) +
                           Element("Video", lists.video, false) + Element("Audio", lists.feedAudio, true) +
                           Element("Video", lists.feedVideo, true) + lists.extra;
    if (lists.feedLists) playback += "<File><Format comesfrom=\"rss\"><Extension>opml</Extension></Format></File>";
    const std::string applications =
        lists.ravelin ? "<Applications><Ravelin enable=\"true\" version=\"1.0\"/></Applications>"
                      : "";
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Devices xmlns=\"") + QB_CAPABILITY_NAMESPACE_URI +
           "\"><Device><PlaybackCapabilities>" + playback +
           "</PlaybackCapabilities><FileSystem>"
           "<Path content-type=\"sound\" depth=\"7\"><Target>\\MUSIC\\</Target></Path>"
           "<Path content-type=\"image\" depth=\"7\"><Target>\\PICTURE\\</Target></Path>"
           "<Path content-type=\"video\" depth=\"7\"><Target>\\VIDEO\\</Target></Path>"
           "<Path content-type=\"feeds\" depth=\"7\"><Target>\\FEEDS\\</Target></Path>"
           "</FileSystem>" +
           applications + "</Device></Devices>";
}

CoordinatorTest::CoordinatorTest() {
    CTransferManager::Controllers controllers{&mtp_, &msc_, []() { return false; }};
    CQBCommonManager::Options options;
    options.controllers = &controllers;
    options.dataFolder = data_.Path() + L"\\";
    coordinator_ = std::make_unique<CQBCommonManager>(std::move(options));
}

void CoordinatorTest::SetUp() {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(registry_.IsActive());
    coordinator_->SetAutomationEvents(&events_);
    coordinator_->SetLauncher(&launcher_);
    coordinator_->SetFileVersion(L"2.1.0.7");
    coordinator_->TransferStage().SetWaits(1, 300);
    // Device checks start no update checker unless a test asks for one.
    SetSetting(L"AutoUpdate", 0);
}

void CoordinatorTest::TearDown() {
    coordinator_->Shutdown();
    coordinator_.reset();
    CoUninitialize();
}

void CoordinatorTest::ConnectPlayer(const std::string& capability, bool mtp) {
    CFakeDeviceController& player = mtp ? mtp_ : msc_;
    player.capability = capability;
    player.findResults = {CDeviceControllerBase::kDeviceFound};
    coordinator_->OnDeviceStateChanged();
}

void CoordinatorTest::SetSetting(const wchar_t* name, DWORD value) {
    ASSERT_TRUE(WriteSettingDword(name, value));
}
