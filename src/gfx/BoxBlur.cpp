#include "gfx/BoxBlur.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// A channel sum never exceeds 255 * d, so i div d becomes (i * Mul) >> Shift
// once that is checked exact over the whole range. With Mul below 2^16 and
// Shift at least 16 it maps onto a 16-bit high multiply, eight lanes at once.
struct TDivider {
    std::uint64_t Mul = 1;
    std::uint32_t Shift = 0;

    explicit TDivider(std::uint32_t d) {
        const std::uint64_t limit = 256 * std::uint64_t(d);
        for (std::uint32_t shift = 16; shift <= 40; ++shift) {
            const std::uint64_t mul = ((std::uint64_t(1) << shift) + d - 1) / d;
            bool exact = true;
            for (std::uint64_t i = 0; i < limit && exact; ++i)
                exact = (i * mul) >> shift == i / d;
            if (exact) {
                Mul = mul;
                Shift = shift;
                return;
            }
        }
        throw std::invalid_argument("BoxBlur: radius too large");
    }
    std::uint32_t operator()(std::uint32_t i) const { return std::uint32_t((i * Mul) >> Shift); }
    bool FitsSixteenBits() const { return Mul < 0x10000 && Shift >= 16; }
};

// One row of the horizontal pass: out[x] = channel-wise floor of the mean of
// in[clamp(x - r)] .. in[clamp(x + r)].
void BlurRowScalar(const std::uint8_t* in, std::uint8_t* out, int w, int r, const int* addIdx,
                   const int* subIdx, const TDivider& divide) {
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
            out[4 * x + c] = std::uint8_t(divide(s[c]));
            s[c] = s[c] + a[c] - b[c];
        }
    }
}

// One row of the vertical pass over rowBytes channel bytes: writes the
// divided sums, then moves each sum one row down.
void VerticalStepScalar(std::uint16_t* sums, const std::uint8_t* add, const std::uint8_t* sub,
                        std::uint8_t* out, std::size_t from, std::size_t to,
                        const TDivider& divide) {
    for (std::size_t i = from; i < to; ++i) {
        out[i] = std::uint8_t(divide(sums[i]));
        sums[i] = std::uint16_t(sums[i] + add[i] - sub[i]);
    }
}

#if defined(__SSE2__)
// Two rows at once, pixel x of row a in the low four 16-bit lanes and of row
// b in the high four: the running sums are one serial chain per row, so
// pairing rows halves the instructions per pixel.
void BlurRowPairSse2(const TColor32* inA, const TColor32* inB, TColor32* outA, TColor32* outB,
                     int w, int r, const TDivider& divide) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i mul = _mm_set1_epi16(std::int16_t(divide.Mul));
    const __m128i shift = _mm_cvtsi32_si128(int(divide.Shift - 16));
    auto load = [&](int i) {
        return _mm_unpacklo_epi8(
            _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(inA[i])), _mm_cvtsi32_si128(int(inB[i]))),
            zero);
    };
    __m128i s = zero;
    for (int j = -r; j <= r; ++j)
        s = _mm_add_epi16(s, load(std::clamp(j, 0, w - 1)));
    auto step = [&](int x, int addAt, int subAt) {
        const __m128i q = _mm_srl_epi16(_mm_mulhi_epu16(s, mul), shift);
        const __m128i packed = _mm_packus_epi16(q, q);
        outA[x] = TColor32(_mm_cvtsi128_si32(packed));
        outB[x] = TColor32(_mm_cvtsi128_si32(_mm_shuffle_epi32(packed, 1)));
        s = _mm_sub_epi16(_mm_add_epi16(s, load(addAt)), load(subAt));
    };
    // Only the first r and the last r + 1 pixels need clamped neighbours.
    const int x1 = std::min(r, w), x2 = std::max(x1, w - r - 1);
    int x = 0;
    for (; x < x1; ++x)
        step(x, std::min(x + r + 1, w - 1), 0);
    for (; x < x2; ++x)
        step(x, x + r + 1, x - r);
    for (; x < w; ++x)
        step(x, w - 1, std::max(x - r, 0));
}

