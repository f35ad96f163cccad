// The main window's skin: loading the images, creating the controls that sit on it, and composing
// the one layered image the window shows.

#include <algorithm>

#include "app/mainframe/MainFrame.h"
#include "app/mainframe/MainFrameInternal.h"
#include "library/util/Settings.h"

using namespace mainframe;

namespace {

constexpr COLORREF kTextColour = RGB(1, 1, 1);
constexpr COLORREF kGreyText = RGB(150, 150, 150);
constexpr COLORREF kSoftText = RGB(96, 104, 112);
constexpr COLORREF kLinkColour = RGB(20, 118, 112);

// Sizes in layout pixels.
void InitText(const CSkinScale& scale, CTextImageEx& image, int width, int height, UINT format, int fontHeight,
              bool bold, COLORREF colour) {
    image.Create(scale.ToScreen(width), scale.ToScreen(height), 32);
    image.format = format;
    image.fontHeight = scale.ToScreen(fontHeight);
    image.bold = bold;
    image.textColour = colour;
    image.faceName = L"Tahoma";
}

}  // namespace

const CImageEx* CMainFrame::Skin(UINT id) const {
    auto found = skin_.find(id);
    return found == skin_.end() ? nullptr : found->second.get();
}

void CMainFrame::LoadSkin() {
    HMODULE module = skinModule ? skinModule : GetModuleHandleW(nullptr);
    // Everything a paint may draw is loaded once here, premultiplied; a missing one is not drawn.
    for (UINT id = 141; id <= 389; ++id) {
        auto image = std::make_unique<CImageEx>();
        if (SUCCEEDED(LoadPngResource(module, *image, scale_.SkinId(id)))) {
            image->PremultiplyAlpha();
            skin_[id] = std::move(image);
        }
    }
}

void CMainFrame::CreateButtons() {
    HMODULE module = skinModule ? skinModule : GetModuleHandleW(nullptr);
    for (const ButtonLayout& layout : kButtons) {
        auto button = std::make_unique<CNButton>();
        const RECT rect = scale_.ToScreen(layout.rect);
        if (!button->Create(LoadText(layout.tooltip), layout.visible, rect, Hwnd(), layout.id)) {
            continue;
        }
        button->LoadImages(module, scale_.SkinId(layout.normal), scale_.SkinId(layout.pressed),
                           scale_.SkinId(layout.disabled), scale_.SkinId(layout.hover));
        EnableWindow(button->Hwnd(), layout.enabled);
        toolTip_.AddTool(button->Hwnd(), LoadText(layout.tooltip));
        buttons_[layout.id] = std::move(button);
    }
    SetWindowTextW(Button(kIdCancel).Hwnd(), L"Cancel");
    SetWindowTextW(Button(kIdError).Hwnd(), L"Error");
    const int xs[3] = {200, 304, 408};
    const int ys[2] = {107, 151};
    for (int slot = 0; slot < 6; ++slot) {
        const int x = xs[slot % 3];
        const int y = ys[slot / 3];
        deleteSlots_[slot] = {x, y, x + 26, y + 24};
    }
    // The sync page: sync now and the three presets start disabled and hidden with the page.
    const bool wide = wideScriptLayout;
    const RECT syncNow = wide ? RECT{429, 168, 509, 190} : RECT{449, 168, 509, 190};
    const UINT syncIds[4] = {wide ? 325u : 353u, wide ? 326u : 344u, wide ? 323u : 351u, wide ? 324u : 352u};
    struct Extra {
        int id;
        RECT rect;
        UINT images[4];
        UINT tooltip;
    };
    const int presetWidth = wide ? 89 : 48;
    const UINT presetIds[4] = {wide ? 329u : 349u, wide ? 322u : 350u, wide ? 327u : 347u, wide ? 328u : 348u};
    const Extra extras[] = {
        {kIdSyncNow, syncNow, {syncIds[0], syncIds[1], syncIds[2], syncIds[3]}, 188},
        {122, {510 - presetWidth, 100, 510, 118}, {presetIds[0], presetIds[1], presetIds[2], presetIds[3]}, 185},
        {123, {510 - presetWidth, 122, 510, 140}, {presetIds[0], presetIds[1], presetIds[2], presetIds[3]}, 186},
        {124, {510 - presetWidth, 144, 510, 162}, {presetIds[0], presetIds[1], presetIds[2], presetIds[3]}, 187},
    };
    for (const Extra& extra : extras) {
        auto button = std::make_unique<CNButton>();
        if (!button->Create(L"", false, scale_.ToScreen(extra.rect), Hwnd(), extra.id)) {
            continue;
        }
        button->LoadImages(module, scale_.SkinId(extra.images[0]), scale_.SkinId(extra.images[1]),
                           scale_.SkinId(extra.images[2]), scale_.SkinId(extra.images[3]));
        EnableWindow(button->Hwnd(), FALSE);
        toolTip_.AddTool(button->Hwnd(), LoadText(extra.tooltip));
        buttons_[extra.id] = std::move(button);
    }
    bool none[5] = {true, false, false, false, false};
    LayoutPanels(none);
}

