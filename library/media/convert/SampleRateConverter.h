#pragma once
// The outside sample-rate conversion filter shipped beside the program ("TavrelFsConvFilter.ax"):
// it takes the source's PCM on "In" and gives 2-channel audio on "Out" that the writer accepts.

#include <windows.h>
#include <unknwn.h>

// {0E3F6C49-995A-46DD-B9EA-A8739FB25633}
const CLSID CLSID_TavrelFsConvFilter = {0x0E3F6C49, 0x995A, 0x46DD, {0xB9, 0xEA, 0xA8, 0x73, 0x9F, 0xB2, 0x56, 0x33}};

// {D57EA1CB-4923-4C16-9E2F-4185F2BD0894}: its configuration. The conversion calls only the first
// method, before connecting, with the source's bits per sample and sample rate and 2 channels.
MIDL_INTERFACE("D57EA1CB-4923-4C16-9E2F-4185F2BD0894")
ITavrelFsConvConfig : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE SetInputFormat(int bitsPerSample, int sampleRate, int outputChannels) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(ITavrelFsConvConfig, 0xD57EA1CB, 0x4923, 0x4C16, 0x9E, 0x2F, 0x41, 0x85, 0xF2, 0xBD, 0x08, 0x94)
#endif
