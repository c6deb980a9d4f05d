#include "codecs/PngWriter.h"

#include <fstream>
#include <stdexcept>
#include <zlib.h>

namespace {
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void Chunk(std::vector<std::uint8_t>& out, const char type[4],
           const std::vector<std::uint8_t>& data) {
    Put32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    Put32(out, std::uint32_t(crc));
}
} // namespace

std::vector<std::uint8_t> EncodePng(const TBitmap32& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0 || h <= 0) throw std::invalid_argument("EncodePng: empty bitmap");
    bool opaque = true;
    for (TColor32 c : bitmap.Pixels())
        if ((c >> 24) != 255) {
            opaque = false;
            break;
        }
    const int channels = opaque ? 3 : 4;
    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(h) * (std::size_t(w) * channels + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const TColor32* row = bitmap.Row(y);
        for (int x = 0; x < w; ++x) {
            raw.push_back(RedOf(row[x]));
            raw.push_back(GreenOf(row[x]));
            raw.push_back(BlueOf(row[x]));
            if (!opaque) raw.push_back(AlphaOf(row[x]));
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        throw std::runtime_error("EncodePng: deflate failed");
    packed.resize(packedSize);

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    Put32(ihdr, std::uint32_t(w));
    Put32(ihdr, std::uint32_t(h));
    ihdr.insert(ihdr.end(), {8, std::uint8_t(opaque ? 2 : 6), 0, 0, 0});
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", packed);
    Chunk(out, "IEND", {});
    return out;
}

void SavePng(const TBitmap32& bitmap, const std::string& path) {
    const std::vector<std::uint8_t> data = EncodePng(bitmap);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}