void CMainFrame::CreateAreas() {
    struct Area {
        int id;
        RECT rect;
        bool visible;
        UINT tooltip;
    };
    const Area areas[] = {
        {kIdLink, {52, 232, 145, 254}, linkEnabled, 151},
        {kIdPin, {114, 8, 130, 24}, true, 141},
        {kIdProgressArea, {8, 183, 188, 232}, true, 0},
        {125, {200, 103, 312, 117}, false, 176},
        {126, {200, 125, 312, 139}, false, 177},
        {127, {200, 147, 312, 161}, false, 178},
        {128, {200, 199, 508, 228}, false, 0},
    };
    for (const Area& area : areas) {
        auto control = std::make_unique<CDummyStatic>();
        if (!control->Create(area.visible, scale_.ToScreen(area.rect), Hwnd(), area.id)) {
            continue;
        }
        control->SetMainFrame(this);
        toolTip_.AddTool(control->Hwnd(), area.tooltip ? LoadText(area.tooltip) : std::wstring());
        areaRects_[area.id] = area.rect;
        areas_[area.id] = std::move(control);
    }
    for (int i = 0; i < 4; ++i) {
        syncSwitch_[i] = i < 3 ? ReadSyncEnabled(i == 0 ? 0 : i + 1) : ReadSyncAutoexec();
    }
}

void CMainFrame::CreateTextImages() {
    CLock lock(textLock_);
    const int caption = twoLineCaptions ? 28 : 14;
    InitText(scale_, titleText_, 80, 14, DT_LEFT | DT_SINGLELINE | DT_VCENTER, 13, true, kTextColour);
    InitText(scale_, deviceText_, 172, 14, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS, 13, true, kTextColour);
    InitText(scale_, freeText_, 172, 14, DT_CENTER | DT_SINGLELINE, 12, false, kSoftText);
    InitText(scale_, statusText_, 146, 14, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS, 12, false, kTextColour);
    InitText(scale_, stageText_, 126, 14, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS, 12, false, kSoftText);
    InitText(scale_, linkText_, 121, 14, DT_CENTER | DT_SINGLELINE, 12, false, kLinkColour);
    InitText(scale_, capacityText_, 310, 14, DT_LEFT | DT_SINGLELINE, 12, false, kSoftText);
    InitText(scale_, tabText_[0], 77, caption, DT_CENTER | DT_WORDBREAK, 13, true, kTextColour);
    InitText(scale_, tabText_[1], wideScriptLayout ? 172 : 99, caption, DT_CENTER | DT_WORDBREAK, 13, true, kGreyText);
    for (int i = 0; i < 4; ++i) {
        InitText(scale_, switchText_[i], i < 3 ? 120 : 250, 14, DT_LEFT | DT_SINGLELINE, 12, false, kTextColour);
    }
    InitText(scale_, syncNowText_, 80, 14, DT_CENTER | DT_SINGLELINE, 12, true, RGB(255, 255, 255));
    titleText_.SetText(LoadText(139));
    statusText_.SetText(LoadText(137));
    std::wstring host = linkAddress_;
    if (size_t scheme = host.find(L"://"); scheme != std::wstring::npos) {
        host = host.substr(scheme + 3);
    }
    linkText_.SetText(host.substr(0, host.find(L'/')));
    tabText_[0].SetText(LoadText(155));
    tabText_[1].SetText(kSyncTabLabel);
    for (int i = 0; i < 3; ++i) {
        switchText_[i].SetText(LoadText(176 + i));
    }
    switchText_[3].SetText(kAutoSyncLabel);
    syncNowText_.SetText(kSyncNowLabel);
}