std::size_t VerticalStepSse2(std::uint16_t* sums, const std::uint8_t* add, const std::uint8_t* sub,
                             std::uint8_t* out, std::size_t n, const TDivider& divide) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i mul = _mm_set1_epi16(std::int16_t(divide.Mul));
    const __m128i shift = _mm_cvtsi32_si128(int(divide.Shift - 16));
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i));
        __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 8));
        const __m128i qlo = _mm_srl_epi16(_mm_mulhi_epu16(lo, mul), shift);
        const __m128i qhi = _mm_srl_epi16(_mm_mulhi_epu16(hi, mul), shift);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(qlo, qhi));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(add + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sub + i));
        lo = _mm_sub_epi16(_mm_add_epi16(lo, _mm_unpacklo_epi8(a, zero)),
                           _mm_unpacklo_epi8(b, zero));
        hi = _mm_sub_epi16(_mm_add_epi16(hi, _mm_unpackhi_epi8(a, zero)),
                           _mm_unpackhi_epi8(b, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i + 8), hi);
    }
    return i;
}
#endif
} // namespace

void BoxBlur(TBitmap32& image, int radius) {
    if (radius < 0 || radius > 128) throw std::invalid_argument("BoxBlur: radius out of range");
    const int w = image.Width(), h = image.Height();
    if (radius == 0 || image.Empty()) return;
    const int r = radius, d = 2 * r + 1;
    const TDivider divide{std::uint32_t(d)};
#if defined(__SSE2__)
    const bool simd = divide.FitsSixteenBits();
#else
    constexpr bool simd = false;
#endif
    const std::size_t rowBytes = std::size_t(w) * 4;

    auto addIdx = std::make_unique_for_overwrite<int[]>(std::size_t(w));
    auto subIdx = std::make_unique_for_overwrite<int[]>(std::size_t(w));
    for (int x = 0; x < w; ++x) {
        addIdx[x] = std::min(x + r + 1, w - 1);
        subIdx[x] = std::max(x - r, 0);
    }

    // The vertical pass runs row by row with one running sum per byte. The
    // horizontal results it still has to subtract live in a ring of d + 1
    // rows (one more for rows made in pairs), so the image can be overwritten
    // from the top while rows below are still read unblurred.
    const int ringRows = std::min(d + 2, h);
    auto ring = std::make_unique_for_overwrite<TColor32[]>(std::size_t(w) * std::size_t(ringRows));
    auto sums = std::make_unique<std::uint16_t[]>(rowBytes);
    auto hrow = [&](int y) {
        return reinterpret_cast<std::uint8_t*>(ring.get() +
                                               std::size_t(w) * std::size_t(y % ringRows));
    };
    auto bytes = [&](int y) { return reinterpret_cast<std::uint8_t*>(image.Row(y)); };

    int computed = 0; // horizontal rows 0 .. computed - 1 are in the ring
    auto horizontal = [&](int y) {
        for (; computed <= y; ++computed) {
#if defined(__SSE2__)
            if (simd) {
                const int next = std::min(computed + 1, h - 1);
                BlurRowPairSse2(image.Row(computed), image.Row(next),
                                reinterpret_cast<TColor32*>(hrow(computed)),
                                reinterpret_cast<TColor32*>(hrow(next)), w, r, divide);
                computed = next;
                continue;
            }
#endif
            BlurRowScalar(bytes(computed), hrow(computed), w, r, addIdx.get(), subIdx.get(),
                          divide);
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
        std::size_t done = 0;
#if defined(__SSE2__)
        if (simd) done = VerticalStepSse2(sums.get(), add, sub, bytes(y), rowBytes, divide);
#endif
        VerticalStepScalar(sums.get(), add, sub, bytes(y), done, rowBytes, divide);
    }
}
