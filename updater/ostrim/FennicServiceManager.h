#pragma once
// The update check of each product group of the command line: asks the update-information
// service whether a newer version exists, lets the user-interface component ask the user,
// downloads the update, checks it and either starts the installer or updates the connected
// player's firmware. Per product the registry remembers whether to poll again and how the last
// attempt ended.

#include <windows.h>

#include <memory>
#include <string>

#include "firmware/Gantrel.h"
#include "library/util/ScopedCom.h"
#include "platform/fennic/FennicInterfaces.h"
#include "updater/ostrim/FirmwareDisplay.h"
#include "updater/ostrim/RegistryAccessor.h"
#include "updater/ostrim/UpdateService.h"
#include "updater/ostrim/VersionEventSink.h"

class CFennicCommandLineInfo;
class CGantrelLibrary;
class IUpdateClock;

class CFennicServiceManager : public IUpdateService, private IVersionQuestion, private IFirmwareDisplay {
public:
    // `resources`: the language module with the message texts; `clock` paces the download and
    // firmware waits.
    CFennicServiceManager(HMODULE resources, IUpdateClock& clock);
    ~CFennicServiceManager() override;
    CFennicServiceManager(const CFennicServiceManager&) = delete;
    CFennicServiceManager& operator=(const CFennicServiceManager&) = delete;

    HRESULT Init() override;
    void SetCommandLine(const CFennicCommandLineInfo& info) override { m_commandLine = &info; }
    HRESULT Execute(int group, int groupCount) override;
    void ShowError(HRESULT hr) override;
    void Term() override;

    HRESULT CheckVersion(BSTR first, BSTR second, int op) override;

    // The firmware library binder; null before Init and after Term.
    CGantrelLibrary* Gantrel() const { return m_gantrel.get(); }

    // The registry product all values live under.
    static const CRegistryAccessor& Registry();
    static constexpr const wchar_t* kClientKey = L"Auto Update Client";
    static constexpr const wchar_t* kEndKey = L"Auto Update END";

protected:
    // Optional: shows one message box; tests record it instead.
    virtual void ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT style);

private:
    struct Group;

    HRESULT RunGroup(int index, Group& group);
    HRESULT ReadCommandLine(int index, Group& group);
    HRESULT BuildProductRecord(int index, Group& group);
    HRESULT AskForUpdate(Group& group);
    HRESULT OfferUpdate(Group& group);
    HRESULT Download(Group& group);
    HRESULT UpdatePlayer(Group& group);
    void FinishGroup(int index, int count, Group& group, HRESULT* result);
    void FinishDownload(BSTR service);
    // Whether a message applies to the result; shows it when `show`.
    bool ShowUpdateErrorMessage(HRESULT result, bool show);
    std::wstring Text(UINT id) const;

    long ShowAndWait() override;
    void ShowProgress(int percent) override;
    void Close() override;

    HMODULE m_resources;
    IUpdateClock& m_clock;
    const CFennicCommandLineInfo* m_commandLine = nullptr;
    std::unique_ptr<CGantrelLibrary> m_gantrel;
    CScopedComPtr<IFennicUserInterface> m_ui;
    CScopedComPtr<IFennicDownload> m_download;
    CScopedComPtr<IFennicUpdateInfo> m_updateInfo;
    CVersionEventSink m_sink{*this};
    DEVICE_INFO m_player = {};
    Group* m_group = nullptr;  // the group being executed, for the version question
    bool m_updateFound = false;
    HRESULT m_lastErrorShown = S_OK;
};
