#include "platform/GdiPlusGraphics.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

#include "platform/GdiPlusPrivate.h"

namespace plumwick {

namespace {

bool IsHighQuality(InterpolationMode m)
{
    return m == InterpolationModeHighQuality || m == InterpolationModeHighQualityBilinear ||
           m == InterpolationModeHighQualityBicubic;
}

// Boundary of a path gradient in brush space, and the way a point's position is found on it.
struct GradientShape {
    bool Ellipse = false;
    double Ex = 0, Ey = 0, Rx = 0, Ry = 0;  // the ellipse
    std::vector<QLineF> Edges;              // otherwise: the flattened boundary
};

GradientShape ShapeOf(const TGPGraphicsPath& path)
{
    GradientShape s;
    TGPRectF box;
    IgnoreStatus(path.GetBounds(box));
    // An outline made by AddEllipse is solved exactly. (An ellipse that cannot be built matches nothing.)
    TGPGraphicsPath ellipse;
    IgnoreStatus(ellipse.AddEllipse(box));
    TGPPathData a, b;
    IgnoreStatus(path.GetPathData(a));
    IgnoreStatus(ellipse.GetPathData(b));
    if (a.Count == b.Count && a.Types == b.Types) {
        float tol = 1e-3f * std::max(box.Width, box.Height);
        bool same = true;
        for (int i = 0; i < a.Count && same; ++i)
            same = std::abs(a.Points[i].X - b.Points[i].X) <= tol && std::abs(a.Points[i].Y - b.Points[i].Y) <= tol;
        if (same) {
            s.Ellipse = true;
            s.Rx = box.Width / 2.0;
            s.Ry = box.Height / 2.0;
            s.Ex = box.X + s.Rx;
            s.Ey = box.Y + s.Ry;
            return s;
        }
    }
    TGPGraphicsPath flat(path);
    IgnoreStatus(flat.Flatten(nullptr, 0.1f));
    QPainterPath q = GdiPlusAccess::ToQt(flat);
    for (const QPolygonF& poly : q.toSubpathPolygons()) {
        for (qsizetype i = 0; i + 1 < poly.size(); ++i) s.Edges.emplace_back(poly[i], poly[i + 1]);
        if (!poly.isEmpty() && poly.front() != poly.back()) s.Edges.emplace_back(poly.back(), poly.front());
    }
    return s;
}

// Position 0..1 of brush-space point q: 1 at the centre c, 0 where the ray from c through q
// leaves the boundary beyond q.
double PositionOf(const GradientShape& s, QPointF c, QPointF q)
{
    double dx = q.x() - c.x(), dy = q.y() - c.y();
    if (std::abs(dx) < 1e-9 && std::abs(dy) < 1e-9) return 1.0;
    double lambda = -1;
    if (s.Ellipse) {
        double ux = (c.x() - s.Ex) / s.Rx, uy = (c.y() - s.Ey) / s.Ry;
        double vx = dx / s.Rx, vy = dy / s.Ry;
        double A = vx * vx + vy * vy, B = 2 * (ux * vx + uy * vy), C = ux * ux + uy * uy - 1;
        double disc = B * B - 4 * A * C;
        if (disc < 0) return 0.0;
        lambda = (-B + std::sqrt(disc)) / (2 * A);
    } else {
        double best = -1, far = -1;
        for (const QLineF& e : s.Edges) {
            double ex = e.dx(), ey = e.dy();
            double den = dx * ey - dy * ex;
            if (den == 0) continue;
            double wx = e.x1() - c.x(), wy = e.y1() - c.y();
            double l = (wx * ey - wy * ex) / den;
            double mu = (wx * dy - wy * dx) / den;
            if (mu < 0 || mu > 1 || l <= 0) continue;
            if (l >= 1 - 1e-9 && (best < 0 || l < best)) best = l;
            far = std::max(far, l);
        }
        lambda = best > 0 ? best : far;
    }
    if (!(lambda > 0)) return 0.0;
    return std::clamp(1.0 - 1.0 / lambda, 0.0, 1.0);
}

// Fills the device-space area with a path gradient brush: its colours are evaluated per
// pixel and the area is cut to the brush's own path, so nothing lands outside it.
void FillPathGradient(QPainter& painter, const QPainterPath& worldArea, const TGPBrush::Impl& b)
{
    QTransform world = painter.worldTransform();
    QTransform brushToDevice = GdiPlusAccess::ToQt(b.Transform) * world;
    bool invertible = false;
    QTransform deviceToBrush = brushToDevice.inverted(&invertible);
    if (!invertible) return;
    QPainterPath boundary = brushToDevice.map(GdiPlusAccess::ToQt(*b.Path));
    QPainterPath region = world.map(worldArea).intersected(boundary);

    std::vector<ARGB> colors = b.Colors;
    std::vector<float> positions = b.Positions;
    if (colors.size() < 2) {
        colors = {b.SurroundColor, b.CenterColor};
        positions = {0.0f, 1.0f};
    }
    const GradientShape shape = ShapeOf(*b.Path);
    const QPointF centre(b.Center.X, b.Center.Y);
    FillPerPixel(painter, region, colors, positions, [&](const QPointF& device) -> std::optional<double> {
        return PositionOf(shape, centre, deviceToBrush.map(device));
    });
}

// The path to stroke: a figure of several points that all coincide ends a hair further right, so
// a round or square cap shows it as a dot (Qt strokes nothing for it). A lone start point stays
// invisible.
QPainterPath StrokeSource(const TGPGraphicsPath& path, const QPen& pen)
{
    if (pen.capStyle() == Qt::FlatCap) return GdiPlusAccess::ToQt(path);
    const auto& d = GdiPlusAccess::Get(path);
    std::vector<size_t> ends;  // last point of each figure on one point
    for (size_t i = 0; i < d.Points.size();) {
        size_t end = i + 1;
        bool onePoint = true;
        for (; end < d.Points.size() && (d.Types[end] & PathPointTypePathTypeMask) != PathPointTypeStart; ++end)
            onePoint = onePoint && d.Points[end] == d.Points[i];
        if (onePoint && end - i > 1) ends.push_back(end - 1);
        i = end;
    }
    if (ends.empty()) return GdiPlusAccess::ToQt(path);
    TGPGraphicsPath copy(path);
    auto& c = GdiPlusAccess::Get(copy);
    const float hair = float(1e-3 * std::max(pen.widthF(), 1.0));
    for (size_t e : ends) {
        c.Points[e].X += hair;
        // Closing would turn the caps into joins.
        c.Types[e] &= ~std::uint8_t(PathPointTypeCloseSubpath);
    }
    return GdiPlusAccess::ToQt(copy);
}

// Drops points of a flattened path that lie within epsilon of the point before them. Such a sliver of a
// segment (the last bit of an arc that rounding left over) has an arbitrary direction, and a miter join
// with it would stick out as a spike. A figure keeps at least two points, so a zero-length one still
// shows its caps.
void DropSlivers(TGPGraphicsPath& path, double epsilon)
{
    auto& d = GdiPlusAccess::Get(path);
    std::vector<TGPPointF> points;
    std::vector<std::uint8_t> types;
    points.reserve(d.Points.size());
    types.reserve(d.Types.size());
    size_t figureStart = 0;
    for (size_t i = 0; i < d.Points.size(); ++i) {
        const bool start = (d.Types[i] & PathPointTypePathTypeMask) == PathPointTypeStart;
        const bool last =
            i + 1 == d.Points.size() || (d.Types[i + 1] & PathPointTypePathTypeMask) == PathPointTypeStart;
        if (start) figureStart = points.size();
        if (!start && !points.empty()) {
            const double dx = d.Points[i].X - points.back().X, dy = d.Points[i].Y - points.back().Y;
            const bool alone = points.size() - figureStart == 1;
            if (dx * dx + dy * dy < epsilon * epsilon && !(last && alone)) {
                types.back() |= d.Types[i] & PathPointTypeCloseSubpath;
                continue;
            }
        }
        points.push_back(d.Points[i]);
        types.push_back(d.Types[i]);
    }
    d.Points = std::move(points);
    d.Types = std::move(types);
}

// The image with a colour matrix applied to its straight colours.
QImage ApplyColorMatrix(const QImage& source, const TGPColorMatrix& cm)
{
    const auto& m = cm.m;
    bool onlyAlphaScale = true;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) {
            float identity = (r == c) ? 1.0f : 0.0f;
            if (r == 3 && c == 3) continue;
            if (m[r][c] != identity) onlyAlphaScale = false;
        }
    QImage out = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            QRgb p = line[x];
            if (onlyAlphaScale) {
                int a = std::clamp(int(std::lround(qAlpha(p) * m[3][3])), 0, 255);
                line[x] = qRgba(qRed(p), qGreen(p), qBlue(p), a);
                continue;
            }
            float in[5] = {qRed(p) / 255.0f, qGreen(p) / 255.0f, qBlue(p) / 255.0f, qAlpha(p) / 255.0f, 1};
            int o[4];
            for (int c = 0; c < 4; ++c) {
                float v = 0;
                for (int r = 0; r < 5; ++r) v += in[r] * m[r][c];
                o[c] = std::clamp(int(std::lround(v * 255)), 0, 255);
            }
            line[x] = qRgba(o[0], o[1], o[2], o[3]);
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

TGPGraphics::TGPGraphics(TGPImage* image) : FImpl(std::make_unique<Impl>())
{
    QImage* target = GdiPlusAccess::ImageOf(image);
    if (!target || target->isNull()) {
        RecordStatus(InvalidParameter);
        return;
    }
    FImpl->Target = target;
}

TGPGraphics::TGPGraphics() : FImpl(std::make_unique<Impl>()) {}

std::unique_ptr<TGPGraphics> TGPGraphics::FromImage(TGPImage* image)
{
    return std::make_unique<TGPGraphics>(image);
}

TGPGraphics::~TGPGraphics() = default;

bool GdiPlusAccess::BeginPaint(const TGPGraphics& graphics, QPainter& painter)
{
    const auto& d = Get(graphics);
    if (!d.Target || d.Target->isNull()) return false;
    if (d.HasClip && d.Clip.isEmpty()) return false;
    if (!painter.begin(d.Target)) return false;
    bool aa = d.Smoothing == SmoothingModeAntiAlias || d.Smoothing == SmoothingModeAntiAlias8x8 ||
              d.Smoothing == SmoothingModeHighQuality;
    painter.setRenderHint(QPainter::Antialiasing, aa);
    painter.setRenderHint(QPainter::TextAntialiasing, aa);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, d.Interpolation != InterpolationModeNearestNeighbor);
    const QTransform device = ToQt(d.Device);
    if (d.HasClip) painter.setClipPath(device.map(d.Clip));
    painter.setTransform(ToQt(d.Transform) * device);
    return true;
}

Status TGPGraphics::SetDeviceTransform(const TGPMatrix& matrix)
{
    FImpl->Device = matrix;
    return Ok;
}

const TGPMatrix& TGPGraphics::GetDeviceTransform() const
{
    return FImpl->Device;
}

Status TGPGraphics::SetSmoothingMode(SmoothingMode mode)
{
    if (mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8) return SetStatus(InvalidParameter);
    FImpl->Smoothing = mode;
    return Ok;
}

SmoothingMode TGPGraphics::GetSmoothingMode() const
{
    return FImpl->Smoothing;
}

Status TGPGraphics::SetInterpolationMode(InterpolationMode mode)
{
    if (mode < InterpolationModeDefault || mode > InterpolationModeHighQualityBicubic)
        return SetStatus(InvalidParameter);
    FImpl->Interpolation = mode;
    return Ok;
}

InterpolationMode TGPGraphics::GetInterpolationMode() const
{
    return FImpl->Interpolation;
}

// Every drawing call finishes its painter, so the pixels are always complete.
Status TGPGraphics::Flush(FlushIntention)
{
    return Ok;
}

Status TGPGraphics::SetTransform(const TGPMatrix* matrix)
{
    if (!matrix) return SetStatus(InvalidParameter);
    FImpl->Transform = *matrix;
    return Ok;
}

Status TGPGraphics::GetTransform(TGPMatrix* matrix) const
{
    if (!matrix) return SetStatus(InvalidParameter);
    *matrix = FImpl->Transform;
    return Ok;
}

Status TGPGraphics::ResetTransform()
{
    FImpl->Transform = TGPMatrix();
    return Ok;
}

Status TGPGraphics::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order)
{
    if (!matrix) return SetStatus(InvalidParameter);
    return FImpl->Transform.Multiply(*matrix, order);
}

