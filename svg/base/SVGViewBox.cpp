#include "svg/base/SVGViewBox.h"

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"

namespace plumwick {

float ResolveLength(std::string_view Text, float Reference)
{
    const std::string_view T = TrimView(Text);
    if (GetLengthUnit(T) == luPercent) return ParseLength(T) / 100 * Reference;
    return ParseLength(T);
}

}  // namespace plumwick
