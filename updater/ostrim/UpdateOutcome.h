#pragma once
// How a product group's result is remembered in the registry ("LastUpdateStatus") and told to
// the user (a text of the language module).

#include <windows.h>

#include <string>

// The status code stored for a result, as "%02d".
struct LastUpdateStatus {
    bool written = false;   // some results leave the stored status as it was
    int code = 0;
    HRESULT groupResult = S_OK;  // the group's result after the status is taken
};

LastUpdateStatus LastUpdateStatusFor(HRESULT result, bool reportOnly);

// The message shown for a failed group: the string of the language module and the box style.
struct UpdateErrorMessage {
    bool shown = false;  // the user who declined is told nothing
    UINT stringId = 0;   // 2004 is a format taking the HRESULT
    UINT style = MB_OK;
};

UpdateErrorMessage UpdateErrorMessageFor(HRESULT result);

// Puts the HRESULT into the first integer conversion of a text from the language module. The text
// lies in a file on disk, so any other conversion is copied as it stands rather than formatted.
std::wstring FormatWithResult(const std::wstring& format, HRESULT result);

// The product the registry keys are named after, for a program identifier; empty when unknown.
const wchar_t* ProductNameFor(const wchar_t* programId);
