#pragma once

// The functional colour notations of CSS: rgb()/rgba() and hsl()/hsla(), in the comma form and in
// the space-separated form with "/ alpha".

#include <string_view>

#include "svg/base/SVGTypes.h"

namespace plumwick {

// A colour value with its alpha (see ColorWithAlpha), or -1 when Text is not one of the forms.
// Function names are matched in any case; components may be numbers or percentages.
TColor ParseColorFunction(std::string_view Text);

}  // namespace plumwick
