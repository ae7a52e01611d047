// Elliptic arcs of path data: end-point form read from the data, centre form drawn.
#include "svg/SVGPath.h"

#include "gdip/GDIPOBJ2.h"

#include <algorithm>
#include <cmath>

namespace plumwick {

namespace {

constexpr float DegToRad = 0.017453292519943295f;
constexpr float RadToDeg = 57.29577951308232f;

float FMod(float a, float b)
{
    return a - std::trunc(a / b) * b;
}

// arccos of a value that rounding may have pushed marginally outside [-1, 1].
float SafeAcos(float value)
{
    return std::acos(std::clamp(value, -1.0f, 1.0f));
}

// The direction (degrees) from the centre of the point at parametric angle t (degrees) of an ellipse
// with radii rx, ry: the graphics path measures arc angles geometrically.
double GeometricAngle(double t, double rx, double ry)
{
    const double r = t * DegToRad;
    return std::atan2(ry * std::sin(r), rx * std::cos(r)) * RadToDeg;
}

// The centre form of one arc, every intermediate stored as a float.
struct TArcCentre {
    float cx, cy, rx, ry, start, sweep;
};

TArcCentre CentreForm(float x1, float y1, float x2, float y2, float rx, float ry, float xRot, int large, int sweep)
{
    const float dx = (x1 - x2) / 2;
    const float dy = (y1 - y2) / 2;
    const float phi = FMod(xRot, 360) * DegToRad;
    const float c = std::cos(phi);
    const float s = std::sin(phi);
    const float x1p = c * dx + s * dy;
    const float y1p = -s * dx + c * dy;

    rx = std::fabs(rx);
    ry = std::fabs(ry);
    const float lambda = x1p * x1p / (rx * rx) + y1p * y1p / (ry * ry);
    if (lambda > 1 || std::isnan(lambda)) {
        rx = std::sqrt(lambda) * rx;
        ry = std::sqrt(lambda) * ry;
    }

    const float sign = large == sweep ? -1.0f : 1.0f;
    const float rx2 = rx * rx;
    const float ry2 = ry * ry;
    float ratio = (rx2 * ry2 - rx2 * y1p * y1p - ry2 * x1p * x1p) / (rx2 * y1p * y1p + ry2 * x1p * x1p);
    if (ratio < 0 || std::isnan(ratio))
        ratio = 0;
    const float coef = sign * std::sqrt(ratio);
    const float cxp = coef * rx * y1p / ry;
    const float cyp = -coef * ry * x1p / rx;

    TArcCentre arc{};
    arc.cx = c * cxp - s * cyp + (x1 + x2) / 2;
    arc.cy = s * cxp + c * cyp + (y1 + y2) / 2;
    arc.rx = rx;
    arc.ry = ry;

    const float ux = (x1p - cxp) / rx;
    const float uy = (y1p - cyp) / ry;
    const float vx = (-x1p - cxp) / rx;
    const float vy = (-y1p - cyp) / ry;
    float start = SafeAcos(ux / std::sqrt(ux * ux + uy * uy));
    if (uy < 0)
        start = -start;
    start *= RadToDeg;
    float delta = SafeAcos((ux * vx + uy * vy) / std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy)));
    if (ux * vy - uy * vx < 0)
        delta = -delta;
    delta *= RadToDeg;
    if (sweep == 0 && delta > 0)
        delta -= 360;
    else if (sweep == 1 && delta < 0)
        delta += 360;
    arc.start = FMod(start, 360);
    arc.sweep = FMod(delta, 360);
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
    if (command != "A" && command != "a")
        return;
    FRX = std::fabs(SL.Number(Position + 1));
    FRY = std::fabs(SL.Number(Position + 2));
    FXRot = SL.Number(Position + 3);
    FLarge = SL.Integer(Position + 4) != 0 ? 1 : 0;
    FSweep = SL.Integer(Position + 5) != 0 ? 1 : 0;
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
    if (FStartX == FStopX && FStartY == FStopY)
        return;
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
