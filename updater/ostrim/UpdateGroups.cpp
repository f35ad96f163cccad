#include "updater/ostrim/UpdateGroups.h"

#include "updater/ostrim/FennicCommandLineInfo.h"
#include "updater/ostrim/UpdateService.h"

HRESULT RunUpdateGroups(IUpdateService& service, const CFennicCommandLineInfo& info) {
    const HRESULT hr = service.Init();
    if (FAILED(hr)) return hr;
    service.SetCommandLine(info);
    const int count = info.GroupCount();
    // Each group shows its own failure; the next one still runs.
    for (int group = 0; group < count; ++group) service.Execute(group, count);
    const BSTR reason = info.Value(0, L'M');
    if (count == 0 && reason != nullptr && _wcsicmp(reason, L"MANUAL") == 0) service.ShowError(kNoProductGiven);
    service.Term();
    return S_OK;
}
