// Elliptic arcs of path data: end-point form read from the data, centre form drawn.
#include "svg/shapes/SVGPath.h"

#include "gdip/GDIPOBJ2.h"
#include "svg/base/SVGError.h"

#include <algorithm>
#include <cmath>

namespace plumwick {

namespace {

constexpr double DegToRad = 0.017453292519943295;
constexpr double RadToDeg = 57.29577951308232;

double FMod(double a, double b)
{
    return a - std::trunc(a / b) * b;
}

// arccos of a value that rounding may have pushed marginally outside [-1, 1].
double SafeAcos(double value)
{
    return std::acos(std::clamp(value, -1.0, 1.0));
}

// The direction (degrees) from the centre of the point at parametric angle t (degrees) of an ellipse
// with radii rx, ry: the graphics path measures arc angles geometrically.
double GeometricAngle(double t, double rx, double ry)
{
    const double r = t * DegToRad;
    return std::atan2(ry * std::sin(r), rx * std::cos(r)) * RadToDeg;
}

// The centre form of one arc. Worked out in double precision: an arc whose end lies a hair from its start
// (a whole circle written as one arc) would otherwise come out with no sweep at all.
struct TArcCentre {
    float cx, cy, rx, ry, start, sweep;
};

TArcCentre CentreForm(double x1, double y1, double x2, double y2, double rx, double ry, double xRot, int large,
                      int sweep)
{
    const double dx = (x1 - x2) / 2;
    const double dy = (y1 - y2) / 2;
    const double phi = FMod(xRot, 360) * DegToRad;
    const double c = std::cos(phi);
    const double s = std::sin(phi);
    const double x1p = c * dx + s * dy;
    const double y1p = -s * dx + c * dy;

    rx = std::fabs(rx);
    ry = std::fabs(ry);
    const double lambda = x1p * x1p / (rx * rx) + y1p * y1p / (ry * ry);
    if (lambda > 1 || std::isnan(lambda)) {
        rx = std::sqrt(lambda) * rx;
        ry = std::sqrt(lambda) * ry;
    }

    const double sign = large == sweep ? -1.0 : 1.0;
    const double rx2 = rx * rx;
    const double ry2 = ry * ry;
    double ratio = (rx2 * ry2 - rx2 * y1p * y1p - ry2 * x1p * x1p) / (rx2 * y1p * y1p + ry2 * x1p * x1p);
    if (ratio < 0 || std::isnan(ratio)) ratio = 0;
    const double coef = sign * std::sqrt(ratio);
    const double cxp = coef * rx * y1p / ry;
    const double cyp = -coef * ry * x1p / rx;

    TArcCentre arc{};
    arc.cx = static_cast<float>(c * cxp - s * cyp + (x1 + x2) / 2);
    arc.cy = static_cast<float>(s * cxp + c * cyp + (y1 + y2) / 2);
    arc.rx = static_cast<float>(rx);
    arc.ry = static_cast<float>(ry);

    const double ux = (x1p - cxp) / rx;
    const double uy = (y1p - cyp) / ry;
    const double vx = (-x1p - cxp) / rx;
    const double vy = (-y1p - cyp) / ry;
    double start = SafeAcos(ux / std::sqrt(ux * ux + uy * uy));
    if (uy < 0) start = -start;
    start *= RadToDeg;
    double delta = SafeAcos((ux * vx + uy * vy) / std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy)));
    if (ux * vy - uy * vx < 0) delta = -delta;
    delta *= RadToDeg;
    if (sweep == 0 && delta > 0)
        delta -= 360;
    else if (sweep == 1 && delta < 0)
        delta += 360;
    else if (delta == 0 && large)
        delta = sweep ? 360 : -360;  // the large arc between two points that rounding made one
    arc.start = static_cast<float>(FMod(start, 360));
    arc.sweep = static_cast<float>(std::clamp(delta, -360.0, 360.0));
    return arc;
}

