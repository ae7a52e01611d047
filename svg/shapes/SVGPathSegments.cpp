// Moves, lines, closes and Bezier curves of path data.
#include "svg/shapes/SVGPath.h"

#include "gdip/GDIPOBJ2.h"

#include <algorithm>
#include <cmath>

namespace plumwick {

namespace {

TRectF BoxOf(float x1, float y1, float x2, float y2)
{
    return TRectF{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

template <class T>
TSVGObject* NewSegment(TSVGObject* Parent)
{
    return TSVGObject::CreateIn<T>(Parent);
}

}  // namespace

// --- TSVGPathElement

void TSVGPathElement::AssignTo(TSVGObject& Dest) const
{
    TSVGObject::AssignTo(Dest);
    if (auto* segment = dynamic_cast<TSVGPathElement*>(&Dest)) {
        segment->FStartX = FStartX;
        segment->FStartY = FStartY;
        segment->FStopX = FStopX;
        segment->FStopY = FStopY;
    }
}

TSVGObject* TSVGPathElement::NewLike(TSVGObject*) const
{
    return nullptr;
}

void TSVGPathElement::Read(const TPathTokens&, int&, const TSVGPathElement* Previous)
{
    if (Previous) {
        FStartX = Previous->GetStopX();
        FStartY = Previous->GetStopY();
    }
}

// --- TSVGPathMove

TSVGObject* TSVGPathMove::NewLike(TSVGObject* Parent) const
{
    return NewSegment<TSVGPathMove>(Parent);
}

TRectF TSVGPathMove::GetBounds() const
{
    return TRectF{};
}

Status TSVGPathMove::AddToPath(TGPGraphicsPath& Path) const
{
    // The figure's first point comes with the next drawing segment.
    return Path.StartFigure();
}

void TSVGPathMove::Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous)
{
    TSVGPathElement::Read(SL, Position, Previous);
    FStopX = SL.Number(Position + 1);
    FStopY = SL.Number(Position + 2);
    if (SL.Get(Position) == "m") {
        FStopX += FStartX;
        FStopY += FStartY;
    }
    Position += 2;
}

// --- TSVGPathLine

TSVGObject* TSVGPathLine::NewLike(TSVGObject* Parent) const
{
    return NewSegment<TSVGPathLine>(Parent);
}

TRectF TSVGPathLine::GetBounds() const
{
    return BoxOf(FStartX, FStartY, FStopX, FStopY);
}

Status TSVGPathLine::AddToPath(TGPGraphicsPath& Path) const
{
    return Path.AddLine(FStartX, FStartY, FStopX, FStopY);
}

void TSVGPathLine::Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous)
{
    TSVGPathElement::Read(SL, Position, Previous);
    const std::string& command = SL.Get(Position);
    const char letter = command.empty() ? '\0' : command[0];
    switch (letter) {
        case 'L':
        case 'l':
            FStopX = SL.Number(Position + 1);
            FStopY = SL.Number(Position + 2);
            if (letter == 'l') {
                FStopX += FStartX;
                FStopY += FStartY;
            }
            Position += 2;
            break;
        case 'H':
        case 'h':
            FStopX = SL.Number(Position + 1) + (letter == 'h' ? FStartX : 0.0f);
            FStopY = FStartY;
            Position += 1;
            break;
        case 'V':
        case 'v':
            FStopX = FStartX;
            FStopY = SL.Number(Position + 1) + (letter == 'v' ? FStartY : 0.0f);
            Position += 1;
            break;
        default:
            break;
    }
}

// --- TSVGPathClose

TSVGObject* TSVGPathClose::NewLike(TSVGObject* Parent) const
{
    return NewSegment<TSVGPathClose>(Parent);
}

TRectF TSVGPathClose::GetBounds() const
{
    return TRectF{};
}

Status TSVGPathClose::AddToPath(TGPGraphicsPath& Path) const
{
    return Path.CloseFigure();
}

const TSVGPathMove* TSVGPathClose::FindLastMove() const
{
    const TSVGObject* parent = GetParent();
    if (!parent) return nullptr;
    for (int i = parent->IndexOf(this) - 1; i >= 0; --i)
        if (auto* move = dynamic_cast<const TSVGPathMove*>(parent->GetItem(i))) return move;
    return nullptr;
}

void TSVGPathClose::Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous)
{
    TSVGPathElement::Read(SL, Position, Previous);
    if (const TSVGPathMove* move = FindLastMove()) {
        FStopX = move->GetStopX();
        FStopY = move->GetStopY();
    } else {
        FStopX = FStartX;
        FStopY = FStartY;
    }
}

