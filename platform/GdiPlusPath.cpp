#include "platform/GdiPlusPath.h"

#include <algorithm>
#include <cmath>

#include "platform/GdiPlusPrivate.h"

namespace plumwick {

namespace {

constexpr std::uint8_t kTypeMask = PathPointTypePathTypeMask;
constexpr std::uint8_t kClose = PathPointTypeCloseSubpath;

bool Finite(const TGPPointF& p)
{
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

bool AllFinite(std::span<const TGPPointF> pts)
{
    return std::all_of(pts.begin(), pts.end(), Finite);
}

bool FiniteRect(float x, float y, float w, float h)
{
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(w) && std::isfinite(h);
}

// Whether types form well-built figures: each starts with a start point, Beziers come in threes.
bool ValidTypes(std::span<const std::uint8_t> types)
{
    size_t i = 0;
    while (i < types.size()) {
        if ((types[i] & kTypeMask) != PathPointTypeStart) return false;
        ++i;
        while (i < types.size() && (types[i] & kTypeMask) != PathPointTypeStart) {
            std::uint8_t t = types[i] & kTypeMask;
            if (t == PathPointTypeLine) {
                ++i;
            } else if (t == PathPointTypeBezier) {
                if (i + 3 > types.size()) return false;
                for (int k = 0; k < 3; ++k)
                    if ((types[i + k] & kTypeMask) != PathPointTypeBezier) return false;
                i += 3;
            } else {
                return false;
            }
        }
    }
    return true;
}

// Points of a cubic from p0 to p3 as line ends, within flatness of the curve.
void FlattenCubic(TGPPointF p0, TGPPointF p1, TGPPointF p2, TGPPointF p3, double flatness, std::vector<TGPPointF>& out)
{
    double ax = double(p0.X) - 2.0 * p1.X + p2.X, ay = double(p0.Y) - 2.0 * p1.Y + p2.Y;
    double bx = double(p1.X) - 2.0 * p2.X + p3.X, by = double(p1.Y) - 2.0 * p2.Y + p3.Y;
    double l = std::max(std::hypot(ax, ay), std::hypot(bx, by));
    // Uniform steps keep the error below 3/4·l/n².
    int n = int(std::ceil(std::sqrt(0.75 * l / flatness)));
    n = std::clamp(n, 1, 1000);
    for (int i = 1; i <= n; ++i) {
        double t = double(i) / n, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.push_back(
            {float(a * p0.X + b * p1.X + c * p2.X + d * p3.X), float(a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y)});
    }
}

}  // namespace

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode) : FImpl(std::make_unique<Impl>())
{
    FImpl->Mode = fillMode == FillModeWinding ? FillModeWinding : FillModeAlternate;
}

TGPGraphicsPath::TGPGraphicsPath(std::span<const TGPPointF> points, std::span<const std::uint8_t> types,
                                 FillMode fillMode)
    : TGPGraphicsPath(fillMode)
{
    if (points.size() != types.size() || !ValidTypes(types) || !AllFinite(points)) {
        RecordStatus(InvalidParameter);
        return;
    }
    FImpl->Points.assign(points.begin(), points.end());
    FImpl->Types.assign(types.begin(), types.end());
    FImpl->NewFigure = types.empty() || (types.back() & kClose);
}

// A copy starts without the original's last error.
TGPGraphicsPath::TGPGraphicsPath(const TGPGraphicsPath& other)  // NOLINT(bugprone-copy-constructor-init)
    : TGPBase(), FImpl(std::make_unique<Impl>(*other.FImpl))
{
}

TGPGraphicsPath& TGPGraphicsPath::operator=(const TGPGraphicsPath& other)
{
    if (this != &other) *FImpl = *other.FImpl;
    return *this;
}

TGPGraphicsPath::~TGPGraphicsPath() = default;

std::unique_ptr<TGPGraphicsPath> TGPGraphicsPath::Clone() const
{
    return std::make_unique<TGPGraphicsPath>(*this);
}

Status TGPGraphicsPath::Reset()
{
    FImpl->Points.clear();
    FImpl->Types.clear();
    FImpl->NewFigure = true;
    FImpl->Mode = FillModeAlternate;
    return Ok;
}

namespace {

void ReplaceWith(TGPGraphicsPath& path, const QPainterPath& area)
{
    IgnoreStatus(path.Reset());
    GdiPlusAccess::AppendQt(path, area, true);
    IgnoreStatus(path.SetFillMode(area.fillRule() == Qt::WindingFill ? FillModeWinding : FillModeAlternate));
}

}  // namespace

Status TGPGraphicsPath::Unite(const TGPGraphicsPath& other)
{
    ReplaceWith(*this, GdiPlusAccess::ToQt(*this).united(GdiPlusAccess::ToQt(other)));
    return Ok;
}

Status TGPGraphicsPath::Intersect(const TGPGraphicsPath& other)
{
    ReplaceWith(*this, GdiPlusAccess::ToQt(*this).intersected(GdiPlusAccess::ToQt(other)));
    return Ok;
}

FillMode TGPGraphicsPath::GetFillMode() const
{
    return FImpl->Mode;
}

Status TGPGraphicsPath::SetFillMode(FillMode fillMode)
{
    if (fillMode != FillModeAlternate && fillMode != FillModeWinding) return SetStatus(InvalidParameter);
    FImpl->Mode = fillMode;
    return Ok;
}

Status TGPGraphicsPath::StartFigure()
{
    FImpl->NewFigure = true;
    return Ok;
}

Status TGPGraphicsPath::CloseFigure()
{
    if (!FImpl->NewFigure && !FImpl->Types.empty()) FImpl->Types.back() |= kClose;
    FImpl->NewFigure = true;
    return Ok;
}

Status TGPGraphicsPath::CloseAllFigures()
{
    auto& t = FImpl->Types;
    for (size_t i = 0; i < t.size(); ++i)
        if (i + 1 == t.size() || (t[i + 1] & kTypeMask) == PathPointTypeStart) t[i] |= kClose;
    FImpl->NewFigure = true;
    return Ok;
}

namespace {

// Starts a figure at p, or joins the open figure to p by a line (unless p is its last point).
void BeginOrConnect(TGPGraphicsPath::Impl& d, const TGPPointF& p)
{
    if (d.NewFigure || d.Points.empty()) {
        d.Points.push_back(p);
        d.Types.push_back(PathPointTypeStart);
        d.NewFigure = false;
    } else if (!(d.Points.back() == p)) {
        d.Points.push_back(p);
        d.Types.push_back(PathPointTypeLine);
    }
}

void Push(TGPGraphicsPath::Impl& d, const TGPPointF& p, std::uint8_t type)
{
    d.Points.push_back(p);
    d.Types.push_back(type);
}

// Ends an added closed figure.
void CloseAdded(TGPGraphicsPath::Impl& d)
{
    d.Types.back() |= kClose;
    d.NewFigure = true;
}

// Start point and Bezier triples of an elliptic arc; angles in degrees as AddArc takes them.
std::vector<TGPPointF> ArcPoints(double x, double y, double w, double h, double start, double sweep)
{
    double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
    sweep = std::clamp(sweep, -360.0, 360.0);
    // Geometric angle to the ellipse parameter on the branch nearest the angle itself, so the
    // mapping is continuous and keeps whole turns.
    auto toParam = [&](double deg) {
        double a = deg * M_PI / 180.0;
        if (rx == 0 || ry == 0 || rx == ry) return a;
        double t = std::atan2(std::abs(rx) * std::sin(a), std::abs(ry) * std::cos(a));
        return t + 2 * M_PI * std::round((a - t) / (2 * M_PI));
    };
    double t0 = toParam(start), t1 = toParam(start + sweep);
    std::vector<TGPPointF> pts;
    auto at = [&](double t) { return TGPPointF{float(cx + rx * std::cos(t)), float(cy + ry * std::sin(t))}; };
    pts.push_back(at(t0));
    double delta = t1 - t0;
    if (delta == 0) return pts;
    int n = std::max(1, int(std::ceil(std::abs(delta) / (M_PI / 2) - 1e-9)));
    double step = delta / n;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < n; ++i) {
        double a = t0 + step * i, b = a + step;
        double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
        pts.push_back({float(cx + rx * (ca - k * sa)), float(cy + ry * (sa + k * ca))});
        pts.push_back({float(cx + rx * (cb + k * sb)), float(cy + ry * (sb - k * cb))});
        pts.push_back(i + 1 == n ? at(t1) : TGPPointF{float(cx + rx * cb), float(cy + ry * sb)});
    }
    return pts;
}

}  // namespace

