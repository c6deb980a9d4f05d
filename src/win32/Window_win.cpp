#include "win32/Window_win.h"

#include "settings/SettingsUnit_win.h"
#include "support/DebugTrace.h"

#include <stdexcept>
#include <vector>
#include <windowsx.h>

TMouseArgs DecodeMouse(WPARAM wParam, LPARAM lParam) noexcept {
    TMouseArgs a;
    a.X = GET_X_LPARAM(lParam);
    a.Y = GET_Y_LPARAM(lParam);
    a.Left = (wParam & MK_LBUTTON) != 0;
    a.Right = (wParam & MK_RBUTTON) != 0;
    a.Middle = (wParam & MK_MBUTTON) != 0;
    a.Shift = (wParam & MK_SHIFT) != 0;
    a.Ctrl = (wParam & MK_CONTROL) != 0;
    a.Alt = (::GetKeyState(VK_MENU) & 0x8000) != 0;
    return a;
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
        self->FHandle = wnd;
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION WndProc: ", e);
    } catch (...) {
        DebugTrace(L"EXCEPTION WndProc");
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

HINSTANCE AppInstance() noexcept {
    return ::GetModuleHandleW(nullptr);
}

std::wstring ExeDirectory() {
    std::wstring path = ExeFullPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}
