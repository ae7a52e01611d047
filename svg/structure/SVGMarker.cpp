#include "svg/structure/SVGMarker.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGViewportLength.h"
#include "svg/shapes/SVGPath.h"
#include "svg/shapes/SVGShapes.h"
#include "svg/structure/SVGNesting.h"
#include "svg/structure/SVGViewport.h"

namespace plumwick {

namespace {

constexpr float Degrees = static_cast<float>(180 / std::numbers::pi);

// One drawn segment with its end points and the tangent directions at both ends.
struct TSegment {
    TPointF Start, Stop;
    TPointF StartDir, StopDir;  // zero where the segment has no direction
    bool Move = false;          // begins a new subpath (nothing is drawn)
    bool Close = false;         // closes the subpath
};

bool IsZero(const TPointF& D)
{
    return D.X == 0 && D.Y == 0;
}

TPointF Minus(float X1, float Y1, float X0, float Y0)
{
    return TPointF{X1 - X0, Y1 - Y0};
}

TSegment Line(const TPointF& A, const TPointF& B)
{
    const TPointF D{B.X - A.X, B.Y - A.Y};
    return TSegment{A, B, D, D};
}

// Tangents of an arc in end-point form, through its centre form.
void ArcTangents(const TSVGPathEllipticArc& Arc, TPointF& StartDir, TPointF& StopDir)
{
    const double X1 = Arc.GetStartX(), Y1 = Arc.GetStartY(), X2 = Arc.GetStopX(), Y2 = Arc.GetStopY();
    double RX = std::abs(Arc.GetRX()), RY = std::abs(Arc.GetRY());
    const double Phi = Arc.GetXRot() * std::numbers::pi / 180;
    const double C = std::cos(Phi), S = std::sin(Phi);
    StartDir = StopDir = TPointF{float(X2 - X1), float(Y2 - Y1)};
    if (RX == 0 || RY == 0 || (X1 == X2 && Y1 == Y2)) return;
    const double DX = (X1 - X2) / 2, DY = (Y1 - Y2) / 2;
    const double XP = C * DX + S * DY, YP = -S * DX + C * DY;
    const double Lambda = XP * XP / (RX * RX) + YP * YP / (RY * RY);
    if (Lambda > 1) {
        RX *= std::sqrt(Lambda);
        RY *= std::sqrt(Lambda);
    }
    double Num = RX * RX * RY * RY - RX * RX * YP * YP - RY * RY * XP * XP;
    const double Den = RX * RX * YP * YP + RY * RY * XP * XP;
    double Coef = Den > 0 && Num > 0 ? std::sqrt(Num / Den) : 0;
    if (Arc.GetLarge() == Arc.GetSweep()) Coef = -Coef;
    const double CXP = Coef * RX * YP / RY, CYP = -Coef * RY * XP / RX;
    auto Angle = [](double UX, double UY, double VX, double VY) {
        return std::atan2(UX * VY - UY * VX, UX * VX + UY * VY);
    };
    const double Theta1 = Angle(1, 0, (XP - CXP) / RX, (YP - CYP) / RY);
    double Delta = Angle((XP - CXP) / RX, (YP - CYP) / RY, (-XP - CXP) / RX, (-YP - CYP) / RY);
    if (!Arc.GetSweep() && Delta > 0)
        Delta -= 2 * std::numbers::pi;
    else if (Arc.GetSweep() && Delta < 0)
        Delta += 2 * std::numbers::pi;
    const double Sign = Delta < 0 ? -1 : 1;
    auto Tangent = [&](double T) {
        const double DXT = -RX * C * std::sin(T) - RY * S * std::cos(T);
        const double DYT = -RX * S * std::sin(T) + RY * C * std::cos(T);
        return TPointF{float(Sign * DXT), float(Sign * DYT)};
    };
    StartDir = Tangent(Theta1);
    StopDir = Tangent(Theta1 + Delta);
}

std::vector<TSegment> PathSegments(const TSVGPath& Path)
{
    std::vector<TSegment> Result;
    for (int I = 0; I < Path.GetCount(); ++I) {
        const auto* E = dynamic_cast<const TSVGPathElement*>(Path.GetItem(I));
        if (!E) continue;
        const TPointF A{E->GetStartX(), E->GetStartY()}, B{E->GetStopX(), E->GetStopY()};
        if (dynamic_cast<const TSVGPathMove*>(E)) {
            TSegment Move{A, B, {}, {}};
            Move.Move = true;
            Result.push_back(Move);
        } else if (auto* Curve = dynamic_cast<const TSVGPathCurve*>(E)) {
            const TPointF C1{Curve->GetControl1X(), Curve->GetControl1Y()};
            const TPointF C2{Curve->GetControl2X(), Curve->GetControl2Y()};
            TSegment S{A, B, Minus(C1.X, C1.Y, A.X, A.Y), Minus(B.X, B.Y, C2.X, C2.Y)};
            if (IsZero(S.StartDir)) S.StartDir = Minus(C2.X, C2.Y, A.X, A.Y);
            if (IsZero(S.StartDir)) S.StartDir = Minus(B.X, B.Y, A.X, A.Y);
            if (IsZero(S.StopDir)) S.StopDir = Minus(B.X, B.Y, C1.X, C1.Y);
            if (IsZero(S.StopDir)) S.StopDir = Minus(B.X, B.Y, A.X, A.Y);
            Result.push_back(S);
        } else if (auto* Arc = dynamic_cast<const TSVGPathEllipticArc*>(E)) {
            TSegment S{A, B, {}, {}};
            ArcTangents(*Arc, S.StartDir, S.StopDir);
            Result.push_back(S);
        } else {
            TSegment S = Line(A, B);
            S.Close = dynamic_cast<const TSVGPathClose*>(E) != nullptr;
            Result.push_back(S);
        }
    }
    return Result;
}

std::vector<TSegment> PointSegments(const TListOfPoints& Points, int Count, bool Closed)
{
    std::vector<TSegment> Result;
    Count = std::min<int>(Count, static_cast<int>(Points.size()));
    if (Count <= 0) return Result;
    TSegment Move{Points[0], Points[0], {}, {}};
    Move.Move = true;
    Result.push_back(Move);
    for (int I = 1; I < Count; ++I) Result.push_back(Line(Points[I - 1], Points[I]));
    if (Closed) {
        TSegment Close = Line(Points[Count - 1], Points[0]);
        Close.Close = true;
        Result.push_back(Close);
    }
    return Result;
}

// The outline of a rect, circle or ellipse as the path it equals: a rect from the end of its top-left
// corner clockwise, an ellipse from its rightmost point clockwise; each corner arc turns from the
// direction of one side to the next.
std::vector<TSegment> ShapeSegments(const TSVGBasic& Shape)
{
    std::vector<TSegment> Result;
    auto Add = [&Result](TPointF A, TPointF B, TPointF StartDir, TPointF StopDir) {
        Result.push_back(TSegment{A, B, StartDir, StopDir});
    };
    const TPointF Right{1, 0}, Down{0, 1}, Left{-1, 0}, Up{0, -1};
    TPointF Start;
    if (dynamic_cast<const TSVGRect*>(&Shape)) {
        const float X = Shape.GetX(), Y = Shape.GetY(), W = Shape.GetWidth(), H = Shape.GetHeight();
        if (!(W > 0) || !(H > 0)) return Result;
        const float RX = std::clamp(Shape.GetRX(), 0.0f, W / 2), RY = std::clamp(Shape.GetRY(), 0.0f, H / 2);
        const bool Round = RX > 0 && RY > 0;
        const float R = Round ? RX : 0, S = Round ? RY : 0;
        Start = TPointF{X + R, Y};
        const TPointF Corners[] = {{X + W - R, Y}, {X + W, Y + S}, {X + W, Y + H - S}, {X + W - R, Y + H},
                                   {X + R, Y + H}, {X, Y + H - S}, {X, Y + S},         {X + R, Y}};
        const TPointF Sides[] = {Right, Down, Left, Up};
        TSegment Move{Start, Start, {}, {}};
        Move.Move = true;
        Result.push_back(Move);
        TPointF At = Start;
        for (int Side = 0; Side < 4; ++Side) {
            Add(At, Corners[2 * Side], Sides[Side], Sides[Side]);
            At = Corners[2 * Side];
            if (Round) {
                Add(At, Corners[2 * Side + 1], Sides[Side], Sides[(Side + 1) % 4]);
                At = Corners[2 * Side + 1];
            }
        }
    } else if (dynamic_cast<const TSVGEllipse*>(&Shape)) {
        // cx, cy in FX, FY; rx, ry in FWidth, FHeight.
        const float CX = Shape.GetX(), CY = Shape.GetY(), RX = Shape.GetWidth(), RY = Shape.GetHeight();
        if (!(RX > 0) || !(RY > 0)) return Result;
        Start = TPointF{CX + RX, CY};
        TSegment Move{Start, Start, {}, {}};
        Move.Move = true;
        Result.push_back(Move);
        Add(Start, {CX, CY + RY}, Down, Left);
        Add({CX, CY + RY}, {CX - RX, CY}, Left, Up);
        Add({CX - RX, CY}, {CX, CY - RY}, Up, Right);
        Add({CX, CY - RY}, Start, Right, Down);
    } else {
        return Result;
    }
    TSegment Close{Start, Start, {}, {}};
    Close.Close = true;
    Result.push_back(Close);
    return Result;
}

float AngleOf(const TPointF& D)
{
    return std::atan2(D.Y, D.X) * Degrees;
}

}  // namespace

std::vector<TMarkerVertex> MarkerVertices(const TSVGBasic& Element)
{
    std::vector<TSegment> Segments;
    if (auto* Path = dynamic_cast<const TSVGPath*>(&Element)) {
        Segments = PathSegments(*Path);
    } else if (auto* Poly = dynamic_cast<const TSVGPolyLine*>(&Element)) {
        Segments = PointSegments(Poly->GetPoints(), Poly->GetPointCount(), dynamic_cast<const TSVGPolygon*>(Poly));
    } else if (dynamic_cast<const TSVGLine*>(&Element)) {
        const TListOfPoints Points{TPointF{Element.GetX(), Element.GetY()},
                                   TPointF{Element.GetWidth(), Element.GetHeight()}};
        Segments = PointSegments(Points, 2, false);
    } else {
        Segments = ShapeSegments(Element);
    }
    std::vector<TMarkerVertex> Vertices;
    // Per subpath: the vertex where it starts, then one at the end of each segment.
    std::size_t I = 0;
    while (I < Segments.size()) {
        TPointF Start = Segments[I].Move ? Segments[I].Stop : Segments[I].Start;
        if (Segments[I].Move) ++I;
        const std::size_t Begin = I;
        while (I < Segments.size() && !Segments[I].Move) ++I;
        const std::size_t End = I;  // segments [Begin, End) are drawn
        if (End == Begin) {
            Vertices.push_back(TMarkerVertex{Start});  // a move with nothing drawn after it
            continue;
        }
        const bool Closed = Segments[End - 1].Close;
        TMarkerVertex V0{Start};
        V0.OutAngle = AngleOf(Segments[Begin].StartDir);
        V0.HasOut = !IsZero(Segments[Begin].StartDir);
        if (Closed) {
            V0.InAngle = AngleOf(Segments[End - 1].StopDir);
            V0.HasIn = !IsZero(Segments[End - 1].StopDir);
        }
        Vertices.push_back(V0);
        for (std::size_t K = Begin; K < End; ++K) {
            TMarkerVertex V{Segments[K].Stop};
            V.InAngle = AngleOf(Segments[K].StopDir);
            V.HasIn = !IsZero(Segments[K].StopDir);
            if (K + 1 < End) {
                V.OutAngle = AngleOf(Segments[K + 1].StartDir);
                V.HasOut = !IsZero(Segments[K + 1].StartDir);
            } else if (Closed) {
                V.OutAngle = V0.OutAngle;
                V.HasOut = V0.HasOut;
            }
            Vertices.push_back(V);
        }
    }
    return Vertices;
}

// --- marker

void TSVGMarker::AssignTo(TSVGObject& Dest) const
{
    TSVGViewportElement::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGMarker*>(&Dest)) {
        D->FRefX = FRefX;
        D->FRefY = FRefY;
        D->FMarkerWidth = FMarkerWidth;
        D->FMarkerHeight = FMarkerHeight;
        D->FStrokeWidthUnits = FStrokeWidthUnits;
        D->FOrient = FOrient;
        D->FOrientAngle = FOrientAngle;
    }
}

