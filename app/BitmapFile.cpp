#include "app/BitmapFile.h"

#include "app/LittleEndian.h"

#include <stdexcept>

namespace plumwick {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kPixelsPerMetreAt72Dpi = 2835;
constexpr std::uint32_t kColourSpaceSrgb = 0x73524742;  // 'sRGB'
constexpr std::uint32_t kIntentImages = 4;

}  // namespace

std::string BuildBitmapFile(int width, int height, std::span<const std::uint8_t> pixels)
{
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767)
        throw std::invalid_argument("bitmap size out of range");
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const std::uint32_t row = w * 4;
    const std::uint32_t imageSize = row * h;
    if (pixels.size() != imageSize) throw std::invalid_argument("bitmap pixel data does not match its size");
    const std::uint32_t offset = kFileHeaderSize + kV5HeaderSize;

    std::string out;
    out.reserve(offset + imageSize);
    out += "BM";
    PutLong(out, offset + imageSize);
    PutLong(out, 0);
    PutLong(out, offset);

    PutLong(out, kV5HeaderSize);
    PutLong(out, w);
    PutLong(out, h);  // positive: rows run bottom-up
    PutWord(out, 1);
    PutWord(out, 32);
    PutLong(out, kBitFields);
    PutLong(out, imageSize);
    PutLong(out, kPixelsPerMetreAt72Dpi);
    PutLong(out, kPixelsPerMetreAt72Dpi);
    PutLong(out, 0);  // colours used
    PutLong(out, 0);  // colours important
    PutLong(out, 0x00FF0000);
    PutLong(out, 0x0000FF00);
    PutLong(out, 0x000000FF);
    PutLong(out, 0xFF000000);
    PutLong(out, kColourSpaceSrgb);
    out.append(36 + 12, '\0');  // end points and gamma: unused with sRGB
    PutLong(out, kIntentImages);
    PutLong(out, 0);  // profile data
    PutLong(out, 0);  // profile size
    PutLong(out, 0);

    for (std::uint32_t y = h; y-- > 0;) out.append(reinterpret_cast<const char*>(pixels.data()) + y * row, row);
    return out;
}

}  // namespace plumwick
