#include "app/IconFile.h"

#include "app/LittleEndian.h"

#include <stdexcept>
#include <vector>

namespace plumwick {

namespace {

constexpr std::uint32_t kDirectoryHeader = 6;
constexpr std::uint32_t kDirectoryEntry = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint32_t MaskRow(std::uint32_t width)
{
    return (width + 31) / 32 * 4;
}

std::uint32_t BitmapEntrySize(const TIconImage& image)
{
    const auto w = static_cast<std::uint32_t>(image.Width);
    const auto h = static_cast<std::uint32_t>(image.Height);
    return kInfoHeaderSize + w * 4 * h + MaskRow(w) * h;
}

void CheckImage(const TIconImage& image)
{
    if (image.Width <= 0 || image.Height <= 0 || image.Width > 32767 || image.Height > 32767)
        throw std::invalid_argument("icon size out of range");
    if (StoredAsPng(image.Width, image.Height)) {
        if (image.Png.empty()) throw std::invalid_argument("a large icon image needs its PNG");
    } else if (image.Pixels.size() != static_cast<std::size_t>(image.Width) * image.Height * 4) {
        throw std::invalid_argument("icon pixel data does not match its size");
    }
}

void PutBitmapEntry(std::string& out, const TIconImage& image)
{
    const auto w = static_cast<std::uint32_t>(image.Width);
    const auto h = static_cast<std::uint32_t>(image.Height);
    const std::uint32_t colourRow = w * 4;
    PutLong(out, kInfoHeaderSize);
    PutLong(out, w);
    PutLong(out, h * 2);
    PutWord(out, 1);
    PutWord(out, 32);
    PutLong(out, 0);  // uncompressed
    PutLong(out, colourRow * h);
    PutLong(out, 0);
    PutLong(out, 0);
    PutLong(out, 0);
    PutLong(out, 0);
    for (std::uint32_t row = h; row-- > 0;)
        out.append(reinterpret_cast<const char*>(image.Pixels.data()) + row * colourRow, colourRow);
    out.append(MaskRow(w) * h, '\0');
}

}  // namespace

bool StoredAsPng(int width, int height)
{
    return width >= kIconPngSide || height >= kIconPngSide;
}

std::string BuildIconFile(std::span<const TIconImage> images)
{
    if (images.empty() || images.size() > 255) throw std::invalid_argument("an icon file holds 1 to 255 images");
    std::vector<std::uint32_t> sizes;
    for (const TIconImage& image : images) {
        CheckImage(image);
        sizes.push_back(StoredAsPng(image.Width, image.Height) ? static_cast<std::uint32_t>(image.Png.size())
                                                               : BitmapEntrySize(image));
    }

    std::string out;
    PutWord(out, 0);
    PutWord(out, 1);  // icon, not cursor
    PutWord(out, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = kDirectoryHeader + kDirectoryEntry * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        // A size byte of 0 means 256 or more; readers take the true size from the PNG.
        out += static_cast<char>(images[i].Width >= kIconPngSide ? 0 : images[i].Width);
        out += static_cast<char>(images[i].Height >= kIconPngSide ? 0 : images[i].Height);
        out += '\0';  // colour count: not a palette image
        out += '\0';
        PutWord(out, 1);   // planes
        PutWord(out, 32);  // bits per pixel
        PutLong(out, sizes[i]);
        PutLong(out, offset);
        offset += sizes[i];
    }
    for (const TIconImage& image : images) {
        if (StoredAsPng(image.Width, image.Height))
            out.append(image.Png);
        else
            PutBitmapEntry(out, image);
    }
    return out;
}

}  // namespace plumwick
