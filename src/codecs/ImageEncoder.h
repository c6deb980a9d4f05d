#pragma once
// Encoders for files, the clipboard's neighbours and uploads. The working
// image may hold alpha below 255 where translucent strokes were flattened;
// every encoder writes the colour channels as they stand and the output is
// always opaque. An empty bitmap throws std::invalid_argument; an encoder
// failure throws std::runtime_error (never a library abort).
#include "gfx/Bitmap32.h"

#include <cstdint>
#include <vector>

enum TImageFormat { ifPng, ifJpeg, ifBmp };

std::vector<std::uint8_t> EncodeImage(const TBitmap32& bitmap, TImageFormat format);

// Truecolour RGB, 8 bits, not interlaced; IHDR, IDAT (each at most 65535
// bytes) and IEND; every row Sub-filtered; deflate level 7. The rows are
// deflated in fixed slices on up to `threads` threads (0: one per core) into
// one zlib stream, so the bytes do not depend on the thread count.
std::vector<std::uint8_t> EncodePng(const TBitmap32& bitmap, unsigned threads = 0);

// Baseline colour JPEG, 4:2:0, quality 90.
std::vector<std::uint8_t> EncodeJpeg(const TBitmap32& bitmap, int quality = 90);

// Uncompressed 32-bit Windows bitmap, bottom-up, BI_RGB, fourth byte 255.
std::vector<std::uint8_t> EncodeBmp(const TBitmap32& bitmap);
