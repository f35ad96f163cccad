#pragma once
// The program's main window: small, borderless and layered, drawn entirely from the PNG skin with
// per-pixel alpha. It shows the connected player, the progress of a run and an expandable side
// panel, takes drops and pastes, and hands every user action to the coordinator. The coordinator
// drives it back, from any thread, through IMainFrameView.

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/coordinator/MainFrameView.h"
#include "app/mainframe/DummyStatic.h"
#include "app/mainframe/FileDropTarget.h"
#include "app/mainframe/ImageEx.h"
#include "app/mainframe/MainFrameCoordinator.h"
#include "app/mainframe/NButton.h"
#include "app/mainframe/SkinScale.h"
#include "app/mainframe/TextImageEx.h"
#include "platform/ui/UiFrameWnd.h"
#include "platform/ui/UiGdiplusSession.h"
#include "platform/ui/UiToolTipCtrl.h"

class CMainFrame : public CUiFrameWnd, public IFileDropTargetListener, public IMainFrameView {
public:
    // The window's class: a second start of the program finds the running one by it.
    static constexpr wchar_t kClassName[] = L"QUILLBAY_MAIN_FRAME";

    using IListener = IMainFrameListener;

    enum : int {
        kIdSettings = 101, kIdCancel = 102, kIdLink = 103, kIdExpand = 104, kIdPin = 105, kIdHelp = 106,
        kIdDeleteMusic = 110, kIdMinimise = 114, kIdClose = 115, kIdCollapse = 116, kIdError = 118,
        kIdSyncNow = 119, kIdDeleteKind4 = 120, kIdPresetMusic = 122, kIdSwitchMusic = 125,
        kIdSwitchAuto = 128, kIdProgressArea = 141, kIdPaste = 1023, kIdDisabledItem = 1024,
        kIdMenuSettings = 129, kIdAbout = 57664, kIdExit = 57665,
    };
    enum : UINT_PTR { kTimerAnimation = 1, kTimerLookup = 2 };
    // Runs the window work that other threads queued (timers, controls, tooltips); sending it
    // waits until everything queued before has been done.
    static constexpr UINT kRunQueuedMessage = WM_APP + 1;
    static constexpr int kCollapsedWidth = 200;
    static constexpr int kExpandedWidth = 532;
    static constexpr int kHeight = 266;
    static constexpr BYTE kActiveAlpha = 255;
    static constexpr BYTE kInactiveAlpha = 229;

    CMainFrame();
    ~CMainFrame() override;

    // Set by the application before the window is created; read only by the frame.
    HMODULE resourceModule = nullptr;
    int uiMode = 0;
    bool linkEnabled = true;
    bool twoLineCaptions = false;
    bool wideScriptLayout = true;
    std::wstring languageCode = L"ENU";
    // Builds the coordinator at creation; without one the frame has none and creation fails.
    MainFrameCoordinatorFactory coordinatorFactory;
    // Where the skin's PNG resources live (the program itself by default).
    HMODULE skinModule = nullptr;
    // The screen DPI to draw for; 0 takes the screen's.
    int dpi = 0;
    // The About box of the application.
    std::function<void()> showAbout;

    // The saved position when both values exist and lie on the screen, else (100, 100).
    static POINT StartPosition();
    // Creates the window hidden; the caller shows it.
    bool CreateFrame(const std::wstring& title);

    // Repaints the whole layered window from the skin; nothing before creation has finished.
    void DrawSkin();
    void UpdateSyncPanel(int deviceState);
    void SetDeviceName(const std::wstring& name);
    void SetDeviceCapacity(uint64_t capacity);
    void SetDevicePicture(size_t size, std::unique_ptr<uint8_t[]> bytes, const std::wstring& modelId);
    std::wstring FormatSize(uint64_t bytes) const;
    void RequestDeviceRefresh();
    // Drops are allowed by the coordinator when a player is ready and no run is under way.
    void AllowDrops(bool allowed);

    // 0 the delete page, 1 the sync page of the side panel.
    void SelectPage(int page);
    // For the clickable areas: the origin of the area kept for a control id, and its input.
    POINT AreaOrigin(int controlId) const;
    // The window is laid out in 96-DPI pixels: a point of its client area in them.
    POINT LayoutPoint(POINT client) const { return scale_.ToLayout(client); }
    // The points these take are in layout pixels.
    void HandleMouseMove(POINT point);
    void HandleLButtonDown(POINT point);
    void HandleLButtonUp(POINT point);