void CMainFrame::MoveFrameControls(bool expanded) {
    const int shift = expanded ? 332 : 0;
    auto place = [&](HWND control, int x, int y) {
        SetWindowPos(control, nullptr, Px(x), Px(y), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(Button(kIdHelp).Hwnd(), 132 + shift, 8);
    place(Button(kIdMinimise).Hwnd(), 150 + shift, 8);
    place(Button(kIdClose).Hwnd(), 168 + shift, 8);
    if (auto pin = areas_.find(kIdPin); pin != areas_.end()) {
        place(pin->second->Hwnd(), 114 + shift, 8);
    }
    if (auto link = areas_.find(kIdLink); link != areas_.end()) {
        PlaceControl(link->second->Hwnd(), RECT{expanded ? 218 : 52, 232, (expanded ? 218 : 52) + 93, 254});
    }
    pinArea_ = expanded ? RECT{446, 8, 463, 25} : RECT{114, 8, 131, 25};
    linkArea_ = expanded ? RECT{218, 232, 312, 255} : RECT{52, 232, 146, 255};
    areaRects_[kIdPin] = expanded ? RECT{446, 8, 462, 23} : RECT{114, 8, 129, 23};
    areaRects_[kIdLink] = expanded ? RECT{218, 232, 310, 253} : RECT{52, 232, 144, 253};
}

void CMainFrame::PlaceControl(HWND control, const RECT& layout) const {
    const RECT rect = scale_.ToScreen(layout);
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainFrame::SetText(CTextImageEx& image, const std::wstring& text) {
    CLock lock(textLock_);
    image.SetText(text);
}

void CMainFrame::DrawSkin() {
    if (!created_ || !Hwnd()) {
        return;
    }
    CLock lock(textLock_);
    RECT client = {};
    GetClientRect(Hwnd(), &client);
    const int width = Px(expanded_ ? kExpandedWidth : kCollapsedWidth);
    const int height = Px(kHeight);
    HDC windowDc = ::GetDC(Hwnd());
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!dib) {
        if (memory) {
            DeleteDC(memory);
        }
        ::ReleaseDC(Hwnd(), windowDc);
        return;
    }
    HGDIOBJ previous = SelectObject(memory, dib);

    const bool active = windowAlpha_ == kActiveAlpha;
    const bool player = HasPlayer();
    UINT background;
    if (uiMode == 1) {
        background = expanded_ ? (player ? 377 : 375) : (player ? 381 : 379);
        background += active ? 0 : 1;
    } else if (expanded_) {
        background = player ? (active ? 141 : 252) : (active ? 210 : 251);
    } else {
        background = player ? (active ? 142 : 254) : (active ? 209 : 253);
    }
    if (const CImageEx* image = Skin(background)) {
        image->Draw(memory, 0, 0);
    }
    if (const CImageEx* logo = Skin(kLogo)) {
        logo->Draw(memory, Px(8), Px(8));
    }
    titleText_.Draw(memory, Px(28), Px(9));

    DrawPlayer(memory);

    // The progress area: status or run counters, the animation and the lookup indicator.
    if (busy_) {
        if (const CImageEx* frame = Skin(kBusyFirst + animationFrame_)) {
            frame->Draw(memory, Px(14), Px(207));
        }
        stageText_.Draw(memory, Px(34), Px(208));
    } else if (player) {
        if (const CImageEx* track = Skin(kMiniBarFree)) {
            track->Draw(memory, Px(14), Px(211), Px(146), Px(7));
        }
        DrawCapacity(memory, 14, 146, 0);
    }
    statusText_.Draw(memory, Px(14), Px(190));
    if (lookupIndicator_) {
        if (const CImageEx* lookup = Skin(kLookup)) {
            lookup->Draw(memory, Px(146), Px(189));
        }
    }
    if (linkEnabled) {
        linkText_.Draw(memory, Px((expanded_ ? 218 : 52) - 14), Px(236));
    }

    if (expanded_) {
        DrawPanel(memory);
    }
    // The pin is an area of the skin, not a button.
    const UINT pin = topMost_ ? kPinOn : hoverPin_ ? kPinHover : kPinOff;
    if (const CImageEx* image = Skin(pin)) {
        image->Draw(memory, Px(pinArea_.left), Px(8));
    }
    for (auto& [id, button] : buttons_) {
        if (!IsWindowVisible(button->Hwnd())) {
            continue;
        }
        RECT rect = {};
        GetWindowRect(button->Hwnd(), &rect);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        button->PaintTo(memory, rect.left, rect.top, button->Width(), button->Height());
    }
    if (expanded_ && page_ == 1 && IsWindowVisible(Button(kIdSyncNow).Hwnd())) {
        syncNowText_.Draw(memory, Px(429), Px(172));
    }
    if (dropHighlight_) {
        if (const CImageEx* highlight = Skin(kDropHighlight)) {
            highlight->Draw(memory, Px(9), Px(29));
        }
    }

    RECT window = {};
    GetWindowRect(Hwnd(), &window);
    POINT position = {window.left, window.top};
    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(Hwnd(), windowDc, &position, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    ++paintCount_;
    SelectObject(memory, previous);
    DeleteObject(dib);
    DeleteDC(memory);
    ::ReleaseDC(Hwnd(), windowDc);
}

void CMainFrame::DrawPlayer(HDC dc) {
    if (hasCustomPicture_) {
        customPicture_.Draw(dc, Px(8), Px(28), Px(180), Px(204));
    }
    if (!HasPlayer()) {
        return;
    }
    deviceText_.Draw(dc, Px(12), Px(38));
    freeText_.Draw(dc, Px(12), Px(54));
    if (hasCustomPicture_) {
        return;
    }
    if (!devicePicture_.IsNull()) {
        // The player's own picture keeps its pixels; only a large one is cut to the space.
        const int w = std::min(devicePicture_.GetWidth(), Px(160));
        const int h = std::min(devicePicture_.GetHeight(), Px(104));
        devicePicture_.Draw(dc, Px(98) - w / 2, Px(124) - h / 2, w, h);
        return;
    }
    UINT picture = uiMode == 1 ? kGenericPlayer : playerFlag_ ? kPlayerWithFlag : kGenericPlayer;
    const UINT modelOrder[4] = {386, 388, 387, 389};
    for (int i = 0; i < 4; ++i) {
        if (_wcsicmp(modelId_.c_str(), kKnownModels[i]) == 0) {
            picture = modelOrder[i];
        }
    }
    if (const CImageEx* image = Skin(picture)) {
        image->Draw(dc, Px(50), Px(76), Px(96), Px(96));
    }
}

void CMainFrame::DrawCapacity(HDC dc, int x, int width, int y) {
    // Segments per kind, then other data; the rest of the track is free space.
    const uint64_t used[5] = {space_.musicBytes, space_.imageBytes, space_.movieBytes, space_.podcastBytes,
                              space_.otherFiles};
    if (space_.totalBytes == 0) {
        return;
    }
    const bool mini = y == 0;
    const int top = Px(mini ? 211 : y);
    const int barHeight = Px(mini ? 7 : 12);
    const int screenX = Px(x);
    const int screenWidth = Px(width);
    double position = screenX;
    for (int kind = 0; kind < 5; ++kind) {
        const double pixels = static_cast<double>(used[kind]) * screenWidth / static_cast<double>(space_.totalBytes);
        const int left = static_cast<int>(position + 0.5);
        position += pixels;
        const int right = std::min(screenX + screenWidth, static_cast<int>(position + 0.5));
        if (right > left) {
            if (const CImageEx* segment = Skin(kCapacityFirst + kind)) {
                segment->Draw(dc, left, top, right - left, barHeight);
            }
        }
    }
}

void CMainFrame::DrawPanel(HDC dc) {
    // Tabs: the chosen one carries the accent underline.
    const RECT tabs[2] = {{193, 31, 270, 54}, {271, 31, wideScriptLayout ? 443 : 370, 54}};
    if (const CImageEx* line = Skin(kCapacityFirst)) {
        line->Draw(dc, Px(tabs[page_].left + 6), Px(51), Px(tabs[page_].right - tabs[page_].left - 12), Px(3));
    }
    for (int tab = 0; tab < 2; ++tab) {
        const int top = twoLineCaptions ? 33 : 36;
        tabText_[tab].Draw(dc, Px(tabs[tab].left), Px(top));
    }
    DrawCapacity(dc, 200, 310, 68);
    capacityText_.Draw(dc, Px(200), Px(83));
    if (page_ == 0) {
        return;
    }
    const int rows[4] = {103, 125, 147, 206};
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && i < 3 && !kindSupported_[i + 1]) {
            continue;
        }
        const bool on = syncSwitch_[i];
        const UINT mark = hoverSwitch_[i] ? (on ? kSwitchOnHover : kSwitchOffHover) : (on ? kSwitchOn : kSwitchOff);
        if (const CImageEx* image = Skin(mark)) {
            image->Draw(dc, Px(200), Px(rows[i]));
        }
        switchText_[i].Draw(dc, Px(234), Px(rows[i]));
    }
}
