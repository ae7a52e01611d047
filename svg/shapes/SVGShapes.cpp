#include "svg/shapes/SVGShapes.h"
#include "svg/core/SVGViewportLength.h"

#include <algorithm>
#include <limits>
#include <string>

#include "gdip/GDIPOBJ2.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGFactory.h"

namespace plumwick {

namespace {

// The box (left, top, right, bottom) grown by half the stroke width and mapped by the element's
// transform.
TBounds StrokedBox(const TSVGBasic& E, float Left, float Top, float Right, float Bottom)
{
    float h = E.GetStrokeWidth() / 2;
    if (!(h >= 0)) h = 0;
    TBounds B;
    B.TopLeft = E.TransformPoint(Left - h, Top - h);
    B.TopRight = E.TransformPoint(Right + h, Top - h);
    B.BottomRight = E.TransformPoint(Right + h, Bottom + h);
    B.BottomLeft = E.TransformPoint(Left - h, Bottom + h);
    return B;
}

}  // namespace

// --- rect

TSVGObject* TSVGRect::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGRect>(Parent);
}

void TSVGRect::UpdateBounds()
{
    FBounds = StrokedBox(*this, FX, FY, FX + FWidth, FY + FHeight);
}

void TSVGRect::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    if (FRX > FWidth / 2) FRX = FWidth / 2;
    if (FRY > FHeight / 2) FRY = FHeight / 2;
    BuildPath();
}

void TSVGRect::BuildPath()
{
    TSVGBasic::BuildPath();
    // A rectangle without area is not drawn at all, not even its stroke, as in browsers; a
    // negative side would otherwise be turned round by the graphics library and painted.
    if (!(FWidth > 0 && FHeight > 0)) return;
    FPath = std::make_unique<TGPGraphicsPath2>(FillModeAlternate);
    // A zero radius on either axis leaves square corners, as it does in browsers; zero-sized arcs
    // would only add degenerate points.
    if (FRX > 0 && FRY > 0)
        FPath->AddRoundRect(FX, FY, FWidth, FHeight, FRX, FRY);
    else
        FPath->AddRectangle(FX, FY, FWidth, FHeight);
}

// --- line

TSVGObject* TSVGLine::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGLine>(Parent);
}

void TSVGLine::UpdateBounds()
{
    FBounds =
        StrokedBox(*this, std::min(FX, FWidth), std::min(FY, FHeight), std::max(FX, FWidth), std::max(FY, FHeight));
}

void TSVGLine::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    LoadViewportLength(Node, "x1", FX, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "y1", FY, *this, TViewportAxis::Height);
    LoadViewportLength(Node, "x2", FWidth, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "y2", FHeight, *this, TViewportAxis::Height);
    BuildPath();
}

void TSVGLine::BuildPath()
{
    TSVGBasic::BuildPath();
    FPath = std::make_unique<TGPGraphicsPath2>(FillModeAlternate);
    FPath->AddLine(FX, FY, FWidth, FHeight);
}

// --- polyline and polygon

void TSVGPolyLine::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGPolyLine*>(&Dest)) {
        D->FPointCount = FPointCount;
        if (!FPoints.empty()) D->FPoints = FPoints;
    }
}

TSVGObject* TSVGPolyLine::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGPolyLine>(Parent);
}

void TSVGPolyLine::UpdateBounds()
{
    constexpr float Largest = std::numeric_limits<float>::max();
    float Left = Largest, Top = Largest, Right = -Largest, Bottom = -Largest;
    for (int I = 0; I < FPointCount && I < static_cast<int>(FPoints.size()); ++I) {
        const TPointF& P = FPoints[static_cast<size_t>(I)];
        Left = std::min(Left, P.X);
        Top = std::min(Top, P.Y);
        Right = std::max(Right, P.X);
        Bottom = std::max(Bottom, P.Y);
    }
    FBounds = StrokedBox(*this, Left, Top, Right, Bottom);
}

void TSVGPolyLine::Clear()
{
    TSVGBasic::Clear();
    FPoints.clear();
    FPointCount = 0;
}

void TSVGPolyLine::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    std::string Points;
    LoadString(Node, "points", Points);
    ReadPoints(Points);
    BuildPath();
}

