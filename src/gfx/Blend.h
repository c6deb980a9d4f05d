#pragma once
// Per-pixel blend of F over B (see Bitmap32.h for the rule).
//
// 256*B + 128 + (F - B)*Fa rewrites to B*(256 - Fa) + F*Fa + 128, a sum of
// non-negative terms at most 255*256 + 128 < 2^16, so "div 256" is a shift and
// two channels fit side by side in one 32-bit word (mask 0x00FF00FF) without
// carrying into each other.
#include "gfx/Color32.h"

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// How a pixel is put over another: blend (the default everywhere) or merge,
// source-over that honours the destination's alpha.
enum TCombineMode { cmBlend, cmMerge };

namespace gfx_detail {
constexpr std::uint32_t RB = 0x00FF00FFu;
constexpr std::uint32_t Half = 0x00800080u;

// Formula for 1 <= fa <= 254 (also exact for fa = 0); fPre = precomputed
// source terms from PremixSource.
struct TPremix {
    std::uint32_t RB;
    std::uint32_t AG;
    std::uint32_t InvAlpha;
};

constexpr TPremix PremixSource(TColor32 f, std::uint32_t fa) {
    return {(f & RB) * fa + Half, ((f >> 8) & RB) * fa + Half, 256 - fa};
}

constexpr TColor32 BlendPremixed(const TPremix& p, TColor32 b) {
    const std::uint32_t rb = (((b & RB) * p.InvAlpha + p.RB) >> 8) & RB;
    const std::uint32_t ag = (((b >> 8) & RB) * p.InvAlpha + p.AG) & ~RB;
    return rb | ag;
}
} // namespace gfx_detail

constexpr TColor32 BlendColor32(TColor32 f, TColor32 b) {
    const std::uint32_t fa = f >> 24;
    if (fa == 0) return b;
    if (fa == 255) return f;
    return gfx_detail::BlendPremixed(gfx_detail::PremixSource(f, fa), b);
}

// The colour with its alpha replaced by alpha*coverage/255, rounded.
constexpr TColor32 WithCoverage(TColor32 c, std::uint32_t coverage255) {
    const std::uint32_t a = ((c >> 24) * coverage255 + 127) / 255;
    return (c & 0x00FFFFFFu) | (a << 24);
}

// Blends one colour over count consecutive pixels.
inline void BlendSpan(TColor32* dst, int count, TColor32 c) {
    const std::uint32_t fa = c >> 24;
    if (fa == 0 || count <= 0) return;
    if (fa == 255) {
        for (int i = 0; i < count; ++i)
            dst[i] = c;
        return;
    }
    int i = 0;
#if defined(__SSE2__)
    // Same formula on 16-bit lanes, four pixels at a time: B*(256 - Fa) <=
    // 255*255 and the sum stays below 2^16 as shown above, so nothing wraps.
    const __m128i zero = _mm_setzero_si128();
    const __m128i inv = _mm_set1_epi16(short(256 - fa));
    const __m128i src = _mm_unpacklo_epi8(_mm_set1_epi32(int(c)), zero);
    const __m128i add =
        _mm_add_epi16(_mm_mullo_epi16(src, _mm_set1_epi16(short(fa))), _mm_set1_epi16(128));
    for (; i + 4 <= count; i += 4) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i lo = _mm_unpacklo_epi8(b, zero), hi = _mm_unpackhi_epi8(b, zero);
        const __m128i rlo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(lo, inv), add), 8);
        const __m128i rhi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(hi, inv), add), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(rlo, rhi));
    }
#endif
    const auto p = gfx_detail::PremixSource(c, fa);
    for (; i < count; ++i)
        dst[i] = gfx_detail::BlendPremixed(p, dst[i]);
}

// Source-over compositing with destination alpha, on straight (not
// premultiplied) colours. Over an opaque B it is BlendColor32, over a fully
// transparent B it is F.
constexpr TColor32 MergeColor32(TColor32 f, TColor32 b) {
    const std::uint32_t fa = f >> 24;
    const std::uint32_t ba = b >> 24;
    if (fa == 0) return b;
    if (fa == 255 || ba == 0) return f;
    if (ba == 255) return BlendColor32(f, b);
    const std::uint32_t wf = fa * 255;
    const std::uint32_t wb = ba * (255 - fa);
    const std::uint32_t total = wf + wb;
    auto channel = [&](int shift) {
        const std::uint32_t fc = (f >> shift) & 0xFF, bc = (b >> shift) & 0xFF;
        return ((fc * wf + bc * wb + total / 2) / total) << shift;
    };
    const std::uint32_t ra = (total + 127) / 255;
    return (ra << 24) | channel(16) | channel(8) | channel(0);
}
