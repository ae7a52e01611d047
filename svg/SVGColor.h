#pragma once

// Colour texts to colour values ($00BBGGRR; -1 not given, -2 "none") and colour conversions.

#include <cstdint>
#include <string>
#include <string_view>

#include "svg/SVGTypes.h"

namespace plumwick {

// Keyword (exact, case-sensitive), hexadecimal with or without "#", integer text or rgb(r,g,b);
// -1 for anything else.
TColor ParseColor(std::string_view text);
// rgb(r,g,b) with decimal, hexadecimal or percentage components; -1 when not of that form.
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
