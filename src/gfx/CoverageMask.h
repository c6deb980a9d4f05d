#pragma once
// 8-bit coverage (0 none, 255 full) of rendered text, rows top to bottom.
#include <cstdint>
#include <vector>

struct TCoverageMask {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Coverage; // Width * Height values

    TCoverageMask() = default;
    TCoverageMask(int width, int height)
        : Width(width < 0 ? 0 : width), Height(height < 0 ? 0 : height),
          Coverage(std::size_t(Width) * std::size_t(Height), 0) {}

    // 0 outside the mask.
    std::uint8_t At(int x, int y) const {
        if (unsigned(x) >= unsigned(Width) || unsigned(y) >= unsigned(Height)) return 0;
        return Coverage[std::size_t(y) * std::size_t(Width) + std::size_t(x)];
    }
};