Status TGPGraphics::TranslateTransform(float dx, float dy, MatrixOrder order)
{
    return SetStatus(FImpl->Transform.Translate(dx, dy, order));
}

Status TGPGraphics::ScaleTransform(float sx, float sy, MatrixOrder order)
{
    return SetStatus(FImpl->Transform.Scale(sx, sy, order));
}

Status TGPGraphics::RotateTransform(float angle, MatrixOrder order)
{
    return SetStatus(FImpl->Transform.Rotate(angle, order));
}

namespace {

QPainterPath Combine(bool hasClip, const QPainterPath& clip, const QPainterPath& next, CombineMode mode)
{
    if (mode == CombineModeReplace) return next;
    if (!hasClip) {
        // No clip is the infinite region.
        QPainterPath all;
        all.addRect(QRectF(-1e7, -1e7, 2e7, 2e7));
        return Combine(true, all, next, mode);
    }
    switch (mode) {
        case CombineModeIntersect:
            return clip.intersected(next);
        case CombineModeUnion:
            return clip.united(next);
        case CombineModeXor:
            return clip.united(next).subtracted(clip.intersected(next));
        case CombineModeExclude:
            return clip.subtracted(next);
        case CombineModeComplement:
            return next.subtracted(clip);
        default:
            return next;
    }
}

}  // namespace

