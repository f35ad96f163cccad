#include "updater/oplogsys/Log.h"

#include <cwchar>
#include <string>

namespace opLogSys {
namespace {

constexpr int kMaxBars = 63;

}  // namespace

CLog::CLog(DWORD id, ILogIO* channel) : id_(id) {
    if (channel) channel->AddRef();
    channel_.Reset(channel);
}

void CLog::Write(const wchar_t* text) {
    if (!channel_) return;
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t prefix[256] = {};
    int length = std::swprintf(prefix, 256, L"[%08X][%04d/%02d/%02d(%02d:%02d:%02d.%03d)]", static_cast<unsigned>(id_),
                               now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                               now.wMilliseconds);
    if (length < 0) length = 0;
    for (int level = 1; level < indent_ && level <= kMaxBars && length < 255; ++level) prefix[length++] = L'\x2502';
    prefix[length] = L'\0';
    // One line between one Lock and Unlock, so lines of threads sharing the file never interleave.
    channel_->Lock();
    channel_->Write(prefix);
    channel_->Write(text);
    channel_->Write(L"\r\n");
    channel_->Unlock();
}

void CLog::BeginBatch() {
    ++batch_;
    if (channel_) channel_->Lock();
}

void CLog::EndBatch() {
    --batch_;
    if (!channel_) return;
    if (batch_ <= 0) channel_->Flush();
    channel_->Unlock();
}

CErrorLog::CErrorLog(ILogIO* channel) {
    if (channel) channel->AddRef();
    channel_.Reset(channel);
}

void CErrorLog::Write(const wchar_t* text) {
    if (!channel_) return;
    channel_->Lock();
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t prefix[64] = {};
    std::swprintf(prefix, 64, L"[%04d/%02d/%02d %02d:%02d:%02d][%X] ", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, static_cast<unsigned>(GetCurrentProcessId()));
    channel_->Write(prefix);
    channel_->Write(text);
    channel_->Write(L"\r\n");
    channel_->Unlock();
}

}  // namespace opLogSys
