#include "updater/ostrim/FennicServiceManager.h"

#include <cwctype>
#include <new>

#include "platform/ui/UiLanguageModule.h"
#include "updater/ostrim/DownloadProgress.h"
#include "updater/ostrim/DownloadedFile.h"
#include "updater/ostrim/FennicCommandLineInfo.h"
#include "updater/ostrim/FirmwareUpdate.h"
#include "updater/ostrim/GantrelLibrary.h"
#include "updater/ostrim/OstrimResources.h"
#include "updater/ostrim/UpdateClock.h"
#include "updater/ostrim/UpdateOutcome.h"
#include "updater/ostrim/VersionCheck.h"
#include "updater/oplogsys/MethodLog.h"

using opLogSys::Fmt::CMethodLog;

namespace {

constexpr HRESULT kBadCommandLine = static_cast<HRESULT>(0x80042301);
constexpr HRESULT kUserDeclined = static_cast<HRESULT>(0x80042203);
constexpr HRESULT kHashMismatch = static_cast<HRESULT>(0x8004420A);
constexpr HRESULT kInstallerNotStarted = static_cast<HRESULT>(0x80041701);
constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x80041201);
constexpr HRESULT kServiceUnavailable = static_cast<HRESULT>(0x80043302);
constexpr HRESULT kNeverShown = static_cast<HRESULT>(0x80043202);
constexpr HRESULT kDownloadKept = static_cast<HRESULT>(0x80044208);

constexpr int kPlayerBackPolls = 10;
constexpr DWORD kPlayerBackPollMs = 300;

constexpr const wchar_t* kFirmwareService = L"TNFW";
constexpr const wchar_t* kDefaultServiceAddress = L"https://update.tavrel.example/fennic/service";

void Assign(CScopedBstr& target, const wchar_t* text) { *target.Receive() = SysAllocString(text ? text : L""); }

bool SameText(const wchar_t* a, const wchar_t* b) { return a != nullptr && b != nullptr && _wcsicmp(a, b) == 0; }

bool Present(BSTR value) { return value != nullptr; }

std::wstring WithoutBlanks(const wchar_t* text) {
    std::wstring result;
    for (; *text != L'\0'; ++text) {
        if (*text != L' ') result += *text;
    }
    return result;
}

}  // namespace

struct CFennicServiceManager::Group {
    ~Group() { FreeFennicUpdateDetails(&details); }

    bool PlayerFirmware() const { return productKind == 1 && firmwareService; }
    std::wstring StatusKey() const {
        return std::wstring(kClientKey) + L"\\" + service.Text() + L"\\" + instanceId.Text();
    }

    bool manual = false;
    bool reportOnly = false;
    int productKind = -1;  // 1 the player's firmware, 0 the application
    bool firmwareService = false;
    bool updateExists = false;
    bool uiShown = false;
    bool messageShown = false;
    CScopedBstr service;
    CScopedBstr displayName;
    CScopedBstr productCode;
    CScopedBstr installedVersion;
    CScopedBstr instanceId;
    CScopedBstr lastStatus;
    CScopedBstr localPath;
    FennicUpdateDetails details = {};
    ULONG totalSize = 0;
};

CFennicServiceManager::CFennicServiceManager(HMODULE resources, IUpdateClock& clock)
    : m_resources(resources), m_clock(clock) {}

CFennicServiceManager::~CFennicServiceManager() { Term(); }

const CRegistryAccessor& CFennicServiceManager::Registry() {
    static const CRegistryAccessor registry(L"Tavrel Corporation", ProductNameFor(L"Ostrim"));
    return registry;
}

