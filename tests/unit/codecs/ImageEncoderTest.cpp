#include "codecs/ImageEncoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <random>
#include <stdexcept>
#include <string>
#include <zlib.h>

namespace {
using TBytes = std::vector<std::uint8_t>;

std::uint32_t Be32(const TBytes& d, std::size_t at) {
    return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 |
           std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}
std::uint32_t Le(const TBytes& d, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | d[at + i];
    return v;
}

// Left half noise (incompressible), right half flat with a gradient band;
// alpha 200 on every third pixel, as flattened translucent strokes leave it.
TBitmap32 TestImage(int w, int h) {
    TBitmap32 b(w, h);
    std::mt19937 rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t a = (x + y) % 3 ? 255 : 200;
            const TColor32 noise = TColor32(rng());
            b.SetPixel(x, y,
                       x < w / 2 ? (noise & 0xFFFFFF) | TColor32(a) << 24
                                 : Color32(40, std::uint8_t(y % 64 * 4), 200, a));
        }
    return b;
}

// Checks the fixed PNG structure and returns the decoded pixels (opaque).
TBitmap32 DecodePng(const TBytes& png, int& idatCount) {
    const TBytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    std::string order;
    TBytes zdata;
    int w = 0, h = 0;
    idatCount = 0;
    for (std::size_t at = 8; at < png.size();) {
        const std::uint32_t len = Be32(png, at);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        EXPECT_EQ(crc32(0, png.data() + at + 4, len + 4), Be32(png, at + 8 + len)) << type;
        if (type == "IHDR") {
            w = int(Be32(png, at + 8)), h = int(Be32(png, at + 12));
            EXPECT_EQ(TBytes(png.begin() + at + 16, png.begin() + at + 21),
                      (TBytes{8, 2, 0, 0, 0}));
        } else if (type == "IDAT") {
            EXPECT_LE(len, 65535u);
            EXPECT_GT(len, 0u);
            ++idatCount;
            zdata.insert(zdata.end(), png.begin() + at + 8, png.begin() + at + 8 + len);
        }
        if (order.empty() || order.back() != type[1]) order += type[1]; // H, D, E
        at += 12 + len;
    }
    EXPECT_EQ(order, "HDE");
    const std::size_t stride = 1 + 3 * std::size_t(w);
    TBytes raw(stride * h);
    uLongf size = uLongf(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &size, zdata.data(), uLong(zdata.size())), Z_OK);
    EXPECT_EQ(size, raw.size());
    TBitmap32 out(w, h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = raw.data() + y * stride;
        EXPECT_EQ(row[0], 1) << "row " << y;
        for (std::size_t i = 4; i < stride; ++i)
            row[i] = std::uint8_t(row[i] + row[i - 3]);
        for (int x = 0; x < w; ++x)
            out.SetPixel(x, y, Color32(row[1 + 3 * x], row[2 + 3 * x], row[3 + 3 * x]));
    }
    return out;
}

TBitmap32 DecodeJpeg(const TBytes& jpeg) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    TBitmap32 out(int(info.output_width), int(info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(out.Row(int(info.output_scanline)));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

TBitmap32 DecodeBmp(const TBytes& bmp) {
    TBitmap32 out(int(Le(bmp, 18, 4)), int(Le(bmp, 22, 4)));
    std::size_t at = Le(bmp, 10, 4);
    for (int y = out.Height() - 1; y >= 0; --y)
        for (int x = 0; x < out.Width(); ++x, at += 4)
            out.SetPixel(x, y, Le(bmp, at, 4));
    return out;
}
} // namespace

// Several slices (so several threads, dictionaries and the Adler-32 join) and
// many IDAT chunks; the bytes must not depend on the thread count.
TEST(PngEncoder, StructureAndExactPixelsForAnyThreadCount) {
    for (const auto& [w, h] : {std::pair{1, 1}, {5, 3}, {700, 600}}) {
        const TBitmap32 source = TestImage(w, h);
        const TBytes one = EncodePng(source, 1);
        for (const unsigned threads : {2u, 3u, 0u})
            EXPECT_EQ(EncodePng(source, threads), one) << w << "x" << h << " threads " << threads;
        int idats = 0;
        const TBitmap32 decoded = DecodePng(one, idats);
        if (w > 600) {
            EXPECT_GT(idats, 4);
        }
        ASSERT_EQ(decoded.Width(), w);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(decoded.Pixel(x, y), source.Pixel(x, y) | 0xFF000000u) << x << "," << y;
    }
}

TEST(JpegEncoder, BaselineMarkerAndLibraryErrorsThrow) {
    const TBytes jpeg = EncodeJpeg(TestImage(64, 48));
    auto has = [&](std::uint8_t marker) {
        for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
            if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return true;
        return false;
    };
    EXPECT_TRUE(has(0xC0));  // SOF0
    EXPECT_FALSE(has(0xC2)); // progressive
    // Beyond the format's 65500 limit: libjpeg's error path, not an exit.
    EXPECT_THROW(EncodeJpeg(TBitmap32(65501, 1)), std::runtime_error);
}

TEST(BmpEncoder, HeaderFields) {
    const TBytes bmp = EncodeBmp(TBitmap32(3, 2));
    ASSERT_EQ(bmp.size(), 54u + 24);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    struct TField {
        std::size_t At;
        int Bytes;
        std::uint32_t Value;
    } const fields[] = {{2, 4, 78}, {10, 4, 54}, {14, 4, 40}, {18, 4, 3}, {22, 4, 2},
                        {26, 2, 1}, {28, 2, 32}, {30, 4, 0},  {34, 4, 24}};
    for (const TField& f : fields)
        EXPECT_EQ(Le(bmp, f.At, f.Bytes), f.Value) << "offset " << f.At;
}

// The colour channels are written as they stand and every pixel comes back
// opaque; rows keep their order (the BMP is stored bottom-up).
TEST(EncodeImage, OpaqueOutputOfTranslucentPixels) {
    struct TCase {
        TImageFormat Format;
        TBitmap32 (*Decode)(const TBytes&);
        double MaxMeanError;
    } const cases[] = {
        {ifPng,
         [](const TBytes& d) {
             int n;
             return DecodePng(d, n);
         },
         0},
        {ifJpeg, DecodeJpeg, 2.5},
        {ifBmp, DecodeBmp, 0},
    };
    TBitmap32 source(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            source.SetPixel(x, y, Color32(std::uint8_t(x * 4), std::uint8_t(y * 5), 150, 200));
    for (const TCase& c : cases) {
        const TBitmap32 decoded = c.Decode(EncodeImage(source, c.Format));
        ASSERT_EQ(decoded.Width(), 64) << c.Format;
        ASSERT_EQ(decoded.Height(), 48) << c.Format;
        double error = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const TColor32 s = source.Pixel(x, y), d = decoded.Pixel(x, y);
                ASSERT_EQ(AlphaOf(d), 255) << c.Format;
                error += std::abs(RedOf(s) - RedOf(d)) + std::abs(GreenOf(s) - GreenOf(d)) +
                         std::abs(BlueOf(s) - BlueOf(d));
            }
        EXPECT_LE(error / (64 * 48 * 3), c.MaxMeanError) << c.Format;
        EXPECT_THROW(EncodeImage(TBitmap32(), c.Format), std::invalid_argument) << c.Format;
    }
}
