#pragma once
// The silence verdict of the "No Audio Signal Detector" filter, as its callers declare it.

#include <windows.h>
#include <unknwn.h>

// {A5A35CDC-6FE5-4174-BD8B-DCCCCF6A0F0C}
const CLSID CLSID_Tembric = {0xA5A35CDC, 0x6FE5, 0x4174, {0xBD, 0x8B, 0xDC, 0xCC, 0xCF, 0x6A, 0x0F, 0x0C}};
// {B2356A88-5AD1-46EF-801F-E2B931708D6F}
const IID IID_ITembricResult = {0xB2356A88, 0x5AD1, 0x46EF, {0x80, 0x1F, 0xE2, 0xB9, 0x31, 0x70, 0x8D, 0x6F}};

// Bytes of all-zero audio after which a track counts as silent.
constexpr DWORD kTembricSilentBytes = 88200;

struct ITembricResult : public IUnknown {
    // Forgets what was seen: no signal, count 0.
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    // Writes E_FAIL once a non-zero value was seen, S_FALSE while undecided, S_OK for silence.
    virtual HRESULT STDMETHODCALLTYPE GetResult(HRESULT* verdict) = 0;
    // Writes the number of audio bytes examined.
    virtual HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) = 0;
};
