// Capture latency as a user feels it: from the injected Print Screen to the
// first dimmed overlay pixel on the X screen, seen by a thread polling one
// screen pixel, against a bare BitBlt of the whole screen in the same run.
// A white window lies under the overlay so that the dimming changes the
// polled pixel. Two targets: the overlay hosted here with its own registered
// hotkey (same window class and WM_HOTKEY path as the program, and its steps
// are timed), then the real Kadrix.exe (the total only).
// Usage: kadrix_capture_bench [tries]
#include "KadrixProcess.h"
#include "capture/CaptureTimeline.h"
#include "capture/RubberbandLayerNew.h"
#include "capture/SetRegionFormUnit_win.h"
#include "gfx/Blend.h"
#include "win32/DibSection_win.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {
using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Ms(TClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(q * double(v.size() - 1) + 0.5))];
}

void PumpFor(std::chrono::milliseconds d) {
    WaitUntil([] { return false; }, d);
}

COLORREF ScreenPixel(HDC screen, int x, int y) {
    return ::GetPixel(screen, x, y) & 0xFFFFFF;
}

// Sleeps below the millisecond: the poller must sample at 1 kHz or faster
// without spinning a core the program under test needs.
void ShortSleep(std::chrono::microseconds d) {
    using TNtDelay = LONG(WINAPI*)(BOOLEAN, const LARGE_INTEGER*);
    static const auto delay = reinterpret_cast<TNtDelay>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDelayExecution")));
    if (!delay) {
        ::Sleep(1);
        return;
    }
    LARGE_INTEGER t;
    t.QuadPart = -static_cast<LONGLONG>(d.count()) * 10;
    delay(FALSE, &t);
}

// Watches one screen pixel from its own thread; Arm() takes the current
// value as the baseline, Changed() tells when it first differed.
class TPixelProbe {
public:
    TPixelProbe(int x, int y) : FX(x), FY(y), FThread([this] { Run(); }) {}
    ~TPixelProbe() {
        FStop = true;
        FThread.join();
    }
    TPixelProbe(const TPixelProbe&) = delete;
    TPixelProbe& operator=(const TPixelProbe&) = delete;

    void Arm(COLORREF baseline) {
        FBaseline = baseline;
        FSeenAt = 0;
        FArmed = true;
    }
    void Disarm() { FArmed = false; }
    // Zero until a sample differed from the baseline.
    TClock::time_point ChangedAt() const {
        return TClock::time_point(TClock::duration(FSeenAt.load()));
    }
    COLORREF Seen() const { return FSeen; }
    COLORREF Last() const { return FLast; }
    double SamplesPerSecond() const { return FSamples / std::max(1e-9, Ms(FPolling) / 1000.0); }

private:
    void Run() {
        TWindowDC screen(nullptr);
        auto last = TClock::now();
        while (!FStop) {
            const COLORREF c = ScreenPixel(screen.get(), FX, FY);
            const auto now = TClock::now();
            FLast = c;
            if (FArmed) {
                ++FSamples;
                FPolling += now - last;
                if (c != FBaseline && FSeenAt == 0) {
                    FSeen = c;
                    FSeenAt = now.time_since_epoch().count();
                }
            }
            last = now;
            ShortSleep(400us);
        }
    }

    const int FX, FY;
    std::atomic<bool> FStop{false}, FArmed{false};
    std::atomic<COLORREF> FBaseline{0}, FSeen{0}, FLast{0};
    std::atomic<TClock::rep> FSeenAt{0};
    double FSamples = 0;
    TClock::duration FPolling{};
    std::thread FThread;
};

// A plain white topmost window over the screen: what the dimming darkens.
class TWhiteWindow {
public:
    TWhiteWindow(int w, int h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"KadrixBenchWhite";
        ::RegisterClassW(&wc);
        FWnd.reset(::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"white", WS_POPUP, 0, 0, w,
                                     h, nullptr, nullptr, wc.hInstance, nullptr));
        ::ShowWindow(FWnd.get(), SW_SHOW);
        Front();
    }
    void Front() const {
        ::SetForegroundWindow(FWnd.get());
        ::UpdateWindow(FWnd.get());
    }

