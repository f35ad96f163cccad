// Entry points of the stand-in decoder server: class objects and self-registration.
#include <windows.h>

#include <new>

#include "platform/dshow/ClassFactory.h"
#include "standins/decoders/PcmPassDecoder.h"
#include "standins/decoders/StandinIds.h"
#include "standins/decoders/WavPullFilter.h"

namespace {

CDsUnknown* CreateMp4FamilyDecoder(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CWavPullFilter(L"MP4-family decode stand-in", outer, CLSID_StandinMp4FamilyDecoder,
                                             L"Input", L"Audio", MEDIASUBTYPE_PCM);
}

CDsUnknown* CreateCodecFamilyParser(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CWavPullFilter(L"Codec-family parse stand-in", outer, CLSID_StandinCodecFamilyParser,
                                             L"Input", L"Output", MEDIASUBTYPE_StandinCodecFamily);
}

CDsUnknown* CreateCodecFamilyDecoder(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CPcmPassDecoder(L"Codec-family decode stand-in", outer, CLSID_StandinCodecFamilyDecoder,
                                              MEDIASUBTYPE_StandinCodecFamily);
}

const DsServerClass kClasses[] = {
    {&CLSID_StandinMp4FamilyDecoder, L"MP4-family decode stand-in", CreateMp4FamilyDecoder},
    {&CLSID_StandinCodecFamilyParser, L"Codec-family parse stand-in", CreateCodecFamilyParser},
    {&CLSID_StandinCodecFamilyDecoder, L"Codec-family decode stand-in", CreateCodecFamilyDecoder},
};

}  // namespace

QB_DS_PLAIN_SERVER_ENTRY_POINTS(kClasses)
