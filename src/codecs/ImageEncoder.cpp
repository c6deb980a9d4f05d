#include "codecs/ImageEncoder.h"

#include <stdexcept>

std::vector<std::uint8_t> EncodeImage(const TBitmap32& bitmap, TImageFormat format) {
    switch (format) {
    case ifPng:
        return EncodePng(bitmap);
    case ifJpeg:
        return EncodeJpeg(bitmap);
    case ifBmp:
        return EncodeBmp(bitmap);
    }
    throw std::invalid_argument("EncodeImage: unknown format");
}
