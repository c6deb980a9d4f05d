// PNG encoding of screen-like frames against libpng at the same settings
// (Sub filter on every row, deflate level 7, default strategy, the same
// zlib), in turns, for 1, 2 and all threads; and JPEG quality 90 at 4K.
#include "BenchTurns.h"
#include "codecs/ImageEncoder.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>
#include <zlib.h>

namespace {
using TBytes = std::vector<std::uint8_t>;

// A desktop: flat window areas with title bars, lines of text made of small
// anti-aliased glyphs, and a noisy photo in one corner.
TBitmap32 ScreenFrame(int w, int h) {
    TBitmap32 b(w, h, Color32(0x2B, 0x55, 0x7A));
    std::mt19937 rng(2024);
    b.FillRect({w / 40, h / 30, w * 3 / 5, h * 9 / 10}, Color32(250, 250, 250));
    b.FillRect({w / 40, h / 30, w * 3 / 5, h / 30 + 30}, Color32(225, 230, 238));
    b.FillRect({w * 5 / 8, h / 20, w * 39 / 40, h * 7 / 16}, Color32(36, 38, 44));

    std::vector<std::vector<std::uint8_t>> glyphs(90, std::vector<std::uint8_t>(7 * 11));
    for (auto& g : glyphs)
        for (auto& c : g)
            c = std::uint8_t(std::array<int, 4>{0, 0, 110, 255}[rng() % 4]);
    auto text = [&](const TRect& area, TColor32 ink, TColor32 paper) {
        for (int y = area.Top; y + 11 <= area.Bottom; y += 17)
            for (int x = area.Left; x + 7 <= area.Right; x += 8) {
                if (rng() % 7 == 0) {
                    x += 4; // word gap
                    continue;
                }
                const auto& g = glyphs[rng() % glyphs.size()];
                for (int gy = 0; gy < 11; ++gy)
                    for (int gx = 0; gx < 7; ++gx) {
                        const int k = g[gy * 7 + gx];
                        auto mix = [&](int shift) {
                            return std::uint8_t(
                                ((ink >> shift & 255) * k + (paper >> shift & 255) * (255 - k)) /
                                255);
                        };
                        b.SetPixel(x + gx, y + gy, Color32(mix(16), mix(8), mix(0)));
                    }
            }
    };
    text({w / 40 + 12, h / 30 + 44, w * 3 / 5 - 12, h * 9 / 10 - 10}, Color32(20, 20, 20),
         Color32(250, 250, 250));
    text({w * 5 / 8 + 10, h / 20 + 10, w * 39 / 40 - 10, h * 7 / 16 - 10}, Color32(160, 220, 140),
         Color32(36, 38, 44));

    std::normal_distribution<float> grain(0, 6);
    for (int y = h / 2; y < h * 15 / 16; ++y)
        for (int x = w * 5 / 8; x < w * 39 / 40; ++x) {
            const float u = float(x) / w, v = float(y) / h;
            auto channel = [&](float base) {
                return std::uint8_t(std::clamp(base + grain(rng), 0.0f, 255.0f));
            };
            b.SetPixel(x, y,
                       Color32(channel(120 + 90 * std::sin(u * 9 + v * 4)),
                               channel(110 + 80 * std::cos(u * 5 - v * 7)),
                               channel(90 + 60 * std::sin(u * 3 * v * 11))));
        }
    return b;
}

const TBitmap32& Frame(int w, int h) {
    static std::map<std::pair<int, int>, TBitmap32> frames;
    auto it = frames.find({w, h});
    if (it == frames.end()) it = frames.emplace(std::pair{w, h}, ScreenFrame(w, h)).first;
    return it->second;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<TBytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// libpng reads the bitmap's own rows (B, G, R, unused) through its
// transforms, as an application would hand them over.
TBytes LibpngEncode(const TBitmap32& b) {
    TBytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed");
    }
    png_set_write_fn(png, &out, WriteToVector, nullptr);
    png_set_IHDR(png, info, png_uint_32(b.Width()), png_uint_32(b.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, 7);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < b.Height(); ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(b.Row(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// An independent decoder must read back exactly the source's colours.
bool LibpngDecodesTo(const TBytes& data, const TBitmap32& source) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
    image.format = PNG_FORMAT_BGRA;
    TBitmap32 decoded(int(image.width), int(image.height));
    if (!png_image_finish_read(&image, nullptr, decoded.Bits(), 0, nullptr)) return false;
    for (std::size_t i = 0; i < source.Pixels().size(); ++i)
        if (decoded.Pixels()[i] != (source.Pixels()[i] | 0xFF000000u)) return false;
    return decoded.Width() == source.Width() && decoded.Height() == source.Height();
}

// Arguments: width, height, threads (0: one per core).
void BM_PngAgainstLibpng(benchmark::State& state) {
    const TBitmap32& frame = Frame(int(state.range(0)), int(state.range(1)));
    const unsigned threads = unsigned(state.range(2));
    TBytes ours = EncodePng(frame, threads), theirs = LibpngEncode(frame);
    if (!LibpngDecodesTo(ours, frame)) state.SkipWithError("libpng does not decode our PNG");
    TimeInTurns(
        state, "time_vs_libpng",
        [&] {
            ours = EncodePng(frame, threads);
            benchmark::DoNotOptimize(ours.data());
        },
        [&] {
            theirs = LibpngEncode(frame);
            benchmark::DoNotOptimize(theirs.data());
        });
    state.counters["threads"] = threads ? threads : std::thread::hardware_concurrency();
    state.counters["bytes"] = double(ours.size());
    state.counters["size_vs_libpng"] = double(ours.size()) / double(theirs.size());
    state.counters["MP/s"] =
        benchmark::Counter(double(state.iterations()) * frame.Width() * frame.Height() / 1e6,
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PngAgainstLibpng)
    ->ArgsProduct({{1920}, {1080}, {1, 2, 0}})
    ->ArgsProduct({{3840}, {2160}, {1, 2, 0}})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_JpegQuality90(benchmark::State& state) {
    const TBitmap32& frame = Frame(3840, 2160);
    TBytes out;
    for (auto _ : state) {
        out = EncodeJpeg(frame, 90);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = double(out.size());
    state.counters["MP/s"] =
        benchmark::Counter(double(state.iterations()) * frame.Width() * frame.Height() / 1e6,
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_JpegQuality90)->Unit(benchmark::kMillisecond);
} // namespace
