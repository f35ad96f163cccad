#pragma once
// The compressed format of an MP3 file as the platform's MPEG-1 stream splitter hands it to the
// platform's layer-3 decoder, from a graph that is connected but never run.

#include <windows.h>
#include <mmreg.h>

// Copies at most sizeof(WAVEFORMATEX) bytes of the type the two filters connect with; a failure
// when either filter is missing or does not take the file, E_FAIL when the type is no wave format.
HRESULT GetSplitterAudioFormat(const wchar_t* path, WAVEFORMATEX* format);
