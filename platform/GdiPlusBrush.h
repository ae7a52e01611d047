// Brushes: a solid colour, a linear gradient and a gradient over a path.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

enum BrushType : int {
    BrushTypeSolidColor = 0,
    BrushTypeHatchFill = 1,
    BrushTypeTextureFill = 2,
    BrushTypePathGradient = 3,
    BrushTypeLinearGradient = 4,
    BrushTypeRadialGradient = 5,
};

class TGPBrush : public TGPBase {
public:
    virtual ~TGPBrush();
    TGPBrush(const TGPBrush&) = delete;
    TGPBrush& operator=(const TGPBrush&) = delete;

    std::unique_ptr<TGPBrush> Clone() const;
    BrushType GetType() const;
    // Combines matrix with the brush transform (brush space → world space) of any kind of brush.
    Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);

protected:
    explicit TGPBrush(BrushType type);

    // What the gradient and texture brushes share: the colour table, the wrap mode and the brush
    // transform. Each sets the last status as the public calls document.
    Status SetTable(std::span<const ARGB> colors, std::span<const float> positions);
    Status SetTable(const ARGB* colors, const float* positions, int count);
    Status SetWrap(WrapMode mode);
    // Any matrix; the gradients ask for an invertible one first.
    Status SetBrushTransform(const TGPMatrix* matrix);
    Status GetBrushTransform(TGPMatrix* matrix) const;
    Status ResetBrushTransform();

public:
    struct Impl;  // defined by the platform sources

private:
    friend struct GdiPlusAccess;
    std::unique_ptr<Impl> FImpl;
};

class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(ARGB color);
    ARGB GetColor() const;
    Status SetColor(ARGB color);
};

// Colour along the line p1 → p2, constant across it; beyond the ends the colours repeat as
// the wrap mode says (tile by default). Creation with equal points fails (status not Ok).
class TGPLinearGradientBrush : public TGPBrush {
public:
    TGPLinearGradientBrush(const TGPPointF& p1, const TGPPointF& p2, ARGB color1, ARGB color2);

    // Colours at positions along the gradient: count ≥ 2, the first position 0, the last 1, all
    // within 0..1; InvalidParameter otherwise (the table stays as it was).
    Status SetInterpolationColors(std::span<const ARGB> colors, std::span<const float> positions);
    Status SetInterpolationColors(const ARGB* colors, const float* positions, int count);
    Status SetLinearColors(ARGB color1, ARGB color2);
    Status SetWrapMode(WrapMode mode);
    WrapMode GetWrapMode() const;
    // Brush space → world space; the gradient line is given in brush space.
    Status SetTransform(const TGPMatrix* matrix);
    Status GetTransform(TGPMatrix* matrix) const;
    Status ResetTransform();
};

// A picture repeated in both directions from the origin of brush space, one picture pixel per brush
// unit; the transform maps brush space to world space. A picture without pixels fails (status not Ok).
class TGPTextureBrush : public TGPBrush {
public:
    explicit TGPTextureBrush(const TGPImage* image);
    Status SetTransform(const TGPMatrix* matrix);
    Status GetTransform(TGPMatrix* matrix) const;
};

// Colour from the path's boundary (position 0) to its centre point (position 1); nothing is
// painted outside the path. The centre point starts at the centre of the path's box.
class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(const TGPGraphicsPath* path);
    TGPPathGradientBrush(std::span<const TGPPointF> points);

    Status SetCenterPoint(const TGPPointF& point);
    Status GetCenterPoint(TGPPointF& point) const;
    Status SetCenterColor(ARGB color);
    // One colour for the whole boundary (GDI+ takes one per point; one colour is what is kept).
    Status SetSurroundColors(std::span<const ARGB> colors);
    // As for the linear brush; position 0 lies on the path, 1 at the centre point.
    Status SetInterpolationColors(std::span<const ARGB> colors, std::span<const float> positions);
    Status SetInterpolationColors(const ARGB* colors, const float* positions, int count);
    Status SetWrapMode(WrapMode mode);
    Status SetTransform(const TGPMatrix* matrix);
    Status GetTransform(TGPMatrix* matrix) const;
    Status ResetTransform();
};

// Colour between two circles, as SVG and canvas draw radial gradients: position 0 on the focal
// circle (focal point, focal radius), 1 on the outer circle (centre, radius). The wrap mode says
// what lies beyond: clamp pads with the end colours, tile repeats, tile-flip reflects. Where no
// circle between them passes through a point (a focus on or outside the outer circle) nothing is
// painted. Creation with a radius that is not positive fails.
class TGPRadialGradientBrush : public TGPBrush {
public:
    TGPRadialGradientBrush(const TGPPointF& centre, float radius, const TGPPointF& focal, float focalRadius);

    // As for the linear brush.
    Status SetInterpolationColors(std::span<const ARGB> colors, std::span<const float> positions);
    Status SetWrapMode(WrapMode mode);
    // Brush space → world space.
    Status SetTransform(const TGPMatrix* matrix);
};

}  // namespace plumwick
