#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace plumwick {

class TGPBitmap;
class TSVG;

// How the painted document is placed on the target. Colour changes (a fixed colour, greyscale) belong to the
// document and are set on it before it is loaded.
struct TExportOptions {
    std::optional<std::uint32_t> Background;  // ARGB composited under the icon; transparent when unset
    bool Fit = false;  // keep the document's aspect ratio, centred with transparent padding, instead of stretching
};

// Largest target size accepted.
constexpr int MaxExportPixels = 4096;

// Renders one SVG document into a Width x Height image file: painted once, anti-aliased, straight into the
// target, the document's own area (its width and height, or its view box) stretched onto the whole image.
//
// Every failure raises and writes nothing: loading errors of the SVG text (plumwick::EXmlError,
// plumwick::ESVGError) propagate; a size outside 1..MaxExportPixels raises std::invalid_argument; an image
// that cannot be encoded or written raises std::runtime_error with the reason, and an existing file of that
// name is then left as it was (the file is written to a temporary name in the same folder and renamed over it).

// PNG (8-bit straight RGBA), or a 32-bit BMP with alpha when FileName ends exactly in ".bmp" (case-sensitive).
void SaveSvgAsImage(std::string_view svgText, const std::string& fileName, int width, int height);

// A one-image .ico file (layout in app/IconFile.h).
void SaveSvgAsIcon(std::string_view svgText, const std::string& fileName, int width, int height);

// The same for a document loaded once and exported at several sizes; painting does not change it.
void SaveDocumentAsImage(TSVG& document, const std::string& fileName, int width, int height,
                         const TExportOptions& options = {});
void SaveDocumentAsIcon(TSVG& document, const std::string& fileName, int width, int height,
                        const TExportOptions& options = {});

struct TIconSize {
    int Width = 0;
    int Height = 0;
};

// One .ico file holding the document rendered at each of Sizes, in that order; an empty Sizes raises
// std::invalid_argument.
void SaveDocumentAsIconSet(TSVG& document, const std::string& fileName, std::span<const TIconSize> sizes,
                           const TExportOptions& options = {});

// The Width x Height picture the writers save (RenderToBitmap with the export's options, then the background
// under it). Fully transparent when the document has no size and no background is asked for; nullptr only
// for a size outside 1..MaxExportPixels. A background that cannot be composited raises std::runtime_error.
std::unique_ptr<TGPBitmap> RenderDocument(TSVG& document, int width, int height, const TExportOptions& options = {});

}  // namespace plumwick