Status TGPGraphics::SetClip(const TGPGraphicsPath* path, CombineMode mode)
{
    if (!path || mode < CombineModeReplace || mode > CombineModeComplement) return SetStatus(InvalidParameter);
    QPainterPath device = GdiPlusAccess::ToQt(FImpl->Transform).map(GdiPlusAccess::ToQt(*path));
    FImpl->Clip = Combine(FImpl->HasClip, FImpl->Clip, device, mode);
    FImpl->HasClip = true;
    return Ok;
}

Status TGPGraphics::SetClip(const TGPRectF& rect, CombineMode mode)
{
    TGPGraphicsPath path;
    if (const Status s = path.AddRectangle(rect); s != Ok) return SetStatus(s);
    return SetClip(&path, mode);
}

Status TGPGraphics::ResetClip()
{
    FImpl->HasClip = false;
    FImpl->Clip = QPainterPath();
    return Ok;
}

bool TGPGraphics::IsClipEmpty() const
{
    return FImpl->HasClip && FImpl->Clip.isEmpty();
}

Status TGPGraphics::Clear(ARGB color)
{
    if (!FImpl->Target) return SetStatus(InvalidParameter);
    QPainter p;
    if (!GdiPlusAccess::BeginPaint(*this, p)) return Ok;
    p.resetTransform();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(FImpl->Target->rect(), GdiPlusAccess::ToQColor(color));
    return Ok;
}

