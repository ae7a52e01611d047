#include "svg/base/SVGFontLength.h"

#include <cmath>
#include <utility>

#include "svg/base/SVGParse.h"

namespace plumwick {

float FontRelativeLength(float Value, TLengthUnit Unit, float FontSize)
{
    if (Unit == luEm) return Value * FontSize;
    if (Unit == luEx) return Value * FontSize / 2;
    return Value;
}

std::optional<TFontSizeValue> ParseFontSize(std::string_view Text)
{
    Text = TrimView(Text);
    static constexpr std::pair<std::string_view, float> Named[] = {{"xx-small", 9},  {"x-small", 10},  {"small", 13},
                                                                   {"medium", 16},   {"large", 18},    {"x-large", 24},
                                                                   {"xx-large", 32}, {"xxx-large", 48}};
    for (const auto& [Name, Size] : Named)
        if (Text == Name) return TFontSizeValue{Size, false};
    if (Text == "larger") return TFontSizeValue{1.2f, true};
    if (Text == "smaller") return TFontSizeValue{1 / 1.2f, true};

    const TLengthUnit Unit = GetLengthUnit(Text);
    const std::size_t Suffix = Unit == luNone ? 0 : Unit == luPercent ? 1 : 2;
    float Number = 0;
    if (!TryParseNumber(Text.substr(0, Text.size() - Suffix), Number) || !(Number >= 0) || !std::isfinite(Number))
        return std::nullopt;
    switch (Unit) {
        case luEm:
        case luEx:
            return TFontSizeValue{FontRelativeLength(Number, Unit, 1), true};
        case luPercent:
            return TFontSizeValue{Number / 100, true};
        default:
            return TFontSizeValue{Number * LengthUnitFactor(Unit), false};
    }
}

}  // namespace plumwick