Status TGPGraphicsPath::AddLine(const TGPPointF& p1, const TGPPointF& p2)
{
    if (!Finite(p1) || !Finite(p2)) return SetStatus(InvalidParameter);
    BeginOrConnect(*FImpl, p1);
    Push(*FImpl, p2, PathPointTypeLine);
    return Ok;
}

Status TGPGraphicsPath::AddLine(float x1, float y1, float x2, float y2)
{
    return AddLine(TGPPointF{x1, y1}, TGPPointF{x2, y2});
}

Status TGPGraphicsPath::AddLines(std::span<const TGPPointF> points)
{
    if (points.empty() || !AllFinite(points)) return SetStatus(InvalidParameter);
    BeginOrConnect(*FImpl, points[0]);
    for (size_t i = 1; i < points.size(); ++i) Push(*FImpl, points[i], PathPointTypeLine);
    return Ok;
}

Status TGPGraphicsPath::AddArc(const TGPRectF& r, float startAngle, float sweepAngle)
{
    return AddArc(r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle);
}

Status TGPGraphicsPath::AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle)
{
    if (!FiniteRect(x, y, width, height) || !std::isfinite(startAngle) || !std::isfinite(sweepAngle))
        return SetStatus(InvalidParameter);
    auto pts = ArcPoints(x, y, width, height, startAngle, sweepAngle);
    BeginOrConnect(*FImpl, pts[0]);
    for (size_t i = 1; i < pts.size(); ++i) Push(*FImpl, pts[i], PathPointTypeBezier);
    return Ok;
}