private:
    unique_hwnd FWnd;
};

double BareBlitMs(TDibSection& dib) {
    const auto t0 = TClock::now();
    {
        TWindowDC screen(::GetDesktopWindow());
        ::BitBlt(dib.DC(), 0, 0, dib.Width(), dib.Height(), screen.get(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    return Ms(TClock::now() - t0);
}

struct TTry {
    double Blit = 0, ColdBlit = 0, Total = 0;
    std::vector<double> Steps; // per breakdown column; empty for Kadrix.exe
};

// The columns of the breakdown: the step each one ends at, after the one before.
struct TColumn {
    const char* Name;
    TCaptureStep From, To;
};
constexpr TColumn Columns[] = {
    {"grab", TCaptureStep::GrabStart, TCaptureStep::Grabbed},
    {"convert", TCaptureStep::Grabbed, TCaptureStep::Converted},
    {"prepare", TCaptureStep::Converted, TCaptureStep::ShowStart},
    {"show", TCaptureStep::ShowStart, TCaptureStep::PaintStart},
    {"compose", TCaptureStep::PaintStart, TCaptureStep::Composed},
    {"blit", TCaptureStep::Composed, TCaptureStep::Painted},
    {"after paint", TCaptureStep::Painted, TCaptureStep::HotKeyDone},
};

class TBench {
public:
    TBench(int w, int h) : FW(w), FH(h), FWhite(w, h), FProbe(w / 3, h / 3), FDib(w, h) {
        // The pointer (and the hint box that follows it) far from the probe.
        MoveMouseTo(w - 5, h - 5);
        const TColor32 dimmed = BlendColor32(DimColor, 0xFFFFFFFFu);
        FExpected = RGB((dimmed >> 16) & 255, (dimmed >> 8) & 255, dimmed & 255);
    }

    // overlayShown: whether the overlay under test is up.
    std::vector<TTry> Run(int tries, const std::function<bool()>& overlayShown, bool timed) {
        std::vector<TTry> result;
        for (int i = 0; i < tries; ++i) {
            if (!Settle(overlayShown)) {
                std::printf("  the desktop did not settle; try %d skipped\n", i);
                continue;
            }
            TTry t;
            t.Blit = BareBlitMs(FDib);
            {
                TDibSection fresh(FW, FH);
                t.ColdBlit = BareBlitMs(fresh);
            }
            PumpFor(50ms);
            FProbe.Arm(White);
            const auto t0 = TClock::now();
            SendKey(VK_SNAPSHOT, false);
            SendKey(VK_SNAPSHOT, true);
            const bool seen =
                WaitUntilFast([&] { return FProbe.ChangedAt() != TClock::time_point{}; }, 3s);
            FProbe.Disarm();
            if (!seen) {
                std::printf("  no overlay pixel within 3 s; try %d skipped\n", i);
                Close(overlayShown);
                continue;
            }
            if (FProbe.Seen() != FExpected)
                std::printf("  first changed pixel %06lx, not the dimmed white %06lx\n",
                            FProbe.Seen(), FExpected);
            const auto visible = FProbe.ChangedAt();
            t.Total = Ms(visible - t0);
            if (timed) {
                const TCaptureTimeline& tl = CaptureTimeline;
                for (const TColumn& c : Columns)
                    t.Steps.push_back(Ms(tl.At(c.To) - tl.At(c.From)));
                t.Steps.insert(t.Steps.begin(), Ms(tl.At(TCaptureStep::HotKey) - t0));
                t.Steps.push_back(Ms(visible - tl.At(TCaptureStep::HotKeyDone)));
            }
            result.push_back(t);
            Close(overlayShown);
        }
        return result;
    }

    void Report(const char* target, const std::vector<TTry>& tries) const {
        if (tries.empty()) {
            std::printf("%s: no valid try\n", target);
            return;
        }
        std::vector<double> blit, cold, total;
        for (const TTry& t : tries) {
            blit.push_back(t.Blit);
            cold.push_back(t.ColdBlit);
            total.push_back(t.Total);
        }
        const double b = Quantile(blit, 0.5), k = Quantile(total, 0.5);
        std::printf("%s, %dx%d, %zu tries (probe %.0f Hz):\n", target, FW, FH, tries.size(),
                    FProbe.SamplesPerSecond());
        std::printf("  bare BitBlt     median %7.2f ms  (p10 %.2f, p90 %.2f)\n", b,
                    Quantile(blit, 0.1), Quantile(blit, 0.9));
        std::printf("  key to pixel    median %7.2f ms  (p10 %.2f, p90 %.2f, min %.2f, max %.2f)\n",
                    k, Quantile(total, 0.1), Quantile(total, 0.9), Quantile(total, 0),
                    Quantile(total, 1));
        std::printf("  bare BitBlt into fresh memory: median %.2f ms\n", Quantile(cold, 0.5));
        std::printf("  ratio key-to-pixel / bare BitBlt: %.2fx (%.2fx against fresh memory)\n",
                    k / b, k / Quantile(cold, 0.5));
        if (tries.front().Steps.empty()) return;
        std::vector<const char*> names{"hotkey"};
        for (const TColumn& c : Columns)
            names.push_back(c.Name);
        names.push_back("to screen");
        std::printf("  breakdown (median ms):");
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::vector<double> v;
            for (const TTry& t : tries)
                v.push_back(t.Steps[i]);
            std::printf(" %s %.2f%s", names[i], Quantile(v, 0.5), i + 1 < names.size() ? "," : "");
        }
        std::printf("\n");
    }

private:
    static constexpr COLORREF White = 0xFFFFFF;

    // Like WaitUntil, at a finer step: the in-process overlay runs on this
    // thread's messages, so the wait must dispatch them promptly.
    static bool WaitUntilFast(const std::function<bool()>& pred,
                              std::chrono::milliseconds timeout) {
        const auto end = TClock::now() + timeout;
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            if (pred()) return true;
            if (TClock::now() > end) return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
    }

    void Close(const std::function<bool()>& overlayShown) {
        TapKey(VK_ESCAPE);
        WaitUntilFast([&] { return !overlayShown(); }, 3s);
    }

    // The overlay gone and the white window repainted, steadily: under Xvfb
    // an uncovered window is repainted late, and the next grab must see white.
    bool Settle(const std::function<bool()>& overlayShown) {
        if (!WaitUntilFast([&] { return !overlayShown(); }, 3s)) return false;
        FWhite.Front();
        auto since = TClock::now();
        return WaitUntilFast(
            [&] {
                if (FProbe.Last() != White) since = TClock::now();
                return TClock::now() - since > 300ms;
            },
            5s);
    }

    int FW, FH;
    TWhiteWindow FWhite;
    TPixelProbe FProbe;
    TDibSection FDib;
    COLORREF FExpected = 0;
};
} // namespace

int wmain(int argc, wchar_t** argv) {
    const int tries = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    ResetSettingsKey();
    {
        TDibSection dib(w, h);
        std::vector<double> quiet;
        for (int i = 0; i < 10; ++i)
            quiet.push_back(BareBlitMs(dib));
        std::printf("bare BitBlt with no probe running: median %.2f ms\n", Quantile(quiet, 0.5));
    }
    TBench bench(w, h);
    {
        TSetRegionWindow overlay;
        HWND wnd = overlay.Handle();
        bench.Report("overlay in this process",
                     bench.Run(
                         tries, [wnd] { return ::IsWindowVisible(wnd) != FALSE; }, true));
    }
    try {
        TKadrixProcess kadrix;
        if (!kadrix.WaitMainWindow()) {
            std::printf("Kadrix.exe: no main window\n");
            return 1;
        }
        PumpFor(1s);
        bench.Report("Kadrix.exe", bench.Run(
                                       tries,
                                       [&] {
                                           HWND o = kadrix.FindWindowOfClass(L"TSetRegionForm");
                                           return o && ::IsWindowVisible(o);
                                       },
                                       false));
    } catch (const std::exception& e) {
        std::printf("Kadrix.exe: %s\n", e.what());
        return 1;
    }
    ResetSettingsKey();
    return 0;
}
