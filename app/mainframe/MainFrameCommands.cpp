// The main window's commands, mouse handling, drag and drop and panel pages.

#include "app/mainframe/MainFrame.h"

#include <shellapi.h>

#include "app/mainframe/MainFrameInternal.h"
#include "library/util/ModuleFolder.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"

using namespace mainframe;
using namespace settings;

namespace {

bool Inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

}  // namespace

CNButton& CMainFrame::Button(int id) {
    static CNButton missing;
    auto found = buttons_.find(id);
    return found == buttons_.end() ? missing : *found->second;
}

HWND CMainFrame::ButtonWindow(int id) const {
    auto found = buttons_.find(id);
    return found == buttons_.end() ? nullptr : found->second->Hwnd();
}

void CMainFrame::OnSettings() {
    if (coordinator_) {
        coordinator_->OpenSettingsSheet();
    }
}

void CMainFrame::OnError() {
    if (coordinator_) {
        coordinator_->ShowLogDialog();
    }
    ShowWindow(Button(kIdError).Hwnd(), SW_HIDE);
    errorPending_ = false;
    DrawSkin();
}

void CMainFrame::OnCancel() {
    if (errorPending_ && IsWindowVisible(Button(kIdError).Hwnd())) {
        OnError();
        return;
    }
    SetEvent(stopEvent_);
    // A busy/idle switch in progress on a worker finishes before the run is cancelled.
    WaitForSingleObject(idleEvent_, INFINITE);
    if (listener_) {
        listener_->OnCancel(1);
    }
}

