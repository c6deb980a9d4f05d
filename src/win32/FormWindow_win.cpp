#include "win32/FormWindow_win.h"

#include "widgets/OrvikComboBox.h"
#include "win32/BufferPaint_win.h"

#include <commctrl.h>
#include <vector>

// The system list behind one combo box: a child COMBOBOX with an empty
// window region, so only its pop-up is ever seen.
class TFormWindow::TComboListWindow final : public TComboList {
public:
    TComboListWindow(TFormWindow& host, TOrvikComboBox& combo)
        : FHost(host), FCombo(combo), FId(host.FNextComboId++) {
        // Registered first: the list asks its parent for item sizes while it
        // is being created.
        FHost.FCombos[FId] = this;
        FWnd.reset(::CreateWindowExW(0, WC_COMBOBOXW, L"",
                                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST |
                                         CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                     0, 0, 10, 10, host.Handle(),
                                     reinterpret_cast<HMENU>(INT_PTR(FId)), AppInstance(),
                                     nullptr));
        if (!FWnd) {
            FHost.FCombos.erase(FId);
            throw std::runtime_error("CreateWindowEx(COMBOBOX) failed");
        }
        ::SetWindowRgn(FWnd.get(), ::CreateRectRgn(0, 0, 0, 0), FALSE);
    }
    ~TComboListWindow() override { FHost.FCombos.erase(FId); }

    void SetItems(const std::vector<std::wstring>& items) override {
        ::SendMessageW(FWnd.get(), CB_RESETCONTENT, 0, 0);
        for (const std::wstring& s : items)
            ::SendMessageW(FWnd.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        FCount = int(items.size());
        Place();
    }
    void SetItemIndex(int index) override {
        ::SendMessageW(FWnd.get(), CB_SETCURSEL, WPARAM(index), 0);
    }
    void SetBounds(const TRect& bounds, int itemHeight) override {
        FBounds = bounds;
        FItemHeight = std::max(itemHeight, 1);
        ::SendMessageW(FWnd.get(), CB_SETITEMHEIGHT, WPARAM(-1), std::max(bounds.Height() - 6, 1));
        ::SendMessageW(FWnd.get(), CB_SETITEMHEIGHT, 0, FItemHeight);
        Place();
    }
    void DropDown() override {
        ::SetFocus(FWnd.get());
        ::SendMessageW(FWnd.get(), CB_SHOWDROPDOWN, TRUE, 0);
    }
    bool DroppedDown() const override {
        return ::SendMessageW(FWnd.get(), CB_GETDROPPEDSTATE, 0, 0) != 0;
    }

    TOrvikComboBox& Combo() const { return FCombo; }
    HWND Handle() const { return FWnd.get(); }
    int ItemHeight() const { return FItemHeight; }

private:
    void Place() {
        // The height given to a drop-down list sets its pop-up's height.
        const int shown = std::clamp(FCount, 1, 12);
        ::MoveWindow(FWnd.get(), FBounds.Left, FBounds.Top, FBounds.Width(),
                     FBounds.Height() + shown * FItemHeight + 2, FALSE);
    }

    TFormWindow& FHost;
    TOrvikComboBox& FCombo;
    int FId;
    unique_hwnd FWnd;
    TRect FBounds{0, 0, 10, 10};
    int FItemHeight = 16;
    int FCount = 0;
};

TFormWindow::TFormWindow(TForm& form, const TFormWindowStyle& style) : FForm(form), FStyle(style) {
    RegisterWindowClass({.Name = style.ClassName, .Style = CS_DBLCLKS});
    const TRect b = form.ScreenBounds();
    CreateHandle(style.ClassName, form.Caption.c_str(), style.Style | WS_CLIPCHILDREN,
                 style.ExStyle, b.Left, b.Top, b.Width(), b.Height(), style.Owner);
    FToolTip.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                     AppInstance(), nullptr));
    FForm.SetHost(this);
}

TFormWindow::~TFormWindow() {
    FForm.SetHost(nullptr); // drops the combo lists while the parent lives
    for (const auto& [id, timer] : FTimers)
        ::KillTimer(Handle(), id);
    FTimers.clear();
    FToolTip.reset();
    DestroyHandle();
}

void TFormWindow::InvalidateArea(const TRect& area) {
    const RECT r{area.Left, area.Top, area.Right, area.Bottom};
    ::InvalidateRect(Handle(), &r, FALSE);
}

void TFormWindow::ShowWindow() {
    ::ShowWindow(Handle(), FStyle.Activate ? SW_SHOW : SW_SHOWNOACTIVATE);
}

void TFormWindow::HideWindow() {
    if (::GetCapture() == Handle()) ::ReleaseCapture();
    ::ShowWindow(Handle(), SW_HIDE);
}

