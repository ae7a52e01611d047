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
// Loading errors of the SVG text (plumwick::EXmlError, plumwick::ESVGError) propagate and nothing is written.
// Failures to write the file raise std::runtime_error with the reason; an existing file of that name is then
// left as it was (the file is written to a temporary name in the same folder and renamed over it).

// PNG (8-bit straight RGBA), or a 32-bit BMP with alpha when FileName ends exactly in ".bmp"
// (case-sensitive). True when the image was encoded and written. Width and Height must be 1..MaxExportPixels;
// other sizes return false and write nothing.
bool SaveSvgAsImage(std::string_view svgText, const std::string& fileName, int width, int height);

// A one-image .ico file (layout in app/IconFile.h). True when it was written; false for an invalid size.
bool SaveSvgAsIcon(std::string_view svgText, const std::string& fileName, int width, int height);

// The same for a document loaded once and exported at several sizes; painting does not change it.
bool SaveDocumentAsImage(TSVG& document, const std::string& fileName, int width, int height,
                         const TExportOptions& options = {});
bool SaveDocumentAsIcon(TSVG& document, const std::string& fileName, int width, int height,
                        const TExportOptions& options = {});

struct TIconSize {
    int Width = 0;
    int Height = 0;
};

// One .ico file holding the document rendered at each of Sizes, in that order. False, writing nothing, when
// Sizes is empty or a size is invalid.
bool SaveDocumentAsIconSet(TSVG& document, const std::string& fileName, std::span<const TIconSize> sizes,
                           const TExportOptions& options = {});

// The Width x Height picture the writers save (RenderToBitmap with the export's options, then the background
// under it). Fully transparent when the document has no size and no background is asked for; nullptr only
// for a size outside 1..MaxExportPixels.
std::unique_ptr<TGPBitmap> RenderDocument(TSVG& document, int width, int height, const TExportOptions& options = {});

}  // namespace plumwick
