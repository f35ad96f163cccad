#pragma once
// The movie converter as its owner sees it: turns one movie into a Windows Media file sized for
// the player, reporting start, progress and end to a listener.

#include <windows.h>

#include <cstdint>

class IQBCONVMovie {
public:
    // Reports of one conversion, made on the converting thread.
    class IQBCONVMovieListener {
    public:
        virtual void OnStart(const wchar_t* source) = 0;
        virtual void OnProgress(const wchar_t* source, int32_t percent) = 0;
        // The conversion ended with a result that is not negative (S_FALSE included).
        virtual void OnComplete(const wchar_t* source) = 0;
        virtual void OnError(const wchar_t* source) = 0;
        virtual void OnNotify(int32_t value) = 0;

    protected:
        ~IQBCONVMovieListener() = default;
    };

    virtual ~IQBCONVMovie() = default;
    // Makes the Windows Media profile manager; its result.
    virtual HRESULT Initialize() = 0;
    // The box the encoded picture must fit in.
    virtual HRESULT SetOutputSize(uint32_t width, uint32_t height) = 0;
    // These two update the total as audio + video.
    virtual void SetAudioBitrate(uint32_t bitsPerSecond) = 0;
    virtual void SetTotalBitrate(uint32_t bitsPerSecond) = 0;
    virtual void SetVideoBitrate(uint32_t bitsPerSecond) = 0;
    // Converts source into output; blocks until done. S_FALSE when aborted.
    virtual HRESULT Start(const wchar_t* source, const wchar_t* output) = 0;
    // Ends a running Start soon (from any thread); does not wait.
    virtual void Abort() = 0;
};
