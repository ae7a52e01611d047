#include "svg/structure/SVGViewBox.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "svg/core/SVGCommon.h"
#include "svg/core/SVGParse.h"

namespace plumwick {

TAspectRatio ParseAspectRatio(std::string_view Value)
{
    TAspectRatio Aspect;
    std::vector<std::string> Words;
    for (const std::string& Word : SplitValues(Value, ' '))
        if (std::string W = Trim(Word); !W.empty()) Words.push_back(std::move(W));
    std::size_t I = 0;
    if (I < Words.size() && Words[I] == "defer") ++I;
    if (I >= Words.size()) return Aspect;
    const std::string& Align = Words[I];
    if (Align == "none") {
        Aspect.Stretch = true;
        return Aspect;
    }
    if (Align.size() != 8 || Align[0] != 'x' || Align[4] != 'Y') return Aspect;
    auto Share = [](std::string_view Word) {
        return Word == "Min" ? 0.0f : Word == "Mid" ? 0.5f : Word == "Max" ? 1.0f : -1.0f;
    };
    const float X = Share(std::string_view(Align).substr(1, 3));
    const float Y = Share(std::string_view(Align).substr(5, 3));
    if (X < 0 || Y < 0) return Aspect;
    Aspect.AlignX = X;
    Aspect.AlignY = Y;
    Aspect.Slice = I + 1 < Words.size() && Words[I + 1] == "slice";
    return Aspect;
}

bool IsUsableBox(const TRectF& Box)
{
    const float W = Box.Right - Box.Left, H = Box.Bottom - Box.Top;
    return std::isfinite(W) && std::isfinite(H) && W > 0 && H > 0 && std::isfinite(Box.Left) && std::isfinite(Box.Top);
}

TMatrix ViewBoxMatrix(const TRectF& ViewBox, const TAspectRatio& Aspect, float X, float Y, float Width, float Height)
{
    if (!IsUsableBox(ViewBox)) return CreateTranslation(X, Y);
    const float VW = ViewBox.Right - ViewBox.Left, VH = ViewBox.Bottom - ViewBox.Top;
    float SX = Width / VW, SY = Height / VH;
    if (!Aspect.Stretch) SX = SY = Aspect.Slice ? std::max(SX, SY) : std::min(SX, SY);
    const float TX = X + (Width - VW * SX) * (Aspect.Stretch ? 0 : Aspect.AlignX);
    const float TY = Y + (Height - VH * SY) * (Aspect.Stretch ? 0 : Aspect.AlignY);
    return CreateTranslation(-ViewBox.Left, -ViewBox.Top) * CreateScaling(SX, SY) * CreateTranslation(TX, TY);
}

float ResolveLength(std::string_view Text, float Reference)
{
    const std::string_view T = TrimView(Text);
    if (GetLengthUnit(T) == luPercent) return ParseLength(T) / 100 * Reference;
    return ParseLength(T);
}

}  // namespace plumwick