bool AllFinite(std::initializer_list<float> values)
{
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

}  // namespace

void TSVGPathEllipticArc::AssignTo(TSVGObject& Dest) const
{
    TSVGPathElement::AssignTo(Dest);
    if (auto* arc = dynamic_cast<TSVGPathEllipticArc*>(&Dest)) {
        arc->FRX = FRX;
        arc->FRY = FRY;
        arc->FXRot = FXRot;
        arc->FLarge = FLarge;
        arc->FSweep = FSweep;
    }
}

TSVGObject* TSVGPathEllipticArc::NewLike(TSVGObject* Parent) const
{
    return TSVGObject::CreateIn<TSVGPathEllipticArc>(Parent);
}

TRectF TSVGPathEllipticArc::GetBounds() const
{
    return TRectF{std::min(FStartX, FStopX), std::min(FStartY, FStopY), std::max(FStartX, FStopX),
                  std::max(FStartY, FStopY)};
}

void TSVGPathEllipticArc::Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous)
{
    TSVGPathElement::Read(SL, Position, Previous);
    const std::string& command = SL.Get(Position);
    if (command != "A" && command != "a") return;
    FRX = std::fabs(SL.Number(Position + 1));
    FRY = std::fabs(SL.Number(Position + 2));
    FXRot = SL.Number(Position + 3);
    // A flag is the digit 0 or 1; anything else is an error in the path data.
    auto Flag = [&SL](int Index) {
        const std::string& Token = SL.Get(Index);
        if (Token != "0" && Token != "1") throw ESVGError("Invalid arc flag \"" + Token + "\"");
        return Token == "1" ? 1 : 0;
    };
    FLarge = Flag(Position + 4);
    FSweep = Flag(Position + 5);
    FStopX = SL.Number(Position + 6);
    FStopY = SL.Number(Position + 7);
    Position += 7;
    if (command == "a") {
        FStopX += FStartX;
        FStopY += FStartY;
    }
}

void TSVGPathEllipticArc::AddToPath(TGPGraphicsPath& Path) const
{
    if (FStartX == FStopX && FStartY == FStopY) return;
    if (FRX == 0 || FRY == 0) {
        Path.AddLine(FStartX, FStartY, FStopX, FStopY);
        return;
    }
    const TArcCentre arc = CentreForm(FStartX, FStartY, FStopX, FStopY, FRX, FRY, FXRot, FLarge, FSweep);
    float start = arc.start;
    float sweep = arc.sweep;
    if (arc.rx != arc.ry) {
        // The centre form gives angles of the ellipse's parameter; the path wants the directions of
        // the end points, or an elliptic arc would start and end beside its end points.
        const double g1 = GeometricAngle(start, arc.rx, arc.ry);
        const double g2 = GeometricAngle(static_cast<double>(start) + sweep, arc.rx, arc.ry);
        const double turn = g2 - g1;
        start = static_cast<float>(g1);
        sweep = static_cast<float>(turn + 360.0 * std::round((sweep - turn) / 360.0));
    }
    // Coordinates beyond the float range (absurd radii or end points) cannot be drawn as an arc.
    if (!AllFinite({arc.cx, arc.cy, 2 * arc.rx, 2 * arc.ry, arc.cx - arc.rx, arc.cy - arc.ry, start, sweep})) {
        Path.AddLine(FStartX, FStartY, FStopX, FStopY);
        return;
    }
    TGPGraphicsPath temporary(FillModeAlternate);
    temporary.AddArc(arc.cx - arc.rx, arc.cy - arc.ry, 2 * arc.rx, 2 * arc.ry, start, sweep);
    TGPMatrix rotation;
    rotation.RotateAt(FXRot, TGPPointF{arc.cx, arc.cy}, MatrixOrderPrepend);
    temporary.Transform(&rotation);
    Path.AddPath(temporary, true);
}

}  // namespace plumwick
