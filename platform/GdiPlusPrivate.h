// Private to the platform sources: the inner state of the graphics objects and the bridges to Qt.
// Never include this outside platform/*.cpp.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "platform/GdiPlus.h"

namespace plumwick {

struct TGPGraphicsPath::Impl {
    std::vector<TGPPointF> Points;
    std::vector<std::uint8_t> Types;
    FillMode Mode = FillModeAlternate;
    bool NewFigure = true;  // the next add starts a figure
};

// Everything of a brush but the owned path, so that a copy is one assignment plus the path.
struct TBrushState {
    BrushType Type = BrushTypeSolidColor;
    ARGB Color = 0;
    // Linear gradient.
    TGPPointF P1, P2;
    // Interpolation colours; for a path gradient position 0 is the boundary.
    std::vector<ARGB> Colors;
    std::vector<float> Positions;
    WrapMode Wrap = WrapModeTile;
    TGPMatrix Transform;
    // Path gradient (its path is the Impl's); the radial gradient's outer circle and focal circle.
    TGPPointF Center;
    float Radius = 0;
    TGPPointF Focal;
    float FocalRadius = 0;
    ARGB CenterColor = 0xFF000000;
    ARGB SurroundColor = 0xFFFFFFFF;
    // Texture: the tile, repeated in both directions (Qt shares the pixels between copies).
    QImage Texture;
    bool Failed = false;  // creation failed: the brush paints nothing
};

struct TGPBrush::Impl : TBrushState {
    std::unique_ptr<TGPGraphicsPath> Path;
};

// Everything of a pen but the owned brush, so that a copy is one assignment plus the brush.
struct TPenState {
    float Width = 1;
    ARGB Color = 0;
    LineJoin Join = LineJoinMiter;
    float MiterLimit = 10;
    LineCap StartCap = LineCapFlat, EndCap = LineCapFlat;
    DashCap DashCapStyle = DashCapFlat;
    DashStyle Dash = DashStyleSolid;
    std::vector<float> Pattern;
    float DashOffset = 0;
    TGPMatrix Transform;
    bool Failed = false;
};

struct TGPPen::Impl : TPenState {
    std::unique_ptr<TGPBrush> Brush;
};

struct TGPImage::Impl {
    QImage Image;  // Format_ARGB32_Premultiplied; null when the image failed
};

struct TGPGraphics::Impl {
    QImage* Target = nullptr;  // the image's pixels; none for a measuring surface
    TGPMatrix Transform;
    bool HasClip = false;
    QPainterPath Clip;  // device space
    SmoothingMode Smoothing = SmoothingModeDefault;
    InterpolationMode Interpolation = InterpolationModeDefault;
    TGPMatrix Device;  // device space → the target's pixels
};

// Source (straight ARGB32, the size of backdrop) with every colour replaced by what the blend mode makes of it
// over the backdrop's pixel: (1 - backdrop alpha) x source + backdrop alpha x B(backdrop, source). Drawn
// source-over afterwards, that is the blended compositing of the CSS compositing rules.
void BlendWithBackdrop(QImage& source, const QImage& backdrop, BlendMode mode);

struct GdiPlusAccess {
    template <class T>
    static auto& Get(T& object)
    {
        return *object.FImpl;
    }
    template <class T>
    static const auto& Get(const T& object)
    {
        return *object.FImpl;
    }

    static QTransform ToQt(const TGPMatrix& m);
    static TGPMatrix FromQt(const QTransform& t);
    // The path as Qt draws it, with its fill rule.
    static QPainterPath ToQt(const TGPGraphicsPath& path);
    // Appends a Qt path's elements as figures (each subpath a closed figure when close is set).
    static void AppendQt(TGPGraphicsPath& path, const QPainterPath& qpath, bool close);
    static QColor ToQColor(ARGB c);
    // Brush for Qt painting; none for a path gradient (painted by the graphics itself) or a
    // failed brush.
    static std::optional<QBrush> ToQBrush(const TGPBrush& brush);
    // Fills the world-space area with a radial gradient brush, evaluated per device pixel.
    static void FillRadialGradient(QPainter& painter, const QPainterPath& worldArea, const TBrushState& b);
    // The pen's shape for Qt (the brush part is set from ToQBrush by the caller).
    static QPen ToQPen(const TGPPen& pen);
    // Colour at a position 0..1 of an interpolation table (straight ARGB, linear between entries).
    static ARGB ColorAt(const std::vector<ARGB>& colors, const std::vector<float>& positions, float t);
    static QImage* ImageOf(TGPImage* image);
    // Opens a painter on the surface with its render hints, clip and world transform; false when
    // there is nothing to paint on (no pixels, or a clip that leaves nothing).
    [[nodiscard]] static bool BeginPaint(const TGPGraphics& graphics, QPainter& painter);
    static const QImage* ImageOf(const TGPImage* image);
};

// Paints region (device coordinates, already cut to what the brush covers) pixel by pixel:
// positionAt(device point of a pixel centre) gives the place 0..1 on the colour ramp, or nothing
// for a transparent pixel. Only pixels on the device and inside the painter's clip are computed.
template <class TPositionAt>
void FillPerPixel(QPainter& painter, const QPainterPath& region, const std::vector<ARGB>& colors,
                  const std::vector<float>& positions, TPositionAt&& positionAt)
{
    const QTransform world = painter.worldTransform();
    QRect bounds = region.boundingRect().toAlignedRect().intersected(
        QRect(QPoint(0, 0), painter.device() ? QSize(painter.device()->width(), painter.device()->height()) : QSize()));
    // The painter reports its clip in world coordinates.
    if (painter.hasClipping()) bounds = bounds.intersected(world.mapRect(painter.clipBoundingRect()).toAlignedRect());
    if (bounds.isEmpty()) return;

    // A lookup table is plenty for 8-bit channels.
    constexpr int kSteps = 1024;
    std::vector<QRgb> lut(kSteps + 1);
    for (int i = 0; i <= kSteps; ++i)
        lut[i] = qPremultiply(GdiPlusAccess::ColorAt(colors, positions, float(i) / kSteps));

    QImage texture(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < bounds.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(texture.scanLine(y));
        for (int x = 0; x < bounds.width(); ++x) {
            const std::optional<double> t = positionAt(QPointF(bounds.x() + x + 0.5, bounds.y() + y + 0.5));
            line[x] = t && std::isfinite(*t) ? lut[int(std::lround(std::clamp(*t, 0.0, 1.0) * kSteps))] : 0;
        }
    }
    painter.save();
    painter.resetTransform();
    QBrush brush(texture);
    brush.setTransform(QTransform::fromTranslate(bounds.x(), bounds.y()));
    painter.fillPath(region, brush);
    painter.restore();
}

}  // namespace plumwick
