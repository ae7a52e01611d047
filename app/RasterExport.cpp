#include "app/RasterExport.h"

#include "app/AtomicFile.h"
#include "app/BitmapFile.h"
#include "app/IconFile.h"
#include "platform/GdiPlusBrush.h"
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "svg/core/SVGDocument.h"
#include "svg/compositing/SVGRender.h"

#include <cstdint>
#include <vector>

namespace plumwick {
namespace {

bool ValidSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= MaxExportPixels && height <= MaxExportPixels;
}

bool IsBitmapName(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot != std::string::npos && fileName.compare(dot, std::string::npos, ".bmp") == 0;
}

// Straight B, G, R, A bytes, rows top-down: the little-endian layout of straight ARGB values. A failed
// conversion leaves them transparent.
std::vector<std::uint8_t> BgraBytes(const TGPBitmap& bitmap, int width, int height)
{
    std::vector<std::uint32_t> argb;
    bitmap.GetPixels(argb);
    argb.resize(static_cast<std::size_t>(width) * height);
    std::vector<std::uint8_t> bgra;
    bgra.reserve(argb.size() * 4);
    for (const std::uint32_t pixel : argb)
        for (const int shift : {0, 8, 16, 24})
            bgra.push_back(static_cast<std::uint8_t>(pixel >> shift));
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
    if (!ValidSize(width, height))
        return nullptr;
    TRenderOptions render;
    render.Stretch = !options.Fit;
    auto painted = RenderToBitmap(document, width, height, render);
    if (!painted || !options.Background)
        return painted;
    // The icon composited over a target filled with the background.
    auto target = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB);
    TGPGraphics graphics(target.get());
    TGPSolidBrush brush(*options.Background);
    graphics.FillRectangle(&brush, TGPRectF{0, 0, static_cast<float>(width), static_cast<float>(height)});
    graphics.DrawImage(painted.get(), TGPRectF{0, 0, static_cast<float>(width), static_cast<float>(height)});
    graphics.Flush(FlushIntentionFlush);
    return target;
}

bool SaveDocumentAsImage(TSVG& document, const std::string& fileName, int width, int height,
                         const TExportOptions& options)
{
    const auto target = RenderDocument(document, width, height, options);
    if (!target)
        return false;
    if (IsBitmapName(fileName)) {
        WriteFileAtomically(fileName, BuildBitmapFile(width, height, BgraBytes(*target, width, height)));
        return true;
    }
    std::vector<std::uint8_t> png;
    if (target->SaveToMemory("image/png", png) != Ok)
        return false;
    WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    return true;
}

bool SaveDocumentAsIcon(TSVG& document, const std::string& fileName, int width, int height,
                        const TExportOptions& options)
{
    const TIconSize size{width, height};
    return SaveDocumentAsIconSet(document, fileName, std::span(&size, 1), options);
}

bool SaveDocumentAsIconSet(TSVG& document, const std::string& fileName, std::span<const TIconSize> sizes,
                           const TExportOptions& options)
{
    if (sizes.empty())
        return false;
    std::vector<TRenderedIconImage> rendered;
    for (const TIconSize& size : sizes) {
        const auto target = RenderDocument(document, size.Width, size.Height, options);
        if (!target)
            return false;
        TRenderedIconImage& image = rendered.emplace_back();
        image.Width = size.Width;
        image.Height = size.Height;
        if (StoredAsPng(size.Width, size.Height)) {
            std::vector<std::uint8_t> png;
            if (target->SaveToMemory("image/png", png) != Ok)
                return false;
            image.Png.assign(png.begin(), png.end());
        } else {
            image.Pixels = BgraBytes(*target, size.Width, size.Height);
        }
    }
    std::vector<TIconImage> images;
    for (const TRenderedIconImage& image : rendered)
        images.push_back({image.Width, image.Height, image.Pixels, image.Png});
    WriteFileAtomically(fileName, BuildIconFile(images));
    return true;
}

bool SaveSvgAsImage(std::string_view svgText, const std::string& fileName, int width, int height)
{
    TSVG document;
    document.LoadFromText(svgText);
    return SaveDocumentAsImage(document, fileName, width, height);
}

bool SaveSvgAsIcon(std::string_view svgText, const std::string& fileName, int width, int height)
{
    TSVG document;
    document.LoadFromText(svgText);
    return SaveDocumentAsIcon(document, fileName, width, height);
}

}  // namespace plumwick
