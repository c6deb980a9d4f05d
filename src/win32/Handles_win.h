#pragma once
// One move-only owner template for every Win32 handle kind. Each kind is
// declared in one line with its close function, so no hand-written wrapper
// can forget (or double) a release.
#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <utility>

// InvalidValue is the "no handle" value as an integer (-1 for find handles).
template <typename H, auto Close, std::intptr_t InvalidValue = 0> class TUniqueHandle {
    static H InvalidHandle() noexcept {
        if constexpr (std::is_pointer_v<H>)
            return reinterpret_cast<H>(InvalidValue);
        else
            return static_cast<H>(InvalidValue);
    }
    static inline const H Invalid = InvalidHandle();

public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(H h) noexcept : FHandle(h) {}
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;
    TUniqueHandle(TUniqueHandle&& o) noexcept : FHandle(std::exchange(o.FHandle, Invalid)) {}
    TUniqueHandle& operator=(TUniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.FHandle, Invalid));
        return *this;
    }
    ~TUniqueHandle() { reset(); }

    H get() const noexcept { return FHandle; }
    explicit operator bool() const noexcept { return FHandle != Invalid; }
    H release() noexcept { return std::exchange(FHandle, Invalid); }
    void reset(H h = Invalid) noexcept {
        if (FHandle != Invalid) Close(FHandle);
        FHandle = h;
    }

private:
    H FHandle = InvalidHandle();
};

namespace handles_detail {
inline void CloseKernel(HANDLE h) {
    ::CloseHandle(h);
}
inline void CloseGdi(HGDIOBJ h) {
    ::DeleteObject(h);
}
inline void CloseIcon(HICON h) {
    ::DestroyIcon(h);
}
inline void CloseKey(HKEY h) {
    ::RegCloseKey(h);
}
inline void CloseMenu(HMENU h) {
    ::DestroyMenu(h);
}
inline void CloseWindow(HWND h) {
    ::DestroyWindow(h);
}
inline void CloseDc(HDC h) {
    ::DeleteDC(h);
}
inline void CloseHook(HHOOK h) {
    ::UnhookWindowsHookEx(h);
}
inline void CloseFind(HANDLE h) {
    ::FindClose(h);
}
inline void CloseGlobal(HGLOBAL h) {
    ::GlobalFree(h);
}
inline void CloseModule(HMODULE h) {
    ::FreeLibrary(h);
}
} // namespace handles_detail

using unique_handle = TUniqueHandle<HANDLE, handles_detail::CloseKernel>;
using unique_bitmap = TUniqueHandle<HBITMAP, handles_detail::CloseGdi>;
using unique_brush = TUniqueHandle<HBRUSH, handles_detail::CloseGdi>;
using unique_font = TUniqueHandle<HFONT, handles_detail::CloseGdi>;
using unique_pen = TUniqueHandle<HPEN, handles_detail::CloseGdi>;
using unique_rgn = TUniqueHandle<HRGN, handles_detail::CloseGdi>;
using unique_icon = TUniqueHandle<HICON, handles_detail::CloseIcon>;
using unique_hkey = TUniqueHandle<HKEY, handles_detail::CloseKey>;
using unique_menu = TUniqueHandle<HMENU, handles_detail::CloseMenu>;
using unique_hwnd = TUniqueHandle<HWND, handles_detail::CloseWindow>;
using unique_mem_dc = TUniqueHandle<HDC, handles_detail::CloseDc>;
using unique_hook = TUniqueHandle<HHOOK, handles_detail::CloseHook>;
using unique_find = TUniqueHandle<HANDLE, handles_detail::CloseFind, -1>;
// CreateFile's "no handle" is INVALID_HANDLE_VALUE, not null.
using unique_file = TUniqueHandle<HANDLE, handles_detail::CloseKernel, -1>;
using unique_hglobal = TUniqueHandle<HGLOBAL, handles_detail::CloseGlobal>;
using unique_module = TUniqueHandle<HMODULE, handles_detail::CloseModule>;

// A window DC obtained with GetDC and given back with ReleaseDC.
class TWindowDC {
public:
    explicit TWindowDC(HWND wnd) noexcept : FWnd(wnd), FDC(::GetDC(wnd)) {}
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    ~TWindowDC() {
        if (FDC) ::ReleaseDC(FWnd, FDC);
    }
    HDC get() const noexcept { return FDC; }
    explicit operator bool() const noexcept { return FDC != nullptr; }

private:
    HWND FWnd;
    HDC FDC;
};

// BeginPaint/EndPaint pair for WM_PAINT.
class TPaintDC {
public:
    explicit TPaintDC(HWND wnd) noexcept : FWnd(wnd) { FDC = ::BeginPaint(wnd, &FPaint); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    ~TPaintDC() { ::EndPaint(FWnd, &FPaint); }
    HDC get() const noexcept { return FDC; }
    const RECT& Area() const noexcept { return FPaint.rcPaint; }

private:
    HWND FWnd;
    PAINTSTRUCT FPaint{};
    HDC FDC;
};

// Selects a GDI object into a DC and restores the previous one on scope exit.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ obj) noexcept : FDC(dc), FOld(::SelectObject(dc, obj)) {}
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;
    ~TSelectObject() { ::SelectObject(FDC, FOld); }

private:
    HDC FDC;
    HGDIOBJ FOld;
};
