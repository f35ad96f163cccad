// What the coordinator drives on the main window, from any of its threads.

#include <shlwapi.h>

#include <array>
#include <cstdio>

#include "app/mainframe/MainFrame.h"
#include "app/mainframe/MainFrameInternal.h"
#include "library/util/ByteSize.h"
#include "library/util/Settings.h"

using namespace mainframe;

namespace {

std::wstring Format(const std::wstring& pattern, int first, int second) {
    wchar_t buffer[512] = {};
    _snwprintf(buffer, 511, pattern.c_str(), first, second);
    return buffer;
}

}  // namespace

std::wstring CMainFrame::FormatSize(uint64_t bytes) const {
    std::wstring text = FormatByteSize(static_cast<int64_t>(bytes), resourceModule);
    if (text.empty()) {
        wchar_t buffer[64] = {};
        StrFormatByteSizeW(static_cast<LONGLONG>(bytes), buffer, 64);
        text = buffer;
    }
    return text;
}

std::wstring CMainFrame::StatusText() {
    CLock lock(textLock_);
    return statusText_.text;
}

void CMainFrame::SetPanelLabelColour(COLORREF colour) {
    CLock lock(textLock_);
    for (CTextImageEx& label : switchText_) {
        label.textColour = colour;
        label.SetText(label.text);
    }
}

void CMainFrame::SetControlsBusy() {
    EnableWindow(Button(kIdSettings).Hwnd(), FALSE);
    for (int id : kDeleteIds) {
        EnableWindow(Button(id).Hwnd(), FALSE);
    }
    for (int id : {int(kIdSyncNow), 122, 123, 124}) {
        EnableWindow(Button(id).Hwnd(), FALSE);
    }
    ShowWindow(Button(kIdCancel).Hwnd(), SW_SHOW);
    ShowWindow(Button(kIdError).Hwnd(), SW_HIDE);
    errorPending_ = false;
    SetPanelLabelColour(RGB(150, 150, 150));
}

void CMainFrame::SetControlsIdle() {
    EnableWindow(Button(kIdSettings).Hwnd(), TRUE);
    const bool player = HasPlayer();
    if (page_ == 0) {
        for (int kind = 0; kind < 5; ++kind) {
            // The player's own content goes with music.
            const bool supported = kind == 4 ? kindSupported_[0] && kindSupported_[4] : kindSupported_[kind];
            EnableWindow(Button(kDeleteIds[kind]).Hwnd(), player && supported);
        }
    } else {
        EnableWindow(Button(122).Hwnd(), player && kindSupported_[0]);
        EnableWindow(Button(123).Hwnd(), player && kindSupported_[2]);
        EnableWindow(Button(124).Hwnd(), player && kindSupported_[3]);
        UpdateSyncNowButton();
    }
    ShowWindow(Button(kIdCancel).Hwnd(), SW_HIDE);
    SetPanelLabelColour(RGB(1, 1, 1));
}

void CMainFrame::RunOnWindowThread(std::function<void()> action) {
    HWND window = Hwnd();
    if (!window) {
        return;
    }
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        // Work queued earlier by other threads comes first, so that the order of calls holds.
        RunQueued();
        action();
        return;
    }
    bool first = false;
    {
        CLock lock(queueLock_);
        queued_.push_back(std::move(action));
        first = queued_.size() == 1;
    }
    if (first) {
        PostMessageW(window, kRunQueuedMessage, 0, 0);
    }
}

void CMainFrame::RunQueued() {
    std::vector<std::function<void()>> actions;
    {
        CLock lock(queueLock_);
        actions.swap(queued_);
    }
    for (auto& action : actions) {
        action();
    }
}

void CMainFrame::UpdateProgress(int32_t busy) {
    ResetEvent(idleEvent_);
    busy_ = busy != 0;
    if (busy_) {
        animationFrame_ = 0;
        AllowDrops(false);
        RunOnWindowThread([this] {
            SetControlsBusy();
            SetTimer(kTimerAnimation, 100);
            DrawSkin();
        });
        SetEvent(idleEvent_);
        return;
    }
    if (WaitForSingleObject(stopEvent_, 0) == WAIT_OBJECT_0) {
        // A cancel or a device change is pending: the coordinator switches to idle again.
        DrawSkin();
        SetEvent(idleEvent_);
        return;
    }
    lookupIndicator_ = false;
    ClearStageText();
    ResetEvent(stopEvent_);
    AllowDrops(HasPlayer());
    RunOnWindowThread([this] {
        SetControlsIdle();
        KillTimer(kTimerAnimation);
        KillTimer(kTimerLookup);
        DrawSkin();
    });
    SetEvent(idleEvent_);
}

