#include "gfx/BoxBlur.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__)
// The vertical pass is plain lane-parallel work: with AVX2, picked at run
// time, it takes half the instructions.
#define KADRIX_BLUR_AVX2 1
#include <immintrin.h>
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
// One row, two pixels per step in the eight 16-bit lanes. With d(x) =
// in[x + r + 1] - in[x - r], the sums of pixels x and x + 1 are s and
// s + d(x); the deltas of both come from two 8-byte loads, so the serial
// part is one add and one shift per two pixels.
#if defined(KADRIX_BLUR_AVX2)
int BlurRowMiddleAvx2(const TColor32* in, TColor32* out, int x, int end, int r, __m128i& s,
                      const TDivider& divide);
#endif

void BlurRowSse2(const TColor32* in, TColor32* out, int w, int r, const TDivider& divide,
                 bool avx2) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i mul = _mm_set1_epi16(std::int16_t(divide.Mul));
    const __m128i shift = _mm_cvtsi32_si128(int(divide.Shift - 16));
    auto pixel = [&](int i) { return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(in[i])), zero); };
    auto pair = [&](int i) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + i)), zero);
    };
    auto divided = [&](__m128i v) {
        const __m128i q = _mm_srl_epi16(_mm_mulhi_epu16(v, mul), shift);
        return _mm_packus_epi16(q, q);
    };
    __m128i s = zero; // the sum of pixel x in the low four lanes
    for (int j = -r; j <= r; ++j)
        s = _mm_add_epi16(s, pixel(std::clamp(j, 0, w - 1)));
    auto single = [&](int x) {
        out[x] = TColor32(_mm_cvtsi128_si32(divided(s)));
        s = _mm_add_epi16(
            s, _mm_sub_epi16(pixel(std::min(x + r + 1, w - 1)), pixel(std::max(x - r, 0))));
    };
    // Only the first r and the last r + 1 pixels need clamped neighbours.
    const int x1 = std::min(r, w), x2 = std::max(x1, w - r - 1);
    int x = 0;
    for (; x < x1; ++x)
        single(x);
#if defined(KADRIX_BLUR_AVX2)
    if (avx2) x = BlurRowMiddleAvx2(in, out, x, x2, r, s, divide);
#else
    (void)avx2;
#endif
    for (; x + 2 <= x2; x += 2) {
        const __m128i d = _mm_sub_epi16(pair(x + r + 1), pair(x - r));
        const __m128i sums = _mm_add_epi16(_mm_unpacklo_epi64(s, s), _mm_slli_si128(d, 8));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), divided(sums));
        s = _mm_srli_si128(_mm_add_epi16(sums, d), 8);
    }
    for (; x < w; ++x)
        single(x);
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

#if defined(KADRIX_BLUR_AVX2)
__attribute__((target("avx2"))) std::size_t
VerticalStepAvx2(std::uint16_t* sums, const std::uint8_t* add, const std::uint8_t* sub,
                 std::uint8_t* out, std::size_t n, const TDivider& divide) {
    const __m256i mul = _mm256_set1_epi16(std::int16_t(divide.Mul));
    const __m128i shift = _mm_cvtsi32_si128(int(divide.Shift - 16));
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + i));
        __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + i + 16));
        const __m256i qlo = _mm256_srl_epi16(_mm256_mulhi_epu16(lo, mul), shift);
        const __m256i qhi = _mm256_srl_epi16(_mm256_mulhi_epu16(hi, mul), shift);
        // The pack works per 128-bit half; the permute puts bytes back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(qlo, qhi), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), packed);
        // Lambdas do not inherit the target, so the loads are spelled out.
        const __m128i* a = reinterpret_cast<const __m128i*>(add + i);
        const __m128i* b = reinterpret_cast<const __m128i*>(sub + i);
        lo = _mm256_sub_epi16(_mm256_add_epi16(lo, _mm256_cvtepu8_epi16(_mm_loadu_si128(a))),
                              _mm256_cvtepu8_epi16(_mm_loadu_si128(b)));
        hi = _mm256_sub_epi16(_mm256_add_epi16(hi, _mm256_cvtepu8_epi16(_mm_loadu_si128(a + 1))),
                              _mm256_cvtepu8_epi16(_mm_loadu_si128(b + 1)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i), lo);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i + 16), hi);
    }
    return i;
}

// The middle of a row four pixels per step: the deltas of pixels x .. x + 3
// come from two 16-byte loads, their prefix sums from two shifts, and the
// serial part is one add per four pixels. s holds the sum of pixel x on
// entry and on return; the clamped ends are left to the caller.
__attribute__((target("avx2"))) int BlurRowMiddleAvx2(const TColor32* in, TColor32* out, int x,
                                                      int end, int r, __m128i& s,
                                                      const TDivider& divide) {
    const __m256i mul = _mm256_set1_epi16(std::int16_t(divide.Mul));
    const __m128i shift = _mm_cvtsi32_si128(int(divide.Shift - 16));
    __m256i base = _mm256_broadcastq_epi64(s);
    for (; x + 4 <= end; x += 4) {
        const __m256i d = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + r + 1))),
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x - r))));
        // Inclusive prefix: within each half, then the low half's total
        // added to the high half.
        __m256i p = _mm256_add_epi16(d, _mm256_slli_si256(d, 8));
        p = _mm256_add_epi16(
            p, _mm256_blend_epi32(_mm256_setzero_si256(), _mm256_permute4x64_epi64(p, 0x55), 0xF0));
        const __m256i sums = _mm256_add_epi16(base, _mm256_sub_epi16(p, d));
        const __m256i q = _mm256_srl_epi16(_mm256_mulhi_epu16(sums, mul), shift);
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(q, q), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(packed));
        base = _mm256_add_epi16(base, _mm256_permute4x64_epi64(p, 0xFF));
    }
    s = _mm256_castsi256_si128(base);
    return x;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
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
#if defined(KADRIX_BLUR_AVX2)
    const bool avx2 = HasAvx2();
#else
    constexpr bool avx2 = false;
#endif

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
                BlurRowSse2(image.Row(computed), reinterpret_cast<TColor32*>(hrow(computed)), w, r,
                            divide, avx2);
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
#if defined(KADRIX_BLUR_AVX2)
        if (simd && avx2) done = VerticalStepAvx2(sums.get(), add, sub, bytes(y), rowBytes, divide);
#endif
        if (simd)
            done += VerticalStepSse2(sums.get() + done, add + done, sub + done, bytes(y) + done,
                                     rowBytes - done, divide);
#endif
        VerticalStepScalar(sums.get(), add, sub, bytes(y), done, rowBytes, divide);
    }
}
