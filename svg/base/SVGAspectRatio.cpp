#include "svg/base/SVGAspectRatio.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"

namespace plumwick {

namespace {

// Scale per axis and where the scaled Width × Height box starts inside Box.
struct TFit {
    float SX, SY, X, Y;
};

TFit Fit(float Width, float Height, const TGPRectF& Box, const TAspectRatio& Aspect)
{
    if (Aspect.Stretch) return {Box.Width / Width, Box.Height / Height, Box.X, Box.Y};
    const float S = Aspect.Slice ? std::max(Box.Width / Width, Box.Height / Height)
                                 : std::min(Box.Width / Width, Box.Height / Height);
    return {S, S, Box.X + (Box.Width - Width * S) * Aspect.AlignX, Box.Y + (Box.Height - Height * S) * Aspect.AlignY};
}

}  // namespace

TAspectRatio ParseAspectRatio(std::string_view Value)
{
    std::vector<std::string> Words;
    for (const std::string& Word : SplitValues(Value, ' '))
        if (std::string W = Trim(Word); !W.empty()) Words.push_back(std::move(W));
    std::size_t I = 0;
    if (I < Words.size() && Words[I] == "defer") ++I;
    if (I >= Words.size()) return {};
    // Anything after the alignment but one "meet" or "slice" makes the whole value unreadable.
    const bool HasMode = I + 1 < Words.size();
    if (I + (HasMode ? 2 : 1) != Words.size()) return {};
    if (HasMode && Words[I + 1] != "meet" && Words[I + 1] != "slice") return {};
    TAspectRatio Aspect;
    const std::string& Align = Words[I];
    if (Align == "none") {
        Aspect.Stretch = true;
        return Aspect;
    }
    if (Align.size() != 8 || Align[0] != 'x' || Align[4] != 'Y') return {};
    auto Share = [](std::string_view Word) {
        return Word == "Min" ? 0.0f : Word == "Mid" ? 0.5f : Word == "Max" ? 1.0f : -1.0f;
    };
    const float X = Share(std::string_view(Align).substr(1, 3));
    const float Y = Share(std::string_view(Align).substr(5, 3));
    if (X < 0 || Y < 0) return {};
    Aspect.AlignX = X;
    Aspect.AlignY = Y;
    Aspect.Slice = HasMode && Words[I + 1] == "slice";
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
    const TFit F = Fit(VW, VH, TGPRectF{X, Y, Width, Height}, Aspect);
    return CreateTranslation(-ViewBox.Left, -ViewBox.Top) * CreateScaling(F.SX, F.SY) * CreateTranslation(F.X, F.Y);
}

TGPRectF PlaceInBox(float Width, float Height, const TGPRectF& Box, const TAspectRatio& Aspect)
{
    if (Aspect.Stretch) return Box;
    const TFit F = Fit(Width, Height, Box, Aspect);
    return TGPRectF{F.X, F.Y, Width * F.SX, Height * F.SY};
}

}  // namespace plumwick
