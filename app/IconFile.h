#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plumwick {

// One image of an icon file. Pixels holds Width x Height straight (not premultiplied) B, G, R, A quads, rows
// top-down. Images of 256 pixels or more on a side are stored as the PNG file in Png, which must then be set;
// smaller ones as a 32-bit bitmap built from Pixels.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    std::span<const std::uint8_t> Pixels;
    std::string_view Png;
};

// Sides from this size on are stored as PNG and written as 0 in the directory's size bytes.
constexpr int kIconPngSide = 256;

// True when the image is stored as PNG.
bool StoredAsPng(int width, int height);

// The bytes of a .ico file holding Images in the order given. Each directory entry says 0 colours, 1 plane and
// 32 bits per pixel. A bitmap entry has a 40-byte information header (its height counting colour image and
// mask together), bottom-up 32-bit colour rows and an all-zero (opaque) 1-bit mask: transparency comes from
// the alpha channel. Raises std::invalid_argument when there is no image, more than 255 of them, a size is
// not 1..32767, Pixels has another length, or a large image has no PNG.
std::string BuildIconFile(std::span<const TIconImage> images);

}  // namespace plumwick
