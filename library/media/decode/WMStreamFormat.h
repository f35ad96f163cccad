#pragma once
// Turns the media type of a Windows Media stream into the fixed-size format records the probe
// reports.

#include <windows.h>
#include <mmreg.h>
#include <wmsdkidl.h>
#include <dshow.h>

// A FORMAT_WaveFormatEx block gives its first bytes, at most sizeof(WAVEFORMATEX), to format;
// returns false and leaves format untouched for any other block.
bool CopyAudioFormat(const WM_MEDIA_TYPE& type, WAVEFORMATEX* format);

// A FORMAT_VideoInfo block gives its first bytes, at most sizeof(VIDEOINFOHEADER); a
// FORMAT_VideoInfo2 block gives its rectangles, rates and time per frame and its bitmap header,
// which sits further on in that layout. Returns false and leaves format untouched otherwise.
bool CopyVideoFormat(const WM_MEDIA_TYPE& type, VIDEOINFOHEADER* format);
