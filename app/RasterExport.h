#pragma once

#include <string>
#include <string_view>

namespace plumwick {

// Renders one SVG document into a Width x Height image file. The document is painted at its own size (the
// view box, enlarged by a whole factor when that is smaller than the target, and capped at 4096 px on its
// longer side) and then scaled to the target with high-quality interpolation.
//
// Loading errors of the SVG text (plumwick::EXmlError, plumwick::ESVGError) propagate and nothing is written.
// Failures to write the file raise std::runtime_error with the reason; an existing file of that name is then
// left as it was (the file is written to a temporary name in the same folder and renamed over it).

// PNG, or BMP when FileName ends exactly in ".bmp" (case-sensitive). True when the image was encoded and
// written. Width and Height must be 1..4096; other sizes return false and write nothing.
bool SaveSvgAsImage(std::string_view svgText, const std::string& fileName, int width, int height);

// A one-image .ico file with 32-bit straight BGRA colour pixels and an all-zero mask. True when the colour
// bitmap could be made; the file is written whenever the SVG loads and the size is valid (1..4096).
bool SaveSvgAsIcon(std::string_view svgText, const std::string& fileName, int width, int height);

}  // namespace plumwick