    // State for tests and the coordinator.
    bool IsExpanded() const { return expanded_; }
    bool IsBusy() const { return busy_; }
    bool IsTopMost() const { return topMost_; }
    bool IsDropHighlighted() const { return dropHighlight_; }
    bool IsErrorPending() const { return errorPending_; }
    int AnimationFrame() const { return animationFrame_; }
    BYTE WindowAlpha() const { return windowAlpha_; }
    int DeviceState() const { return deviceState_; }
    std::wstring StatusText();
    std::wstring LinkAddress() const { return linkAddress_; }
    int PaintCount() const { return paintCount_; }
    HWND ButtonWindow(int id) const;
    INT_PTR MovieCautionResult() const { return movieCautionResult_; }

    // IFileDropTargetListener
    void OnFileDrop(IDataObject* data) override;
    int OnDragEnter(int x, int y) override;
    int OnDragOver(int x, int y) override;
    void OnDragLeave() override;

    // IMainFrameView
    HWND Window() override { return Hwnd(); }
    int32_t GetState() override { return busy_ ? 1 : 0; }
    HANDLE StopEvent() override { return stopEvent_; }
    HANDLE RunEvent() override { return idleEvent_; }
    void UpdateProgress(int32_t busy) override;
    void ResetProgress(bool withError) override;
    void RefreshProgressChild() override { DrawSkin(); }
    void SetBusyFlags(int32_t busy) override;
    void SetDoneCount(int32_t done) override;
    void AddDoneCount() override;
    void SetAcceptedCount(int32_t accepted) override;
    void RefreshStatusText(uint64_t freeBytes) override;
    void SetTransferProgress(uint32_t done, uint32_t total) override;
    void SetConversionText(const std::wstring& name, int32_t percent) override;
    void SetAnalysisText(bool running) override;
    void StartLookupTimer() override;
    void SetLookupText(const std::wstring& text) override;
    void ClearStageText() override;
    void UpdateFreeSpace(const FreeSpace& space) override;
    void SetAnalysisMode(bool) override {}
    void ShowDevice(const DeviceView& device) override;
    void ClearDevice() override;
    void SetUIMode(int mode) override { uiMode = mode; }
    std::wstring LanguageCode() override { return languageCode; }
    void ShowCarAudioControl() override {}
    void SetCarAudioFlag(bool) override {}
    void LayoutPanels(const bool kinds[5]) override;
    int32_t GetFrameLayout(const std::wstring& path, int32_t* width, int32_t* height) override;

    const CUiMessageMap& GetMessageMap() const override;
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& create) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override {}

