#pragma once
// A sample receiver that records what the decoder graph hands it.

#include <windows.h>
#include <mmreg.h>

#include <atomic>

#include "library/media/decode/SampleReceiver2.h"
#include "library/util/ScopedWin.h"
#include "platform/dshow/MediaType.h"

class CTestReceiver : public ISampleReceiver2 {
public:
    CTestReceiver() : ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), stopped_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    void OnMediaType(const AM_MEDIA_TYPE* type) override {
        CScopedLock lock(lock_);
        ++mediaTypes_;
        lastType_.Set(*type);
    }
    HRESULT OnSample(IMediaSample* sample) override {
        bytes_ += sample->GetActualDataLength();
        ++samples_;
        return S_OK;
    }
    void OnEndOfStream() override {
        ++endsOfStream_;
        SetEvent(ended_.Get());
    }
    void OnStop(int reason) override {
        lastStopReason_ = reason;
        SetEvent(stopped_.Get());
    }

    bool WaitForEnd(DWORD milliseconds) { return WaitForSingleObject(ended_.Get(), milliseconds) == WAIT_OBJECT_0; }
    bool WaitForStop(DWORD milliseconds) { return WaitForSingleObject(stopped_.Get(), milliseconds) == WAIT_OBJECT_0; }
    int MediaTypes() {
        CScopedLock lock(lock_);
        return mediaTypes_;
    }
    WAVEFORMATEX Format() {
        CScopedLock lock(lock_);
        WAVEFORMATEX format = {};
        if (lastType_.pbFormat != nullptr && lastType_.cbFormat >= sizeof(WAVEFORMAT))
            memcpy(&format, lastType_.pbFormat, lastType_.cbFormat < sizeof(format) ? lastType_.cbFormat : sizeof(format));
        return format;
    }
    GUID Subtype() {
        CScopedLock lock(lock_);
        return lastType_.subtype;
    }

    std::atomic<long long> bytes_{0};
    std::atomic<int> samples_{0};
    std::atomic<int> endsOfStream_{0};
    std::atomic<int> lastStopReason_{0};

private:
    CCriticalSection lock_;
    int mediaTypes_ = 0;
    CMediaType lastType_;
    CScopedHandle ended_;
    CScopedHandle stopped_;
};