Status TGPGraphicsPath::AddBezier(const TGPPointF& p1, const TGPPointF& p2, const TGPPointF& p3, const TGPPointF& p4)
{
    TGPPointF pts[4] = {p1, p2, p3, p4};
    return AddBeziers(pts);
}

Status TGPGraphicsPath::AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4)
{
    return AddBezier({x1, y1}, {x2, y2}, {x3, y3}, {x4, y4});
}

Status TGPGraphicsPath::AddBeziers(std::span<const TGPPointF> points)
{
    if (points.size() < 4 || (points.size() - 1) % 3 != 0 || !AllFinite(points)) return SetStatus(InvalidParameter);
    BeginOrConnect(*FImpl, points[0]);
    for (size_t i = 1; i < points.size(); ++i) Push(*FImpl, points[i], PathPointTypeBezier);
    return Ok;
}

Status TGPGraphicsPath::AddRectangle(const TGPRectF& r)
{
    return AddRectangle(r.X, r.Y, r.Width, r.Height);
}

Status TGPGraphicsPath::AddRectangle(float x, float y, float width, float height)
{
    if (!FiniteRect(x, y, width, height)) return SetStatus(InvalidParameter);
    auto& d = *FImpl;
    d.NewFigure = true;
    BeginOrConnect(d, {x, y});
    Push(d, {x + width, y}, PathPointTypeLine);
    Push(d, {x + width, y + height}, PathPointTypeLine);
    Push(d, {x, y + height}, PathPointTypeLine);
    CloseAdded(d);
    return Ok;
}

Status TGPGraphicsPath::AddRectangles(std::span<const TGPRectF> rects)
{
    for (const auto& r : rects)
        if (!FiniteRect(r.X, r.Y, r.Width, r.Height)) return SetStatus(InvalidParameter);
    for (const auto& r : rects) IgnoreStatus(AddRectangle(r));  // each was checked above
    return Ok;
}