void CMainFrame::ResetProgress(bool withError) {
    if (WaitForSingleObject(stopEvent_, 0) == WAIT_OBJECT_0) {
        return;
    }
    SetText(statusText_, LoadText(137));
    doneCount_ = totalCount_ = 0;
    if (withError) {
        // The run left a report: the "Error" button takes the cancel button's place until the
        // user has opened the log.
        RunOnWindowThread([this] {
            ShowWindow(Button(kIdCancel).Hwnd(), SW_HIDE);
            ShowWindow(Button(kIdError).Hwnd(), SW_SHOW);
            errorPending_ = true;
            DrawSkin();
        });
        return;
    }
    DrawSkin();
}

void CMainFrame::SetBusyFlags(int32_t busy) { AllowDrops(!busy && HasPlayer()); }

void CMainFrame::SetDoneCount(int32_t done) {
    doneCount_ = done;
    SetTransferProgress(static_cast<uint32_t>(doneCount_), static_cast<uint32_t>(totalCount_));
}

void CMainFrame::AddDoneCount() { SetDoneCount(doneCount_ + 1); }

void CMainFrame::SetAcceptedCount(int32_t accepted) {
    totalCount_ = accepted;
    SetTransferProgress(static_cast<uint32_t>(doneCount_), static_cast<uint32_t>(totalCount_));
}

void CMainFrame::SetTransferProgress(uint32_t done, uint32_t total) {
    doneCount_ = static_cast<int>(done);
    totalCount_ = static_cast<int>(total);
    const std::wstring text = total != 0 ? Format(LoadText(216), static_cast<int>(std::min(done + 1, total)),
                                                  static_cast<int>(total))
                                         : LoadText(228);
    SetText(statusText_, text);
    DrawSkin();
}

void CMainFrame::RefreshStatusText(uint64_t freeBytes) {
    space_.freeBytes = freeBytes;
    SetText(freeText_, FormatSize(freeBytes) + LoadText(111));
    DrawSkin();
}

void CMainFrame::SetConversionText(const std::wstring& name, int32_t percent) {
    {
        CLock lock(stageLock_);
        stageTexts_[0] = percent < 0 ? std::wstring() : LoadText(237) + std::to_wstring(percent) + LoadText(238) + name;
    }
    JoinStageTexts();
}

void CMainFrame::SetAnalysisText(bool running) {
    {
        CLock lock(stageLock_);
        stageTexts_[1] = running ? LoadText(239) : std::wstring();
    }
    JoinStageTexts();
}

void CMainFrame::SetLookupText(const std::wstring& text) {
    {
        CLock lock(stageLock_);
        stageTexts_[2] = text.empty() ? std::wstring() : LoadText(273);
    }
    JoinStageTexts();
}

void CMainFrame::StartLookupTimer() {
    lookupIndicator_ = true;
    RunOnWindowThread([this] {
        SetTimer(kTimerLookup, 3000);
        DrawSkin();
    });
}

void CMainFrame::ClearStageText() {
    {
        CLock lock(stageLock_);
        for (std::wstring& text : stageTexts_) {
            text.clear();
        }
    }
    JoinStageTexts();
}

void CMainFrame::JoinStageTexts() {
    std::wstring joined;
    std::wstring firstLine;
    {
        CLock lock(stageLock_);
        for (const std::wstring& text : stageTexts_) {
            if (!joined.empty() && !text.empty()) {
                joined += L"\r\n";
            }
            joined += text;
            if (firstLine.empty()) {
                firstLine = text;
            }
        }
    }
    SetText(stageText_, firstLine);
    if (WaitForSingleObject(stopEvent_, 0) != WAIT_OBJECT_0) {
        RunOnWindowThread([this, joined] { SetProgressTip(joined); });
    }
    DrawSkin();
}

