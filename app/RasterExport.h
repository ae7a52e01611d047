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
struct TGPRectF;

// How the painted document is placed on the target. Colour changes (a fixed colour, greyscale) belong to the
// document and are set on it before it is loaded.
struct TExportOptions {
    std::optional<std::uint32_t> Background;  // ARGB composited under the icon; transparent when unset
    bool Fit = false;  // keep the document's aspect ratio, centred with transparent padding, instead of stretching
};

// Where content of ContentWidth x ContentHeight lands on a Width x Height target: the whole target, or with
// Fit the largest centred rectangle of the content's aspect ratio (the whole target when the content is empty).
TGPRectF PlacementRect(double contentWidth, double contentHeight, int width, int height, bool fit);

// Largest target size accepted, and the cap on the longer side of the natural-size bitmap.
constexpr int MaxExportPixels = 4096;

// Renders one SVG document into a Width x Height image file. The document is painted at its own size (the
// view box, enlarged by a whole factor when that is smaller than the target, and capped at MaxExportPixels on
// its longer side) and then scaled to the target with high-quality interpolation.
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

// The Width x Height picture both writers save: the document painted at its natural size and resampled.
// Fully transparent when the view box is empty; nullptr only for a size outside 1..MaxExportPixels.
std::unique_ptr<TGPBitmap> RenderDocument(TSVG& document, int width, int height, const TExportOptions& options = {});

}  // namespace plumwick