TSVGObject* TSVGMarker::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGMarker>(Parent);
}

void TSVGMarker::ReadIn(const TXmlNode& Node)
{
    TSVGViewportElement::ReadIn(Node);
    FPureMatrix = TMatrix{};  // a marker is placed by what uses it; "transform" does not apply
    FOwnTransform = TMatrix{};
    LoadViewportLength(Node, "refX", FRefX, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "refY", FRefY, *this, TViewportAxis::Height);
    LoadViewportLength(Node, "markerWidth", FMarkerWidth, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "markerHeight", FMarkerHeight, *this, TViewportAxis::Height);
    if (auto Units = Node.FindAttribute("markerUnits")) FStrokeWidthUnits = Trim(*Units) != "userSpaceOnUse";
    if (auto Orient = Node.FindAttribute("orient")) {
        const std::string O = Trim(*Orient);
        if (O == "auto")
            FOrient = TOrient::Auto;
        else if (O == "auto-start-reverse")
            FOrient = TOrient::AutoStartReverse;
        else
            FOrientAngle = ParseAngle(O) * Degrees;
    }
    FOverflowVisible = OverflowVisible(*this);
    FDisplay = 0;
    LoadChildNodes(Node);
}

void TSVGMarker::PaintAt(TGPGraphics& Graphics, TSVGBasic& Element, const TMarkerVertex& Vertex, bool IsStart)
{
    if (!(FMarkerWidth > 0) || !(FMarkerHeight > 0)) return;
    TReferenceGuard Guard(FPainting);
    if (!Guard.Entered()) return;
    float Angle = FOrientAngle;
    if (FOrient != TOrient::Angle) {
        if (Vertex.HasIn && Vertex.HasOut) {
            float In = Vertex.InAngle, Out = Vertex.OutAngle;
            if (std::abs(Out - In) > 180) Out += Out < In ? 360 : -360;
            Angle = (In + Out) / 2;
        } else if (Vertex.HasIn) {
            Angle = Vertex.InAngle;
        } else if (Vertex.HasOut) {
            Angle = Vertex.OutAngle;
        } else {
            Angle = 0;
        }
        if (IsStart && FOrient == TOrient::AutoStartReverse) Angle += 180;
    }
    float Scale = 1;
    if (FStrokeWidthUnits) {
        Scale = Element.GetStrokeWidth();
        if (!(Scale >= 0) || !std::isfinite(Scale)) Scale = 1;  // no stroke width set: the initial value
    }
    FViewportWidth = FMarkerWidth;
    FViewportHeight = FMarkerHeight;
    const TMatrix ViewBox = ViewBoxMatrix(FViewBox, FAspect, 0, 0, FMarkerWidth, FMarkerHeight);
    const TPointF Ref = plumwick::TransformPoint(TPointF{FRefX, FRefY}, ViewBox);
    const TPointF A = plumwick::TransformPoint(TPointF{0, 0}, ViewBox),
                  B = plumwick::TransformPoint(TPointF{1, 1}, ViewBox);
    const float SX = B.X - A.X, SY = B.Y - A.Y;
    if (SX == 0 || SY == 0) return;
    FClip = TRectF{-A.X / SX, -A.Y / SY, (FMarkerWidth - A.X) / SX, (FMarkerHeight - A.Y) / SY};
    const TMatrix Placement = ViewBox * CreateTranslation(-Ref.X, -Ref.Y) * CreateScaling(Scale, Scale) *
                              CreateRotation(Angle / Degrees) * CreateTranslation(Vertex.Point.X, Vertex.Point.Y);
    const TMatrix& Outer = Element.GetMatrix();
    PlaceSubtree(Outer.IsTransform() ? Placement * Outer : Placement);
    // The content's context-fill and context-stroke stand for Element's paint while it draws.
    struct TContextScope {
        TSVGBasic*& Slot;
        ~TContextScope() { Slot = nullptr; }
    } Scope{FContext};
    FContext = &Element;
    PaintChildren(*this, Graphics);
}

