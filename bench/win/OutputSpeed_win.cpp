// The output actions' own work at 4K as the Windows build does it, each
// against a memcpy of the same frame timed in turns: JPEG quality 90 and PNG
// encoding (libjpeg-turbo with its SIMD code, zlib), and the copy action from
// the selection to the clipboard holding the image.
#include "codecs/ImageEncoder.h"
#include "output/Clipboard_win.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
using TClock = std::chrono::steady_clock;

// Screen-like: flat panels, hard-edged glyph rows and a noisy photo area.
TBitmap32 ScreenLike(int w, int h) {
    TBitmap32 b(w, h, 0xFFF0F0F0);
    std::uint32_t seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColor32 c = 0xFFF0F0F0;
            if (x < w / 5) c = 0xFF2B2B2B;
            if ((y / 18) % 2 == 0 && ((x * 7 + y * 3) % 11) < 4 && x > w / 5) c = 0xFF101010;
            if (x > w / 2 && y > h / 2) {
                seed = seed * 1664525u + 1013904223u;
                c = 0xFF000000u | (seed >> 8);
            }
            b.SetPixel(x, y, c);
        }
    return b;
}

template <class F> double Seconds(F f) {
    const auto t0 = TClock::now();
    f();
    return std::chrono::duration<double>(TClock::now() - t0).count();
}
} // namespace

int wmain() {
    const int w = 3840, h = 2160, rounds = 5;
    const TBitmap32 frame = ScreenLike(w, h);
    std::vector<TColor32> copy(std::size_t(w) * h);
    struct TCase {
        const char* Name;
        TImageFormat Format;
    } cases[] = {{"JPEG q90", ifJpeg}, {"PNG", ifPng}};
    for (const TCase& c : cases) {
        double work = 0, yardstick = 0;
        std::size_t bytes = 0;
        for (int i = 0; i < rounds; ++i) {
            work += Seconds([&] { bytes = EncodeImage(frame, c.Format).size(); });
            yardstick += Seconds(
                [&] { std::memcpy(copy.data(), frame.Bits(), copy.size() * sizeof(TColor32)); });
        }
        std::printf("%s 3840x2160: %.1f MP/s, %.2f MB, %.1fx one memcpy of the frame\n", c.Name,
                    rounds * w * double(h) / 1e6 / work, bytes / 1e6, work / yardstick);
    }
    // Copy: cut the selection out of the working image, then the clipboard.
    double work = 0, yardstick = 0;
    for (int i = 0; i < rounds; ++i) {
        work += Seconds([&] {
            const TBitmap32 selection = frame.Crop(frame.BoundsRect());
            CopyBitmapToClipboard(nullptr, selection);
        });
        yardstick += Seconds(
            [&] { std::memcpy(copy.data(), frame.Bits(), copy.size() * sizeof(TColor32)); });
    }
    std::printf("Copy to clipboard 3840x2160: %.1f ms, %.1fx one memcpy of the frame\n",
                work / rounds * 1e3, work / yardstick);
    return 0;
}