void TFormWindow::PlaceWindow(const TRect& b) {
    ::SetWindowPos(Handle(), nullptr, b.Left, b.Top, b.Width(), b.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormWindow::BringToFront() {
    const bool topmost = (FStyle.ExStyle & WS_EX_TOPMOST) != 0;
    ::SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFormWindow::StartTimer(TTimer& timer) {
    StopTimer(timer);
    const UINT_PTR id = FNextTimerId++;
    if (::SetTimer(Handle(), id, timer.Interval(), nullptr)) FTimers[id] = &timer;
}

void TFormWindow::StopTimer(TTimer& timer) {
    for (auto it = FTimers.begin(); it != FTimers.end(); ++it)
        if (it->second == &timer) {
            ::KillTimer(Handle(), it->first);
            FTimers.erase(it);
            return;
        }
}

TRect TFormWindow::PrimaryWorkArea() const {
    RECT r{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
        r = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return {r.left, r.top, r.right, r.bottom};
}

std::unique_ptr<TComboList> TFormWindow::CreateComboList(TOrvikComboBox& combo) {
    return std::make_unique<TComboListWindow>(*this, combo);
}

void TFormWindow::SyncHints() {
    FHintsStale = false;
    if (!FToolTip) return;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = Handle();
    for (int i = 0; i < FToolCount; ++i) {
        ti.uId = UINT_PTR(i);
        ::SendMessageW(FToolTip.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    FToolCount = 0;
    for (const TGraphicControl* c : FForm.Controls()) {
        if (!c->Visible() || c->Hint().empty()) continue;
        ti.uFlags = TTF_SUBCLASS;
        ti.uId = UINT_PTR(FToolCount++);
        const TRect& b = c->BoundsRect();
        ti.rect = {b.Left, b.Top, b.Right, b.Bottom};
        ti.lpszText = const_cast<wchar_t*>(c->Hint().c_str()); // copied by the tooltip
        ::SendMessageW(FToolTip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TFormWindow::Paint() {
    PaintFromBuffer(Handle(), FForm.Buffer(), [&] { return FForm.PaintDirty(); });
}

bool TFormWindow::DrawComboItem(const DRAWITEMSTRUCT& item) {
    auto it = FCombos.find(int(item.CtlID));
    if (it == FCombos.end()) return false;
    const RECT& rc = item.rcItem;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return true;
    // Drawn at the item's own place in a bitmap that reaches it.
    TBitmap32 bmp(rc.right, rc.bottom);
    it->second->Combo().DrawItem(bmp, ToRect(rc), int(item.itemID),
                                 (item.itemState & ODS_SELECTED) != 0);
    BlitBitmap32(item.hDC, bmp, ToRect(rc));
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT))
        ::DrawFocusRect(item.hDC, &rc);
    return true;
}

LRESULT TFormWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == Handle()) {
            POINT p{};
            ::GetCursorPos(&p);
            ::ScreenToClient(Handle(), &p);
            ::SetCursor(SystemCursor(FForm.CursorAt(p.x, p.y)));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (!FTrackingLeave) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
            FTrackingLeave = ::TrackMouseEvent(&tme) != FALSE;
        }
        if (FHintsStale) SyncHints();
        FForm.MouseMove(DecodeViewMouse(msg, wParam, lParam));
        return 0;
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        FForm.MouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        ::SetCapture(Handle());
        FForm.MouseDown(DecodeViewMouse(msg, wParam, lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const TViewMouse m = DecodeViewMouse(msg, wParam, lParam);
        // The form first: releasing the capture tells it the mouse is lost.
        FForm.MouseUp(m);
        if (!m.Shift.AnyButton() && ::GetCapture() == Handle()) ::ReleaseCapture();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Handle()) FForm.CaptureLost();
        return 0;
    case WM_TIMER:
        if (auto it = FTimers.find(wParam); it != FTimers.end()) {
            it->second->Fire();
            return 0;
        }
        break;
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mi->CtlType == ODT_COMBOBOX) {
            auto it = FCombos.find(int(mi->CtlID));
            mi->itemHeight = UINT(it != FCombos.end() ? it->second->ItemHeight() : 16);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (di->CtlType == ODT_COMBOBOX && DrawComboItem(*di)) return TRUE;
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            auto it = FCombos.find(int(LOWORD(wParam)));
            if (it != FCombos.end()) {
                const int index = int(::SendMessageW(it->second->Handle(), CB_GETCURSEL, 0, 0));
                it->second->Combo().ListSelChange(index);
                return 0;
            }
        }
        break;
    case WM_MOUSEACTIVATE:
        // Panels and notifications never take the focus from the window the
        // user works in (the overlay keeps its keys).
        if (!FStyle.Activate) return MA_NOACTIVATE;
        break;
    case WM_KEYDOWN: {
        TShiftState shift;
        if (::GetKeyState(VK_SHIFT) & 0x8000) shift = shift | ssShift;
        if (::GetKeyState(VK_CONTROL) & 0x8000) shift = shift | ssCtrl;
        if (::GetKeyState(VK_MENU) & 0x8000) shift = shift | ssAlt;
        FForm.KeyDown(int(wParam), shift);
        return 0;
    }
    case WM_CLOSE:
        FForm.Close();
        return 0;
    }
    return DefaultProc(msg, wParam, lParam);
}
