#pragma once
// The Windows Media declarations that mingw-w64 does not ship: the ASF writer filter's
// configuration interface, the video stream properties, the profile manager's entry point and the
// identifiers of the writer, its media types and the decoders the conversion graph meets. Written
// from the published binary interface; the rest comes from the toolchain's wmsdkidl.h.

#include <windows.h>
#include <unknwn.h>
#include <wmsdkidl.h>

#include "platform/dshow/DShow.h"
#include <amvideo.h>
#include <dvdmedia.h>

// IConfigAsfWriter: how the ASF writer filter is told what to write.
MIDL_INTERFACE("45086030-F7E4-486a-B504-826BB5792A3B")
IConfigAsfWriter : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileId(DWORD profileId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentProfileId(DWORD* profileId) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileGuid(REFGUID profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentProfileGuid(GUID* profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfile(IWMProfile* profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentProfile(IWMProfile** profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetIndexMode(BOOL indexFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIndexMode(BOOL* indexFile) = 0;
};

// IWMVideoMediaProps: the video-only settings of a stream configuration.
MIDL_INTERFACE("96406BCF-2B2B-11d3-B36B-00C04F6108FF")
IWMVideoMediaProps : public IWMMediaProps {
public:
    virtual HRESULT STDMETHODCALLTYPE GetMaxKeyFrameSpacing(LONGLONG* time) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMaxKeyFrameSpacing(LONGLONG time) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetQuality(DWORD* quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetQuality(DWORD quality) = 0;
};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IConfigAsfWriter, 0x45086030, 0xF7E4, 0x486a, 0xB5, 0x04, 0x82, 0x6B, 0xB5, 0x79, 0x2A, 0x3B)
__CRT_UUID_DECL(IWMVideoMediaProps, 0x96406BCF, 0x2B2B, 0x11d3, 0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF)
#endif

// WMCreateProfileManager of wmvcore.dll (no import library ships, so it is looked up).
typedef HRESULT(STDMETHODCALLTYPE* WMCreateProfileManagerFunction)(IWMProfileManager** manager);

// The ASF writer (CLSID_WMAsfWriter), the Color Space Converter (CLSID_Colour) and the Null
// Renderer (CLSID_NullRenderer) come with the toolchain's DirectShow identifiers; the last one's
// declaration lives in a header that brings much else, so it is declared here.
extern "C" const CLSID CLSID_NullRenderer;

// Windows Media Audio (format tag 0x0161).
extern const GUID WMMEDIASUBTYPE_WMAudioV8;
// Dolby AC-3 audio and AC-3 carried as S/PDIF (format tag 0x0092).
extern const GUID MEDIASUBTYPE_DolbyAc3;
extern const GUID MEDIASUBTYPE_DolbyAc3Spdif;

// The WMV3 four-character code of a bitmap header.
constexpr DWORD kFourCcWmv3 = 0x33564D57;
// Windows Media writer input setting of the deinterlacing mode and its two values used here.
constexpr wchar_t kWMDeinterlaceMode[] = L"DeinterlaceMode";
constexpr DWORD kWMDeinterlaceNone = 0;
constexpr DWORD kWMDeinterlaceNormal = 1;