Status TGPGraphics::FillPath(const TGPBrush* brush, const TGPGraphicsPath* path)
{
    if (!brush || !path) return SetStatus(InvalidParameter);
    const auto& b = GdiPlusAccess::Get(*brush);
    if (b.Failed) return SetStatus(InvalidParameter);
    if (!FImpl->Target) return SetStatus(InvalidParameter);
    QPainter p;
    if (!GdiPlusAccess::BeginPaint(*this, p)) return Ok;
    QPainterPath q = GdiPlusAccess::ToQt(*path);
    if (b.Type == BrushTypePathGradient) {
        FillPathGradient(p, q, b);
        return Ok;
    }
    if (b.Type == BrushTypeRadialGradient) {
        GdiPlusAccess::FillRadialGradient(p, q, b);
        return Ok;
    }
    if (auto qb = GdiPlusAccess::ToQBrush(*brush)) p.fillPath(q, *qb);
    return Ok;
}

Status TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path)
{
    if (!pen || !path) return SetStatus(InvalidParameter);
    const auto& d = GdiPlusAccess::Get(*pen);
    if (d.Failed || (d.Brush && GdiPlusAccess::Get(*d.Brush).Failed)) return SetStatus(InvalidParameter);
    if (!FImpl->Target) return SetStatus(InvalidParameter);
    QPainter p;
    if (!GdiPlusAccess::BeginPaint(*this, p)) return Ok;
    QPen qpen = GdiPlusAccess::ToQPen(*pen);
    // Curves are turned into lines here, finely enough for the device: Qt's stroker offsets curves in world
    // units, and a small view box magnified onto many pixels then came out with visibly thinner curves.
    const QTransform& world = p.worldTransform();
    const double scale = std::max(std::hypot(world.m11(), world.m12()), std::hypot(world.m21(), world.m22()));
    TGPGraphicsPath flat(*path);
    if (scale > 0 && std::isfinite(scale)) {
        const double tolerance = std::clamp(0.1 / scale, 1e-4, 0.25);
        IgnoreStatus(flat.Flatten(nullptr, float(tolerance)));
        DropSlivers(flat, tolerance / 20);
    }
    QPainterPath q = StrokeSource(flat, qpen);
    if (d.Brush && (GdiPlusAccess::Get(*d.Brush).Type == BrushTypePathGradient ||
                    GdiPlusAccess::Get(*d.Brush).Type == BrushTypeRadialGradient)) {
        // Stroke outline filled with the gradient; a hairline gets one device pixel's width.
        QPainterPathStroker stroker(qpen);
        if (qpen.isCosmetic()) {
            const QTransform& w = p.worldTransform();
            double scale = std::sqrt(std::abs(w.determinant()));
            stroker.setWidth(scale > 0 ? 1.0 / scale : 1.0);
        }
        QPainterPath outline = stroker.createStroke(q);
        outline.setFillRule(Qt::WindingFill);
        if (GdiPlusAccess::Get(*d.Brush).Type == BrushTypeRadialGradient)
            GdiPlusAccess::FillRadialGradient(p, outline, GdiPlusAccess::Get(*d.Brush));
        else
            FillPathGradient(p, outline, GdiPlusAccess::Get(*d.Brush));
        return Ok;
    }
    if (d.Brush) {
        auto qb = GdiPlusAccess::ToQBrush(*d.Brush);
        if (!qb) return Ok;
        qpen.setBrush(*qb);
    } else {
        qpen.setColor(GdiPlusAccess::ToQColor(d.Color));
    }
    p.strokePath(q, qpen);
    return Ok;
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRectF& rect)
{
    TGPGraphicsPath path;
    if (const Status s = path.AddRectangle(rect); s != Ok) return SetStatus(s);
    return FillPath(brush, &path);
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, float x, float y, float width, float height)
{
    return FillRectangle(brush, TGPRectF{x, y, width, height});
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRectF& rect)
{
    TGPGraphicsPath path;
    if (const Status s = path.AddEllipse(rect); s != Ok) return SetStatus(s);
    return FillPath(brush, &path);
}

