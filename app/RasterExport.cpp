#include "app/RasterExport.h"

#include "app/AtomicFile.h"
#include "app/IconFile.h"
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "svg/SVGDocument.h"
#include "svg/compositing/SVGRender.h"

#include <cstdint>
#include <vector>

namespace plumwick {
namespace {

bool ValidSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= MaxExportPixels && height <= MaxExportPixels;
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
    return RenderToBitmap(document, width, height);
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
