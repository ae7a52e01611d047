#include "platform/GdiPlusPen.h"

#include <algorithm>
#include <cmath>

#include "platform/GdiPlusPrivate.h"

namespace plumwick {

namespace {

std::vector<float> PresetPattern(DashStyle style)
{
    switch (style) {
        case DashStyleDash:
            return {3, 1};
        case DashStyleDot:
            return {1, 1};
        case DashStyleDashDot:
            return {3, 1, 1, 1};
        case DashStyleDashDotDot:
            return {3, 1, 1, 1, 1, 1};
        default:
            return {};
    }
}

Qt::PenCapStyle ToQtCap(LineCap cap)
{
    switch (cap) {
        case LineCapSquare:
            return Qt::SquareCap;
        case LineCapRound:
            return Qt::RoundCap;
        default:
            return Qt::FlatCap;
    }
}

}  // namespace

TGPPen::TGPPen(ARGB color, float width) : FImpl(std::make_unique<Impl>())
{
    FImpl->Color = color;
    IgnoreStatus(SetWidth(width));  // a failure is recorded on the pen
}

TGPPen::TGPPen(const TGPBrush* brush, float width) : TGPPen(ARGB(0), width)
{
    IgnoreStatus(SetBrush(brush));  // a failure is recorded on the pen
}

TGPPen::~TGPPen() = default;

std::unique_ptr<TGPPen> TGPPen::Clone() const
{
    auto p = std::make_unique<TGPPen>(FImpl->Color, FImpl->Width);
    auto& d = *p->FImpl;
    static_cast<TPenState&>(d) = *FImpl;
    d.Brush = FImpl->Brush ? FImpl->Brush->Clone() : nullptr;
    return p;
}

Status TGPPen::SetWidth(float width)
{
    if (std::isnan(width) || std::isinf(width)) {
        FImpl->Failed = true;
        return SetStatus(InvalidParameter);
    }
    FImpl->Width = std::abs(width);
    return Ok;
}

float TGPPen::GetWidth() const
{
    return FImpl->Width;
}

Status TGPPen::SetColor(ARGB color)
{
    FImpl->Color = color;
    FImpl->Brush.reset();
    return Ok;
}

ARGB TGPPen::GetColor() const
{
    return FImpl->Color;
}

Status TGPPen::SetBrush(const TGPBrush* brush)
{
    if (!brush) return SetStatus(InvalidParameter);
    FImpl->Brush = brush->Clone();
    return Ok;
}

Status TGPPen::SetLineJoin(LineJoin join)
{
    if (join < LineJoinMiter || join > LineJoinMiterClipped) return SetStatus(InvalidParameter);
    FImpl->Join = join;
    return Ok;
}

LineJoin TGPPen::GetLineJoin() const
{
    return FImpl->Join;
}

Status TGPPen::SetMiterLimit(float limit)
{
    if (std::isnan(limit)) return SetStatus(InvalidParameter);
    FImpl->MiterLimit = std::max(limit, 1.0f);
    return Ok;
}

float TGPPen::GetMiterLimit() const
{
    return FImpl->MiterLimit;
}

Status TGPPen::SetLineCap(LineCap startCap, LineCap endCap, DashCap dashCap)
{
    if (Status s = SetStartCap(startCap); s != Ok) return s;
    if (Status s = SetEndCap(endCap); s != Ok) return s;
    return SetDashCap(dashCap);
}

Status TGPPen::SetStartCap(LineCap cap)
{
    if (cap < LineCapFlat || cap > LineCapTriangle) return SetStatus(InvalidParameter);
    FImpl->StartCap = cap;
    return Ok;
}

Status TGPPen::SetEndCap(LineCap cap)
{
    if (cap < LineCapFlat || cap > LineCapTriangle) return SetStatus(InvalidParameter);
    FImpl->EndCap = cap;
    return Ok;
}

Status TGPPen::SetDashCap(DashCap cap)
{
    if (cap != DashCapFlat && cap != DashCapRound && cap != DashCapTriangle) return SetStatus(InvalidParameter);
    FImpl->DashCapStyle = cap;
    return Ok;
}

LineCap TGPPen::GetStartCap() const
{
    return FImpl->StartCap;
}
LineCap TGPPen::GetEndCap() const
{
    return FImpl->EndCap;
}
DashCap TGPPen::GetDashCap() const
{
    return FImpl->DashCapStyle;
}

Status TGPPen::SetDashStyle(DashStyle style)
{
    if (style < DashStyleSolid || style > DashStyleCustom) return SetStatus(InvalidParameter);
    FImpl->Dash = style;
    if (style != DashStyleCustom)
        FImpl->Pattern = PresetPattern(style);
    else if (FImpl->Pattern.empty())
        FImpl->Pattern = {1, 1};
    return Ok;
}

DashStyle TGPPen::GetDashStyle() const
{
    return FImpl->Dash;
}

Status TGPPen::SetDashPattern(std::span<const float> lengths)
{
    if (lengths.empty()) return SetStatus(InvalidParameter);
    float sum = 0;
    for (float l : lengths) {
        if (!(l >= 0) || std::isinf(l)) return SetStatus(InvalidParameter);
        sum += l;
    }
    if (!(sum > 0)) return SetStatus(InvalidParameter);
    FImpl->Pattern.assign(lengths.begin(), lengths.end());
    FImpl->Dash = DashStyleCustom;
    return Ok;
}

Status TGPPen::SetDashPattern(const float* lengths, int count)
{
    if (!lengths || count <= 0) return SetStatus(InvalidParameter);
    return SetDashPattern(std::span(lengths, size_t(count)));
}

std::vector<float> TGPPen::GetDashPattern() const
{
    return FImpl->Pattern;
}

Status TGPPen::SetDashOffset(float offset)
{
    if (!std::isfinite(offset)) return SetStatus(InvalidParameter);
    FImpl->DashOffset = offset;
    return Ok;
}

float TGPPen::GetDashOffset() const
{
    return FImpl->DashOffset;
}

Status TGPPen::SetTransform(const TGPMatrix* matrix)
{
    if (!matrix || !matrix->IsInvertible()) return SetStatus(InvalidParameter);
    FImpl->Transform = *matrix;
    return Ok;
}

Status TGPPen::ResetTransform()
{
    FImpl->Transform = TGPMatrix();
    return Ok;
}

QPen GdiPlusAccess::ToQPen(const TGPPen& pen)
{
    const auto& d = Get(pen);
    QPen q;
    // The pen transform scales the pen's shape; only its mean scale is kept.
    auto e = d.Transform.GetElements();
    double scale = std::sqrt(std::abs(double(e[0]) * e[3] - double(e[1]) * e[2]));
    q.setWidthF(d.Width * scale);
    q.setCosmetic(d.Width == 0);
    switch (d.Join) {
        case LineJoinBevel:
            q.setJoinStyle(Qt::BevelJoin);
            break;
        case LineJoinRound:
            q.setJoinStyle(Qt::RoundJoin);
            break;
        case LineJoinMiterClipped:
            // Qt's SVG miter takes the limit as the ratio of miter length to pen width, as we do.
            q.setJoinStyle(Qt::SvgMiterJoin);
            q.setMiterLimit(d.MiterLimit);
            break;
        default:
            // Qt cuts its plain miter where the corner reaches limit × width from the join point;
            // ours reaches half the miter length there.
            q.setJoinStyle(Qt::MiterJoin);
            q.setMiterLimit(d.MiterLimit / 2);
            break;
    }
    const Qt::PenCapStyle cap = ToQtCap(d.StartCap);
    q.setCapStyle(cap);
    if (d.Dash != DashStyleSolid && !d.Pattern.empty()) {
        QList<qreal> pattern;
        for (float l : d.Pattern) pattern.append(l);
        // Qt drops dashes of no length; with round or square caps they are dots.
        if (cap != Qt::FlatCap)
            for (qsizetype i = 0; i < pattern.size(); i += 2)
                if (pattern[i] == 0) pattern[i] = 1e-3;
        // An odd list repeats to make dash and gap pairs.
        if (pattern.size() % 2) pattern += pattern;
        q.setDashPattern(pattern);
        q.setDashOffset(d.DashOffset);
    }
    return q;
}

}  // namespace plumwick
