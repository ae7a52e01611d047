#include "app/IconFile.h"

#include <stdexcept>

namespace plumwick {

namespace {

void PutWord(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void PutLong(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t ImageOffset = 22;

}  // namespace

std::string BuildIconFile(int width, int height, std::span<const std::uint8_t> pixels)
{
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767)
        throw std::invalid_argument("icon size out of range");
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const std::uint32_t colourRow = w * 4;
    const std::uint32_t colourSize = colourRow * h;
    if (pixels.size() != colourSize)
        throw std::invalid_argument("icon pixel data does not match its size");
    const std::uint32_t maskRow = (w + 31) / 32 * 4;
    const std::uint32_t maskSize = maskRow * h;

    std::string out;
    out.reserve(ImageOffset + InfoHeaderSize + colourSize + maskSize);
    // Directory: one entry. The word after the size bytes holds planes x bits per pixel, and the two words
    // after it stay 0; readers take the real format from the bitmap header.
    PutWord(out, 0);
    PutWord(out, 1);
    PutWord(out, 1);
    out += static_cast<char>(w % 256);
    out += static_cast<char>(h % 256);
    PutWord(out, 1 * 32);
    PutLong(out, 0);
    PutLong(out, InfoHeaderSize + colourSize + maskSize);
    PutLong(out, ImageOffset);

    // Bitmap information header; its height counts colour image and mask together.
    PutLong(out, InfoHeaderSize);
    PutLong(out, w);
    PutLong(out, h * 2);
    PutWord(out, 1);
    PutWord(out, 32);
    PutLong(out, 0);  // uncompressed
    PutLong(out, colourSize);
    PutLong(out, 0);
    PutLong(out, 0);
    PutLong(out, 0);
    PutLong(out, 0);

    for (std::uint32_t row = h; row-- > 0;) {
        const auto* begin = reinterpret_cast<const char*>(pixels.data()) + row * colourRow;
        out.append(begin, colourRow);
    }
    out.append(maskSize, '\0');
    return out;
}

}  // namespace plumwick
