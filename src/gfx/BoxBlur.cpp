#include "gfx/BoxBlur.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {
// A channel sum never exceeds 255 * d, so i div d becomes (i * Mul) >> Shift
// once that is checked exact over the whole range; a plain loop of multiplies
// vectorises where a table lookup would not.
struct TDivider {
    std::uint32_t Mul = 1;
    std::uint32_t Shift = 0;

    explicit TDivider(std::uint32_t d) {
        const std::uint32_t limit = 256 * d;
        for (std::uint32_t shift = 16; shift <= 31; ++shift) {
            const std::uint64_t mul = ((std::uint64_t(1) << shift) + d - 1) / d;
            if (mul * limit > UINT32_MAX) break;
            bool exact = true;
            for (std::uint32_t i = 0; i < limit && exact; ++i)
                exact = (i * std::uint32_t(mul)) >> shift == i / d;
            if (exact) {
                Mul = std::uint32_t(mul);
                Shift = shift;
                return;
            }
        }
        throw std::invalid_argument("BoxBlur: radius too large");
    }
    std::uint32_t operator()(std::uint32_t i) const { return (i * Mul) >> Shift; }
};

// One row of the horizontal pass: out[x] = channel-wise floor of the mean of
// in[clamp(x - r)] .. in[clamp(x + r)].
void BlurRow(const std::uint8_t* in, std::uint8_t* out, int w, int r, const int* addIdx,
             const int* subIdx, const TDivider& div) {
    std::uint32_t s[4] = {0, 0, 0, 0};
    for (int j = -r; j <= r; ++j) {
        const std::uint8_t* p = in + 4 * std::clamp(j, 0, w - 1);
        for (int c = 0; c < 4; ++c)
            s[c] += p[c];
    }
    for (int x = 0; x < w; ++x) {
        const std::uint8_t* a = in + 4 * addIdx[x];
        const std::uint8_t* b = in + 4 * subIdx[x];
        for (int c = 0; c < 4; ++c) {
            out[4 * x + c] = std::uint8_t(div(s[c]));
            s[c] = s[c] + a[c] - b[c];
        }
    }
}
} // namespace

void BoxBlur(TBitmap32& image, int radius) {
    if (radius < 0 || radius > 128) throw std::invalid_argument("BoxBlur: radius out of range");
    const int w = image.Width(), h = image.Height();
    if (radius == 0 || image.Empty()) return;
    const int r = radius, d = 2 * r + 1;
    const TDivider divide{std::uint32_t(d)};
    const std::size_t rowBytes = std::size_t(w) * 4;

    auto addIdx = std::make_unique_for_overwrite<int[]>(std::size_t(w));
    auto subIdx = std::make_unique_for_overwrite<int[]>(std::size_t(w));
    for (int x = 0; x < w; ++x) {
        addIdx[x] = std::min(x + r + 1, w - 1);
        subIdx[x] = std::max(x - r, 0);
    }

    // The vertical pass runs row by row with one running sum per byte. The
    // horizontal results it still has to subtract live in a ring of d + 1
    // rows, so the image can be overwritten from the top while rows below
    // are still read unblurred.
    const int ringRows = std::min(d + 1, h);
    auto ring = std::make_unique_for_overwrite<std::uint8_t[]>(rowBytes * std::size_t(ringRows));
    auto sums = std::make_unique<std::uint16_t[]>(rowBytes);
    auto hrow = [&](int y) { return ring.get() + rowBytes * std::size_t(y % ringRows); };
    auto bytes = [&](int y) { return reinterpret_cast<std::uint8_t*>(image.Row(y)); };

    int computed = 0; // horizontal rows 0 .. computed - 1 are in the ring
    auto horizontal = [&](int y) {
        while (computed <= y) {
            BlurRow(bytes(computed), hrow(computed), w, r, addIdx.get(), subIdx.get(), divide);
            ++computed;
        }
        return hrow(y);
    };

    for (int j = -r; j <= r; ++j) {
        const std::uint8_t* src = horizontal(std::clamp(j, 0, h - 1));
        for (std::size_t i = 0; i < rowBytes; ++i)
            sums[i] = std::uint16_t(sums[i] + src[i]);
    }
    for (int y = 0; y < h; ++y) {
        // Computed before row y is overwritten: it may read row y itself.
        const std::uint8_t* add = horizontal(std::min(y + r + 1, h - 1));
        const std::uint8_t* sub = hrow(std::max(y - r, 0));
        std::uint8_t* out = bytes(y);
        std::uint16_t* s = sums.get();
        const std::uint32_t mul = divide.Mul, shift = divide.Shift;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            out[i] = std::uint8_t((std::uint32_t(s[i]) * mul) >> shift);
            s[i] = std::uint16_t(s[i] + add[i] - sub[i]);
        }
    }
}
