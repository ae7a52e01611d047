#pragma once

// Runs a chain of filter primitives on a canvas.

#include <span>

#include "svg/compositing/filters/FilterPrimitive.h"

namespace plumwick::filters {

// Runs Primitives on Source (the painted element, sRGB) and gives the last result in sRGB, clipped
// to Region (the filter region on the canvas). Result inputs name earlier primitives only; other
// indices read as transparent black. No primitives give a transparent canvas.
TFilterImage RunFilter(std::span<const TFilterPrimitive> Primitives, const TFilterImage& Source,
                       const TIntRect& Region);

}  // namespace plumwick::filters
