#include "capture/SetRegionFormUnit_win.h"

#include "capture/CaptureTimeline.h"
#include "settings/SettingsUnit.h"
#include "support/DebugTrace.h"
#include "win32/BufferPaint_win.h"
#include "win32/DibSection_win.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#undef AddAtom // the hotkey platform's method, not the system macro

TSetRegionWindow* SetRegionWindow = nullptr;
TSetRegionForm* SetRegionForm = nullptr;

namespace {
constexpr wchar_t OverlayClassName[] = L"TSetRegionForm";
constexpr wchar_t HotKeyClassName[] = L"TKadrixHotKeyWindow";
// Polls the text caret's clock; the caret's 700 ms rhythm comes from the
// tick count, so this only bounds its jitter.
constexpr UINT_PTR CaretTimerId = 1;
constexpr UINT CaretTimerMs = 50;

// Open for the scope's lifetime when Open() is true.
class TClipboardReader {
public:
    explicit TClipboardReader(HWND owner) : FOpen(::OpenClipboard(owner) != FALSE) {}
    ~TClipboardReader() {
        if (FOpen) ::CloseClipboard();
    }
    TClipboardReader(const TClipboardReader&) = delete;
    TClipboardReader& operator=(const TClipboardReader&) = delete;
    bool Open() const { return FOpen; }

private:
    bool FOpen;
};

// Unlocked when the scope ends.
class TGlobalLock {
public:
    explicit TGlobalLock(HGLOBAL mem) : FMem(mem), FData(::GlobalLock(mem)) {}
    ~TGlobalLock() {
        if (FData) ::GlobalUnlock(FMem);
    }
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;
    const void* Data() const { return FData; }

private:
    HGLOBAL FMem;
    void* FData;
};

// The screen grab's memory, kept from one capture to the next. One overlay
// per process, so one of these.
std::shared_ptr<TDibSection>& GrabMemory() {
    static std::shared_ptr<TDibSection> memory;
    return memory;
}

// No exception may unwind through the system's enumeration: a failed
// append ends it, with the monitors found so far.
BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT r, LPARAM lp) noexcept {
    try {
        reinterpret_cast<std::vector<TRect>*>(lp)->push_back(
            {r->left, r->top, r->right, r->bottom});
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

} // namespace

// The hidden window the three capture hotkeys are registered to.
class THotKeyWindow final : public TWindow, public THotKeyPlatform {
public:
    THotKeyWindow() {
        RegisterWindowClass({.Name = HotKeyClassName});
        CreateHandle(HotKeyClassName, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0);
    }
    THotKeys* Keys = nullptr;

    std::uint16_t AddAtom(std::wstring_view name) override {
        return ::GlobalAddAtomW(std::wstring(name).c_str());
    }
    void Unregister(std::uint16_t id) override { ::UnregisterHotKey(Handle(), id); }
    bool Register(std::uint16_t id, std::uint32_t modifiers, std::uint32_t vk) override {
        return ::RegisterHotKey(Handle(), id, modifiers, vk) != FALSE;
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = DefaultProc(msg, wParam, lParam);
        if (msg == WM_HOTKEY && Keys && SetRegionForm) {
            if (const auto kind = Keys->CaptureForHotKey(wParam)) {
                CaptureTimeline.Start(TCaptureStep::HotKey);
                SetRegionForm->StartSelectRegion(*kind);
                CaptureTimeline.Mark(TCaptureStep::HotKeyDone);
            }
        }
        return result;
    }
};

TSetRegionWindow::TSetRegionWindow(std::function<bool()> hotKeyEditorFocused)
    : FHotKeyEditorFocused(std::move(hotKeyEditorFocused)) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    FCrossCursor = ::LoadCursorW(AppInstance(), L"CUR_1");
    if (!FCrossCursor) FCrossCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    // The window procedure forwards to the form from the first message on.
    FForm = std::make_unique<TSetRegionForm>(static_cast<TSetRegionHost&>(*this), FText);
    FForm->View().OnInvalidate = [this](const TRect& r) {
        if (!Handle()) return; // a null window would invalidate every window
        const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
        ::InvalidateRect(Handle(), &rc, FALSE);
    };
    RegisterWindowClass({.Name = OverlayClassName, .Cursor = FCrossCursor});
    CreateHandle(OverlayClassName, L"Kadrix", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 0, 0, 0,
                 0);
    SetRegionWindow = this;
    SetRegionForm = FForm.get();
    try {
        FHotKeyWindow = std::make_unique<THotKeyWindow>();
        FHotKeys = std::make_unique<THotKeys>(*FHotKeyWindow);
        FHotKeyWindow->Keys = FHotKeys.get();
        RegHotKey(thkAll, Settings.hkAllScreen);
        RegHotKey(thkWin, Settings.hkWindow);
        RegHotKey(thkArea, Settings.hkAreaScreen);
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION SetRegionForm.FormCreate:", e);
    }
}

