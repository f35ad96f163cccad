#pragma once
// The outside update components the update checker drives: a user-interface component, a download
// component and an update-information service, each an in-process COM class with a dual interface
// whose own operations follow IDispatch's seven. Operations the checker never calls keep their
// vtable slots as Reserved*. The records travel by pointer (the components run in-process); the
// caller owns the BSTRs it receives and frees them with FreeFennic*.

#include <windows.h>
#include <oaidl.h>

#include <initializer_list>

// {02795F90-6AC4-42BF-8097-E778953355BD}
constexpr CLSID kClsidFennicUserInterface = {
    0x02795F90, 0x6AC4, 0x42BF, {0x80, 0x97, 0xE7, 0x78, 0x95, 0x33, 0x55, 0xBD}};
// {6D083AC3-CD9F-4144-BA2C-3CA1155D03FD}
constexpr IID kIidFennicUserInterface = {
    0x6D083AC3, 0xCD9F, 0x4144, {0xBA, 0x2C, 0x3C, 0xA1, 0x15, 0x5D, 0x03, 0xFD}};
// {2D7E27A4-D179-4CA0-B494-FFA424F3DAE5}
constexpr CLSID kClsidFennicDownload = {
    0x2D7E27A4, 0xD179, 0x4CA0, {0xB4, 0x94, 0xFF, 0xA4, 0x24, 0xF3, 0xDA, 0xE5}};
// {0BEBB131-6B39-44F0-88C9-7893DA62826B}
constexpr IID kIidFennicDownload = {
    0x0BEBB131, 0x6B39, 0x44F0, {0x88, 0xC9, 0x78, 0x93, 0xDA, 0x62, 0x82, 0x6B}};
// {6E74D646-755A-46EF-A7A6-54BBA5FD4D7B}
constexpr CLSID kClsidFennicUpdateInfo = {
    0x6E74D646, 0x755A, 0x46EF, {0xA7, 0xA6, 0x54, 0xBB, 0xA5, 0xFD, 0x4D, 0x7B}};
// {6548C52A-5E4E-4204-A92A-5BCE62596095}
constexpr IID kIidFennicUpdateInfo = {
    0x6548C52A, 0x5E4E, 0x4204, {0xA9, 0x2A, 0x5B, 0xCE, 0x62, 0x59, 0x60, 0x95}};
// The update-information service's event dispinterface {67EBC149-60E9-4CEB-8B88-B68778B62FC2}.
constexpr IID kDiidFennicUpdateInfoEvents = {
    0x67EBC149, 0x60E9, 0x4CEB, {0x8B, 0x88, 0xB6, 0x87, 0x78, 0xB6, 0x2F, 0xC2}};

// DISPID 1 of the events: CheckVersion(BSTR first, BSTR second, int operator), answered with
// S_OK when the relation holds, S_FALSE when not, in a VT_I4 result.
constexpr DISPID kDispidCheckVersion = 1;

// The download component's status HRESULT of a download the user cancelled.
constexpr HRESULT kDownloadCancelled = static_cast<HRESULT>(0x80042202);

struct FennicProductRecord {
    BSTR displayName;
    BSTR productCode;
    BSTR installedVersion;
    BSTR instanceId;
    BSTR reserved;
    BSTR lastUpdateStatus;
    LONG flags;
};

struct FennicUpdateFile {
    BSTR name;
    BSTR address;
    BSTR localName;
    BSTR checksum;
    ULONG size;
};

struct FennicUpdateDetails {
    BSTR description;
    BSTR version;
    BSTR fileId;
    BSTR hashReference;
    LONG fileCount;
    FennicUpdateFile* files;  // fileCount entries, CoTaskMemAlloc'ed by the service
    LONG displayOption;
    BOOL pollingSet;
    BOOL pollingManual;
};

struct FennicUiRecord {
    BSTR service;
    BSTR displayName;
    BSTR description;
    ULONG totalSize;
    BOOL reportOnly;
    LONG displayOption;
    BSTR fileId;  // report-only groups
};

struct FennicStatusRecord {
    LONG statusCode;
    BSTR productCode;
    BSTR displayName;
    BSTR version;
    BSTR instanceId;
};

inline void FreeFennicUpdateDetails(FennicUpdateDetails* details) {
    for (BSTR* text : {&details->description, &details->version, &details->fileId, &details->hashReference}) {
        SysFreeString(*text);
        *text = nullptr;
    }
    if (details->files != nullptr) {
        for (LONG index = 0; index < details->fileCount; ++index) {
            FennicUpdateFile& file = details->files[index];
            for (BSTR text : {file.name, file.address, file.localName, file.checksum}) SysFreeString(text);
        }
        CoTaskMemFree(details->files);
    }
    details->files = nullptr;
    details->fileCount = 0;
}

struct IFennicUserInterface : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE AskUser(const FennicUiRecord* record, BOOL* accepted) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenDownloadDisplay(BSTR service) = 0;
    // Returns once the display closes; *cancelled is set before it returns when the user cancelled.
    virtual HRESULT STDMETHODCALLTYPE WaitDownloadDisplay(BSTR service, volatile LONG* cancelled) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseDownloadDisplay(BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowNoUpdate(LONG first, LONG second, LONG* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowError(HRESULT error) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowDownloadProgress(LONG percent, BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisplayFinished(BSTR displayName, BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsDownloadHeld(BSTR service, BOOL* held) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowFirmwareDisplay(BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowFirmwareProgress(LONG percent, BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseFirmwareDisplay(BSTR service) = 0;
};

struct IFennicDownload : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetProgress(BSTR service, LONG* percent) = 0;
    virtual HRESULT STDMETHODCALLTYPE Start(BSTR fileId, BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE Hold(BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLocalPath(BSTR service, BSTR* path) = 0;
    virtual HRESULT STDMETHODCALLTYPE Finish(BSTR localPath, BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStatus(LONG* value, HRESULT* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckHash(BSTR hashReference, BOOL* matches) = 0;
};

struct IFennicUpdateInfo : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE SetPollingManual(BOOL manual, BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckUpdate(BSTR service, const FennicProductRecord* product, BOOL* exists) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetUpdateDetails(BSTR service, FennicUpdateDetails* details) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE ReportStatus(const FennicStatusRecord* status, BSTR service) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetServiceAddress(BSTR address) = 0;
};