HRESULT CFennicServiceManager::Init() {
    HRESULT hr = S_OK;
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::Init", &hr);
    m_gantrel.reset(new (std::nothrow) CGantrelLibrary(m_clock));
    if (!m_gantrel) return hr = E_OUTOFMEMORY;
    // Without the firmware library only the player's group fails, later.
    log.Printf(L"Gantrel hr 0x%x", m_gantrel->Load());
    struct Component {
        const wchar_t* name;
        const CLSID& clsid;
        const IID& iid;
        void** object;
    };
    const Component components[] = {
        {L"GUILIB", kClsidFennicUserInterface, kIidFennicUserInterface, reinterpret_cast<void**>(m_ui.Receive())},
        {L"Download", kClsidFennicDownload, kIidFennicDownload, reinterpret_cast<void**>(m_download.Receive())},
        {L"UpdateInfo", kClsidFennicUpdateInfo, kIidFennicUpdateInfo,
         reinterpret_cast<void**>(m_updateInfo.Receive())},
    };
    for (const Component& component : components) {
        hr = CoCreateInstance(component.clsid, nullptr, CLSCTX_INPROC_SERVER, component.iid, component.object);
        if (SUCCEEDED(hr) && *component.object == nullptr) hr = E_FAIL;
        log.Printf(L"%ls hr 0x%x", component.name, hr);
        if (FAILED(hr)) return hr;
    }
    hr = m_sink.Advise(m_updateInfo.Get());
    log.Printf(L"DispEventAdvise hr 0x%x", hr);
    if (FAILED(hr)) return hr;
    ZeroMemory(&m_player, sizeof(m_player));
    return hr;
}

void CFennicServiceManager::Term() {
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::Term", nullptr);
    m_sink.Unadvise();
    m_updateInfo.Reset();
    m_download.Reset();
    m_ui.Reset();
    if (m_gantrel) m_gantrel->Unload();
    m_gantrel.reset();
}

void CFennicServiceManager::ShowError(HRESULT hr) {
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::ShowError", &hr);
    if (m_ui) m_ui->ShowError(hr);
}

HRESULT CFennicServiceManager::CheckVersion(BSTR first, BSTR second, int op) {
    HRESULT hr = S_OK;
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::CheckVersion", &hr);
    VersionScheme scheme = VersionScheme::kApplication;
    if (m_group != nullptr && m_group->reportOnly) {
        scheme = VersionScheme::kReportOnly;
    } else if (m_group != nullptr && m_group->PlayerFirmware()) {
        scheme = VersionScheme::kPlayerFirmware;
    }
    if (scheme == VersionScheme::kPlayerFirmware && !m_gantrel) return hr = E_HANDLE;
    CGantrelLibrary unbound(m_clock);
    return hr = CheckVersionRelation(scheme, m_gantrel ? *m_gantrel : unbound, first, second, op);
}

HRESULT CFennicServiceManager::Execute(int index, int count) {
    HRESULT result = kUnexpected;
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::Execute", &result);
    Group group;
    m_group = &group;
    if (m_commandLine != nullptr && m_ui && m_download && m_updateInfo) result = RunGroup(index, group);
    if (FAILED(result)) log.ErrorPrintf(L"hr 0x%x", result);
    FinishGroup(index, count, group, &result);
    m_group = nullptr;
    return result;
}

HRESULT CFennicServiceManager::RunGroup(int index, Group& group) {
    SetRegistryRootSelector(0);
    HRESULT hr = ReadCommandLine(index, group);
    if (FAILED(hr)) return hr;
    hr = BuildProductRecord(index, group);
    if (FAILED(hr)) return hr;

    std::wstring polling = L"AUTO";
    Registry().ReadString(group.StatusKey(), L"PollingStatus", &polling);
    if (SameText(polling.c_str(), L"CLOSE")) return S_FALSE;
    if (SameText(polling.c_str(), L"MANUAL") && !group.manual) return S_FALSE;
    std::wstring lastStatus = L"00";
    Registry().ReadString(group.StatusKey(), L"LastUpdateStatus", &lastStatus);
    Assign(group.lastStatus, lastStatus.c_str());

    hr = m_updateInfo->SetPollingManual(SameText(polling.c_str(), L"MANUAL"), group.service.Get());
    if (FAILED(hr)) return hr;
    hr = AskForUpdate(group);
    if (hr != S_OK) return hr;
    hr = OfferUpdate(group);
    if (hr != S_OK || group.reportOnly) return hr;
    hr = Download(group);
    if (FAILED(hr)) return hr;
    if (group.productKind != 1) {
        return FAILED(OpenWithShell(group.localPath.Text(), L"")) ? kInstallerNotStarted : S_OK;
    }
    return UpdatePlayer(group);
}