// --- TSVGPathCurve

void TSVGPathCurve::AssignTo(TSVGObject& Dest) const
{
    TSVGPathElement::AssignTo(Dest);
    if (auto* curve = dynamic_cast<TSVGPathCurve*>(&Dest)) {
        curve->FControl1X = FControl1X;
        curve->FControl1Y = FControl1Y;
        curve->FControl2X = FControl2X;
        curve->FControl2Y = FControl2Y;
        curve->FQuadratic = FQuadratic;
    }
}

TSVGObject* TSVGPathCurve::NewLike(TSVGObject* Parent) const
{
    return NewSegment<TSVGPathCurve>(Parent);
}

TRectF TSVGPathCurve::GetBounds() const
{
    const float xs[] = {FControl1X, FControl2X, FStopX, FStartX};
    const float ys[] = {FControl1Y, FControl2Y, FStopY, FStartY};
    const auto [left, right] = std::minmax_element(std::begin(xs), std::end(xs));
    const auto [top, bottom] = std::minmax_element(std::begin(ys), std::end(ys));
    return TRectF{*left, *top, *right, *bottom};
}

Status TSVGPathCurve::AddToPath(TGPGraphicsPath& Path) const
{
    if (FQuadratic) {
        // The cubic that traces the quadratic exactly has its control points two thirds of the way
        // from each end point to the quadratic's control point; drawing the stored point itself
        // would bulge half as far again.
        const float c1x = FStartX + 2.0f / 3.0f * (FControl1X - FStartX);
        const float c1y = FStartY + 2.0f / 3.0f * (FControl1Y - FStartY);
        const float c2x = FStopX + 2.0f / 3.0f * (FControl1X - FStopX);
        const float c2y = FStopY + 2.0f / 3.0f * (FControl1Y - FStopY);
        return Path.AddBezier(FStartX, FStartY, c1x, c1y, c2x, c2y, FStopX, FStopY);
    }
    return Path.AddBezier(FStartX, FStartY, FControl1X, FControl1Y, FControl2X, FControl2Y, FStopX, FStopY);
}

void TSVGPathCurve::Read(const TPathTokens& SL, int& Position, const TSVGPathElement* Previous)
{
    TSVGPathElement::Read(SL, Position, Previous);
    const std::string& command = SL.Get(Position);
    const char letter = command.empty() ? '\0' : command[0];
    FQuadratic = letter == 'Q' || letter == 'q' || letter == 'T' || letter == 't';

    // Smooth forms reflect the previous curve's second control point about the start point, a smooth cubic
    // only after a cubic and a smooth quadratic only after a quadratic; after anything else the first control
    // point is the start point (reflecting across kinds would bend what is drawn straight elsewhere).
    auto reflect = [&] {
        FControl1X = FStartX;
        FControl1Y = FStartY;
        auto* curve = dynamic_cast<const TSVGPathCurve*>(Previous);
        if (curve && curve->FQuadratic == FQuadratic) {
            FControl1X = FStartX + (FStartX - curve->GetControl2X());
            FControl1Y = FStartY + (FStartY - curve->GetControl2Y());
        }
    };

    // The point of the command's Nth pair of numbers; relative forms (lower case) count from the start point.
    const bool relative = letter == 'c' || letter == 's' || letter == 'q' || letter == 't';
    auto point = [&](int pair, float& x, float& y) {
        x = SL.Number(Position + 2 * pair - 1);
        y = SL.Number(Position + 2 * pair);
        if (relative) {
            x += FStartX;
            y += FStartY;
        }
    };

    switch (letter) {
        case 'C':
        case 'c':
            point(1, FControl1X, FControl1Y);
            point(2, FControl2X, FControl2Y);
            point(3, FStopX, FStopY);
            Position += 6;
            break;
        case 'S':
        case 's':
            reflect();
            point(1, FControl2X, FControl2Y);
            point(2, FStopX, FStopY);
            Position += 4;
            break;
        case 'Q':
        case 'q':
            point(1, FControl1X, FControl1Y);
            point(2, FStopX, FStopY);
            Position += 4;
            // Kept as a cubic with both control points on the quadratic one, not at two thirds.
            FControl2X = FControl1X;
            FControl2Y = FControl1Y;
            break;
        case 'T':
        case 't':
            reflect();
            FControl2X = FControl1X;
            FControl2Y = FControl1Y;
            point(1, FStopX, FStopY);
            Position += 2;
            break;
        default:
            break;
    }
}

}  // namespace plumwick
