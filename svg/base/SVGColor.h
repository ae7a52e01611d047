#pragma once

// Colour texts to colour values ($00BBGGRR; -1 not given, -2 "none") and colour conversions.

#include <cstdint>
#include <string>
#include <string_view>

#include "svg/base/SVGTypes.h"

namespace plumwick {

// A colour that is not opaque keeps its alpha in the top byte as 255 - alpha, so that every
// opaque colour keeps the plain $00BBGGRR layout. Fully transparent colours that would fall on
// -1 or -2 are moved off them by one step of red.
TColor ColorWithAlpha(TColor rgb, std::uint8_t alpha);
// The alpha a colour value carries: 255 for the plain layout.
std::uint8_t ColorAlpha(TColor color);
// Whether the value is a colour (not "not given" and not "none").
inline bool IsColorValue(TColor color)
{
    return color != SVG_INHERIT_COLOR && color != SVG_NONE_COLOR;
}

// Keyword (any case), "transparent", #rgb, #rgba, #rrggbb, #rrggbbaa, rgb()/rgba()/hsl()/hsla()
// in the CSS forms, and the older hexadecimal text without "#" and integer texts; surrounding
// blanks are ignored. -1 for anything else.
TColor ParseColor(std::string_view text);
// rgb()/rgba()/hsl()/hsla() in any of the CSS forms; -1 when not of that form.
TColor ParseRGB(std::string_view text);
// One rgb() component as 0..255 (clamped), or -1 when unreadable.
int ParseColorComponent(std::string_view text);
// "#RRGGBB" / "#RGB" rewritten as the integer text "$BBGGRR".
std::string HexToColorText(std::string_view text);
// 0..15 for a hexadecimal digit, 0 for any other character.
int HexDigitValue(char c);
// After one leading "#", only hexadecimal digits (an empty remainder counts as true).
bool IsHex(std::string_view text);
// Only decimal digits (an empty text counts as true).
bool IsDecimal(std::string_view text);
// Luminance grey (0.299 R + 0.587 G + 0.114 B); -1 and -2 unchanged.
TColor GrayscaleColor(TColor color);
// alpha, red, green, blue from the top byte, as the graphics library wants colours.
std::uint32_t ColorToARGB(TColor color, std::uint8_t alpha);

// Named colour entry; the table is immutable and safe to read from any thread.
struct TNamedColor {
    std::string_view Name;
    TColor Color;
};
// Number of entries of the keyword table, "none" included.
int NamedColorCount();
// Entry by index (0 .. NamedColorCount()-1).
const TNamedColor& NamedColor(int index);

}  // namespace plumwick