Status TGPGraphicsPath::AddEllipse(const TGPRectF& r)
{
    return AddEllipse(r.X, r.Y, r.Width, r.Height);
}

Status TGPGraphicsPath::AddEllipse(float x, float y, float width, float height)
{
    if (!FiniteRect(x, y, width, height)) return SetStatus(InvalidParameter);
    auto pts = ArcPoints(x, y, width, height, 0, 360);
    auto& d = *FImpl;
    d.NewFigure = true;
    BeginOrConnect(d, pts[0]);
    for (size_t i = 1; i < pts.size(); ++i) Push(d, pts[i], PathPointTypeBezier);
    CloseAdded(d);
    return Ok;
}

Status TGPGraphicsPath::AddPolygon(std::span<const TGPPointF> points)
{
    if (points.size() < 2 || !AllFinite(points)) return SetStatus(InvalidParameter);
    auto& d = *FImpl;
    d.NewFigure = true;
    Push(d, points[0], PathPointTypeStart);
    d.NewFigure = false;
    for (size_t i = 1; i < points.size(); ++i) Push(d, points[i], PathPointTypeLine);
    CloseAdded(d);
    return Ok;
}

Status TGPGraphicsPath::AddPath(const TGPGraphicsPath& path, bool connect)
{
    // Copy first: the source may be this path.
    const std::vector<TGPPointF> pts = path.FImpl->Points;
    const std::vector<std::uint8_t> types = path.FImpl->Types;
    const bool sourceNewFigure = path.FImpl->NewFigure;
    if (pts.empty()) return Ok;
    auto& d = *FImpl;
    size_t i = 0;
    if (connect && !d.NewFigure && !d.Points.empty()) {
        // The first figure continues the open one.
        if (!(d.Points.back() == pts[0]))
            Push(d, pts[0], PathPointTypeLine | (types[0] & kClose));
        else if (types[0] & kClose)
            d.Types.back() |= kClose;
        i = 1;
    }
    for (; i < pts.size(); ++i) Push(d, pts[i], types[i]);
    d.NewFigure = sourceNewFigure || (d.Types.back() & kClose);
    return Ok;
}

Status TGPGraphicsPath::Transform(const TGPMatrix* matrix)
{
    if (!matrix) return Ok;
    IgnoreStatus(matrix->TransformPoints(FImpl->Points));
    return Ok;
}

Status TGPGraphicsPath::Flatten(const TGPMatrix* matrix, float flatness)
{
    auto& d = *FImpl;
    if (matrix) IgnoreStatus(matrix->TransformPoints(d.Points));
    double tol = (flatness > 0 && std::isfinite(flatness)) ? flatness : 0.25;
    std::vector<TGPPointF> pts;
    std::vector<std::uint8_t> types;
    pts.reserve(d.Points.size());
    for (size_t i = 0; i < d.Points.size();) {
        std::uint8_t t = d.Types[i] & kTypeMask;
        if (t == PathPointTypeBezier && i + 2 < d.Points.size() && !pts.empty()) {
            FlattenCubic(pts.back(), d.Points[i], d.Points[i + 1], d.Points[i + 2], tol, pts);
            types.resize(pts.size(), PathPointTypeLine);
            types.back() |= (d.Types[i + 2] & kClose);
            i += 3;
        } else {
            pts.push_back(d.Points[i]);
            types.push_back(d.Types[i] & ~std::uint8_t(PathPointTypeDashMode | PathPointTypePathMarker));
            if (t == PathPointTypeBezier) types.back() = PathPointTypeLine | (d.Types[i] & kClose);
            ++i;
        }
    }
    d.Points = std::move(pts);
    d.Types = std::move(types);
    return Ok;
}

int TGPGraphicsPath::GetPointCount() const
{
    return int(FImpl->Points.size());
}

Status TGPGraphicsPath::GetPathData(TGPPathData& data) const
{
    data.Count = int(FImpl->Points.size());
    data.Points = FImpl->Points;
    data.Types = FImpl->Types;
    return Ok;
}

