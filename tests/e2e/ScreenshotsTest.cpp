// Not a test: makes the README's pictures by driving Kadrix as a user does
// (scripts/screenshots.sh sets KADRIX_SCREENSHOTS to the output folder).
#include "KadrixProcess.h"
#include "ScreenPattern.h"
#include "codecs/ImageEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {
std::wstring OutputFolder() {
    const wchar_t* v = _wgetenv(L"KADRIX_SCREENSHOTS");
    return v ? v : L"";
}

// A calm stand-in for a desktop: a window with a title bar, text and a chart.
LRESULT CALLBACK BackdropProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_PAINT) return ::DefWindowProcW(w, m, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(w, &ps);
    RECT rc;
    ::GetClientRect(w, &rc);
    for (int y = 0; y < rc.bottom; y += 4) {
        const RECT band{0, y, rc.right, y + 4};
        unique_brush b(::CreateSolidBrush(
            RGB(40 + y * 60 / rc.bottom, 90 + y * 50 / rc.bottom, 150 + y * 60 / rc.bottom)));
        ::FillRect(dc, &band, b.get());
    }
    const RECT doc{140, 90, rc.right - 140, rc.bottom - 110};
    unique_brush white(::CreateSolidBrush(RGB(250, 250, 248)));
    ::FillRect(dc, &doc, white.get());
    const RECT bar{doc.left, doc.top, doc.right, doc.top + 34};
    unique_brush barBrush(::CreateSolidBrush(RGB(228, 232, 238)));
    ::FillRect(dc, &bar, barBrush.get());
    ::SetBkMode(dc, TRANSPARENT);
    unique_font title(::CreateFontW(-16, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                    CLEARTYPE_QUALITY, 0, L"Noto Sans"));
    unique_font body(::CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                   CLEARTYPE_QUALITY, 0, L"Noto Sans"));
    ::SelectObject(dc, title.get());
    ::SetTextColor(dc, RGB(40, 44, 52));
    ::TextOutW(dc, doc.left + 14, doc.top + 8, L"Квартальный отчёт — черновик", 28);
    ::SelectObject(dc, body.get());
    const wchar_t* lines[] = {
        L"Продажи выросли на 18 % по сравнению с прошлым кварталом.",
        L"Основной рост дали новые клиенты в регионах.",
        L"Расходы на доставку снизились после смены подрядчика.",
        L"Вопросы к обсуждению: сроки запуска, бюджет на рекламу.",
    };
    int y = doc.top + 60;
    for (const wchar_t* line : lines) {
        ::TextOutW(dc, doc.left + 24, y, line, int(wcslen(line)));
        y += 28;
    }
    const COLORREF colours[] = {RGB(66, 133, 244), RGB(52, 168, 83), RGB(251, 188, 5),
                                RGB(234, 67, 53)};
    const int base = doc.bottom - 40, heights[] = {120, 170, 150, 210, 190, 240};
    for (int i = 0; i < 6; ++i) {
        const RECT col{doc.left + 40 + i * 70, base - heights[i], doc.left + 90 + i * 70, base};
        unique_brush b(::CreateSolidBrush(colours[i % 4]));
        ::FillRect(dc, &col, b.get());
    }
    ::EndPaint(w, &ps);
    return 0;
}

class TBackdrop {
public:
    TBackdrop(int w, int h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &BackdropProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KadrixScreenshotBackdrop";
        ::RegisterClassW(&wc);
        FWnd.reset(::CreateWindowExW(0, wc.lpszClassName, L"backdrop", WS_POPUP, 0, 0, w, h,
                                     nullptr, nullptr, wc.hInstance, nullptr));
        ::ShowWindow(FWnd.get(), SW_SHOW);
        ::SetForegroundWindow(FWnd.get());
        ::UpdateWindow(FWnd.get());
        TPatternWindow::Pump(300ms);
    }
    HWND Handle() const { return FWnd.get(); }

private:
    unique_hwnd FWnd;
};

// The screen's rectangle as PNG, through our own encoder.
void SaveScreen(const RECT& r, const std::wstring& name) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    TWindowDC screen(nullptr);
    unique_mem_dc mem(::CreateCompatibleDC(screen.get()));
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    unique_bitmap dib(::CreateDIBSection(screen.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(dib);
    const HGDIOBJ old = ::SelectObject(mem.get(), dib.get());
    ::BitBlt(mem.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    ::SelectObject(mem.get(), old);
    TBitmap32 image(w, h, 0);
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixel(x, y, src[std::size_t(y) * w + x] | 0xFF000000u);
    const std::vector<std::uint8_t> png = EncodeImage(image, ifPng);
    std::ofstream(std::filesystem::path(OutputFolder() + L"\\" + name), std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
}

RECT WindowRect(HWND w, int margin = 0) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return {r.left - margin, r.top - margin, r.right + margin, r.bottom + margin};
}

} // namespace

TEST(Screenshots, MakeTheGuidePictures) {
    if (OutputFolder().empty()) GTEST_SKIP() << "KADRIX_SCREENSHOTS not set";
    ResetSettingsKey();
    const int fw = ::GetSystemMetrics(SM_CXSCREEN), fh = ::GetSystemMetrics(SM_CYSCREEN);
    TBackdrop backdrop(fw, fh);
    TKadrixProcess kadrix;
    ASSERT_NE(kadrix.WaitMainWindow(), nullptr);
    ::SetForegroundWindow(backdrop.Handle());
    TPatternWindow::Pump(300ms);

    // A capture with a selection and a few drawings on it.
    TapKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitUntil([&] { return OverlayShown(kadrix); }, 5s));
    TPatternWindow::Pump(500ms);
    DragMouse(170, 160, 760, 560);
    TPatternWindow::Pump(600ms);
    DragMouse(600, 250, 420, 330); // the arrow is the tool a capture starts with
    if (HWND tools = kadrix.FindWindowOfClass(L"TPanelTools")) {
        const RECT t = WindowRect(tools);
        ClickAt(t.left + 76 + 19, t.top + 19); // rectangle
        DragMouse(200, 400, 520, 540);
        ClickAt(t.left + 314 + 19, t.top + 19); // numbering
        ClickAt(640, 420);
        ClickAt(560, 480);
    }
    MoveMouseTo(fw - 10, fh - 10);
    TPatternWindow::Pump(800ms);
    SaveScreen({0, 0, fw, fh}, L"editor.png");

    // Ctrl+C: the notification in the corner.
    TapKey('C', {VK_CONTROL});
    HWND hint = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            hint = kadrix.FindWindowOfClass(L"TBHintForm");
            return hint && ::IsWindowVisible(hint);
        },
        5s));
    TPatternWindow::Pump(900ms);
    RECT h = WindowRect(hint, 24);
    h.right = std::min<LONG>(h.right, fw); // a grab past the screen's edge comes back black
    h.bottom = std::min<LONG>(h.bottom, fh);
    SaveScreen(h, L"notification.png");

    // The settings dialog, opened by starting Kadrix a second time.
    TKadrixProcess second;
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            settings = kadrix.FindWindowOfClass(L"TSettingForm");
            return settings && ::IsWindowVisible(settings);
        },
        10s));
    TPatternWindow::Pump(800ms);
    SaveScreen(WindowRect(settings, 16), L"settings.png");
    ::PostMessageW(settings, WM_CLOSE, 0, 0);
    ResetSettingsKey();
}
