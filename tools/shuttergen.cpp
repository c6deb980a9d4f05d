// Writes the shutter sound: a short mechanical click in two parts (the
// blades opening, then closing), synthesised from filtered noise bursts and
// a damped low resonance. 44.1 kHz, 16-bit, mono.
//   shuttergen <output.wav>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {
constexpr int Rate = 44100;
constexpr double Pi = 3.14159265358979323846;

struct TNoise {
    std::uint32_t State = 0x9E3779B9u;
    double Next() { // -1..1, deterministic so every build ships the same file
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return State / 2147483647.5 - 1.0;
    }
};

// One click at start (seconds): a sharp noise transient through a simple
// band-pass, plus a damped body resonance.
void AddClick(std::vector<double>& out, double start, double gain, double body, TNoise& noise) {
    const int first = static_cast<int>(start * Rate);
    double lowPass = 0, highPass = 0, prev = 0;
    for (int i = 0; i < Rate / 12 && first + i < static_cast<int>(out.size()); ++i) {
        const double t = static_cast<double>(i) / Rate;
        const double attack = std::min(1.0, t / 0.0004);
        const double n = noise.Next();
        lowPass += 0.55 * (n - lowPass);
        highPass = 0.9 * (highPass + lowPass - prev);
        prev = lowPass;
        const double transient = highPass * std::exp(-t / 0.004);
        const double thump = std::sin(2 * Pi * body * t) * std::exp(-t / 0.012) * 0.6;
        const double ring = std::sin(2 * Pi * 3150 * t) * std::exp(-t / 0.006) * 0.15;
        out[first + i] += gain * attack * (transient + thump + ring);
    }
}

void Put(std::FILE* f, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: shuttergen <output.wav>\n");
        return 2;
    }
    std::vector<double> mix(static_cast<std::size_t>(Rate * 0.16), 0.0);
    TNoise noise;
    AddClick(mix, 0.000, 1.0, 180, noise);
    AddClick(mix, 0.055, 0.8, 140, noise);
    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::fabs(v));
    const double scale = peak > 0 ? 0.7 * 32767 / peak : 0;
    // A short fade keeps the last sample from clicking on its own.
    const std::size_t fade = Rate / 200;
    for (std::size_t i = 0; i < fade; ++i)
        mix[mix.size() - 1 - i] *= static_cast<double>(i) / fade;

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    const auto dataBytes = static_cast<std::uint32_t>(mix.size() * 2);
    std::fputs("RIFF", f);
    Put(f, 36 + dataBytes, 4);
    std::fputs("WAVEfmt ", f);
    Put(f, 16, 4);
    Put(f, 1, 2); // PCM
    Put(f, 1, 2); // mono
    Put(f, Rate, 4);
    Put(f, Rate * 2, 4);
    Put(f, 2, 2);
    Put(f, 16, 2);
    std::fputs("data", f);
    Put(f, dataBytes, 4);
    for (double v : mix)
        Put(f, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * scale))), 2);
    const bool ok = std::fclose(f) == 0;
    return ok ? 0 : 1;
}
