#include "platform/GdiPlusBrush.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>

#include "platform/GdiPlusPrivate.h"

namespace plumwick {

namespace {

// A table the library accepts: at least two entries from position 0 to position 1.
Status CheckTable(std::span<const ARGB> colors, std::span<const float> positions)
{
    if (colors.size() < 2 || colors.size() != positions.size()) return InvalidParameter;
    if (positions.front() != 0.0f || positions.back() != 1.0f) return InvalidParameter;
    for (float p : positions)
        if (!(p >= 0.0f && p <= 1.0f)) return InvalidParameter;
    return Ok;
}

// The table ordered by position (equal positions keep their order, giving a hard edge).
void SortedTable(std::span<const ARGB> colors, std::span<const float> positions, std::vector<ARGB>& outColors,
                 std::vector<float>& outPositions)
{
    std::vector<size_t> order(colors.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return positions[a] < positions[b]; });
    outColors.clear();
    outPositions.clear();
    for (size_t i : order) {
        outColors.push_back(colors[i]);
        outPositions.push_back(positions[i]);
    }
}

}  // namespace

TGPBrush::TGPBrush(BrushType type) : FImpl(std::make_unique<Impl>())
{
    FImpl->Type = type;
}

TGPBrush::~TGPBrush() = default;

BrushType TGPBrush::GetType() const
{
    return FImpl->Type;
}

Status TGPBrush::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order)
{
    if (!matrix) return SetStatus(InvalidParameter);
    return FImpl->Transform.Multiply(*matrix, order);
}

std::unique_ptr<TGPBrush> TGPBrush::Clone() const
{
    // A plain TGPBrush of the same state; callers use it only for painting.
    struct Copy : TGPBrush {
        explicit Copy(BrushType t) : TGPBrush(t) {}
    };
    auto c = std::make_unique<Copy>(FImpl->Type);
    auto& d = GdiPlusAccess::Get(static_cast<TGPBrush&>(*c));
    static_cast<TBrushState&>(d) = *FImpl;
    d.Path = FImpl->Path ? FImpl->Path->Clone() : nullptr;
    return c;
}

Status TGPBrush::SetTable(std::span<const ARGB> colors, std::span<const float> positions)
{
    if (Status s = CheckTable(colors, positions); s != Ok) return SetStatus(s);
    SortedTable(colors, positions, FImpl->Colors, FImpl->Positions);
    return Ok;
}

Status TGPBrush::SetTable(const ARGB* colors, const float* positions, int count)
{
    if (!colors || !positions || count < 2) return SetStatus(InvalidParameter);
    return SetTable(std::span(colors, size_t(count)), std::span(positions, size_t(count)));
}

Status TGPBrush::SetWrap(WrapMode mode)
{
    if (mode < WrapModeTile || mode > WrapModeClamp) return SetStatus(InvalidParameter);
    FImpl->Wrap = mode;
    return Ok;
}

Status TGPBrush::SetBrushTransform(const TGPMatrix* matrix)
{
    if (!matrix) return SetStatus(InvalidParameter);
    FImpl->Transform = *matrix;
    return Ok;
}

Status TGPBrush::GetBrushTransform(TGPMatrix* matrix) const
{
    if (!matrix) return SetStatus(InvalidParameter);
    *matrix = FImpl->Transform;
    return Ok;
}

Status TGPBrush::ResetBrushTransform()
{
    FImpl->Transform = TGPMatrix();
    return Ok;
}

// Texture.

TGPTextureBrush::TGPTextureBrush(const TGPImage* image) : TGPBrush(BrushTypeTextureFill)
{
    auto& d = GdiPlusAccess::Get(static_cast<TGPBrush&>(*this));
    const QImage* pixels = image ? GdiPlusAccess::ImageOf(image) : nullptr;
    if (!pixels || pixels->isNull()) {
        d.Failed = true;
        RecordStatus(InvalidParameter);
        return;
    }
    d.Texture = *pixels;
}

Status TGPTextureBrush::SetTransform(const TGPMatrix* matrix)
{
    return SetBrushTransform(matrix);
}

Status TGPTextureBrush::GetTransform(TGPMatrix* matrix) const
{
    return GetBrushTransform(matrix);
}

// Solid.

TGPSolidBrush::TGPSolidBrush(ARGB color) : TGPBrush(BrushTypeSolidColor)
{
    GdiPlusAccess::Get(static_cast<TGPBrush&>(*this)).Color = color;
}

ARGB TGPSolidBrush::GetColor() const
{
    return GdiPlusAccess::Get(static_cast<const TGPBrush&>(*this)).Color;
}

Status TGPSolidBrush::SetColor(ARGB color)
{
    GdiPlusAccess::Get(static_cast<TGPBrush&>(*this)).Color = color;
    return Ok;
}

// Linear gradient.

