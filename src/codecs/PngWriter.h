#pragma once
// PNG encoding of a TBitmap32: 8 bits per channel, RGB when every pixel is
// opaque, RGBA otherwise; zlib deflate, one filter byte (none) per row.
#include "gfx/Bitmap32.h"

#include <cstdint>
#include <string>
#include <vector>

std::vector<std::uint8_t> EncodePng(const TBitmap32& bitmap);
// Throws std::runtime_error when the file cannot be written.
void SavePng(const TBitmap32& bitmap, const std::string& path);
