#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace plumwick {

class TGPBitmap;
class TSVG;

// Largest target size accepted.
constexpr int MaxExportPixels = 4096;

// Renders one SVG document into a Width x Height image file: painted once, anti-aliased, straight into the
// target, the document's own area (its width and height, or its view box) stretched onto the whole image.
//
// Loading errors of the SVG text (plumwick::EXmlError, plumwick::ESVGError) propagate and nothing is written.
// Failures to write the file raise std::runtime_error with the reason; an existing file of that name is then
// left as it was (the file is written to a temporary name in the same folder and renamed over it).

// PNG, or BMP when FileName ends exactly in ".bmp" (case-sensitive). True when the image was encoded and
// written. Width and Height must be 1..MaxExportPixels; other sizes return false and write nothing.
bool SaveSvgAsImage(std::string_view svgText, const std::string& fileName, int width, int height);

// A one-image .ico file with 32-bit straight BGRA colour pixels and an all-zero mask. True when the colour
// bitmap could be made; the file is written whenever the SVG loads and the size is valid.
bool SaveSvgAsIcon(std::string_view svgText, const std::string& fileName, int width, int height);

// The same for a document loaded once and exported at several sizes; painting does not change it.
bool SaveDocumentAsImage(TSVG& document, const std::string& fileName, int width, int height);
bool SaveDocumentAsIcon(TSVG& document, const std::string& fileName, int width, int height);

// The Width x Height picture both writers save (RenderToBitmap with the export's options). Fully transparent
// when the document has no size; nullptr only for a size outside 1..MaxExportPixels.
std::unique_ptr<TGPBitmap> RenderDocument(TSVG& document, int width, int height);

}  // namespace plumwick
