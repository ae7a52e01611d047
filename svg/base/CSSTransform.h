#pragma once

// The CSS forms of "transform" and "transform-origin", as a style sheet or a "style" attribute writes them.

#include <optional>
#include <string>
#include <string_view>

#include "svg/base/SVGTypes.h"

namespace plumwick {

// A CSS transform list ("rotate(45deg) translateX(10px)") in the transform-list syntax of the SVG attribute;
// "none" and lists that are not understood (unknown functions, units) give an empty text: no transform.
std::string CSSTransformToSVG(std::string_view Value);

// The point a "transform-origin" names, in user units: keywords (left, center, right, top, bottom), lengths and
// percentages of the reference box Width × Height; nothing for an unreadable value.
std::optional<TPointF> ParseTransformOrigin(std::string_view Value, float Width, float Height);

}  // namespace plumwick