TSetRegionWindow::~TSetRegionWindow() {
    if (SetRegionForm == FForm.get()) SetRegionForm = nullptr;
    if (SetRegionWindow == this) SetRegionWindow = nullptr;
    DestroyHandle();
}

bool TSetRegionWindow::RegHotKey(TTypeHotKey tp, TShortCut hk) {
    return FHotKeys && FHotKeys->RegHotKey(tp, hk);
}

bool TSetRegionWindow::PreTranslateMessage(const MSG& msg) {
    return msg.message == WM_KEYDOWN && FForm->AppKeyDown(int(msg.wParam));
}

bool TSetRegionWindow::OverlayShowing() const {
    return ::IsWindowVisible(Handle()) != FALSE;
}

void TSetRegionWindow::ShowOverlay(const TRect& b) {
    CaptureTimeline.Mark(TCaptureStep::ShowStart);
    ::SetWindowPos(Handle(), HWND_TOPMOST, b.Left, b.Top, b.Width(), b.Height(),
                   SWP_SHOWWINDOW | SWP_NOCOPYBITS);
    ::UpdateWindow(Handle());
    // Wine puts painted pixels on the X screen when the thread looks for a
    // message and finds none: an empty look now shows the first frame before
    // the work that follows it. Elsewhere it costs nothing.
    MSG none;
    ::PeekMessageW(&none, Handle(), WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
    // The keyboard can wait the moment the first frame takes.
    ::SetTimer(Handle(), CaretTimerId, CaretTimerMs, nullptr);
    ::SetForegroundWindow(Handle());
    ::SetFocus(Handle());
}

void TSetRegionWindow::HideOverlay() {
    if (::GetCapture() == Handle()) ::ReleaseCapture();
    ::KillTimer(Handle(), CaretTimerId);
    ::ShowWindow(Handle(), SW_HIDE);
}

void TSetRegionWindow::FocusOverlay() {
    ::SetFocus(Handle());
}

TPoint TSetRegionWindow::PrimaryScreenSize() const {
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<TRect> TSetRegionWindow::MonitorBounds() const {
    std::vector<TRect> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

TBitmap32 TSetRegionWindow::GrabScreen(const TRect& area, bool drawCursor) {
    const int w = area.Width(), h = area.Height();
    if (w <= 0 || h <= 0) return TBitmap32(w, h);
    // The screen is copied straight into the working image's memory: the
    // last grab's, once its image is gone (fresh memory costs page faults
    // on the way to the first frame), or a new one.
    std::shared_ptr<TDibSection>& grab = GrabMemory();
    if (!grab || grab.use_count() > 1 || grab->Width() != w || grab->Height() != h) {
        grab.reset();
        grab = std::make_shared<TDibSection>(w, h);
    }
    TDibSection& dib = *grab;
    CaptureTimeline.Mark(TCaptureStep::GrabStart);
    {
        TWindowDC screen(::GetDesktopWindow());
        // Plain SRCCOPY: layered windows stay out, and the grab is one copy.
        ::BitBlt(dib.DC(), 0, 0, w, h, screen.get(), area.Left, area.Top, SRCCOPY);
    }
    if (drawCursor) {
        CURSORINFO ci{};
        ci.cbSize = sizeof(ci);
        if (::GetCursorInfo(&ci) && ci.flags == CURSOR_SHOWING) {
            ICONINFO ii{};
            if (::GetIconInfo(ci.hCursor, &ii)) {
                unique_bitmap mask(ii.hbmMask), colour(ii.hbmColor);
                // The hotspot is what sits at the pointer: an I-beam is centred on it.
                ::DrawIcon(dib.DC(), ci.ptScreenPos.x - int(ii.xHotspot) - area.Left,
                           ci.ptScreenPos.y - int(ii.yHotspot) - area.Top, ci.hCursor);
            }
        }
    }
    ::GdiFlush();
    CaptureTimeline.Mark(TCaptureStep::Grabbed);
    // Its alpha means nothing yet: the overlay makes it opaque once the
    // first frame is up.
    TColor32* pixels = dib.Row(0);
    CaptureTimeline.Mark(TCaptureStep::Converted);
    return TBitmap32::Adopt(w, h, pixels, grab);
}

std::optional<TRect> TSetRegionWindow::ForegroundWindowRect() const {
    HWND fg = ::GetForegroundWindow();
    if (!fg) return std::nullopt;
    RECT r;
    if (!::GetWindowRect(fg, &r)) return std::nullopt;
    return TRect{r.left, r.top, r.right, r.bottom};
}

TPoint TSetRegionWindow::CursorPos() const {
    POINT p{};
    ::GetCursorPos(&p);
    return {p.x, p.y};
}

void TSetRegionWindow::SetAppCursor(TCursorKind cursor) {
    FAppCursor = cursor;
    if (OverlayShowing())
        ::SetCursor(CursorHandle(cursor != crDefault ? cursor : FForm->View().CurrentCursor()));
}

bool TSetRegionWindow::HotKeyEditorFocused() const {
    return FHotKeyEditorFocused && FHotKeyEditorFocused();
}

std::uint32_t TSetRegionWindow::TickCount() const {
    return GetTickCount();
}

TColor TSetRegionWindow::SysColorToRGB(TColor c) const {
    return static_cast<TColor>(GetSysColor(c & 0xFF));
}

std::wstring TSetRegionWindow::ClipboardText() const {
    TClipboardReader clipboard(Handle());
    if (!clipboard.Open()) return {};
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return {};
    TGlobalLock lock(data);
    if (!lock.Data()) return {};
    // Bounded by the block's size: a missing terminator must not overrun it.
    const std::size_t units = ::GlobalSize(data) / sizeof(wchar_t);
    const auto* text = static_cast<const wchar_t*>(lock.Data());
    return std::wstring(text, std::find(text, text + units, L'\0'));
}

HCURSOR TSetRegionWindow::CursorHandle(TCursorKind kind) const {
    return kind == crCross || kind == crDefault ? FCrossCursor : SystemCursor(kind);
}

void TSetRegionWindow::Paint() {
    TImageView& view = FForm->View();
    CaptureTimeline.Mark(TCaptureStep::PaintStart);
    PaintFromBuffer(Handle(), view.Buffer(), [&] {
        auto composed = view.ComposeDirty();
        CaptureTimeline.Mark(TCaptureStep::Composed);
        return composed;
    });
    CaptureTimeline.Mark(TCaptureStep::Painted);
}

LRESULT TSetRegionWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    TImageView& view = FForm->View();
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(CursorHandle(FAppCursor != crDefault ? FAppCursor : view.CurrentCursor()));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        ::SetCapture(Handle());
        view.MouseDown(DecodeViewMouse(msg, wParam, lParam));
        return 0;
    case WM_MOUSEMOVE:
        view.MouseMove(DecodeViewMouse(msg, wParam, lParam));
        ::UpdateWindow(Handle());
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        view.MouseUp(DecodeViewMouse(msg, wParam, lParam));
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == Handle())
            ::ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Handle()) view.ReleaseMouseCapture();
        return 0;
    case WM_KEYDOWN:
        if (FForm->OverlayKeyDown(int(wParam), (::GetKeyState(VK_CONTROL) & 0x8000) != 0)) return 0;
        break;
    case WM_CHAR:
        FForm->KeyPress(static_cast<wchar_t>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == CaretTimerId) {
            FForm->TimerTick();
            return 0;
        }
        break;
    case WM_ACTIVATEAPP:
        if (wParam) FForm->ApplicationActivated();
        // Another application came forward during a capture: stay on top.
        if (!wParam && OverlayShowing())
            ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    case WM_CLOSE:
        FForm->Close();
        return 0;
    }
    return DefaultProc(msg, wParam, lParam);
}
