#include "app/RasterExport.h"

#include "app/AtomicFile.h"
#include "app/IconFile.h"
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

std::string MimeTypeFor(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot != std::string::npos && fileName.compare(dot, std::string::npos, ".bmp") == 0 ? "image/bmp"
                                                                                             : "image/png";
}

// Every encoder of that MIME type is taken in turn, so the last one wins; none leaves the id all zero.
CLSID EncoderFor(const std::string& mimeType)
{
    CLSID id{};
    for (const TImageCodecInfo& codec : GetImageEncoders())
        if (codec.MimeType == mimeType)
            id = codec.Clsid;
    return id;
}

}  // namespace

std::unique_ptr<TGPBitmap> RenderDocument(TSVG& document, int width, int height)
{
    if (!ValidSize(width, height))
        return nullptr;
    auto target = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB);
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
    graphics.DrawImage(&natural, TGPRectF{0, 0, static_cast<float>(width), static_cast<float>(height)});
    graphics.Flush(FlushIntentionFlush);
    return target;
}

bool SaveDocumentAsImage(TSVG& document, const std::string& fileName, int width, int height)
{
    const auto target = RenderDocument(document, width, height);
    if (!target)
        return false;
    // Encoded in memory and written through the one checked writer, so a full disk or a failed close
    // reaches the caller instead of leaving a short file under the final name.
    const std::string mimeType = MimeTypeFor(fileName);
    if (EncoderFor(mimeType).IsNull())
        return false;
    std::vector<std::uint8_t> bytes;
    if (target->SaveToMemory(mimeType, bytes) != Ok || bytes.empty())
        return false;
    WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
}

bool SaveDocumentAsIcon(TSVG& document, const std::string& fileName, int width, int height)
{
    const auto target = RenderDocument(document, width, height);
    if (!target)
        return false;
    std::vector<std::uint32_t> argb;
    const bool converted = target->GetPixels(argb);
    argb.resize(static_cast<std::size_t>(width) * height);  // a failed conversion leaves a transparent icon
    std::vector<std::uint8_t> bgra;
    bgra.reserve(argb.size() * 4);
    for (const std::uint32_t pixel : argb)
        for (const int shift : {0, 8, 16, 24})
            bgra.push_back(static_cast<std::uint8_t>(pixel >> shift));
    WriteFileAtomically(fileName, BuildIconFile(width, height, bgra));
    return converted;
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
