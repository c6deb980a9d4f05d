#include "codecs/PngWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {
std::uint32_t Get32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 |
           std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}
} // namespace

// Decodes what was written (chunk layout, CRCs, inflated rows) and compares.
TEST(PngWriter, RoundTripOpaqueAndTranslucent) {
    for (const bool translucent : {false, true}) {
        TBitmap32 b(5, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                b.SetPixel(x, y, Color32(x * 50, y * 80, 7, translucent && x == 2 ? 128 : 255));
        const std::vector<std::uint8_t> png = EncodePng(b);
        ASSERT_EQ(png[0], 0x89);
        std::size_t at = 8;
        std::vector<std::string> types;
        std::vector<std::uint8_t> idat;
        while (at < png.size()) {
            const std::uint32_t len = Get32(png, at);
            const std::string type(png.begin() + at + 4, png.begin() + at + 8);
            types.push_back(type);
            EXPECT_EQ(crc32(0, png.data() + at + 4, len + 4), Get32(png, at + 8 + len)) << type;
            if (type == "IHDR") {
                EXPECT_EQ(Get32(png, at + 8), 5u);
                EXPECT_EQ(Get32(png, at + 12), 3u);
                EXPECT_EQ(png[at + 17], translucent ? 6 : 2);
            }
            if (type == "IDAT") idat.assign(png.begin() + at + 8, png.begin() + at + 8 + len);
            at += 12 + len;
        }
        EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
        const int channels = translucent ? 4 : 3;
        std::vector<std::uint8_t> raw(3 * (5 * channels + 1));
        uLongf size = uLongf(raw.size());
        ASSERT_EQ(uncompress(raw.data(), &size, idat.data(), uLong(idat.size())), Z_OK);
        ASSERT_EQ(size, raw.size());
        for (int y = 0; y < 3; ++y) {
            const std::uint8_t* row = raw.data() + y * (5 * channels + 1);
            EXPECT_EQ(row[0], 0);
            for (int x = 0; x < 5; ++x) {
                const std::uint8_t* p = row + 1 + x * channels;
                const TColor32 c = b.Pixel(x, y);
                EXPECT_EQ(Color32(p[0], p[1], p[2], translucent ? p[3] : 255), c);
            }
        }
    }
}
