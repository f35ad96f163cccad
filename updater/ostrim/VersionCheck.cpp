#include "updater/ostrim/VersionCheck.h"

#include "updater/ostrim/GantrelLibrary.h"
#include "updater/ostrim/VersionOrder.h"

HRESULT CheckVersionRelation(VersionScheme scheme, CGantrelLibrary& gantrel, const wchar_t* first, const wchar_t* second,
                             int op) {
    switch (scheme) {
    case VersionScheme::kReportOnly:
        return S_OK;
    case VersionScheme::kPlayerFirmware: {
        if (!gantrel.IsBound()) return E_HANDLE;
        if (first == nullptr || second == nullptr) return E_INVALIDARG;
        // 0 first older, 1 equal, 2 first newer: compared against "equal" it orders like the versions.
        const HRESULT order = gantrel.Exports().checkVersion(first, second);
        if (FAILED(order)) return order;
        return VersionRelationHolds(order, 1, op);
    }
    case VersionScheme::kApplication:
        return VersionRelationHolds(ParseVersion(first), ParseVersion(second), op);
    }
    return S_FALSE;
}
