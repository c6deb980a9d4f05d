// The shutter sound is read from the file beside the exe; a damaged or
// replaced one holds any bytes. A parse never reads past the file and yields
// whole blocks of a format the player can open; a file Kadrix writes reads
// back sample for sample.
#include "FuzzCheck.h"
#include "support/WaveFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    if (const auto wave = ParseWave(file)) {
        FUZZ_CHECK(wave->Channels > 0 && wave->SamplesPerSec > 0);
        FUZZ_CHECK(wave->BitsPerSample == 8 || wave->BitsPerSample == 16);
        FUZZ_CHECK(wave->BlockAlign == wave->Channels * wave->BitsPerSample / 8);
        FUZZ_CHECK(!wave->Samples.empty() && wave->Samples.size() % wave->BlockAlign == 0);
        FUZZ_CHECK(wave->Samples.size() + 44 <= size); // past RIFF, fmt and data headers
    }

    FuzzedDataProvider in(data, size);
    const auto channels = in.ConsumeIntegralInRange<std::uint16_t>(1, 8);
    const auto rate = in.ConsumeIntegralInRange<std::uint32_t>(1, 192000);
    std::vector<std::int16_t> samples(in.ConsumeIntegralInRange<std::size_t>(1, 64) * channels);
    for (auto& s : samples)
        s = in.ConsumeIntegral<std::int16_t>();
    const auto built = BuildWave16(samples, rate, channels);
    const auto back = ParseWave(built);
    FUZZ_CHECK(back && back->Channels == channels && back->SamplesPerSec == rate);
    FUZZ_CHECK(back->Samples.size() == samples.size() * 2);
    FUZZ_CHECK(std::memcmp(back->Samples.data(), samples.data(), back->Samples.size()) == 0);
    return 0;
}
