// Peak private bytes of Kadrix.exe while it captures the whole screen, as a
// multiple of one frame (width x height x 4). A thread samples the process's
// private bytes at about 1 kHz from the moment the hotkey is sent until the
// overlay has been up a while (Wine keeps no peak of its own), and the
// system's peak figure is taken too where it keeps one. Each capture shows
// the overlay, then a selection starts the editor. Two captures in a row:
// the second one meets whatever the first left behind.
#include "KadrixProcess.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {
using namespace std::chrono_literals;

PROCESS_MEMORY_COUNTERS_EX Counters(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
    return pmc;
}

// Wine reports the private bytes as the page-file usage only.
double PrivateBytes(const PROCESS_MEMORY_COUNTERS_EX& pmc) {
    return double(std::max<SIZE_T>(pmc.PrivateUsage, pmc.PagefileUsage));
}

// The highest private bytes seen while it lives.
class TPeakSampler {
public:
    explicit TPeakSampler(HANDLE process)
        : FProcess(process), FThread([this] {
              while (!FStop) {
                  const auto pmc = Counters(FProcess);
                  FPeak = std::max(
                      {FPeak.load(), pmc.PrivateUsage, pmc.PagefileUsage, pmc.PeakPagefileUsage});
                  ::Sleep(1);
              }
          }) {}
    ~TPeakSampler() { Stop(); }
    TPeakSampler(const TPeakSampler&) = delete;
    TPeakSampler& operator=(const TPeakSampler&) = delete;
    SIZE_T Stop() {
        FStop = true;
        if (FThread.joinable()) FThread.join();
        return FPeak;
    }

private:
    HANDLE FProcess;
    std::atomic<bool> FStop{false};
    std::atomic<SIZE_T> FPeak{0};
    std::thread FThread;
};

void Pause(std::chrono::milliseconds d) {
    WaitUntil([] { return false; }, d);
}

// A drag as a hand makes it; the pointer goes to the start twice, since a
// window just mapped can report X's stale pointer position once.
void Select(int x0, int y0, int x1, int y1) {
    MoveMouseTo(x0 + 1, y0 + 1);
    Pause(200ms);
    MoveMouseTo(x0, y0);
    Pause(300ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 8; ++i) {
        Pause(60ms);
        MoveMouseTo(x0 + (x1 - x0) * i / 8, y0 + (y1 - y0) * i / 8);
    }
    Pause(200ms);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
}

bool OverlayShown(const TKadrixProcess& p) {
    HWND overlay = p.FindWindowOfClass(L"TSetRegionForm");
    return overlay && ::IsWindowVisible(overlay);
}
} // namespace

int wmain() {
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
              h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const double frame = double(w) * h * 4;
    const double mb = 1024.0 * 1024.0;
    ResetSettingsKey();
    TKadrixProcess kadrix;
    if (!kadrix.WaitMainWindow()) {
        std::printf("Kadrix.exe: no main window\n");
        return 1;
    }
    Pause(2s);
    std::printf("screen %dx%d, one frame %.1f MB\n", w, h, frame / mb);
    for (int capture = 1; capture <= 2; ++capture) {
        const double before = PrivateBytes(Counters(kadrix.Process()));
        TPeakSampler sampler(kadrix.Process());
        TapKey(VK_SNAPSHOT);
        const bool shown = WaitUntil([&] { return OverlayShown(kadrix); }, 30s);
        Pause(2s);                          // the work that follows the first frame
        Select(w / 4, h / 4, w / 2, h / 2); // the editor starts: the tools' draw image
        Pause(2s);
        const double peak = double(sampler.Stop());
        const double open = PrivateBytes(Counters(kadrix.Process()));
        TapKey(VK_ESCAPE);
        WaitUntil([&] { return !OverlayShown(kadrix); }, 10s);
        Pause(1s);
        const double after = PrivateBytes(Counters(kadrix.Process()));
        if (!shown) std::printf("capture %d: the overlay did not show\n", capture);
        std::printf("capture %d: private bytes before %.1f MB, peak %.1f MB = %.2fx the frame "
                    "(%.2fx above before), overlay open %.1f MB, closed %.1f MB\n",
                    capture, before / mb, peak / mb, peak / frame, (peak - before) / frame,
                    open / mb, after / mb);
    }
    ResetSettingsKey();
    return 0;
}