#define D GdiPlusAccess::Get(static_cast<TGPBrush&>(*this))
#define CD GdiPlusAccess::Get(static_cast<const TGPBrush&>(*this))

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& p1, const TGPPointF& p2, ARGB color1, ARGB color2)
    : TGPBrush(BrushTypeLinearGradient)
{
    auto& d = D;
    d.P1 = p1;
    d.P2 = p2;
    d.Colors = {color1, color2};
    d.Positions = {0.0f, 1.0f};
    if (p1 == p2 || !std::isfinite(p1.X) || !std::isfinite(p1.Y) || !std::isfinite(p2.X) || !std::isfinite(p2.Y)) {
        d.Failed = true;
        RecordStatus(OutOfMemory);  // what GDI+ reports for coincident end points
    }
}

Status TGPLinearGradientBrush::SetInterpolationColors(std::span<const ARGB> colors, std::span<const float> positions)
{
    return SetTable(colors, positions);
}

Status TGPLinearGradientBrush::SetInterpolationColors(const ARGB* colors, const float* positions, int count)
{
    return SetTable(colors, positions, count);
}

Status TGPLinearGradientBrush::SetLinearColors(ARGB color1, ARGB color2)
{
    D.Colors = {color1, color2};
    D.Positions = {0.0f, 1.0f};
    return Ok;
}

Status TGPLinearGradientBrush::SetWrapMode(WrapMode mode)
{
    return SetWrap(mode);
}

WrapMode TGPLinearGradientBrush::GetWrapMode() const
{
    return CD.Wrap;
}

Status TGPLinearGradientBrush::SetTransform(const TGPMatrix* matrix)
{
    if (matrix && !matrix->IsInvertible()) return SetStatus(InvalidParameter);
    return SetBrushTransform(matrix);
}

Status TGPLinearGradientBrush::GetTransform(TGPMatrix* matrix) const
{
    return GetBrushTransform(matrix);
}

Status TGPLinearGradientBrush::ResetTransform()
{
    return ResetBrushTransform();
}

// Path gradient.

namespace {

void InitPathGradient(TGPBrush::Impl& d, std::unique_ptr<TGPGraphicsPath> path, Status& status)
{
    TGPRectF box;
    IgnoreStatus(path->GetBounds(box));
    d.Path = std::move(path);
    d.Center = {box.X + box.Width / 2, box.Y + box.Height / 2};
    // A boundary without area can carry no gradient.
    if (d.Path->GetPointCount() < 3 || !(box.Width > 0) || !(box.Height > 0)) {
        d.Failed = true;
        status = OutOfMemory;
    }
}

}  // namespace

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath* path) : TGPBrush(BrushTypePathGradient)
{
    Status s = Ok;
    InitPathGradient(D, path ? path->Clone() : std::make_unique<TGPGraphicsPath>(), s);
    if (!path) s = InvalidParameter;
    RecordStatus(s);
}

TGPPathGradientBrush::TGPPathGradientBrush(std::span<const TGPPointF> points) : TGPBrush(BrushTypePathGradient)
{
    auto path = std::make_unique<TGPGraphicsPath>();
    // A polygon that cannot be built leaves the boundary empty, which fails below.
    if (points.size() >= 2) IgnoreStatus(path->AddPolygon(points));
    Status s = Ok;
    InitPathGradient(D, std::move(path), s);
    RecordStatus(s);
}

Status TGPPathGradientBrush::SetCenterPoint(const TGPPointF& point)
{
    if (!std::isfinite(point.X) || !std::isfinite(point.Y)) return SetStatus(InvalidParameter);
    D.Center = point;
    return Ok;
}

Status TGPPathGradientBrush::GetCenterPoint(TGPPointF& point) const
{
    point = CD.Center;
    return Ok;
}

Status TGPPathGradientBrush::SetCenterColor(ARGB color)
{
    D.CenterColor = color;
    D.Colors.clear();
    D.Positions.clear();
    return Ok;
}

Status TGPPathGradientBrush::SetSurroundColors(std::span<const ARGB> colors)
{
    if (colors.empty()) return SetStatus(InvalidParameter);
    D.SurroundColor = colors.front();
    D.Colors.clear();
    D.Positions.clear();
    return Ok;
}

Status TGPPathGradientBrush::SetInterpolationColors(std::span<const ARGB> colors, std::span<const float> positions)
{
    return SetTable(colors, positions);
}

Status TGPPathGradientBrush::SetInterpolationColors(const ARGB* colors, const float* positions, int count)
{
    return SetTable(colors, positions, count);
}

Status TGPPathGradientBrush::SetWrapMode(WrapMode mode)
{
    return SetWrap(mode);
}

Status TGPPathGradientBrush::SetTransform(const TGPMatrix* matrix)
{
    if (matrix && !matrix->IsInvertible()) return SetStatus(InvalidParameter);
    return SetBrushTransform(matrix);
}

