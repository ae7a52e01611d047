// Radial gradients between a focal circle and an outer circle, as SVG 2 and canvas define them:
// each point takes the position of the largest circle of the family that passes through it.

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/GdiPlusPrivate.h"

namespace plumwick {

namespace {

// The gradient position of a point in brush space, nothing where no circle of the family with a
// radius of at least zero passes through it.
struct TConical {
    double FX, FY, FR;    // focal circle
    double CDX, CDY, DR;  // centre and radius change from the focal circle to the outer one
    double A;

    TConical(const TBrushState& b)
        : FX(b.Focal.X),
          FY(b.Focal.Y),
          FR(b.FocalRadius),
          CDX(b.Center.X - b.Focal.X),
          CDY(b.Center.Y - b.Focal.Y),
          DR(double(b.Radius) - b.FocalRadius),
          A(CDX * CDX + CDY * CDY - DR * DR)
    {
    }

    std::optional<double> At(double X, double Y) const
    {
        const double PX = X - FX, PY = Y - FY;
        const double B = PX * CDX + PY * CDY + FR * DR;
        const double C = PX * PX + PY * PY - FR * FR;
        auto Valid = [&](double W) { return FR + W * DR >= 0; };
        // Equal circles leave no band between them: the limit of a focal circle growing to the outer
        // one puts the first stop inside and the last outside.
        if (CDX == 0 && CDY == 0 && DR == 0) return C < 0 ? 0.0 : 1.0;
        if (std::abs(A) < 1e-9 * (CDX * CDX + CDY * CDY + DR * DR + 1e-30)) {
            if (B == 0) return std::nullopt;
            const double W = C / (2 * B);
            return Valid(W) ? std::optional<double>(W) : std::nullopt;
        }
        const double Disc = B * B - A * C;
        if (Disc < 0) return std::nullopt;
        const double Root = std::sqrt(Disc);
        const double W1 = (B + Root) / A, W2 = (B - Root) / A;
        const double Hi = std::max(W1, W2), Lo = std::min(W1, W2);
        if (Valid(Hi)) return Hi;
        if (Valid(Lo)) return Lo;
        return std::nullopt;
    }
};

double Spread(double T, WrapMode Wrap)
{
    switch (Wrap) {
        case WrapModeClamp:
            return std::clamp(T, 0.0, 1.0);
        case WrapModeTile:
            return T - std::floor(T);
        default: {
            const double M = T - 2 * std::floor(T / 2);
            return M > 1 ? 2 - M : M;
        }
    }
}

}  // namespace

void GdiPlusAccess::FillRadialGradient(QPainter& painter, const QPainterPath& worldArea, const TBrushState& b)
{
    if (b.Failed) return;
    const QTransform world = painter.worldTransform();
    bool invertible = false;
    const QTransform deviceToBrush = (ToQt(b.Transform) * world).inverted(&invertible);
    if (!invertible) return;
    const QPainterPath region = world.map(worldArea);
    const TConical conical(b);
    FillPerPixel(painter, region, b.Colors, b.Positions, [&](const QPointF& device) -> std::optional<double> {
        const QPointF q = deviceToBrush.map(device);
        const std::optional<double> t = conical.At(q.x(), q.y());
        if (!t || !std::isfinite(*t)) return std::nullopt;
        return Spread(*t, b.Wrap);
    });
}

}  // namespace plumwick
