#include "library/media/convert/MovieConvertManager.h"

#include <cwchar>

#include "library/content/GuidString.h"
#include "library/media/convert/MovieOutputName.h"
#include "library/media/convert/QBCONVMovie.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "platform/dshow/DShow.h"

namespace {

// The file type of ".wmv" files.
constexpr uint32_t kWmvFileType = 18;
constexpr uint32_t kSmallBoxWidth = 320;
constexpr uint32_t kSmallBoxHeight = 240;
constexpr uint32_t kAudioBitrate = 128000;
constexpr uint32_t kSmallVideoBitrate = 768000;
constexpr uint32_t kLargeVideoBitrate = 1536000;

// Graph results that mean the player-side format cannot be made from this movie.
bool IsUnsupportedFormat(HRESULT hr) {
    switch (hr) {
    case VFW_E_UNSUPPORTED_STREAM:
    case VFW_S_VIDEO_NOT_RENDERED:
    case VFW_S_AUDIO_NOT_RENDERED:
    case VFW_E_CANNOT_CONNECT:
    case VFW_E_UNSUPPORTED_AUDIO:
    case VFW_E_UNSUPPORTED_VIDEO:
        return true;
    default:
        return false;
    }
}

}  // namespace

CMovieConvertManager::CMovieConvertManager() : CMovieConvertManager(nullptr) {}

CMovieConvertManager::CMovieConvertManager(std::unique_ptr<IQBCONVMovie> converter) {
    if (converter) {
        converter_ = std::move(converter);
    } else {
        std::unique_ptr<CQBCONVMovie> platform(new CQBCONVMovie());
        platform->SetListener(this);
        converter_.reset(platform.release());
    }
    // A failure shows in every conversion, which is then listed as failed.
    converter_->Initialize();
}

CMovieConvertManager::~CMovieConvertManager() {
    // The worker may be inside a conversion: end it before the converter goes.
    converter_->Abort();
    Stop();
    converter_.reset();
}

void CMovieConvertManager::PostContent(CTNContent* content) {
    if (content != nullptr && content->skip == 1) {
        CRunnableTNContentHandler::PostContent(content);
    } else {
        AddContent(content);
    }
}

void CMovieConvertManager::Cancel() {
    CRunnableTNContentHandler::Cancel();
    converter_->Abort();
}

void CMovieConvertManager::SetOutputSize(uint32_t width, uint32_t height) {
    converter_->SetAudioBitrate(kAudioBitrate);
    DWORD smallSize = 0;
    uint32_t boxWidth = width;
    uint32_t boxHeight = height;
    uint32_t videoBitrate = width > kSmallBoxWidth || height > kSmallBoxHeight ? kLargeVideoBitrate : kSmallVideoBitrate;
    if (ReadSetting(settings::kMovieConvertSize, &smallSize) && smallSize == 1) {
        boxWidth = kSmallBoxWidth;
        boxHeight = kSmallBoxHeight;
        videoBitrate = kSmallVideoBitrate;
    }
    converter_->SetOutputSize(boxWidth, boxHeight);
    converter_->SetVideoBitrate(videoBitrate);
}

std::vector<std::wstring> CMovieConvertManager::GetFailedList() {
    CScopedLock lock(listLock_);
    return failed_;
}

std::vector<std::wstring> CMovieConvertManager::GetUnsupportedList() {
    CScopedLock lock(listLock_);
    return unsupported_;
}

void CMovieConvertManager::ClearFailedList() {
    CScopedLock lock(listLock_);
    failed_.clear();
}

void CMovieConvertManager::ClearUnsupportedList() {
    CScopedLock lock(listLock_);
    unsupported_.clear();
}

CMovieConvertManager::IListener* CMovieConvertManager::ReportTarget() const {
    if (listener_ == nullptr || !IsAccepting()) return nullptr;
    return listener_;
}

void CMovieConvertManager::OnStart(const wchar_t* source) {
    if (IListener* target = ReportTarget()) target->OnConvertStart(GetFileNameFromPath(source));
}

void CMovieConvertManager::OnProgress(const wchar_t* source, int32_t percent) {
    // A cancel whose abort reached the converter before the run reset it would be lost: the run
    // itself, once it reports, is stopped while the stage is cancelled.
    if (!IsAccepting()) converter_->Abort();
    if (IListener* target = ReportTarget()) target->OnConvertProgress(GetFileNameFromPath(source), percent);
}

void CMovieConvertManager::OnComplete(const wchar_t* source) {
    if (IListener* target = ReportTarget()) target->OnConvertEnd(GetFileNameFromPath(source));
}

void CMovieConvertManager::OnError(const wchar_t* source) {
    if (IListener* target = ReportTarget()) target->OnConvertEnd(GetFileNameFromPath(source));
}

void CMovieConvertManager::OnNotify(int32_t) {}

void CMovieConvertManager::ProcessContent(CTNContent* content) { ConvertContent(content); }

void CMovieConvertManager::OnThreadStart() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

void CMovieConvertManager::OnThreadEnd() { CoUninitialize(); }

void CMovieConvertManager::ConvertContent(CTNContent* content) {
    if (content != nullptr) {
        const std::wstring source = content->tempPath.empty() ? content->sourcePath : content->tempPath;
        std::wstring output;
        std::wstring guid;
        if (CreateGuidString(&guid)) output = GetUserDataFolder() + guid + L".wmv";
        if (!source.empty() && !output.empty() && IsAccepting()) {
            HRESULT hr = converter_->Start(source.c_str(), output.c_str());
            // Cancelled while it converted: the movie is dropped, so is its output.
            if (hr == S_OK && !IsAccepting()) hr = S_FALSE;
            if (hr == S_OK) {
                content->tempPath = output;
                content->fileType = kWmvFileType;
                content->relativePath = ConvertedRelativePath(content->relativePath);
                content->skip = 0;
            } else {
                // An aborted or failed conversion leaves a partial file nobody will transfer.
                DeleteFileW(output.c_str());
                if (hr != S_FALSE) {
                    if (content->passUnconverted == 1) {
                        content->skip = 0;
                    } else {
                        RecordFailure(*content, hr);
                    }
                }
            }
        }
    }
    ForwardCurrent();
}

void CMovieConvertManager::RecordFailure(const CTNContent& content, HRESULT hr) {
    std::wstring entry = content.sourcePath;
    DWORD logging = 0;
    if (ReadSetting(settings::kMovieConvertLogging, &logging) && logging == 1) {
        wchar_t code[16];
        swprintf(code, 16, L" : 0x%x", static_cast<unsigned>(hr));
        entry += code;
    }
    CScopedLock lock(listLock_);
    (IsUnsupportedFormat(hr) ? unsupported_ : failed_).push_back(entry);
}
