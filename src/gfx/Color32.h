#pragma once
// Colour types shared by the raster core, the settings and the tools.
//   TColor32: $AARRGGBB, alpha 255 = opaque.
//   TColor:   the window toolkit's $00BBGGRR; negative values name system colours.
#include <cstdint>

using TColor32 = std::uint32_t;
using TColor = std::int32_t;

constexpr std::uint8_t AlphaOf(TColor32 c) {
    return static_cast<std::uint8_t>(c >> 24);
}
constexpr std::uint8_t RedOf(TColor32 c) {
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t GreenOf(TColor32 c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t BlueOf(TColor32 c) {
    return static_cast<std::uint8_t>(c);
}

constexpr TColor32 Color32(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    return (TColor32(a) << 24) | (TColor32(r) << 16) | (TColor32(g) << 8) | TColor32(b);
}

// Opaque TColor32 from an RGB TColor (system colours must be resolved first).
constexpr TColor32 Color32FromColor(TColor c) {
    const auto u = static_cast<std::uint32_t>(c);
    return Color32(u & 0xFF, (u >> 8) & 0xFF, (u >> 16) & 0xFF);
}
