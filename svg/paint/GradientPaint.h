#pragma once

// A gradient as a plain description, resolved once from the document (reference chain, defaults,
// stops), and the brush it gives for one element's box at paint time.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/GdiPlusTypes.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGTypes.h"

namespace plumwick {

class TGPBrush;

enum class TSpreadMethod { Pad, Reflect, Repeat };

// A coordinate as written: a number, or a percentage of the box or of the viewport.
struct TGradientLength {
    float Value = 0;
    bool Percent = false;
};

// One stop: offset clamped to 0..1 and not below the one before, straight colour, and the
// opacity it paints with (stop-opacity times the colour's own alpha).
struct TGradientStop {
    float Offset = 0;
    TColor Color = 0;
    float Opacity = 1;
};

struct TGradientDescription {
    bool Radial = false;
    TGradientUnits Units = guObjectBoundingBox;
    TMatrix Transform = EmptyMatrix();  // all zero when there is none
    TSpreadMethod Spread = TSpreadMethod::Pad;
    // Linear: from (X1, Y1) to (X2, Y2).
    TGradientLength X1{0, true}, Y1{0, true}, X2{100, true}, Y2{0, true};
    // Radial: outer circle (CX, CY, R) and focal circle (FX, FY, FR).
    TGradientLength CX{50, true}, CY{50, true}, R{50, true}, FX{50, true}, FY{50, true}, FR{0, true};
    std::vector<TGradientStop> Stops;
};

// What a brush is made for: the painted element's box (for bounding-box units) and the size of
// the viewport (for user-space percentages).
struct TGradientTarget {
    TGPRectF Box;
    float ViewportWidth = 0;
    float ViewportHeight = 0;
};

// The brush for painting with Gradient at Alpha; nullptr when it paints nothing: no stops, a box
// without width or height in bounding-box units, a negative focal radius, or a transform that
// cannot be inverted. One stop, coinciding end points or a radius of zero or below give the last
// stop's colour.
std::unique_ptr<TGPBrush> MakeGradientBrush(const TGradientDescription& Gradient, std::uint8_t Alpha,
                                            const TGradientTarget& Target);

// The stop colours for Alpha as ARGB values with their positions, padded to 0 and 1.
void GradientColorTable(const TGradientDescription& Gradient, std::uint8_t Alpha, std::vector<ARGB>& Colors,
                        std::vector<float>& Positions);

}  // namespace plumwick