Status TGPGraphicsPath::GetPathPoints(std::vector<TGPPointF>& points) const
{
    points = FImpl->Points;
    return Ok;
}

Status TGPGraphicsPath::GetPathTypes(std::vector<std::uint8_t>& types) const
{
    types = FImpl->Types;
    return Ok;
}

Status TGPGraphicsPath::GetLastPoint(TGPPointF& point) const
{
    if (FImpl->Points.empty()) return SetStatus(InvalidParameter);
    point = FImpl->Points.back();
    return Ok;
}

Status TGPGraphicsPath::GetBounds(TGPRectF& bounds, const TGPMatrix* matrix) const
{
    bounds = {};
    if (FImpl->Points.empty()) return Ok;
    float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (TGPPointF p : FImpl->Points) {
        if (matrix) p = matrix->TransformPoint(p);
        x0 = std::min(x0, p.X);
        y0 = std::min(y0, p.Y);
        x1 = std::max(x1, p.X);
        y1 = std::max(y1, p.Y);
    }
    bounds = {x0, y0, x1 - x0, y1 - y0};
    return Ok;
}

bool TGPGraphicsPath::IsVisible(const TGPPointF& point) const
{
    return GdiPlusAccess::ToQt(*this).contains(QPointF(point.X, point.Y));
}

// Bridges to Qt.

QPainterPath GdiPlusAccess::ToQt(const TGPGraphicsPath& path)
{
    const auto& d = *path.FImpl;
    QPainterPath q;
    q.setFillRule(d.Mode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
    for (size_t i = 0; i < d.Points.size();) {
        std::uint8_t t = d.Types[i] & kTypeMask;
        const TGPPointF& p = d.Points[i];
        std::uint8_t last;
        if (t == PathPointTypeBezier && i + 2 < d.Points.size()) {
            const TGPPointF &c2 = d.Points[i + 1], &e = d.Points[i + 2];
            q.cubicTo(p.X, p.Y, c2.X, c2.Y, e.X, e.Y);
            last = d.Types[i + 2];
            i += 3;
        } else {
            if (t == PathPointTypeStart)
                q.moveTo(p.X, p.Y);
            else
                q.lineTo(p.X, p.Y);
            last = d.Types[i];
            ++i;
        }
        if (last & kClose) q.closeSubpath();
    }
    return q;
}

void GdiPlusAccess::AppendQt(TGPGraphicsPath& path, const QPainterPath& q, bool close)
{
    auto& d = *path.FImpl;
    bool open = false;
    auto endFigure = [&] {
        if (open && close) d.Types.back() |= kClose;
        open = false;
    };
    for (int i = 0; i < q.elementCount(); ++i) {
        const QPainterPath::Element& e = q.elementAt(i);
        TGPPointF p{float(e.x), float(e.y)};
        switch (e.type) {
            case QPainterPath::MoveToElement:
                endFigure();
                Push(d, p, PathPointTypeStart);
                open = true;
                break;
            case QPainterPath::LineToElement:
                if (!open) {
                    Push(d, p, PathPointTypeStart);
                    open = true;
                    break;
                }
                Push(d, p, PathPointTypeLine);
                break;
            case QPainterPath::CurveToElement:
            case QPainterPath::CurveToDataElement:
                if (!open) {
                    Push(d, p, PathPointTypeStart);
                    open = true;
                    break;
                }
                Push(d, p, PathPointTypeBezier);
                break;
        }
    }
    endFigure();
    d.NewFigure = true;
}

QTransform GdiPlusAccess::ToQt(const TGPMatrix& m)
{
    auto e = m.GetElements();
    return QTransform(e[0], e[1], e[2], e[3], e[4], e[5]);
}

TGPMatrix GdiPlusAccess::FromQt(const QTransform& t)
{
    return TGPMatrix(float(t.m11()), float(t.m12()), float(t.m21()), float(t.m22()), float(t.dx()), float(t.dy()));
}

QColor GdiPlusAccess::ToQColor(ARGB c)
{
    return QColor(GetRed(c), GetGreen(c), GetBlue(c), GetAlpha(c));
}

}  // namespace plumwick
