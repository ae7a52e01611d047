#include "app/RasterExport.h"

#include "app/AtomicFile.h"
#include "app/BitmapFile.h"
#include "app/IconFile.h"
#include "platform/GdiPlusBrush.h"
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "svg/SVGDocument.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace plumwick {
namespace {

bool ValidSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= MaxExportPixels && height <= MaxExportPixels;
}

// Ceil of a view box extent; anything not positive and finite asks for an empty bitmap.
double Extent(float value)
{
    return std::isfinite(value) && value > 0 ? std::ceil(static_cast<double>(value)) : 0.0;
}

// How much the document is enlarged before it is painted at its natural size: a whole factor when the
// natural size falls short of the target (so small view boxes resample down instead of blowing pixels up),
// reduced when the longer side would exceed the cap.
double PaintScale(double naturalWidth, double naturalHeight, int width, int height)
{
    double scale = 1;
    if (naturalWidth < width || naturalHeight < height)
        scale = std::max(std::ceil(width / naturalWidth), std::ceil(height / naturalHeight));
    const double longer = std::max(naturalWidth, naturalHeight) * scale;
    if (longer > MaxExportPixels)
        scale *= MaxExportPixels / longer;
    return scale;
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

TGPRectF PlacementRect(double contentWidth, double contentHeight, int width, int height, bool fit)
{
    const TGPRectF whole{0, 0, static_cast<float>(width), static_cast<float>(height)};
    if (!fit || !(contentWidth > 0) || !(contentHeight > 0))
        return whole;
    const double scale = std::min(width / contentWidth, height / contentHeight);
    const double placedWidth = contentWidth * scale, placedHeight = contentHeight * scale;
    return TGPRectF{static_cast<float>((width - placedWidth) / 2), static_cast<float>((height - placedHeight) / 2),
                    static_cast<float>(placedWidth), static_cast<float>(placedHeight)};
}

std::unique_ptr<TGPBitmap> RenderDocument(TSVG& document, int width, int height, const TExportOptions& options)
{
    if (!ValidSize(width, height))
        return nullptr;
    auto target = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB);
    if (options.Background) {
        // Filled first, so the icon is composited over it.
        TGPGraphics graphics(target.get());
        TGPSolidBrush brush(*options.Background);
        graphics.FillRectangle(&brush, TGPRectF{0, 0, static_cast<float>(width), static_cast<float>(height)});
        graphics.Flush(FlushIntentionFlush);
    }
    const TRectF& viewBox = document.GetViewBox();
    const double naturalWidth = Extent(viewBox.Right);
    const double naturalHeight = Extent(viewBox.Bottom);
    if (naturalWidth <= 0 || naturalHeight <= 0)
        return target;  // nothing to paint: the target stays transparent

    const double scale = PaintScale(naturalWidth, naturalHeight, width, height);
    const int bitmapWidth = std::max(1, static_cast<int>(std::ceil(naturalWidth * scale)));
    const int bitmapHeight = std::max(1, static_cast<int>(std::ceil(naturalHeight * scale)));
    TGPBitmap natural(bitmapWidth, bitmapHeight, PixelFormat32bppARGB);
    {
        // The enlargement goes into the surface's transform, which the document composes last, so the
        // document itself still maps its size onto (0, 0, Right, Bottom) as it would at scale 1.
        TGPGraphics graphics(&natural);
        if (scale != 1)
            graphics.ScaleTransform(static_cast<float>(scale), static_cast<float>(scale));
        document.PaintTo(graphics, TGPRectF{0, 0, viewBox.Right, viewBox.Bottom});
        graphics.Flush(FlushIntentionFlush);
    }
    TGPGraphics graphics(target.get());
    graphics.SetInterpolationMode(InterpolationModeHighQuality);
    graphics.DrawImage(&natural, PlacementRect(naturalWidth, naturalHeight, width, height, options.Fit));
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
