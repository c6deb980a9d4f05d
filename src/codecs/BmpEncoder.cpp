#include "codecs/ImageEncoder.h"

#include <cstring>
#include <stdexcept>

namespace {
constexpr std::uint32_t HeadersSize = 14 + 40; // BITMAPFILEHEADER + BITMAPINFOHEADER

std::uint8_t* Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v), p[1] = std::uint8_t(v >> 8);
    return p + 2;
}
std::uint8_t* Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
    return p + 4;
}
} // namespace

std::vector<std::uint8_t> EncodeBmp(const TBitmap32& bitmap) {
    if (bitmap.Empty()) throw std::invalid_argument("BMP: empty bitmap");
    const std::uint64_t pixelBytes = std::uint64_t(bitmap.Width()) * bitmap.Height() * 4;
    if (pixelBytes > UINT32_MAX - HeadersSize) throw std::length_error("BMP: image too large");
    const std::uint32_t imageSize = std::uint32_t(pixelBytes);

    std::vector<std::uint8_t> out(HeadersSize + imageSize);
    std::uint8_t* p = out.data();
    *p++ = 'B', *p++ = 'M';
    p = Put32(p, HeadersSize + imageSize);
    p = Put32(p, 0); // two reserved words
    p = Put32(p, HeadersSize);
    p = Put32(p, 40);
    p = Put32(p, std::uint32_t(bitmap.Width()));
    p = Put32(p, std::uint32_t(bitmap.Height())); // positive: bottom-up
    p = Put16(p, 1);                              // planes
    p = Put16(p, 32);
    p = Put32(p, 0); // BI_RGB
    p = Put32(p, imageSize);
    for (int i = 0; i < 4; ++i) // resolution and palette fields stay 0
        p = Put32(p, 0);

    // Rows of 32-bit pixels need no padding; the fourth byte is written 255
    // because some readers take it as alpha.
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        const TColor32* row = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            p = Put32(p, row[x] | 0xFF000000u);
    }
    return out;
}
