#pragma once
// Writes an ASF file as the writer stand-in's streams arrive: the header object (file and stream
// properties, header extension), then the data object, one fixed-size packet per media sample.
// The stand-in encodes nothing: each sample's media object is its leading bytes, as many as fit
// in one packet, stamped with the sample's times, so a reader sees what was delivered and when.
// The header's counts and durations are placeholders until Finish rewrites them.

#include <windows.h>
#include "platform/dshow/DShow.h"

#include <string>
#include <vector>

#include "library/util/ScopedWin.h"

namespace standin {

// One stream of the configured profile, as the file header describes it.
struct AsfStream {
    WORD number;
    GUID type;  // WMMEDIATYPE_Audio or WMMEDIATYPE_Video
    DWORD bitrate;
    std::vector<BYTE> format;  // WAVEFORMATEX or VIDEOINFOHEADER
};

class CAsfFileWriter {
public:
    // Creates (or replaces) the file and writes the header for the streams.
    HRESULT Open(const std::wstring& name, const std::vector<AsfStream>& streams);
    bool IsOpen() const { return file_.IsValid(); }
    // One sample of the stream (times in 100-ns units); streams the header does not describe are
    // skipped.
    HRESULT WriteSample(WORD stream, REFERENCE_TIME start, REFERENCE_TIME end, bool keyFrame, const BYTE* data, size_t size);
    // Rewrites the header with the packet count and the play duration (100-ns units) and closes.
    HRESULT Finish(ULONGLONG duration);

private:
    HRESULT WriteHeader(ULONGLONG duration);
    HRESULT WriteBytes(const std::vector<BYTE>& bytes);

    CScopedHandle file_;
    std::vector<AsfStream> streams_;  // the described ones only
    GUID fileId_ = {};
    ULONGLONG packets_ = 0;
    BYTE objectNumbers_[128] = {};  // the next media object number of each stream number
};

}  // namespace standin
