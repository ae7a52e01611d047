#include "svg/structure/SVGViewBox.h"

#include "svg/core/SVGCommon.h"
#include "svg/core/SVGParse.h"

namespace plumwick {

float ResolveLength(std::string_view Text, float Reference)
{
    const std::string_view T = TrimView(Text);
    if (GetLengthUnit(T) == luPercent) return ParseLength(T) / 100 * Reference;
    return ParseLength(T);
}

}  // namespace plumwick