HRESULT CFennicServiceManager::ReadCommandLine(int index, Group& group) {
    const CFennicCommandLineInfo& line = *m_commandLine;
    const BSTR reason = line.Value(0, L'M');
    if (!SameText(reason, L"AUTO") && !SameText(reason, L"MANUAL")) return kBadCommandLine;
    group.manual = !SameText(reason, L"AUTO");
    const BSTR action = line.Value(index, L'F');
    if (SameText(action, L"INFO")) {
        group.reportOnly = true;
    } else if (!SameText(action, L"UPDATE")) {
        return kBadCommandLine;
    }
    const BSTR product = line.Value(index, L'C');
    const BSTR service = line.Value(index, L'S');
    if (!Present(product) || !Present(service) || !Present(line.Value(index, L'E'))) return kBadCommandLine;
    group.productKind = SameText(product, L"PA001") ? 1 : SameText(product, L"PP001") ? 0 : -1;
    if (!Present(line.Value(index, L'N')) && !group.reportOnly && group.productKind != 1) return kBadCommandLine;
    group.firmwareService = wcscmp(service, kFirmwareService) == 0;
    Assign(group.service, service);
    return S_OK;
}

HRESULT CFennicServiceManager::BuildProductRecord(int index, Group& group) {
    const CFennicCommandLineInfo& line = *m_commandLine;
    if (group.productKind != 1) {
        Assign(group.displayName, line.Value(index, L'N'));
        Assign(group.productCode, line.Value(index, L'C'));
        Assign(group.installedVersion, line.Value(index, L'E'));
        Assign(group.instanceId, line.Value(index, L'L'));
        return S_OK;
    }
    for (CScopedBstr* field : {&group.displayName, &group.productCode, &group.installedVersion, &group.instanceId}) {
        Assign(*field, L"");
    }
    if (!group.firmwareService) return S_OK;
    const HRESULT hr = m_gantrel->GetSinglePlayerInfo(&m_player);
    if (FAILED(hr)) {
        if (group.manual) group.messageShown = ShowUpdateErrorMessage(hr, true);
        return hr;
    }
    Assign(group.displayName, WithoutBlanks(m_player.modelName).c_str());
    Assign(group.productCode, line.Value(index, L'C'));
    Assign(group.installedVersion, m_player.firmwareVersion);
    Assign(group.instanceId, m_player.serial);
    // From here on the player's model names the service, in the registry and towards the service.
    Assign(group.service, m_player.modelKey);
    return S_OK;
}

HRESULT CFennicServiceManager::AskForUpdate(Group& group) {
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::AskForUpdate", nullptr);
    std::wstring address = kDefaultServiceAddress;
    Registry().ReadString(kClientKey, L"_Dbg_Info_", &address);
    log.Printf(L"strBaseURL %ls", address.c_str());
    CScopedBstr addressText(address.c_str());
    HRESULT hr = m_updateInfo->SetServiceAddress(addressText.Get());
    if (FAILED(hr)) return hr;
    FennicProductRecord product = {group.displayName.Get(), group.productCode.Get(), group.installedVersion.Get(),
                                   group.instanceId.Get(), nullptr, group.lastStatus.Get(), 0};
    CScopedBstr empty(L"");
    product.reserved = empty.Get();
    BOOL exists = FALSE;
    hr = m_updateInfo->CheckUpdate(group.service.Get(), &product, &exists);
    if (FAILED(hr)) return hr;
    FreeFennicUpdateDetails(&group.details);
    hr = m_updateInfo->GetUpdateDetails(group.service.Get(), &group.details);
    if (FAILED(hr)) return hr;
    group.updateExists = exists != FALSE;
    return group.updateExists ? S_OK : S_FALSE;
}

