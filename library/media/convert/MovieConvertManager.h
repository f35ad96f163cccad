#pragma once
// The content stage that converts the movies the player cannot play: each marked movie (skip 1)
// becomes a temporary ".wmv" on this stage's worker thread, and its record is rewritten so that the
// later stages transfer the converted file. Failures are listed for the run report.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "library/content/RunnableTNContentHandler.h"
#include "library/media/convert/IQBCONVMovie.h"
#include "library/util/ScopedWin.h"

class CMovieConvertManager : public CRunnableTNContentHandler, public IQBCONVMovie::IQBCONVMovieListener {
public:
    // Reports of each conversion, by the movie's file name, made on the worker thread.
    class IListener {
    public:
        virtual void OnConvertStart(std::wstring fileName) = 0;
        virtual void OnConvertProgress(std::wstring fileName, int32_t percent) = 0;
        virtual void OnConvertEnd(std::wstring fileName) = 0;

    protected:
        ~IListener() = default;
    };

    // Converts through the platform's movie converter.
    CMovieConvertManager();
    // Converts through `converter` (taken over; its owner points its reports at this object).
    explicit CMovieConvertManager(std::unique_ptr<IQBCONVMovie> converter);
    ~CMovieConvertManager() override;

    // A movie waiting for conversion goes to the worker; anything else straight on.
    void PostContent(CTNContent* content) override;
    // Empties the queue and aborts the running conversion.
    void Cancel();
    // The player's largest video size; the settings may hold it to 320 x 240.
    void SetOutputSize(uint32_t width, uint32_t height);
    void SetListener(IListener* listener) { listener_ = listener; }

    std::vector<std::wstring> GetFailedList();
    std::vector<std::wstring> GetUnsupportedList();
    void ClearFailedList();
    void ClearUnsupportedList();

    // IQBCONVMovieListener
    void OnStart(const wchar_t* source) override;
    void OnProgress(const wchar_t* source, int32_t percent) override;
    void OnComplete(const wchar_t* source) override;
    void OnError(const wchar_t* source) override;
    void OnNotify(int32_t value) override;

protected:
    void ProcessContent(CTNContent* content) override;
    void OnThreadStart() override;
    void OnThreadEnd() override;

private:
    void ConvertContent(CTNContent* content);
    void RecordFailure(const CTNContent& content, HRESULT hr);
    // The listener, while reports are wanted (one is set and the stage accepts).
    IListener* ReportTarget() const;

    std::unique_ptr<IQBCONVMovie> converter_;
    IListener* listener_ = nullptr;
    std::vector<std::wstring> failed_;
    std::vector<std::wstring> unsupported_;
    CCriticalSection listLock_;
};