void CMainFrame::SetProgressTip(const std::wstring& text) {
    auto found = areas_.find(kIdProgressArea);
    if (found == areas_.end() || !toolTip_.Hwnd()) {
        return;
    }
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(found->second->Hwnd());
    tool.uFlags = TTF_IDISHWND;
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(toolTip_.Hwnd(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CMainFrame::UpdateFreeSpace(const FreeSpace& space) {
    {
        CLock lock(textLock_);
        space_ = space;
        capacity_ = space.totalBytes;
        capacityScale_ = space.totalBytes ? 310.0 / static_cast<double>(space.totalBytes) : 0.0;
        freeText_.SetText(FormatSize(space.freeBytes) + LoadText(111));
        capacityText_.SetText(FormatSize(space.freeBytes) + LoadText(111) + L"  /  " + FormatSize(space.totalBytes));
    }
    DrawSkin();
}

void CMainFrame::SetDeviceName(const std::wstring& name) {
    deviceName_ = name;
    SetText(deviceText_, capacity_ ? name + L" " + FormatSize(capacity_) : name);
    DrawSkin();
}

void CMainFrame::SetDeviceCapacity(uint64_t capacity) {
    capacity_ = capacity;
    capacityScale_ = capacity ? 310.0 / static_cast<double>(capacity) : 0.0;
}

void CMainFrame::SetDevicePicture(size_t size, std::unique_ptr<uint8_t[]> bytes, const std::wstring& modelId) {
    CLock lock(textLock_);
    if (!bytes) {
        modelId_ = modelId;
        return;
    }
    devicePicture_.Destroy();
    if (SUCCEEDED(devicePicture_.LoadFromMemory(bytes.get(), size))) {
        devicePicture_.PremultiplyAlpha();
    }
}

void CMainFrame::ShowDevice(const DeviceView& device) {
    if (device.icon && device.iconSize) {
        std::unique_ptr<uint8_t[]> copy(new uint8_t[device.iconSize]);
        memcpy(copy.get(), device.icon, device.iconSize);
        SetDevicePicture(device.iconSize, std::move(copy), std::wstring());
    }
    SetDeviceCapacity(device.totalBytes);
    UpdateSyncPanel(1);
    SetDeviceName(device.name);
    RefreshStatusText(device.freeBytes);
}

void CMainFrame::ClearDevice() {
    {
        CLock lock(textLock_);
        devicePicture_.Destroy();
        space_ = FreeSpace();
    }
    UpdateSyncPanel(0);
}

void CMainFrame::UpdateSyncPanel(int deviceState) {
    deviceState_ = deviceState;
    RunOnWindowThread([this] {
        for (int i = 0; i < 4; ++i) {
            syncSwitch_[i] = i < 3 ? ReadSyncEnabled(i == 0 ? 0 : i + 1) : ReadSyncAutoexec();
        }
        if (!busy_) {
            SetControlsIdle();
            AllowDrops(HasPlayer());
        }
        DrawSkin();
    });
}

void CMainFrame::LayoutPanels(const bool kinds[5]) {
    std::array<bool, 5> supported = {};
    for (int kind = 0; kind < 5; ++kind) {
        supported[kind] = kind == 0 || kinds[kind];
    }
    RunOnWindowThread([this, supported] {
        int slot = 0;
        for (int kind = 0; kind < 5; ++kind) {
            kindSupported_[kind] = supported[kind];
            HWND button = Button(kDeleteIds[kind]).Hwnd();
            if (!kindSupported_[kind]) {
                ShowWindow(button, SW_HIDE);
                continue;
            }
            PlaceControl(button, deleteSlots_[slot++]);
            ShowWindow(button, expanded_ && page_ == 0 ? SW_SHOW : SW_HIDE);
        }
        DrawSkin();
    });
}

void CMainFrame::RequestDeviceRefresh() {
    if (listener_) {
        listener_->OnRefreshDevice();
    }
}

int32_t CMainFrame::GetFrameLayout(const std::wstring& path, int32_t* width, int32_t* height) {
    CImageEx image;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) {
        return 0;
    }
    std::string bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0 && bytes.size() < 64 * 1024 * 1024) {
        bytes.append(chunk, got);
    }
    fclose(file);
    if (FAILED(image.LoadFromMemory(bytes.data(), bytes.size()))) {
        return 0;
    }
    if (width) {
        *width = image.GetWidth();
    }
    if (height) {
        *height = image.GetHeight();
    }
    return 1;
}
