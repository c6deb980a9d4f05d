// The PNG encoder on small images of any shape and any pixels: the chunks are
// well formed, and the IDAT stream, inflated with zlib and unfiltered, gives
// back every pixel's colour.
#include "FuzzCheck.h"
#include "codecs/ImageEncoder.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <zlib.h>

#include <cstring>
#include <string_view>

namespace {
std::uint32_t Get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Walks the chunks, checking lengths and CRCs; returns the IDAT bytes.
std::vector<std::uint8_t> ReadChunks(const std::vector<std::uint8_t>& png, int width, int height) {
    static constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    FUZZ_CHECK(png.size() >= 8 && std::memcmp(png.data(), Signature, 8) == 0);
    std::vector<std::uint8_t> idat;
    std::vector<std::string> order;
    for (std::size_t pos = 8; pos < png.size();) {
        FUZZ_CHECK(png.size() - pos >= 12);
        const std::uint32_t length = Get32(&png[pos]);
        FUZZ_CHECK(length <= png.size() - pos - 12);
        const std::uint8_t* type = &png[pos + 4];
        const std::uint8_t* payload = type + 4;
        FUZZ_CHECK(Get32(payload + length) == crc32(0, type, length + 4));
        const std::string name(reinterpret_cast<const char*>(type), 4);
        if (name == "IHDR") {
            static constexpr std::uint8_t Tail[5] = {8, 2, 0, 0, 0}; // 8-bit RGB, no interlace
            FUZZ_CHECK(length == 13 && Get32(payload) == std::uint32_t(width) &&
                       Get32(payload + 4) == std::uint32_t(height) &&
                       std::memcmp(payload + 8, Tail, 5) == 0);
        } else if (name == "IDAT") {
            FUZZ_CHECK(length > 0 && length <= 65535);
            idat.insert(idat.end(), payload, payload + length);
        } else {
            FUZZ_CHECK(name == "IEND" && length == 0);
        }
        if (order.empty() || order.back() != name) order.push_back(name);
        pos += 12 + length;
    }
    FUZZ_CHECK((order == std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    return idat;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Lines and columns as often as squares.
    int width = in.ConsumeIntegralInRange(1, 64), height = in.ConsumeIntegralInRange(1, 64);
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        width = 1;
        break;
    case 1:
        height = 1;
        break;
    default:
        break;
    }
    TBitmap32 image(width, height);
    // The input's bytes as pixels, repeated to fill the image.
    const auto bytes = in.ConsumeRemainingBytes<std::uint8_t>();
    for (std::size_t i = 0; !bytes.empty() && i < std::size_t(width) * height; ++i) {
        TColor32 c = 0;
        for (std::size_t k = 0; k < 4; ++k)
            c = c << 8 | bytes[(4 * i + k) % bytes.size()];
        image.Bits()[i] = c;
    }

    const std::vector<std::uint8_t> png = EncodePng(image);
    const std::vector<std::uint8_t> idat = ReadChunks(png, width, height);
    const std::size_t rowBytes = 1 + 3 * std::size_t(width);
    std::vector<std::uint8_t> raw(rowBytes * height + 1);
    uLongf rawSize = uLongf(raw.size());
    uLong used = uLong(idat.size());
    FUZZ_CHECK(uncompress2(raw.data(), &rawSize, idat.data(), &used) == Z_OK);
    FUZZ_CHECK(used == idat.size() && rawSize == raw.size() - 1);

    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &raw[std::size_t(y) * rowBytes];
        FUZZ_CHECK(row[0] == 1); // Sub
        for (std::size_t i = 4; i < rowBytes; ++i)
            row[i] = std::uint8_t(row[i] + row[i - 3]);
        for (int x = 0; x < width; ++x) {
            const TColor32 c = image.Row(y)[x];
            const std::uint8_t* p = row + 1 + 3 * x;
            FUZZ_CHECK(p[0] == RedOf(c) && p[1] == GreenOf(c) && p[2] == BlueOf(c));
        }
    }
    return 0;
}
