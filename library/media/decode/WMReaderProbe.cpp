#include "library/media/decode/WMReaderProbe.h"

#include "library/media/decode/WMStreamFormat.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is an 18-byte packed structure");
static_assert(sizeof(VIDEOINFOHEADER) == 88, "VIDEOINFOHEADER is 88 bytes on every target");

using WMCreateReaderFunction = HRESULT(WINAPI*)(IUnknown* certificate, DWORD rights,
                                                IWMReader** reader);

// mingw-w64 has no import library for wmvcore.dll, so the entry point is looked up. The module
// stays loaded for the life of the process: readers handed to callers run its code.
WMCreateReaderFunction FindWMCreateReader() {
    static const WMCreateReaderFunction function = []() -> WMCreateReaderFunction {
        HMODULE module = LoadLibraryW(L"wmvcore.dll");
        if (module == nullptr) return nullptr;
        return reinterpret_cast<WMCreateReaderFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "WMCreateReader")));
    }();
    return function;
}

template <typename T>
void ReleaseAndClear(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

// Fetches the stream's media type and hands it to copy. Failures here only leave the format
// unknown; they do not fail the probe.
template <typename Format>
void CopyStreamFormat(IWMStreamConfig* stream, bool (*copy)(const WM_MEDIA_TYPE&, Format*),
                      Format* format) {
    IWMMediaProps* props = nullptr;
    if (FAILED(stream->QueryInterface(__uuidof(IWMMediaProps), reinterpret_cast<void**>(&props))) ||
        props == nullptr) {
        return;
    }
    DWORD size = 0;
    if (SUCCEEDED(props->GetMediaType(nullptr, &size)) && size >= sizeof(WM_MEDIA_TYPE)) {
        std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[size]);
        auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.get());
        if (buffer && SUCCEEDED(props->GetMediaType(type, &size))) copy(*type, format);
    }
    props->Release();
}

}  // namespace

HRESULT OpenWMReader(const wchar_t* path, CWMReaderCallbackImpl** callback, IWMReader** reader,
                     IWMProfile3** profile, DWORD openTimeoutMs) {
    if (path == nullptr || callback == nullptr || reader == nullptr) return E_INVALIDARG;
    *callback = nullptr;
    *reader = nullptr;
    if (profile != nullptr) *profile = nullptr;

    CWMReaderCallbackImpl* created = new (std::nothrow) CWMReaderCallbackImpl();
    if (created == nullptr) return E_OUTOFMEMORY;
    created->AddRef();
    *callback = created;
    if (FAILED(created->Initialize())) return E_FAIL;

    WMCreateReaderFunction createReader = FindWMCreateReader();
    if (createReader == nullptr) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    HRESULT hr = createReader(nullptr, 0, reader);
    if (FAILED(hr)) return hr;
    if (*reader == nullptr) return E_FAIL;

    hr = (*reader)->Open(path, created, nullptr);
    if (FAILED(hr)) return hr;
    HRESULT opened = created->WaitForOpen(openTimeoutMs);
    if (FAILED(opened)) return opened;

    if (profile != nullptr) {
        return (*reader)->QueryInterface(__uuidof(IWMProfile3), reinterpret_cast<void**>(profile));
    }
    return hr;
}

HRESULT ProbeWMFile(const wchar_t* path, WAVEFORMATEX* audioFormat, VIDEOINFOHEADER* videoFormat) {
    if (videoFormat != nullptr) memset(videoFormat, 0, sizeof(*videoFormat));
    if (audioFormat != nullptr) memset(audioFormat, 0, sizeof(*audioFormat));

    CWMReaderCallbackImpl* callback = nullptr;
    IWMReader* reader = nullptr;
    IWMProfile3* profile = nullptr;
    HRESULT hr = OpenWMReader(path, &callback, &reader, &profile);
    if (SUCCEEDED(hr) && profile == nullptr) hr = E_NOINTERFACE;

    DWORD streamCount = 0;
    if (SUCCEEDED(hr)) hr = profile->GetStreamCount(&streamCount);
    for (DWORD index = 0; SUCCEEDED(hr) && index < streamCount; ++index) {
        IWMStreamConfig* stream = nullptr;
        hr = profile->GetStream(index, &stream);
        if (SUCCEEDED(hr) && stream == nullptr) hr = E_POINTER;
        if (FAILED(hr)) break;
        GUID streamType = GUID_NULL;
        hr = stream->GetStreamType(&streamType);
        if (SUCCEEDED(hr)) {
            if (streamType == MEDIATYPE_Video && videoFormat != nullptr) {
                CopyStreamFormat(stream, CopyVideoFormat, videoFormat);
            } else if (streamType == MEDIATYPE_Audio && audioFormat != nullptr) {
                CopyStreamFormat(stream, CopyAudioFormat, audioFormat);
            }
        }
        stream->Release();
    }

    ReleaseAndClear(profile);
    if (reader != nullptr) reader->Close();
    ReleaseAndClear(reader);
    ReleaseAndClear(callback);
    return hr;
}
