// Painting of one TSVGBasic element (transform, fill, stroke). The clip and any layer are set up by the
// paint walk (svg/compositing) before an element paints.

#include <algorithm>
#include <array>
#include <cmath>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/PaintOrder.h"
#include "svg/base/SVGColor.h"
#include "svg/core/SVGBasic.h"
#include "svg/core/SVGDocument.h"

namespace plumwick {

namespace {

std::unique_ptr<TGPMatrix> ToGraphicsMatrix(const TMatrix& M)
{
    return std::make_unique<TGPMatrix>(M.m11, M.m12, M.m21, M.m22, M.m31, M.m32);
}

// Puts M on the surface when it is a transform; otherwise the surface keeps the identity.
void SetSurfaceTransform(TGPGraphics& Graphics, const TMatrix& M)
{
    if (M.IsTransform())
        IgnoreStatus(Graphics.SetTransform(ToGraphicsMatrix(M).get()));
    else
        IgnoreStatus(Graphics.ResetTransform());
}

// Leaves the surface with the identity transform and no clip (the walk's clip for this element), also when
// painting raises.
struct TSurfaceReset {
    TGPGraphics& Graphics;
    ~TSurfaceReset()
    {
        IgnoreStatus(Graphics.ResetTransform());
        IgnoreStatus(Graphics.ResetClip());
    }
};

}  // namespace

std::uint8_t OpacityToAlpha(float Opacity)
{
    const double Scaled = static_cast<double>(Opacity) * 255.0;
    if (!(Scaled > 0)) return 0;
    if (Scaled >= 255) return 255;
    return static_cast<std::uint8_t>(std::nearbyint(Scaled));  // halves go to the even neighbour
}

void TSVGBasic::PaintToGraphics(TGPGraphics& Graphics)
{
    TSurfaceReset Reset{Graphics};
    if (!FPath) return;
    ClipToViewports(Graphics);
    SetSurfaceTransform(Graphics, GetMatrix());
    if (FStyleChanged) {
        ResolveStyle();
        FStyleChanged = false;
    }
    std::unique_ptr<TGPBrush> Fill = GetFillBrush();
    std::unique_ptr<TGPBrush> StrokeBrush = GetStrokeBrush();
    std::unique_ptr<TGPPen> Pen = GetStrokePen(StrokeBrush.get());
    PrePaint(Graphics, Fill.get(), Pen.get());
    // Brush and pen are checked first; what else fails is a surface without pixels, which shows nothing anyway.
    for (const TPaintLayer Layer : GetPaintOrder()) {
        if (Layer == TPaintLayer::Fill && Fill && Fill->GetLastStatus() == Ok)
            IgnoreStatus(Graphics.FillPath(Fill.get(), FPath.get()));
        else if (Layer == TPaintLayer::Stroke && Pen && Pen->GetLastStatus() == Ok)
            IgnoreStatus(Graphics.DrawPath(Pen.get(), FPath.get()));
        else if (Layer == TPaintLayer::Markers) {
            // Markers set their own transform and clip; what follows them paints in this element's space again.
            PaintMarkers(Graphics);
            IgnoreStatus(Graphics.ResetClip());
            ClipToViewports(Graphics);
            SetSurfaceTransform(Graphics, GetMatrix());
        }
    }
    PostPaint(Graphics, Fill.get(), Pen.get());
    Pen.reset();
    StrokeBrush.reset();
    Fill.reset();
}

void TSVGBasic::ClipToViewports(TGPGraphics& Graphics) const
{
    TRectF Clip;
    for (const TSVGObject* N = GetParent(); N; N = N->GetParent()) {
        const TSVGBasic* B = N->AsBasic();
        if (!B || !B->GetViewportClip(Clip)) continue;
        SetSurfaceTransform(Graphics, B->GetMatrix());
        // Only a box without finite edges fails, and one that large clips nothing.
        IgnoreStatus(Graphics.SetClip(TGPRectF{Clip.Left, Clip.Top, Clip.Right - Clip.Left, Clip.Bottom - Clip.Top},
                                      CombineModeIntersect));
    }
    IgnoreStatus(Graphics.ResetTransform());
}

TPaintOrder TSVGBasic::GetPaintOrder() const
{
    // Inherited; a declaration that does not parse is ignored and the parent's order holds.
    for (const TSVGObject* Node = this; Node; Node = Node->GetParent()) {
        const std::string Value = Node->GetStyle().GetValues("paint-order");
        if (Value.empty()) continue;
        if (const std::optional<TPaintOrder> Order = ParsePaintOrder(Value)) return *Order;
    }
    return NormalPaintOrder;
}

void TSVGBasic::PaintToPath(TGPGraphicsPath& Path)
{
    if (!FPath) return;
    std::unique_ptr<TGPGraphicsPath2> Copy = FPath->Clone();
    if (!Copy) return;
    if (GetMatrix().IsTransform()) IgnoreStatus(Copy->Transform(ToGraphicsMatrix(GetMatrix()).get()));
    IgnoreStatus(Path.AddPath(*Copy, false));
}

namespace {

std::unique_ptr<TGPBrush> MakeBrush(TSVGBasic& Element, TColor Color, float Opacity, const std::string& URI)
{
    const std::uint8_t Alpha = OpacityToAlpha(Opacity);
    if (!URI.empty()) {
        // A reference to something that is no paint server, or to one that cannot paint this
        // element (no stops, a box without area), falls back on the colour given with it.
        TSVG* Root = Element.GetRoot();
        if (auto* Server = Root ? dynamic_cast<TSVGMatrix*>(Root->FindByID(URI)) : nullptr)
            if (std::unique_ptr<TGPBrush> Brush = Server->GetBrush(Alpha, &Element)) return Brush;
    }
    if (!IsColorValue(Color)) return nullptr;
    const double ColorAlphaScaled = std::nearbyint(double(Alpha) * ColorAlpha(Color) / 255.0);
    return std::make_unique<TGPSolidBrush>(ColorToARGB(Color, static_cast<std::uint8_t>(ColorAlphaScaled)));
}

}  // namespace

std::unique_ptr<TGPBrush> TSVGBasic::PaintBrush(bool Stroke, float Opacity)
{
    const TPaintSource Source = PaintSource(Stroke);
    if (!Source.Exists) return nullptr;
    TSVGBasic& Giver = Source.Context ? *Source.Context : *this;
    std::unique_ptr<TGPBrush> Brush = Source.Stroke
                                          ? MakeBrush(Giver, Giver.GetStrokeColor(), Opacity, Giver.GetStrokeServer())
                                          : MakeBrush(Giver, Giver.GetFillColor(), Opacity, Giver.GetFillServer());
    if (!Brush || !Source.Context || Brush->GetType() == BrushTypeSolidColor) return Brush;
    // A gradient or pattern lies where it lies for the context element: from its user space into this one's.
    const TMatrix& Own = GetMatrix();
    const TMatrix& Theirs = Giver.GetMatrix();
    std::unique_ptr<TGPMatrix> Map = Theirs.IsTransform() ? ToGraphicsMatrix(Theirs) : std::make_unique<TGPMatrix>();
    if (Own.IsTransform()) {
        std::unique_ptr<TGPMatrix> Back = ToGraphicsMatrix(Own);
        if (Back->Invert() != Ok) return nullptr;
        IgnoreStatus(Map->Multiply(*Back, MatrixOrderAppend));
    }
    IgnoreStatus(Brush->MultiplyTransform(Map.get(), MatrixOrderAppend));
    return Brush;
}

std::unique_ptr<TGPBrush> TSVGBasic::GetFillBrush()
{
    return PaintBrush(false, GetFillOpacity() * FPaintOpacity);
}

std::unique_ptr<TGPBrush> TSVGBasic::GetStrokeBrush()
{
    return PaintBrush(true, GetStrokeOpacity() * FPaintOpacity);
}

std::unique_ptr<TGPPen> TSVGBasic::GetStrokePen(TGPBrush* Brush)
{
    if (!Brush || Brush->GetLastStatus() != Ok) return nullptr;
    // A pen of width 0 would still draw a hairline; a stroke of no width (or an unreadable one) paints nothing.
    const float StrokeWidth = GetStrokeWidth();
    if (!(StrokeWidth > 0) || !std::isfinite(StrokeWidth)) return nullptr;
    auto Pen = std::make_unique<TGPPen>(ARGB(0), StrokeWidth);
    // A setter that fails is recorded on the pen, which then does not draw.
    IgnoreStatus(Pen->SetLineJoin(GetStrokeLineJoin()));
    IgnoreStatus(Pen->SetMiterLimit(GetStrokeMiterLimit()));
    const LineCap Cap = GetStrokeLineCap();
    IgnoreStatus(Pen->SetLineCap(Cap, Cap, GetStrokeDashCap()));
    // Dash lengths and the offset are user units, the pen counts in multiples of its width. A list that cannot
    // dash (a negative or endless length, or nothing but zeros) leaves the stroke solid instead of losing it.
    std::vector<float> Dashes = GetStrokeDashArray();
    const float Width = Pen->GetWidth();
    double Sum = 0;
    for (const float D : Dashes) Sum = D >= 0 && std::isfinite(D) ? Sum + D : -1;
    if (!Dashes.empty() && Sum > 0) {
        float Offset = GetStrokeDashOffset();
        if (Width > 0) {
            for (float& D : Dashes) D /= Width;
            Offset /= Width;
        }
        IgnoreStatus(Pen->SetDashPattern(Dashes));
        IgnoreStatus(Pen->SetDashStyle(DashStyleCustom));
        if (std::isfinite(Offset)) IgnoreStatus(Pen->SetDashOffset(Offset));
    }
    IgnoreStatus(Pen->SetBrush(Brush));
    return Pen;
}

// --- Paint walk.

bool OwnDisplayShows(const TSVGObject& Node)
{
    return Node.GetDisplayCode() != 0 && Node.GetStyle().GetValues("display") != "none";
}

bool IsPaintable(const TSVGObject& Node)
{
    return Node.GetDisplay() == 1 && OwnDisplayShows(Node) && Node.GetVisible() == 1;
}

bool BoundsIntersectRect(const TBounds& Bounds, const TRect& Rect)
{
    struct TPt {
        double X, Y;
    };
    auto Round = [](const TPointF& P) { return TPt{std::nearbyint(double(P.X)), std::nearbyint(double(P.Y))}; };
    std::vector<TPt> Poly = {Round(Bounds.TopLeft), Round(Bounds.TopRight), Round(Bounds.BottomRight),
                             Round(Bounds.BottomLeft)};
    for (const TPt& P : Poly)
        if (!std::isfinite(P.X) || !std::isfinite(P.Y)) return false;
    if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return false;

    // Clip the polygon to the rectangle edge by edge; what is left has an area only if they overlap.
    auto ClipEdge = [&Poly](auto Inside, auto Cross) {
        std::vector<TPt> Out;
        for (size_t I = 0; I < Poly.size(); ++I) {
            const TPt& A = Poly[I];
            const TPt& B = Poly[(I + 1) % Poly.size()];
            const bool InA = Inside(A), InB = Inside(B);
            if (InA) Out.push_back(A);
            if (InA != InB) Out.push_back(Cross(A, B));
        }
        Poly = std::move(Out);
    };
    auto AtX = [](double X) {
        return [X](const TPt& A, const TPt& B) { return TPt{X, A.Y + (B.Y - A.Y) * (X - A.X) / (B.X - A.X)}; };
    };
    auto AtY = [](double Y) {
        return [Y](const TPt& A, const TPt& B) { return TPt{A.X + (B.X - A.X) * (Y - A.Y) / (B.Y - A.Y), Y}; };
    };
    const double L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
    ClipEdge([L](const TPt& P) { return P.X >= L; }, AtX(L));
    ClipEdge([R](const TPt& P) { return P.X <= R; }, AtX(R));
    ClipEdge([T](const TPt& P) { return P.Y >= T; }, AtY(T));
    ClipEdge([B](const TPt& P) { return P.Y <= B; }, AtY(B));
    double Area = 0;
    for (size_t I = 0; I < Poly.size(); ++I) {
        const TPt& P = Poly[I];
        const TPt& Q = Poly[(I + 1) % Poly.size()];
        Area += P.X * Q.Y - Q.X * P.Y;
    }
    return std::abs(Area) > 0;
}

bool InRects(const TSVGObject& Node, std::span<const TRect> Rects)
{
    if (Rects.empty()) return true;
    return std::any_of(Rects.begin(), Rects.end(),
                       [&Node](const TRect& R) { return BoundsIntersectRect(Node.GetObjectBounds(), R); });
}

}  // namespace plumwick
