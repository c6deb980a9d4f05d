#include "support/WaveFile.h"

#include <cstring>
#include <string_view>

namespace {
std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
bool Is(const std::uint8_t* p, std::string_view tag) {
    return std::memcmp(p, tag.data(), 4) == 0;
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
// Byte by byte: GCC 12 at -O2 sees a range insert after reserve() as an
// overflow (-Wstringop-overflow) that cannot happen.
void PutTag(std::vector<std::uint8_t>& out, std::string_view tag) {
    for (const char c : tag)
        out.push_back(static_cast<std::uint8_t>(c));
}
} // namespace

std::optional<TWaveData> ParseWave(std::span<const std::uint8_t> file) {
    if (file.size() < 12 || !Is(file.data(), "RIFF") || !Is(file.data() + 8, "WAVE"))
        return std::nullopt;
    TWaveData wave;
    bool haveFormat = false, haveData = false;
    std::size_t pos = 12;
    while (pos + 8 <= file.size()) {
        const std::uint8_t* chunk = file.data() + pos;
        const std::uint32_t size = Le32(chunk + 4);
        const std::size_t available = file.size() - pos - 8;
        const std::size_t body = std::min<std::size_t>(size, available);
        if (Is(chunk, "fmt ")) {
            if (body < 16) return std::nullopt;
            const std::uint8_t* f = chunk + 8;
            const std::uint16_t tag = Le16(f);
            constexpr std::uint16_t PcmTag = 1, ExtensibleTag = 0xFFFE;
            if (tag != PcmTag && tag != ExtensibleTag) return std::nullopt;
            wave.Channels = Le16(f + 2);
            wave.SamplesPerSec = Le32(f + 4);
            wave.BlockAlign = Le16(f + 12);
            wave.BitsPerSample = Le16(f + 14);
            haveFormat = true;
        } else if (Is(chunk, "data")) {
            wave.Samples.assign(chunk + 8, chunk + 8 + body);
            haveData = true;
        }
        pos += 8 + body + (body & 1);
    }
    if (!haveFormat || !haveData || wave.Channels == 0 || wave.SamplesPerSec == 0 ||
        (wave.BitsPerSample != 8 && wave.BitsPerSample != 16) ||
        wave.BlockAlign != wave.Channels * wave.BitsPerSample / 8)
        return std::nullopt;
    wave.Samples.resize(wave.Samples.size() / wave.BlockAlign * wave.BlockAlign);
    if (wave.Samples.empty()) return std::nullopt;
    return wave;
}

std::vector<std::uint8_t> BuildWave16(std::span<const std::int16_t> samples,
                                      std::uint32_t samplesPerSec, std::uint16_t channels) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, channels);
    Put32(out, samplesPerSec);
    Put32(out, samplesPerSec * channels * 2);
    Put16(out, static_cast<std::uint16_t>(channels * 2));
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (const std::int16_t s : samples)
        Put16(out, static_cast<std::uint16_t>(s));
    return out;
}