void CMainFrame::OnExpand() {
    SetWindowPos(Hwnd(), nullptr, 0, 0, Px(kExpandedWidth), Px(kHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveFrameControls(true);
    expanded_ = true;
    SelectPage(page_);
    if (HasPlayer() && !busy_ && listener_) {
        listener_->OnRefreshDevice();
    }
    ShowWindow(Button(kIdExpand).Hwnd(), SW_HIDE);
    ShowWindow(Button(kIdCollapse).Hwnd(), SW_SHOW);
    DrawSkin();
}

void CMainFrame::OnCollapse() {
    expanded_ = false;
    SetWindowPos(Hwnd(), nullptr, 0, 0, Px(kCollapsedWidth), Px(kHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveFrameControls(false);
    ShowWindow(Button(kIdExpand).Hwnd(), SW_SHOW);
    ShowWindow(Button(kIdCollapse).Hwnd(), SW_HIDE);
    DrawSkin();
}

void CMainFrame::OnHelp() {
    using HtmlHelpProc = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
    static HMODULE helpModule = LoadLibraryW(L"hhctrl.ocx");
    if (!helpModule) {
        return;
    }
    auto htmlHelp = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(GetProcAddress(helpModule, "HtmlHelpW")));
    if (htmlHelp) {
        const std::wstring file = GetLanguageFolder() + L"Quillbay Help.chm";
        htmlHelp(nullptr, file.c_str(), 0 /* HH_DISPLAY_TOPIC */, 0);
    }
}

// The buttons act on this window, whichever window happens to be in the foreground.
void CMainFrame::OnMinimise() { ShowWindow(Hwnd(), SW_MINIMIZE); }

void CMainFrame::OnClose() { PostMessageW(Hwnd(), WM_CLOSE, 0, 0); }

void CMainFrame::OnSyncNow() {
    if (listener_) {
        listener_->OnStartSync();
    }
}

void CMainFrame::OnPaste() {
    IDataObject* data = nullptr;
    if (SUCCEEDED(OleGetClipboard(&data)) && data) {
        if (listener_) {
            listener_->OnDrop(data);
        }
        data->Release();
    }
}

void CMainFrame::OnAbout() {
    if (showAbout) {
        showAbout();
    }
}

void CMainFrame::OnExit() { PostMessageW(Hwnd(), WM_CLOSE, 0, 0); }

LRESULT CMainFrame::OnCommandRange(UINT id) {
    for (int kind = 0; kind < 5; ++kind) {
        if (static_cast<int>(id) == kDeleteIds[kind]) {
            if (coordinator_) {
                coordinator_->OpenDeleteDialog(kind);
            }
            return 0;
        }
    }
    if (id >= 122 && id <= 124 && coordinator_) {
        const int kinds[3] = {0, 2, 3};
        coordinator_->OpenSyncSelectDialog(kinds[id - 122]);
    }
    return 0;
}

POINT CMainFrame::AreaOrigin(int controlId) const {
    switch (controlId) {
    case kIdPin:
    case kIdLink:
    case 125:
    case 126:
    case 127:
    case 128:
    case kIdProgressArea: {
        auto found = areaRects_.find(controlId);
        if (found != areaRects_.end()) {
            return {found->second.left, found->second.top};
        }
        return {0, 0};
    }
    default:
        return {0, 0};
    }
}

bool CMainFrame::InPinArea(POINT point) const {
    const int left = expanded_ ? 446 : 114;
    return point.x >= left && point.x <= left + 16 && point.y >= 8 && point.y < 25;
}

bool CMainFrame::InLinkArea(POINT point) const {
    const int left = expanded_ ? 218 : 52;
    return linkEnabled && point.x >= left && point.x <= left + 93 && point.y >= 232 && point.y < 255;
}

bool CMainFrame::AnySwitchOn() const {
    for (int i = 0; i < 3; ++i) {
        if (syncSwitch_[i] && kindSupported_[i == 0 ? 0 : i + 1]) {
            return true;
        }
    }
    return false;
}

LRESULT CMainFrame::OnMouseMessage(WPARAM, LPARAM lParam) {
    HandleMouseMove(LayoutPoint(PointOf(lParam)));
    return 0;
}

void CMainFrame::HandleMouseMove(POINT point) {
    bool changed = false;
    auto update = [&changed](bool& flag, bool value) {
        changed |= flag != value;
        flag = value;
    };
    update(hoverPin_, InPinArea(point));
    update(hoverLink_, InLinkArea(point));
    const RECT tabs[2] = {{193, 31, 270, 54}, {271, 31, wideScriptLayout ? 443 : 370, 54}};
    for (int tab = 0; tab < 2; ++tab) {
        update(hoverTab_[tab], expanded_ && Inside(tabs[tab], point));
    }
    const bool switchesLive = HasPlayer() && !busy_ && expanded_ && page_ == 1;
    for (int i = 0; i < 4; ++i) {
        auto found = areaRects_.find(125 + i);
        bool over = switchesLive && found != areaRects_.end() && Inside(found->second, point);
        if (i == 3) {
            over = over && AnySwitchOn();
        }
        update(hoverSwitch_[i], over);
    }
    if (changed) {
        DrawSkin();
    }
}

LRESULT CMainFrame::OnLButtonDown(WPARAM, LPARAM lParam) {
    HandleLButtonDown(LayoutPoint(PointOf(lParam)));
    return 0;
}

void CMainFrame::HandleLButtonDown(POINT point) {
    if (InPinArea(point) || InLinkArea(point)) {
        return;
    }
    if (expanded_) {
        const RECT tabs[2] = {{193, 31, 270, 54}, {271, 31, wideScriptLayout ? 443 : 370, 54}};
        for (int tab = 0; tab < 2; ++tab) {
            if (Inside(tabs[tab], point)) {
                SelectPage(tab);
            }
        }
    }
    ReleaseCapture();
    PostMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

LRESULT CMainFrame::OnLButtonUp(WPARAM, LPARAM lParam) {
    HandleLButtonUp(LayoutPoint(PointOf(lParam)));
    return 0;
}

void CMainFrame::HandleLButtonUp(POINT point) {
    if (InPinArea(point)) {
        ToggleTopMost();
        return;
    }
    if (expanded_ && page_ == 1 && HasPlayer() && !busy_) {
        for (int i = 0; i < 4; ++i) {
            auto found = areaRects_.find(125 + i);
            if (found == areaRects_.end() || !Inside(found->second, point)) {
                continue;
            }
            if (i < 3 && kindSupported_[i == 0 ? 0 : i + 1]) {
                syncSwitch_[i] = !syncSwitch_[i];
                WriteSyncEnabled(i == 0 ? 0 : i + 1, syncSwitch_[i]);
            } else if (i == 3 && AnySwitchOn()) {
                syncSwitch_[3] = !syncSwitch_[3];
                WriteSyncAutoexec(syncSwitch_[3]);
            }
            UpdateSyncNowButton();
            DrawSkin();
        }
    }
    if (InLinkArea(point)) {
        ShellExecuteW(nullptr, L"open", linkAddress_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void CMainFrame::ToggleTopMost() {
    topMost_ = !topMost_;
    WriteSettingDword(kTopMost, topMost_ ? 1 : 0);
    ApplyTopMost();
    DrawSkin();
}

void CMainFrame::ApplyTopMost() {
    SetWindowPos(Hwnd(), topMost_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CMainFrame::OnRButtonDown(WPARAM, LPARAM) {
    SetForegroundWindow(Hwnd());
    HMENU menu = CreatePopupMenu();
    const bool canPaste = HasPlayer() && (IsClipboardFormatAvailable(CF_UNICODETEXT) ||
                                          IsClipboardFormatAvailable(CF_HDROP) ||
                                          IsClipboardFormatAvailable(RegisterClipboardFormatW(L"UniformResourceLocator")));
    AppendMenuW(menu, canPaste ? MF_STRING : MF_STRING | MF_GRAYED, canPaste ? kIdPaste : kIdDisabledItem,
                LoadText(194).c_str());
    AppendMenuW(menu, busy_ ? MF_STRING | MF_GRAYED : MF_STRING, busy_ ? kIdDisabledItem : kIdMenuSettings,
                LoadText(195).c_str());
    AppendMenuW(menu, MF_STRING, kIdAbout, LoadText(196).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kIdExit, LoadText(197).c_str());
    POINT cursor = {};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, Hwnd(), nullptr);
    DestroyMenu(menu);
    return 0;
}

void CMainFrame::SelectPage(int page) {
    const bool deletePage = page == 0;
    for (int kind = 0; kind < 5; ++kind) {
        ShowWindow(Button(kDeleteIds[kind]).Hwnd(), expanded_ && deletePage && kindSupported_[kind] ? SW_SHOW : SW_HIDE);
    }
    for (int id : {int(kIdSyncNow), 122, 123, 124}) {
        const bool supported = id == kIdSyncNow || id == 122 || kindSupported_[id == 123 ? 2 : 3];
        ShowWindow(Button(id).Hwnd(), expanded_ && !deletePage && supported ? SW_SHOW : SW_HIDE);
    }
    for (int id = 125; id <= 128; ++id) {
        if (auto found = areas_.find(id); found != areas_.end()) {
            ShowWindow(found->second->Hwnd(), expanded_ && !deletePage ? SW_SHOW : SW_HIDE);
        }
    }
    if (page != page_) {
        // The page left behind is greyed and disabled.
        if (deletePage) {
            for (int id : {int(kIdSyncNow), 122, 123, 124}) {
                EnableWindow(Button(id).Hwnd(), FALSE);
            }
        } else {
            for (int id : kDeleteIds) {
                EnableWindow(Button(id).Hwnd(), FALSE);
            }
        }
        CLock lock(textLock_);
        tabText_[page_].textColour = RGB(110, 110, 110);
        tabText_[page_].SetText(tabText_[page_].text);
    }
    page_ = page;
    {
        CLock lock(textLock_);
        tabText_[page].textColour = RGB(1, 1, 1);
        tabText_[page].SetText(tabText_[page].text);
    }
    if (HasPlayer() && !busy_) {
        SetControlsIdle();
    }
    DrawSkin();
}

void CMainFrame::UpdateSyncNowButton() {
    EnableWindow(Button(kIdSyncNow).Hwnd(), HasPlayer() && !busy_ && AnySwitchOn());
}

int CMainFrame::OnDragEnter(int x, int y) {
    const POINT point = LayoutPoint({x, y});
    const int right = expanded_ ? 186 : 200;
    const bool inside = point.x >= 0 && point.x <= right && point.y >= 29 && point.y <= 181;
    if (inside && dropAllowed_) {
        if (!dropHighlight_) {
            dropHighlight_ = true;
            DrawSkin();
        }
        return 1;
    }
    if (dropHighlight_) {
        dropHighlight_ = false;
        DrawSkin();
    }
    return 0;
}

int CMainFrame::OnDragOver(int x, int y) { return OnDragEnter(x, y); }

void CMainFrame::OnDragLeave() {
    dropHighlight_ = false;
    DrawSkin();
}

void CMainFrame::OnFileDrop(IDataObject* data) {
    if (listener_) {
        listener_->OnDrop(data);
    }
    dropHighlight_ = false;
    DrawSkin();
}

void CMainFrame::AllowDrops(bool allowed) {
    dropAllowed_ = allowed;
    if (dropTarget_) {
        dropTarget_->SetEnabled(allowed);
    }
}
