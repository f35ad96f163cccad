#pragma once
// Reads the stream formats of a Windows Media file (WMA, WMV, other ASF) through the platform's
// Windows Media reader, without decoding anything.

#include <windows.h>
#include <mmreg.h>
#include <wmsdkidl.h>
#include <dshow.h>

#include "library/media/decode/WMReaderCallbackImpl.h"

// How long OpenWMReader waits for the reader to report the outcome of the open.
constexpr DWORD kWMReaderOpenTimeoutMs = 30000;

// Creates a reader and opens path with a new callback. The callback and reader outs (and the
// profile out, when given: the reader's IWMProfile3) are set whenever the object was made, also
// after a failure; the caller releases each of them. Returns E_INVALIDARG for a null path or out,
// Open's failure, or E_FAIL (or HRESULT_FROM_WIN32(ERROR_TIMEOUT)) when the open does not succeed.
HRESULT OpenWMReader(const wchar_t* path, CWMReaderCallbackImpl** callback, IWMReader** reader,
                     IWMProfile3** profile = nullptr, DWORD openTimeoutMs = kWMReaderOpenTimeoutMs);

// Fills the formats of the file's audio and video streams (the last of each kind wins); a kind
// the file lacks, or whose format block is of another type, stays zeroed. Either out may be null.
// Returns S_OK or the first failure of the open or of the walk over the streams.
HRESULT ProbeWMFile(const wchar_t* path, WAVEFORMATEX* audioFormat, VIDEOINFOHEADER* videoFormat);