private:
    class CLock {
    public:
        explicit CLock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
        ~CLock() { LeaveCriticalSection(&section_); }
    private:
        CRITICAL_SECTION& section_;
    };

    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();
    LRESULT OnDeviceChange(WPARAM event, LPARAM);
    LRESULT OnSysCommand(WPARAM command, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM) { return TRUE; }
    LRESULT OnMouseMessage(WPARAM, LPARAM point);
    LRESULT OnLButtonDown(WPARAM, LPARAM point);
    LRESULT OnLButtonUp(WPARAM, LPARAM point);
    LRESULT OnRButtonDown(WPARAM, LPARAM);
    LRESULT OnActivateApp(WPARAM active, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    void OnTimer(UINT_PTR timer);
    LRESULT OnSize(WPARAM type, LPARAM);
    void OnExitSizeMove();
    LRESULT OnButtonUpdate(WPARAM, LPARAM);
    LRESULT OnDrawItem(WPARAM, LPARAM item);
    LRESULT OnSetFocus(WPARAM, LPARAM) { return 0; }

    void OnSettings();
    void OnCancel();
    void OnError();
    void OnExpand();
    void OnCollapse();
    void OnHelp();
    void OnMinimise();
    void OnClose();
    void OnSyncNow();
    void OnPaste();
    void OnAbout();
    void OnExit();
    LRESULT OnOtherCommand(WPARAM wParam, LPARAM) { return OnCommandRange(LOWORD(wParam)); }
    LRESULT OnCommandRange(UINT id);

    LRESULT OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Timers, controls and tooltips belong to the window's thread: the coordinator's threads
    // queue that part of their calls and return without waiting for it.
    void RunOnWindowThread(std::function<void()> action);
    void RunQueued();

    // Creation steps.
    void CreateButtons();
    void CreateAreas();
    void LoadSkin();
    void CreateTextImages();
    void MoveFrameControls(bool expanded);

    // Painting pieces.
    // A length or position of the layout in the screen's pixels.
    int Px(int layout) const { return scale_.ToScreen(layout); }
    // Moves and sizes a child window to a rectangle of the layout.
    void PlaceControl(HWND control, const RECT& layout) const;
    void DrawPlayer(HDC dc);
    void DrawCapacity(HDC dc, int x, int y, int width);
    void DrawPanel(HDC dc);
    const CImageEx* Skin(UINT id) const;

    // States.
    void SetControlsBusy();
    void SetControlsIdle();
    void UpdateSyncNowButton();
    void SetPanelLabelColour(COLORREF colour);
    void SetText(CTextImageEx& image, const std::wstring& text);
    std::wstring LoadText(UINT id) const;
    void JoinStageTexts();
    void SetProgressTip(const std::wstring& text);
    bool HasPlayer() const { return deviceState_ != 0; }
    bool InPinArea(POINT point) const;
    bool InLinkArea(POINT point) const;
    void ToggleTopMost();
    void ApplyTopMost();
    CNButton& Button(int id);
    int KindSupportedForSwitch(int index) const;
    bool AnySwitchOn() const;

    CSkinScale scale_;
    std::unique_ptr<IMainFrameCoordinator> coordinator_;
    IListener* listener_ = nullptr;
    std::atomic<bool> created_{false};
    std::atomic<int> deviceState_{0};
    std::atomic<bool> busy_{false};
    bool expanded_ = false;
    int page_ = 0;
    bool playerFlag_ = false;
    bool kindSupported_[5] = {true, false, false, false, false};
    bool syncSwitch_[4] = {};
    bool topMost_ = false;
    bool hoverPin_ = false, hoverLink_ = false, hoverTab_[2] = {}, hoverSwitch_[4] = {};
    bool dropHighlight_ = false;
    std::atomic<bool> dropAllowed_{false};
    std::atomic<bool> errorPending_{false};
    BYTE windowAlpha_ = kActiveAlpha;
    std::atomic<int> animationFrame_{0};
    std::atomic<bool> lookupIndicator_{false};
    int doneCount_ = 0;
    int totalCount_ = 0;
    uint64_t capacity_ = 0;
    FreeSpace space_;
    double capacityScale_ = 0;
    std::wstring stageTexts_[3];
    std::wstring linkAddress_;
    std::wstring deviceName_;
    std::wstring modelId_;
    CImageEx devicePicture_;
    CImageEx customPicture_;
    bool hasCustomPicture_ = false;
    HANDLE stopEvent_ = nullptr;
    HANDLE idleEvent_ = nullptr;
    CRITICAL_SECTION textLock_;
    CRITICAL_SECTION stageLock_;
    HDEVNOTIFY deviceNotification_ = nullptr;
    CUiToolTipCtrl toolTip_;
    HFONT font_ = nullptr;
    CUiGdiplusSession gdiplus_;
    std::map<UINT, std::unique_ptr<CImageEx>> skin_;
    std::map<int, std::unique_ptr<CNButton>> buttons_;
    std::map<int, std::unique_ptr<CDummyStatic>> areas_;
    std::map<int, RECT> areaRects_;
    RECT deleteSlots_[6] = {};
    RECT pinArea_ = {114, 8, 130, 25};
    RECT linkArea_ = {52, 232, 145, 255};
    CFileDropTarget* dropTarget_ = nullptr;
    // Text images.
    CTextImageEx statusText_, freeText_, deviceText_, stageText_, linkText_, titleText_, tabText_[2], switchText_[4],
        syncNowText_, capacityText_;
    INT_PTR movieCautionResult_ = IDCANCEL;
    CRITICAL_SECTION queueLock_;
    std::vector<std::function<void()>> queued_;
    std::atomic<int> paintCount_{0};
};
