#include "svg/paint/GradientPaint.h"

#include <algorithm>
#include <cmath>

#include "platform/GdiPlus.h"
#include "svg/base/SVGColor.h"

namespace plumwick {

namespace {

ARGB StopARGB(const TGradientStop& Stop, std::uint8_t Alpha)
{
    const double A = std::nearbyint(static_cast<double>(Alpha) * Stop.Opacity);  // halves to even
    return ColorToARGB(Stop.Color, static_cast<std::uint8_t>(A));
}

// Maps gradient coordinates to user space: the gradient transform first, then the box for
// bounding-box units.
struct TGradientSpace {
    const TGradientDescription& G;
    const TGradientTarget& T;

    bool BoxUnits() const { return G.Units == guObjectBoundingBox; }
    // Bounding-box units read percentages as fractions; user space measures them on the viewport.
    float X(const TGradientLength& L) const
    {
        return L.Percent ? L.Value / 100 * (BoxUnits() ? 1 : T.ViewportWidth) : L.Value;
    }
    float Y(const TGradientLength& L) const
    {
        return L.Percent ? L.Value / 100 * (BoxUnits() ? 1 : T.ViewportHeight) : L.Value;
    }
    float Radius(const TGradientLength& L) const
    {
        if (!L.Percent) return L.Value;
        if (BoxUnits()) return L.Value / 100;
        const double W = T.ViewportWidth, H = T.ViewportHeight;
        return static_cast<float>(L.Value / 100 * std::sqrt((W * W + H * H) / 2));
    }
    TMatrix Matrix() const
    {
        TMatrix M = G.Transform.IsTransform() ? G.Transform : IdentityMatrix();
        if (BoxUnits()) {
            TMatrix Box = IdentityMatrix();
            Box.m11 = T.Box.Width;
            Box.m22 = T.Box.Height;
            Box.m31 = T.Box.X;
            Box.m32 = T.Box.Y;
            M = M * Box;
        }
        return M;
    }
};

WrapMode WrapOf(TSpreadMethod Spread)
{
    switch (Spread) {
        case TSpreadMethod::Reflect:
            return WrapModeTileFlipXY;
        case TSpreadMethod::Repeat:
            return WrapModeTile;
        default:
            return WrapModeClamp;
    }
}

std::unique_ptr<TGPBrush> LastStopBrush(const TGradientDescription& G, std::uint8_t Alpha)
{
    return std::make_unique<TGPSolidBrush>(StopARGB(G.Stops.back(), Alpha));
}

}  // namespace

void GradientColorTable(const TGradientDescription& G, std::uint8_t Alpha, std::vector<ARGB>& Colors,
                        std::vector<float>& Positions)
{
    Colors.clear();
    Positions.clear();
    if (G.Stops.empty()) return;
    auto Append = [&](const TGradientStop& S, float Position) {
        Colors.push_back(StopARGB(S, Alpha));
        Positions.push_back(Position);
    };
    if (G.Stops.front().Offset > 0) Append(G.Stops.front(), 0);
    for (const TGradientStop& S : G.Stops) Append(S, S.Offset);
    if (G.Stops.back().Offset < 1) Append(G.Stops.back(), 1);
}

std::unique_ptr<TGPBrush> MakeGradientBrush(const TGradientDescription& G, std::uint8_t Alpha,
                                            const TGradientTarget& Target)
{
    if (G.Stops.empty()) return nullptr;
    // A box without area gives bounding-box units nothing to measure: the paint is not used.
    if (G.Units == guObjectBoundingBox && !(Target.Box.Width > 0 && Target.Box.Height > 0)) return nullptr;
    const TGradientSpace Space{G, Target};
    const TMatrix M = Space.Matrix();
    const double Det = static_cast<double>(M.m11) * M.m22 - static_cast<double>(M.m12) * M.m21;
    if (!(std::abs(Det) > 0) || !std::isfinite(Det)) return nullptr;
    if (G.Stops.size() == 1) return LastStopBrush(G, Alpha);

    std::vector<ARGB> Colors;
    std::vector<float> Positions;
    GradientColorTable(G, Alpha, Colors, Positions);
    const auto GPMatrix = ToGPMatrix(M);
    if (!G.Radial) {
        const TGPPointF P1{Space.X(G.X1), Space.Y(G.Y1)}, P2{Space.X(G.X2), Space.Y(G.Y2)};
        if (P1 == P2) return LastStopBrush(G, Alpha);
        auto Brush = std::make_unique<TGPLinearGradientBrush>(P1, P2, 0, 0);
        Brush->SetWrapMode(WrapOf(G.Spread));
        Brush->SetInterpolationColors(Colors, Positions);
        Brush->SetTransform(GPMatrix.get());
        return Brush;
    }
    const float R = Space.Radius(G.R);
    // A negative focal radius is an error that leaves the initial value, as browsers read it.
    const float FR = std::max(Space.Radius(G.FR), 0.0f);
    if (!std::isfinite(R) || !std::isfinite(FR)) return nullptr;
    // A circle without area (or, as browsers read it, a negative radius) shows the last stop.
    if (R <= 0) return LastStopBrush(G, Alpha);
    const TGPPointF Centre{Space.X(G.CX), Space.Y(G.CY)};
    // A focal circle reaching outside the outer one makes a cone, outside of which nothing is
    // painted (the SVG 2 rule, which browsers follow instead of moving the focus onto the circle).
    const TGPPointF Focal{Space.X(G.FX), Space.Y(G.FY)};
    auto Brush = std::make_unique<TGPRadialGradientBrush>(Centre, R, Focal, FR);
    Brush->SetWrapMode(WrapOf(G.Spread));
    Brush->SetInterpolationColors(Colors, Positions);
    Brush->SetTransform(GPMatrix.get());
    return Brush;
}

}  // namespace plumwick
