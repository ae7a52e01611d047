#pragma once

// Value parsers for attribute and property texts. None of them raises: bad text yields the
// documented fallback (0, -1, an all-zero rectangle or matrix, an empty text).

#include <string>
#include <string_view>
#include <vector>

#include "svg/base/SVGTypes.h"

namespace plumwick {

// Reads a number; "." and "," both act as decimal point, blanks (U+0020 only) may surround it.
// On failure returns false and value is 0. Magnitudes beyond the float range fail.
bool TryParseNumber(std::string_view text, float& value);
// TryParseNumber returning only the value (0 when the text is not a number).
float ParseNumber(std::string_view text);
// Angle in radians: "deg" (also the default), "grad" or "rad" suffix; 0 when unreadable.
float ParseAngle(std::string_view text);
// "50%" and "0.5" both give 0.5 (no clamping); an empty text gives -1.
float ParsePercent(std::string_view text);
// Unit from the last two characters (exact, lower case), else "%" as last character, else luNone.
TLengthUnit GetLengthUnit(std::string_view text);
// Fixed factor of a unit: mm 10, cm 100, in 25.4, pt 1.25, pc 15, all others 1.
float LengthUnitFactor(TLengthUnit unit);
// Length in user units; a percentage is the bare number (50% gives 50).
float ParseLength(std::string_view text);
// Splits at the delimiter and at any character with code 0..32; double-quoted items may hold
// blanks ("" inside stands for one quote); empty items are dropped.
std::vector<std::string> SplitValues(std::string_view text, char delimiter);
// "x y w h" (blank or white-space separated) as Left, Top, Right, Bottom; all zero unless four items.
TRectF ParseViewBox(std::string_view text);
// The id inside "url(#id)" (after trimming), else the empty text.
std::string ParseURI(std::string_view text);

// Transform list ("translate(10) scale(2)"); all zero when no item is usable.
TMatrix ParseTransform(std::string_view text);
// Item parsers; their argument text is split at blanks and commas and where a number ends ("10-5" is 10, -5).
TMatrix ParseMatrixTransform(std::string_view args);  // 6 numbers, else identity
TMatrix ParseTranslate(std::string_view args);        // 1 or 2 numbers, else all zero
TMatrix ParseScale(std::string_view args);            // 1 or 2 numbers, else all zero
TMatrix ParseRotate(std::string_view args);           // angle [cx cy]; all zero without arguments
TMatrix ParseSkewX(std::string_view args);            // 1 number of degrees, else all zero
TMatrix ParseSkewY(std::string_view args);            // 1 number of degrees, else all zero

// Text helpers shared by the readers: removal of characters with codes 0..32 at the ends.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

}  // namespace plumwick