HRESULT CFennicServiceManager::OfferUpdate(Group& group) {
    m_updateFound = true;
    // The service's count is not trusted beyond the files it handed over.
    uint64_t total = 0;
    if (!group.reportOnly && group.details.files != nullptr) {
        for (LONG index = 0; index < group.details.fileCount; ++index) total += group.details.files[index].size;
    }
    group.totalSize = static_cast<ULONG>(total);
    const std::wstring playerName = Text(IDS_PLAYER_DISPLAY_NAME);
    CScopedBstr playerNameText(playerName.c_str());
    FennicUiRecord record = {group.service.Get(),
                             group.PlayerFirmware() ? playerNameText.Get() : group.displayName.Get(),
                             group.details.description,
                             group.totalSize,
                             group.reportOnly,
                             group.details.displayOption,
                             group.reportOnly ? group.details.fileId : nullptr};
    BOOL accepted = FALSE;
    const HRESULT hr = m_ui->AskUser(&record, &accepted);
    group.uiShown = true;
    if (FAILED(hr)) return hr;
    if (group.reportOnly) {
        if (accepted) {
            Registry().WriteString(std::wstring(kEndKey) + L"\\" + group.service.Text(), nullptr, L"", true);
        }
        return hr;
    }
    return accepted ? S_OK : kUserDeclined;
}

HRESULT CFennicServiceManager::Download(Group& group) {
    HRESULT hr = S_OK;
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::Download", &hr);
    hr = m_download->Start(group.details.fileId, group.service.Get());
    if (FAILED(hr)) return hr;
    CDownloadProgress progress(m_ui.Get(), m_download.Get(), m_clock);
    hr = progress.StartDownload(group.service.Get(), group.details.fileId);
    if (FAILED(hr)) return hr;
    if (FAILED(progress.Result())) return hr = progress.Result();
    LONG value = 0;
    HRESULT status = S_OK;
    hr = m_download->GetStatus(&value, &status);
    if (FAILED(hr)) return hr;
    if (FAILED(status)) return hr = status;
    log.Printf(L"Download status is OK");
    hr = m_download->GetLocalPath(group.service.Get(), group.localPath.Receive());
    if (FAILED(hr)) return hr;
    hr = CheckDownloadedFileSize(group.localPath.Text(), group.totalSize);
    if (FAILED(hr)) return hr;
    log.Printf(L"Size is OK");
    BOOL matches = FALSE;
    hr = m_download->CheckHash(group.details.hashReference, &matches);
    if (FAILED(hr)) return hr;
    if (!matches) return hr = kHashMismatch;
    log.Printf(L"Hash check is OK");
    return hr;
}

HRESULT CFennicServiceManager::UpdatePlayer(Group& group) {
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::UpdatePlayer", nullptr);
    DEVICE_INFO current;
    HRESULT hr = m_gantrel->GetSinglePlayerInfo(&current);
    if (SUCCEEDED(hr) && (_wcsicmp(current.modelKey, m_player.modelKey) != 0 ||
                          _wcsicmp(current.serial, m_player.serial) != 0)) {
        hr = kNoPlayer;
    }
    if (FAILED(hr)) {
        group.messageShown = ShowUpdateErrorMessage(hr, true);
        return hr;
    }
    {
        CFirmwareUpdate update(*m_gantrel, *this, m_clock);
        hr = update.UpdateTornelle(m_player, group.localPath.Text(), group.totalSize);
    }
    if (FAILED(hr)) {
        group.messageShown = ShowUpdateErrorMessage(hr, true);
        FinishDownload(group.service.Get());
        return hr;
    }
    hr = E_FAIL;
    for (int poll = 0; poll < kPlayerBackPolls && FAILED(hr); ++poll) {
        hr = m_gantrel->GetSinglePlayerInfo(&current);
        if (FAILED(hr)) m_clock.Sleep(kPlayerBackPollMs);
    }
    if (SUCCEEDED(hr) && !SameText(current.firmwareVersion, group.details.version)) {
        log.Printf(L"Update Version error %ls : %ls", current.firmwareVersion,
                   group.details.version != nullptr ? group.details.version : L"");
        hr = kPlayerDidNotRestart;
    }
    if (FAILED(hr)) {
        group.messageShown = ShowUpdateErrorMessage(kPlayerDidNotRestart, true);
        return kPlayerDidNotRestart;
    }
    return S_OK;
}

