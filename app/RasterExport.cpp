#include "app/RasterExport.h"

#include "app/AtomicFile.h"
#include "app/BitmapFile.h"
#include "app/IconFile.h"
#include "platform/GdiPlusBrush.h"
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "svg/compositing/SVGRender.h"
#include "svg/core/SVGDocument.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace plumwick {
namespace {

bool ValidSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= MaxExportPixels && height <= MaxExportPixels;
}

// The picture to encode; a size the writers refuse raises.
std::unique_ptr<TGPBitmap> RenderForFile(TSVG& document, int width, int height, const TExportOptions& options)
{
    auto target = RenderDocument(document, width, height, options);
    if (!target)
        throw std::invalid_argument("image size " + std::to_string(width) + "x" + std::to_string(height) +
                                    " is outside 1.." + std::to_string(MaxExportPixels));
    return target;
}

std::string PngBytes(const TGPBitmap& bitmap, const std::string& fileName)
{
    std::vector<std::uint8_t> png;
    if (bitmap.SaveToMemory("image/png", png) != Ok) throw std::runtime_error("cannot encode " + fileName + " as PNG");
    return std::string(png.begin(), png.end());
}

bool IsBitmapName(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot != std::string::npos && fileName.compare(dot, std::string::npos, ".bmp") == 0;
}

// Straight B, G, R, A bytes, rows top-down: the little-endian layout of straight ARGB values.
std::vector<std::uint8_t> BgraBytes(const TGPBitmap& bitmap, int width, int height)
{
    std::vector<std::uint32_t> argb;
    // A picture that cannot be read would be written as a transparent one.
    if (!bitmap.GetPixels(argb)) throw std::runtime_error("cannot read the rendered pixels");
    argb.resize(static_cast<std::size_t>(width) * height);
    std::vector<std::uint8_t> bgra;
    bgra.reserve(argb.size() * 4);
    for (const std::uint32_t pixel : argb)
        for (const int shift : {0, 8, 16, 24}) bgra.push_back(static_cast<std::uint8_t>(pixel >> shift));
    return bgra;
}

// One image of an icon file: its pixels, and its PNG when it is stored as one.
struct TRenderedIconImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;
    std::string Png;
};

}  // namespace

std::unique_ptr<TGPBitmap> RenderDocument(TSVG& document, int width, int height, const TExportOptions& options)
{
    if (!ValidSize(width, height)) return nullptr;
    TRenderOptions render;
    render.Stretch = !options.Fit;
    auto painted = RenderToBitmap(document, width, height, render);
    if (!painted || !options.Background) return painted;
    // The icon composited over a target filled with the background.
    auto target = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB);
    TGPGraphics graphics(target.get());
    TGPSolidBrush brush(*options.Background);
    const TGPRectF whole{0, 0, static_cast<float>(width), static_cast<float>(height)};
    // Either step failing would leave an image without its background or without the icon.
    if (graphics.FillRectangle(&brush, whole) != Ok || graphics.DrawImage(painted.get(), whole) != Ok ||
        graphics.Flush(FlushIntentionFlush) != Ok)
        throw std::runtime_error("cannot composite the icon over its background");
    return target;
}

void SaveDocumentAsImage(TSVG& document, const std::string& fileName, int width, int height,
                         const TExportOptions& options)
{
    const auto target = RenderForFile(document, width, height, options);
    if (IsBitmapName(fileName))
        WriteFileAtomically(fileName, BuildBitmapFile(width, height, BgraBytes(*target, width, height)));
    else
        WriteFileAtomically(fileName, PngBytes(*target, fileName));
}

void SaveDocumentAsIcon(TSVG& document, const std::string& fileName, int width, int height,
                        const TExportOptions& options)
{
    const TIconSize size{width, height};
    SaveDocumentAsIconSet(document, fileName, std::span(&size, 1), options);
}

void SaveDocumentAsIconSet(TSVG& document, const std::string& fileName, std::span<const TIconSize> sizes,
                           const TExportOptions& options)
{
    if (sizes.empty()) throw std::invalid_argument("an icon file needs at least one size");
    std::vector<TRenderedIconImage> rendered;
    for (const TIconSize& size : sizes) {
        const auto target = RenderForFile(document, size.Width, size.Height, options);
        TRenderedIconImage& image = rendered.emplace_back();
        image.Width = size.Width;
        image.Height = size.Height;
        if (StoredAsPng(size.Width, size.Height)) {
            image.Png = PngBytes(*target, fileName);
        } else {
            image.Pixels = BgraBytes(*target, size.Width, size.Height);
        }
    }
    std::vector<TIconImage> images;
    for (const TRenderedIconImage& image : rendered)
        images.push_back({image.Width, image.Height, image.Pixels, image.Png});
    WriteFileAtomically(fileName, BuildIconFile(images));
}

void SaveSvgAsImage(std::string_view svgText, const std::string& fileName, int width, int height)
{
    TSVG document;
    document.LoadFromText(svgText);
    SaveDocumentAsImage(document, fileName, width, height);
}

void SaveSvgAsIcon(std::string_view svgText, const std::string& fileName, int width, int height)
{
    TSVG document;
    document.LoadFromText(svgText);
    SaveDocumentAsIcon(document, fileName, width, height);
}

}  // namespace plumwick
