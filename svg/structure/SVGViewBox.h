#pragma once

// Mapping a view box into a viewport: preserveAspectRatio and the matrix it gives. Shared by nested
// svg elements, symbols, markers, patterns and SVG pictures.

#include <string_view>

#include "svg/core/SVGTypes.h"

namespace plumwick {

// A parsed "preserveAspectRatio": alignment shares 0, 0.5 or 1 per axis; Stretch for "none".
struct TAspectRatio {
    float AlignX = 0.5f;
    float AlignY = 0.5f;
    bool Slice = false;
    bool Stretch = false;
};

// "xMidYMid meet" for an empty or unreadable value.
TAspectRatio ParseAspectRatio(std::string_view Value);

// Whether Box has a positive, finite width and height.
bool IsUsableBox(const TRectF& Box);

// Maps the view box onto the viewport (X, Y, Width, Height) as Aspect says; the translation to
// (X, Y) alone when the view box is not usable.
TMatrix ViewBoxMatrix(const TRectF& ViewBox, const TAspectRatio& Aspect, float X, float Y, float Width, float Height);

// A length attribute against Reference: "50%" is half of it, other units as ParseLength reads them.
float ResolveLength(std::string_view Text, float Reference);

}  // namespace plumwick
