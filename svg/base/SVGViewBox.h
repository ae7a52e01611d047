#pragma once

// Mapping a view box into a viewport (see SVGAspectRatio.h) and the viewport's own lengths. Shared by
// nested svg elements, symbols, markers, patterns and SVG pictures.

#include <string_view>

#include "svg/base/SVGAspectRatio.h"

namespace plumwick {

// A length attribute against Reference: "50%" is half of it, other units as ParseLength reads them.
float ResolveLength(std::string_view Text, float Reference);

}  // namespace plumwick