Status TGPPathGradientBrush::GetTransform(TGPMatrix* matrix) const
{
    return GetBrushTransform(matrix);
}

Status TGPPathGradientBrush::ResetTransform()
{
    return ResetBrushTransform();
}

// Radial gradient.

TGPRadialGradientBrush::TGPRadialGradientBrush(const TGPPointF& centre, float radius, const TGPPointF& focal,
                                               float focalRadius)
    : TGPBrush(BrushTypeRadialGradient)
{
    auto& d = D;
    d.Center = centre;
    d.Radius = radius;
    d.Focal = focal;
    d.FocalRadius = focalRadius;
    d.Colors = {0, 0};
    d.Positions = {0.0f, 1.0f};
    d.Wrap = WrapModeClamp;
    const bool finite = std::isfinite(centre.X) && std::isfinite(centre.Y) && std::isfinite(focal.X) &&
                        std::isfinite(focal.Y) && std::isfinite(focalRadius);
    if (!finite || !(radius > 0) || !std::isfinite(radius) || focalRadius < 0) {
        d.Failed = true;
        RecordStatus(InvalidParameter);
    }
}

Status TGPRadialGradientBrush::SetInterpolationColors(std::span<const ARGB> colors, std::span<const float> positions)
{
    return SetTable(colors, positions);
}

Status TGPRadialGradientBrush::SetWrapMode(WrapMode mode)
{
    return SetWrap(mode);
}

Status TGPRadialGradientBrush::SetTransform(const TGPMatrix* matrix)
{
    if (matrix && !matrix->IsInvertible()) return SetStatus(InvalidParameter);
    return SetBrushTransform(matrix);
}

#undef D
#undef CD

// Bridges to Qt.

ARGB GdiPlusAccess::ColorAt(const std::vector<ARGB>& colors, const std::vector<float>& positions, float t)
{
    if (colors.empty()) return 0;
    if (colors.size() == 1 || !(t > positions.front())) return colors.front();
    if (t >= positions.back()) return colors.back();
    size_t i = 1;
    while (i + 1 < positions.size() && positions[i] < t) ++i;
    float p0 = positions[i - 1], p1 = positions[i];
    float f = p1 > p0 ? (t - p0) / (p1 - p0) : 1.0f;
    f = std::clamp(f, 0.0f, 1.0f);
    auto mix = [&](int shift) {
        float a = float((colors[i - 1] >> shift) & 0xFF), b = float((colors[i] >> shift) & 0xFF);
        return ARGB(std::lround(a + (b - a) * f)) << shift;
    };
    return mix(24) | mix(16) | mix(8) | mix(0);
}

namespace {

// Stops, spread and transform of a gradient brush onto Qt's gradient.
QBrush GradientBrush(QGradient& g, const TBrushState& d)
{
    // Qt keeps one stop per position, so equal positions (a hard edge) are moved apart by a
    // hair, within 0..1, to keep both colours.
    QGradientStops stops;
    for (size_t i = 0; i < d.Colors.size(); ++i) {
        qreal p = d.Positions[i];
        if (!stops.isEmpty() && p <= stops.back().first) p = stops.back().first + 1e-9;
        stops.append({p, GdiPlusAccess::ToQColor(d.Colors[i])});
    }
    qreal cap = 1;
    for (qsizetype i = stops.size() - 1; i >= 0; --i) {
        stops[i].first = std::min(stops[i].first, cap);
        cap = stops[i].first - 1e-9;
    }
    g.setStops(stops);
    // Straight channels between the stops, as the path gradient has them (Qt's default mixes
    // premultiplied colours).
    g.setInterpolationMode(QGradient::ComponentInterpolation);
    switch (d.Wrap) {
        case WrapModeTile:
            g.setSpread(QGradient::RepeatSpread);
            break;
        case WrapModeClamp:
            g.setSpread(QGradient::PadSpread);
            break;
        default:
            g.setSpread(QGradient::ReflectSpread);
            break;
    }
    QBrush b(g);
    b.setTransform(GdiPlusAccess::ToQt(d.Transform));
    return b;
}

}  // namespace

std::optional<QBrush> GdiPlusAccess::ToQBrush(const TGPBrush& brush)
{
    const auto& d = Get(brush);
    if (d.Failed) return std::nullopt;
    switch (d.Type) {
        case BrushTypeSolidColor:
            return QBrush(ToQColor(d.Color));
        case BrushTypeTextureFill: {
            QBrush b(d.Texture);
            b.setTransform(ToQt(d.Transform));
            return b;
        }
        case BrushTypeLinearGradient: {
            QLinearGradient g(QPointF(d.P1.X, d.P1.Y), QPointF(d.P2.X, d.P2.Y));
            return GradientBrush(g, d);
        }
        default:
            return std::nullopt;
    }
}

}  // namespace plumwick
