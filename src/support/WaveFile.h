#pragma once
// A RIFF WAVE file's PCM format and samples, read without the platform.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct TWaveData {
    std::uint16_t Channels = 0;
    std::uint32_t SamplesPerSec = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t BlockAlign = 0;
    std::vector<std::uint8_t> Samples; // whole blocks only
};

// nullopt unless integer PCM with a "fmt " and a "data" chunk.
std::optional<TWaveData> ParseWave(std::span<const std::uint8_t> file);

// A 16-bit PCM WAVE file of the given samples.
std::vector<std::uint8_t> BuildWave16(std::span<const std::int16_t> samples,
                                      std::uint32_t samplesPerSec, std::uint16_t channels);
