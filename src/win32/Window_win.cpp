#include "win32/Window_win.h"

#include "support/DebugTrace.h"
#include "support/Utilities_win.h"

#include <stdexcept>
#include <utility>
#include <windowsx.h>

TViewMouse DecodeViewMouse(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    TViewMouse m;
    m.X = GET_X_LPARAM(lParam);
    m.Y = GET_Y_LPARAM(lParam);
    switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        m.Button = mbRight;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        m.Button = mbMiddle;
        break;
    default:
        m.Button = mbLeft;
    }
    if (wParam & MK_LBUTTON) m.Shift = m.Shift | ssLeft;
    if (wParam & MK_RBUTTON) m.Shift = m.Shift | ssRight;
    if (wParam & MK_MBUTTON) m.Shift = m.Shift | ssMiddle;
    if (wParam & MK_SHIFT) m.Shift = m.Shift | ssShift;
    if (wParam & MK_CONTROL) m.Shift = m.Shift | ssCtrl;
    // Mouse messages carry no Alt flag.
    if (::GetKeyState(VK_MENU) & 0x8000) m.Shift = m.Shift | ssAlt;
    if (msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK)
        m.Shift = m.Shift | ssDouble;
    return m;
}

TWindow::~TWindow() {
    DestroyHandle();
}

void TWindow::RegisterWindowClass(const TClassInfo& info) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(AppInstance(), info.Name, &wc)) return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = info.Style;
    wc.lpfnWndProc = &TWindow::Trampoline;
    wc.hInstance = AppInstance();
    wc.hIcon = info.Icon;
    wc.hCursor = info.Cursor ? info.Cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = info.Background;
    wc.lpszClassName = info.Name;
    if (!::RegisterClassExW(&wc)) throw std::runtime_error("RegisterClassEx failed");
}

void TWindow::CreateHandle(const wchar_t* className, const wchar_t* caption, DWORD style,
                           DWORD exStyle, int x, int y, int width, int height, HWND owner) {
    HWND wnd = ::CreateWindowExW(exStyle, className, caption, style, x, y, width, height, owner,
                                 nullptr, AppInstance(), this);
    if (!wnd) throw std::runtime_error("CreateWindowEx failed");
}

void TWindow::DestroyHandle() noexcept {
    if (!FHandle) return;
    // Detach first: a derived object may already be gone when the
    // destruction messages arrive.
    ::SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    ::DestroyWindow(std::exchange(FHandle, nullptr));
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(msg, wParam, lParam);
}

LRESULT TWindow::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return ::DefWindowProcW(FHandle, msg, wParam, lParam);
}

LRESULT CALLBACK TWindow::Trampoline(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<TWindow*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->FHandle = wnd;
            ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->WndProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION WndProc: ", e);
        result = ::DefWindowProcW(wnd, msg, wParam, lParam);
    } catch (...) {
        DebugTrace(L"EXCEPTION WndProc");
        result = ::DefWindowProcW(wnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        // The window's last message: it is gone whoever destroyed it, so the
        // object forgets it and nothing later reaches the object through it.
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        self->FHandle = nullptr;
    }
    return result;
}

HINSTANCE AppInstance() noexcept {
    return ::GetModuleHandleW(nullptr);
}

std::wstring ExeDirectory() {
    std::wstring path = ExeFullPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}