Status TGPGraphics::DrawLine(const TGPPen* pen, float x1, float y1, float x2, float y2)
{
    TGPGraphicsPath path;
    if (const Status s = path.AddLine(x1, y1, x2, y2); s != Ok) return SetStatus(s);
    return DrawPath(pen, &path);
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRectF& rect)
{
    TGPGraphicsPath path;
    if (const Status s = path.AddRectangle(rect); s != Ok) return SetStatus(s);
    return DrawPath(pen, &path);
}

Status TGPGraphics::DrawImage(TGPImage* image, float x, float y)
{
    if (!image) return SetStatus(InvalidParameter);
    return DrawImage(image, TGPRectF{x, y, float(image->GetWidth()), float(image->GetHeight())});
}

Status TGPGraphics::DrawImage(TGPImage* image, const TGPRectF& destRect)
{
    if (!image) return SetStatus(InvalidParameter);
    return DrawImage(image, destRect, 0, 0, float(image->GetWidth()), float(image->GetHeight()), UnitPixel, nullptr);
}

Status TGPGraphics::DrawImage(TGPImage* image, float x, float y, float width, float height)
{
    return DrawImage(image, TGPRectF{x, y, width, height});
}

Status TGPGraphics::DrawImage(TGPImage* image, const TGPRectF& destRect, float srcX, float srcY, float srcWidth,
                              float srcHeight, Unit srcUnit, const TGPImageAttributes* attributes)
{
    const QImage* source = GdiPlusAccess::ImageOf(image);
    if (!source || source->isNull()) return SetStatus(InvalidParameter);
    if (srcUnit != UnitPixel && srcUnit != UnitWorld) return SetStatus(NotImplemented);
    if (!(srcWidth > 0) || !(srcHeight > 0) || !std::isfinite(destRect.Width) || !std::isfinite(destRect.Height))
        return SetStatus(InvalidParameter);
    if (!FImpl->Target) return SetStatus(InvalidParameter);
    if (destRect.Width == 0 || destRect.Height == 0) return Ok;

    QRectF src(srcX, srcY, srcWidth, srcHeight);
    QImage picture = *source;
    bool whole = src == QRectF(source->rect());
    if (attributes && attributes->HasColorMatrix()) {
        // Only the used part is recoloured.
        QRect part = src.toAlignedRect().intersected(source->rect());
        if (part.isEmpty()) return Ok;
        picture = ApplyColorMatrix(source->copy(part), attributes->GetColorMatrix());
        src.translate(-part.x(), -part.y());
        whole = src == QRectF(picture.rect());
    }

    QPainter p;
    if (!GdiPlusAccess::BeginPaint(*this, p)) return Ok;
    QRectF dest(destRect.X, destRect.Y, destRect.Width, destRect.Height);
    const QTransform& world = p.worldTransform();
    QRectF device = world.mapRect(dest);
    bool axisAligned = world.type() <= QTransform::TxScale && world.m11() > 0 && world.m22() > 0 && dest.width() > 0 &&
                       dest.height() > 0;
    if (IsHighQuality(FImpl->Interpolation) && axisAligned &&
        (device.width() < src.width() || device.height() < src.height())) {
        // Reducing: average whole areas of source pixels instead of sampling a few of them, then
        // place the result pixel for pixel.
        int w = std::max(1, int(std::lround(device.width())));
        int h = std::max(1, int(std::lround(device.height())));
        if (std::int64_t(w) * h > MaxImagePixels) return SetStatus(OutOfMemory);
        QImage part = whole ? picture : picture.copy(src.toAlignedRect());
        QImage reduced = part.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.resetTransform();
        p.drawImage(QRectF(device.x(), device.y(), w, h), reduced);
        return Ok;
    }
    p.drawImage(dest, picture, src);
    return Ok;
}

bool TGPGraphics::GetSurfaceSize(int& width, int& height) const
{
    if (!FImpl->Target || FImpl->Target->isNull()) return false;
    width = FImpl->Target->width();
    height = FImpl->Target->height();
    return true;
}

Status TGPGraphics::DrawLayer(TGPBitmap* layer, float opacity, BlendMode blend)
{
    const QImage* source = GdiPlusAccess::ImageOf(layer);
    if (!source || source->isNull() || !FImpl->Target) return SetStatus(InvalidParameter);
    if (!(opacity > 0)) return Ok;
    QImage blended;
    if (blend != BlendModeNormal && source->size() == FImpl->Target->size()) {
        blended = source->convertToFormat(QImage::Format_ARGB32);
        BlendWithBackdrop(blended, FImpl->Target->convertToFormat(QImage::Format_ARGB32), blend);
        source = &blended;
    }
    QPainter p;
    if (!GdiPlusAccess::BeginPaint(*this, p)) return Ok;
    p.resetTransform();
    p.setOpacity(std::min(1.0f, opacity));
    p.drawImage(QPointF(0, 0), *source);
    return Ok;
}

}  // namespace plumwick