void CFennicServiceManager::FinishGroup(int index, int count, Group& group, HRESULT* result) {
    const bool named = group.service.Length() > 0;
    if (!named) {
        // A group without a service has no registry key; its failure is still reported below.
    } else if (group.details.pollingSet) {
        Registry().WriteString(group.StatusKey(), L"PollingStatus", group.details.pollingManual ? L"MANUAL" : L"AUTO");
    } else if (group.updateExists && *result == S_OK) {
        Registry().WriteString(group.StatusKey(), L"PollingStatus", L"CLOSE");
    }
    const LastUpdateStatus status = LastUpdateStatusFor(*result, group.reportOnly);
    if (status.written && named) {
        wchar_t code[16];
        swprintf(code, 16, L"%02d", status.code);
        Registry().WriteString(group.StatusKey(), L"LastUpdateStatus", code);
        const FennicStatusRecord record = {status.code, group.productCode.Get(), group.displayName.Get(),
                                           group.details.version, group.instanceId.Get()};
        if (m_updateInfo) m_updateInfo->ReportStatus(&record, group.service.Get());
        *result = status.groupResult;
    }
    if (group.updateExists) {
        if (*result == S_OK) FinishDownload(group.service.Get());
        if (group.firmwareService) m_ui->DisplayFinished(group.displayName.Get(), group.service.Get());
    }
    if (FAILED(*result)) {
        const bool told = (!group.messageShown && group.manual) || group.uiShown;
        // The user who declined knows already; a service that is down is reported once a run.
        if (told && *result != kNeverShown && *result != kUserDeclined && m_lastErrorShown != kServiceUnavailable) {
            ShowError(*result);
            if (*result == kServiceUnavailable) m_lastErrorShown = kServiceUnavailable;
        }
        if (*result != kServiceUnavailable && *result != kDownloadKept && *result != kDownloadCancelled) {
            FinishDownload(group.service.Get());
        }
    }
    if (SUCCEEDED(*result) && index + 1 == count && group.manual && !m_updateFound && m_ui) {
        LONG answer = 0;
        m_ui->ShowNoUpdate(0, 0, &answer);
    }
}

void CFennicServiceManager::FinishDownload(BSTR service) {
    CMethodLog<HRESULT> log(opLogSys::GetLogSystem(), L"CFennicServiceManager::FinishDownload", nullptr);
    if (!m_download) return;
    CScopedBstr path;
    if (FAILED(m_download->GetLocalPath(service, path.Receive()))) return;
    m_download->Finish(path.Get(), service);
}

bool CFennicServiceManager::ShowUpdateErrorMessage(HRESULT result, bool show) {
    const UpdateErrorMessage message = UpdateErrorMessageFor(result);
    if (!message.shown) return false;
    if (show) {
        std::wstring text = Text(message.stringId);
        if (message.stringId == IDS_GENERAL_FAILURE) text = FormatWithResult(text, result);
        ShowMessageBox(text, Text(IDS_UPDATE_CAPTION), message.style);
    }
    return true;
}

void CFennicServiceManager::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT style) {
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), style);
}

std::wstring CFennicServiceManager::Text(UINT id) const {
    std::wstring text;
    CUiLanguageModule::LoadText(m_resources, id, text);
    return text;
}

long CFennicServiceManager::ShowAndWait() { return m_ui->ShowFirmwareDisplay(m_group->service.Get()); }

void CFennicServiceManager::ShowProgress(int percent) { m_ui->ShowFirmwareProgress(percent, m_group->service.Get()); }

void CFennicServiceManager::Close() { m_ui->CloseFirmwareDisplay(m_group->service.Get()); }
