#pragma once

// Lengths measured by the font: em and ex, and font sizes relative to the parent's.

#include <optional>
#include <string_view>

#include "svg/base/SVGTypes.h"

namespace plumwick {

// The initial font size, CSS's "medium".
inline constexpr float MediumFontSize = 16.0f;

// Value in user units where Unit is em (× FontSize) or ex (× FontSize / 2: fonts' x-heights are not
// measured here); Value itself for any other unit.
float FontRelativeLength(float Value, TLengthUnit Unit, float FontSize);

// A "font-size" value as written: a size in user units, or a factor of the parent's size.
struct TFontSizeValue {
    float Value = MediumFontSize;
    bool OfParent = false;
};

// Reads a font size: a length, em, ex or a percentage of the parent's size, a named size (xx-small to
// xxx-large), larger or smaller (the parent's × 1.2 or ÷ 1.2). Nothing for "inherit", an empty text or a
// text that is no size (a negative one included): the parent's size stays in force.
std::optional<TFontSizeValue> ParseFontSize(std::string_view Text);

// The size Value gives under a parent whose size is ParentSize.
inline float ResolveFontSize(const TFontSizeValue& Value, float ParentSize)
{
    return Value.OfParent ? Value.Value * ParentSize : Value.Value;
}

}  // namespace plumwick