void TSVGPolyLine::ReadPoints(std::string_view Text)
{
    // Numbers separated by blanks or a comma; a sign or a second point starts a new number (10-20 is two).
    // As SVG's error rule says, reading stops at the first thing that is not a number, and a last number
    // without its partner is dropped.
    std::vector<float> Numbers;
    std::size_t I = 0;
    auto Digits = [&Text, &I] {
        const std::size_t From = I;
        while (I < Text.size() && Text[I] >= '0' && Text[I] <= '9') ++I;
        return I > From;
    };
    while (true) {
        while (I < Text.size() && (static_cast<unsigned char>(Text[I]) <= 32 || Text[I] == ',')) ++I;
        if (I >= Text.size()) break;
        const std::size_t Start = I;
        if (Text[I] == '+' || Text[I] == '-') ++I;
        bool Any = Digits();
        if (I < Text.size() && Text[I] == '.') {
            ++I;
            Any = Digits() || Any;
        }
        if (!Any) break;
        if (I < Text.size() && (Text[I] == 'e' || Text[I] == 'E')) {
            const std::size_t Mark = I++;
            if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) ++I;
            if (!Digits()) I = Mark;  // an "e" without digits is not part of the number
        }
        float Value = 0;
        if (!TryParseNumber(Text.substr(Start, I - Start), Value)) break;
        Numbers.push_back(Value);
    }
    FPoints.assign(Numbers.size() / 2, TPointF{});
    FPointCount = static_cast<int>(FPoints.size());
    for (std::size_t P = 0; P < FPoints.size(); ++P) FPoints[P] = TPointF{Numbers[2 * P], Numbers[2 * P + 1]};
}

void TSVGPolyLine::BuildPath()
{
    TSVGBasic::BuildPath();
    // A single point has no outline.
    if (FPointCount < 2 || FPoints.size() < 2) return;
    FPath = std::make_unique<TGPGraphicsPath2>(FillModeAlternate);
    const int Count = std::min(FPointCount, static_cast<int>(FPoints.size()));
    for (int I = 1; I < Count; ++I) {
        const TPointF& A = FPoints[static_cast<size_t>(I - 1)];
        const TPointF& B = FPoints[static_cast<size_t>(I)];
        FPath->AddLine(A.X, A.Y, B.X, B.Y);
    }
}

TSVGObject* TSVGPolygon::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGPolygon>(Parent);
}

void TSVGPolygon::BuildPath()
{
    TSVGPolyLine::BuildPath();
    if (FPath) FPath->CloseFigure();
}

// --- circle and ellipse

TSVGObject* TSVGEllipse::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGEllipse>(Parent);
}

void TSVGEllipse::UpdateBounds()
{
    FBounds = StrokedBox(*this, FX - FWidth, FY - FHeight, FX + FWidth, FY + FHeight);
}

void TSVGEllipse::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    LoadViewportLength(Node, "cx", FX, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "cy", FY, *this, TViewportAxis::Height);
    if (SVGElementName(Node) == "circle") {
        LoadViewportLength(Node, "r", FWidth, *this, TViewportAxis::Diagonal);
        FHeight = FWidth;
    } else {
        // A radius that is absent, negative (an invalid value) or not a length ("auto") takes the other one.
        float RX = UndefinedFloat, RY = UndefinedFloat;
        LoadViewportLength(Node, "rx", RX, *this, TViewportAxis::Width);
        LoadViewportLength(Node, "ry", RY, *this, TViewportAxis::Height);
        const bool HasRX = RX != UndefinedFloat && RX >= 0 && Node.GetAttribute("rx") != "auto";
        const bool HasRY = RY != UndefinedFloat && RY >= 0 && Node.GetAttribute("ry") != "auto";
        if (HasRX || HasRY) {
            FWidth = HasRX ? RX : RY;
            FHeight = HasRY ? RY : RX;
        }
    }
    BuildPath();
}

void TSVGEllipse::BuildPath()
{
    TSVGBasic::BuildPath();
    // A zero or negative radius disables the shape (a flat ellipse would still be stroked).
    if (!(FWidth > 0 && FHeight > 0)) return;
    FPath = std::make_unique<TGPGraphicsPath2>(FillModeAlternate);
    FPath->AddEllipse(FX - FWidth, FY - FHeight, 2 * FWidth, 2 * FHeight);
}

}  // namespace plumwick
