// Pen: width in world units, joins, caps, dashes, and a solid colour or a brush.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/GdiPlusTypes.h"

namespace plumwick {

class TGPPen : public TGPBase {
public:
    // A pen of width 0 draws lines one device pixel wide, whatever the transform. A negative
    // width counts as its absolute value; one that is not a number fails (InvalidParameter).
    explicit TGPPen(ARGB color, float width = 1.0f);
    TGPPen(const TGPBrush* brush, float width = 1.0f);
    ~TGPPen();
    TGPPen(const TGPPen&) = delete;
    TGPPen& operator=(const TGPPen&) = delete;

    std::unique_ptr<TGPPen> Clone() const;

    Status SetWidth(float width);
    float GetWidth() const;
    Status SetColor(ARGB color);
    ARGB GetColor() const;
    // Paints the stroke with a copy of the brush instead of the colour.
    Status SetBrush(const TGPBrush* brush);

    Status SetLineJoin(LineJoin join);
    LineJoin GetLineJoin() const;
    // Ratio of the miter length to the pen width above which the join is cut (miter) or bevelled
    // (miter-clipped). Values below 1 count as 1.
    Status SetMiterLimit(float limit);
    float GetMiterLimit() const;

    // The line has one cap shape for its ends and its dashes; dashes take the end caps (so a
    // square or round cap applies to every dash), the dash cap counts only for a triangle.
    Status SetLineCap(LineCap startCap, LineCap endCap, DashCap dashCap);
    Status SetStartCap(LineCap cap);
    Status SetEndCap(LineCap cap);
    Status SetDashCap(DashCap cap);
    LineCap GetStartCap() const;
    LineCap GetEndCap() const;
    DashCap GetDashCap() const;

    Status SetDashStyle(DashStyle style);
    DashStyle GetDashStyle() const;
    // Alternating dash and gap lengths in pen widths; switches to DashStyleCustom. An empty list,
    // a negative length or an all-zero list is InvalidParameter.
    Status SetDashPattern(std::span<const float> lengths);
    Status SetDashPattern(const float* lengths, int count);
    std::vector<float> GetDashPattern() const;
    // Distance into the pattern at which the line starts, in pen widths.
    Status SetDashOffset(float offset);
    float GetDashOffset() const;

    // Pen space → world space (scales the pen's shape).
    Status SetTransform(const TGPMatrix* matrix);
    Status ResetTransform();

public:
    struct Impl;  // defined by the platform sources

private:
    friend struct GdiPlusAccess;
    std::unique_ptr<Impl> FImpl;
};

}  // namespace plumwick
