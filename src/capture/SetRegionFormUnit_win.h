#pragma once
// The overlay's window: a borderless, topmost popup over the whole virtual
// screen that shows the overlay's composed view, feeds it mouse and keyboard
// input, grabs the screen, and owns the hidden hotkey window.
#include "capture/HotKeys.h"
#include "capture/SetRegionForm.h"
#include "win32/GdiTextRasterizer_win.h"
#include "win32/Window_win.h"

#include <functional>
#include <memory>

class THotKeyWindow;

class TSetRegionWindow final : public TWindow, private TSetRegionHost {
public:
    // hotKeyEditorFocused: true while a hotkey editor has the keyboard focus
    // (a capture hotkey then belongs to the editor); none means never.
    explicit TSetRegionWindow(std::function<bool()> hotKeyEditorFocused = {});
    ~TSetRegionWindow() override;

    TSetRegionForm& Form() { return *FForm; }
    bool RegHotKey(TTypeHotKey tp, TShortCut hk);
    // Application-wide key filter, run on every message the GUI thread
    // retrieves; true when the message was handled and must not be dispatched.
    bool PreTranslateMessage(const MSG& msg);

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // TSetRegionHost
    bool OverlayShowing() const override;
    void ShowOverlay(const TRect& bounds) override;
    void HideOverlay() override;
    void FocusOverlay() override;
    TPoint PrimaryScreenSize() const override;
    std::vector<TRect> MonitorBounds() const override;
    TBitmap32 GrabScreen(const TRect& area, bool drawCursor) override;
    std::optional<TRect> ForegroundWindowRect() const override;
    TPoint CursorPos() const override;
    void SetAppCursor(TCursorKind cursor) override;
    bool HotKeyEditorFocused() const override;
    std::uint32_t TickCount() const override;
    TColor SysColorToRGB(TColor c) const override;
    std::wstring ClipboardText() const override;

    void Paint();
    HCURSOR CursorHandle(TCursorKind kind) const;

    TGdiTextRasterizer FText;
    std::unique_ptr<TSetRegionForm> FForm;
    std::unique_ptr<THotKeyWindow> FHotKeyWindow;
    std::unique_ptr<THotKeys> FHotKeys;
    HCURSOR FCrossCursor = nullptr;
    TCursorKind FAppCursor = crDefault;
    std::function<bool()> FHotKeyEditorFocused;
};

// The overlay and its form, set while the overlay exists, null otherwise.
extern TSetRegionWindow* SetRegionWindow;
extern TSetRegionForm* SetRegionForm;