// --- The markers of one element.

bool TSVGBasic::IsMarkable() const
{
    static constexpr std::string_view Names[] = {"path", "line", "polyline", "polygon", "rect", "circle", "ellipse"};
    return std::find(std::begin(Names), std::end(Names), FObjectName) != std::end(Names);
}

bool TSVGBasic::HasMarkers() const
{
    if (!IsMarkable()) return false;
    for (std::string TSVGBasic::*Field : {&TSVGBasic::FMarkerStart, &TSVGBasic::FMarkerMid, &TSVGBasic::FMarkerEnd})
        for (const TSVGObject* N = this; N; N = N->GetParent())
            if (const TSVGBasic* B = N->AsBasic(); B && !(B->*Field).empty()) {
                if (!ParseURI(B->*Field).empty()) return true;
                break;
            }
    return false;
}

void TSVGBasic::PaintMarkers(TGPGraphics& Graphics)
{
    if (!IsMarkable()) return;
    auto Reference = [this](std::string TSVGBasic::*Field) {
        const std::string Text = [&] {
            for (const TSVGObject* N = this; N; N = N->GetParent())
                if (const TSVGBasic* B = N->AsBasic(); B && !(B->*Field).empty()) return B->*Field;
            return std::string();
        }();
        return ParseURI(Text);
    };
    const std::string Start = Reference(&TSVGBasic::FMarkerStart);
    const std::string Mid = Reference(&TSVGBasic::FMarkerMid);
    const std::string End = Reference(&TSVGBasic::FMarkerEnd);
    if (Start.empty() && Mid.empty() && End.empty()) return;
    TSVG* Root = GetRoot();
    if (!Root) return;
    auto Find = [Root](const std::string& ID) {
        return ID.empty() ? nullptr : dynamic_cast<TSVGMarker*>(Root->FindByID(ID));
    };
    TSVGMarker* StartMarker = Find(Start);
    TSVGMarker* MidMarker = Find(Mid);
    TSVGMarker* EndMarker = Find(End);
    const std::vector<TMarkerVertex> Vertices = MarkerVertices(*this);
    for (std::size_t I = 0; I < Vertices.size(); ++I) {
        if (I == 0 && StartMarker) StartMarker->PaintAt(Graphics, *this, Vertices[I], true);
        if (I > 0 && I + 1 < Vertices.size() && MidMarker) MidMarker->PaintAt(Graphics, *this, Vertices[I], false);
        if (I + 1 == Vertices.size() && EndMarker) EndMarker->PaintAt(Graphics, *this, Vertices[I], false);
    }
}

}  // namespace plumwick
