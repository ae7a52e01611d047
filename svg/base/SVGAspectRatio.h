#pragma once

// preserveAspectRatio: reading it, and placing a box of one shape into a box of another as it says.
// Shared by the root, nested svg elements, symbols, markers, patterns, images and feImage.

#include <string_view>

#include "svg/base/SVGTypes.h"

namespace plumwick {

// A parsed "preserveAspectRatio": alignment shares 0, 0.5 or 1 per axis; Stretch for "none".
struct TAspectRatio {
    float AlignX = 0.5f;
    float AlignY = 0.5f;
    bool Slice = false;  // cover the viewport and cut, rather than fit whole
    bool Stretch = false;
};

// "[defer] <align> [meet | slice]"; "xMidYMid meet" for an empty or unreadable value (an unknown
// alignment or a trailing word that is neither "meet" nor "slice").
TAspectRatio ParseAspectRatio(std::string_view Value);

// Whether Box has a positive, finite width and height.
bool IsUsableBox(const TRectF& Box);

// Maps the view box onto the viewport (X, Y, Width, Height) as Aspect says; the translation to
// (X, Y) alone when the view box is not usable.
TMatrix ViewBoxMatrix(const TRectF& ViewBox, const TAspectRatio& Aspect, float X, float Y, float Width, float Height);

// Where a Width × Height picture lands in Box: scaled uniformly to fit (or to cover, for slice) and
// aligned, or Box itself when stretched. A covering picture reaches past Box; callers clip.
TGPRectF PlaceInBox(float Width, float Height, const TGPRectF& Box, const TAspectRatio& Aspect);

}  // namespace plumwick
