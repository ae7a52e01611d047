#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace plumwick {

// The bytes of a 32-bit .bmp file whose alpha channel readers honour: a file header, a BITMAPV5HEADER with
// bit-field masks for red, green, blue and alpha (sRGB colour space), and bottom-up rows. Pixels holds
// Width x Height straight (not premultiplied) B, G, R, A quads, rows top-down. Raises std::invalid_argument
// when a side is not 1..32767 or Pixels has another length.
std::string BuildBitmapFile(int width, int height, std::span<const std::uint8_t> pixels);

}  // namespace plumwick
