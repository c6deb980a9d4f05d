#include "gfx/Blend.h"

#include <gtest/gtest.h>

namespace {
struct TBlendCase {
    TColor32 F, B, Expected;
};

// Hand-computed from (256*B + 128 + (F - B)*Fa) div 256 per channel.
constexpr TBlendCase BlendCases[] = {
    // Fa = 0 leaves B, Fa = 255 replaces it.
    {0x00FF0000, 0xFF102030, 0xFF102030},
    {0xFF102030, 0x00FFFFFF, 0xFF102030},
    // $66353739 (Fa = 102) over opaque white:
    //   A: 65408 + (102-255)*102 = 49802 -> 194 ($C2)
    //   R: 65408 + (53-255)*102  = 44804 -> 175 ($AF)
    //   G: 65408 + (55-255)*102  = 45008 -> 175 ($AF)
    //   B: 65408 + (57-255)*102  = 45212 -> 176 ($B0)
    {0x66353739, 0xFFFFFFFF, 0xC2AFAFB0},
    // ... over opaque black: A as above; R 128+53*102 = 5534 -> 21,
    //   G 128+55*102 = 5738 -> 22, B 128+57*102 = 5942 -> 23.
    {0x66353739, 0xFF000000, 0xC2151617},
    // ... over transparent white $00FFFFFF: A 128+102*102 = 10532 -> 41 ($29),
    //   colour as over opaque white.
    {0x66353739, 0x00FFFFFF, 0x29AFAFB0},
    // $66FF0000 over $00FFFFFF: R 65408 -> 255; G, B 65408-255*102 = 39398 -> 153.
    {0x66FF0000, 0x00FFFFFF, 0x29FF9999},
    // Fa = 254, black over white: A 65408-254 = 65154 -> 254; RGB 65408-64770 = 638 -> 2.
    {0xFE000000, 0xFFFFFFFF, 0xFE020202},
    // Fa = 1, white over black: A 128+1*1... B alpha 255: 65408+(1-255) = 65154 -> 254;
    //   RGB 128+255 = 383 -> 1.
    {0x01FFFFFF, 0xFF000000, 0xFE010101},
};

TEST(Blend, MatchesHandComputedValues) {
    for (const auto& c : BlendCases)
        EXPECT_EQ(BlendColor32(c.F, c.B), c.Expected) << std::hex << c.F << " over " << c.B;
}

TEST(Blend, PackedFormEqualsChannelFormulaForAllAlphas) {
    // Exhaustive over alpha and a spread of channel pairs, including F < B.
    for (std::uint32_t fa = 1; fa < 255; ++fa)
        for (std::uint32_t f = 0; f < 256; f += 15)
            for (std::uint32_t b = 0; b < 256; b += 17) {
                const TColor32 fc = (fa << 24) | (f << 16) | (b << 8) | (255 - f);
                const TColor32 bc = (b << 24) | (b << 16) | (f << 8) | (255 - b);
                TColor32 want = 0;
                for (int s = 0; s < 32; s += 8) {
                    const int fv = int((fc >> s) & 0xFF), bv = int((bc >> s) & 0xFF);
                    const int total = 256 * bv + 128 + (fv - bv) * int(fa);
                    ASSERT_GE(total, 0);
                    want |= TColor32(total / 256) << s;
                }
                ASSERT_EQ(BlendColor32(fc, bc), want);
            }
}

TEST(Blend, SpanMatchesPerPixelBlendAndStopsAtCount) {
    // Spans of every length up to 37 and a spread of alphas: the vector body
    // and the scalar tail must both agree with BlendColor32.
    for (std::uint32_t fa = 0; fa < 256; fa += 3)
        for (int count = 0; count <= 37; count += 4) {
            const TColor32 f = (fa << 24) | 0x00C81E5A;
            TColor32 px[40], want[40];
            for (int i = 0; i < 40; ++i)
                px[i] = want[i] = 0x01020304u * TColor32(i * 7 + 1);
            for (int i = 0; i < count; ++i)
                want[i] = BlendColor32(f, want[i]);
            BlendSpan(px, count, f);
            for (int i = 0; i < 40; ++i)
                ASSERT_EQ(px[i], want[i]) << fa << " " << count << " " << i;
        }
}

TEST(Merge, OpaqueAndTransparentDestinationsAndMixedAlpha) {
    EXPECT_EQ(MergeColor32(0x66353739, 0xFFFFFFFF), 0xC2AFAFB0u); // as blend
    EXPECT_EQ(MergeColor32(0x66353739, 0x00FFFFFF), 0x66353739u); // source kept
    EXPECT_EQ(MergeColor32(0x00353739, 0x80FFFFFF), 0x80FFFFFFu);
    // Half red over half blue: wf = 128*255 = 32640, wb = 128*127 = 16256,
    // total 48896 -> alpha (48896+127)/255 = 192; R = 255*32640/48896 = 170.2
    // -> (8323200+24448)/48896 = 170; B = 255*16256/48896 -> 85.
    EXPECT_EQ(MergeColor32(0x80FF0000, 0x800000FF), 0xC0AA0055u);
}
} // namespace
