#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace plumwick {

// The bytes of a one-image .ico file: a 32-bit colour image with its alpha channel and an all-zero (opaque)
// 1-bit mask. Pixels holds Width x Height straight (not premultiplied) B, G, R, A quads, rows top-down.
// Raises std::invalid_argument when the size is not positive or Pixels has another length.
std::string BuildIconFile(int width, int height, std::span<const std::uint8_t> pixels);

}  // namespace plumwick
