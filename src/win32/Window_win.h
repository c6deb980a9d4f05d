#pragma once
// Base of every form: one window class per form (registered under the form's
// class name), one noexcept window-procedure trampoline that binds the C++
// object in WM_NCCREATE and keeps it in GWLP_USERDATA until WM_NCDESTROY.
// Everything WndProc touches must exist before CreateHandle: the first
// messages arrive inside it. Handlers must not let exceptions cross into the
// system; the trampoline swallows any that do.
#include "gfx/ViewMouse.h"
#include "win32/Handles_win.h"

#include <string>

// Decodes a client-area mouse message (button down, up, double click, move)
// once, so handlers never unpack WPARAM/LPARAM themselves.
TViewMouse DecodeViewMouse(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

class TWindow {
public:
    TWindow() = default;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    HWND Handle() const noexcept { return FHandle; }

protected:
    struct TClassInfo {
        const wchar_t* Name;
        UINT Style = 0;
        HICON Icon = nullptr;
        HCURSOR Cursor = nullptr;
        HBRUSH Background = nullptr;
    };
    // Registers the class once per process; throws on failure.
    static void RegisterWindowClass(const TClassInfo& info);

    // Creates the window bound to this object; throws on failure.
    void CreateHandle(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                      int x, int y, int width, int height, HWND owner = nullptr);
    void DestroyHandle() noexcept;

    // Messages not handled return DefaultProc.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static LRESULT CALLBACK Trampoline(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    HWND FHandle = nullptr;
};

HINSTANCE AppInstance() noexcept;
std::wstring ExeDirectory(); // with a trailing backslash
