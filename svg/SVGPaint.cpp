#include "svg/SVGPaint.h"

#include <cmath>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/SVGColor.h"
#include "svg/SVGCommon.h"
#include "svg/SVGDocument.h"
#include "svg/SVGParse.h"

namespace plumwick {

namespace {

// Colour text as a stop colour: greyed and forced as the document says.
TColor StopColor(std::string_view Text, const TSVG* Root)
{
    TColor Color = ParseColor(Text);
    if (Root && Root->GetGrayscale())
        Color = GrayscaleColor(Color);
    return Color;
}

// Stops without a usable colour ("none" or unreadable) paint the initial stop colour, black.
TColor PaintableStopColor(TColor Color)
{
    return Color < 0 ? 0 : Color;
}

// The table's positions as the brush takes them: an offset below an earlier one is raised to it,
// so stops out of order give a hard edge where they meet, as in browsers, rather than being
// sorted into a different gradient.
std::vector<float> RisingPositions(const TColors& C)
{
    std::vector<float> P = C.Positions;
    for (size_t I = 1; I < P.size(); ++I)
        if (P[I] < P[I - 1])
            P[I] = P[I - 1];
    return P;
}

// The box that bounding-box units measure: the bounds of the element's outline, so that circles,
// ellipses, paths and polygons are measured by what they draw. An element without an outline
// falls back on the box its x, y, width and height fields keep.
TGPRectF ObjectBox(const TSVGBasic& Element)
{
    TGPRectF Box{Element.GetX(), Element.GetY(), Element.GetWidth(), Element.GetHeight()};
    if (const TGPGraphicsPath2* Path = Element.GetPath()) {
        TGPRectF Bounds;
        if (Path->GetBounds(Bounds) == Ok && std::isfinite(Bounds.X) && std::isfinite(Bounds.Y) &&
            std::isfinite(Bounds.Width) && std::isfinite(Bounds.Height) && (Bounds.Width > 0 || Bounds.Height > 0))
            Box = Bounds;
    }
    return Box;
}

}  // namespace

// --- stop

void TSVGStop::AssignTo(TSVGObject& Dest) const
{
    TSVGObject::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGStop*>(&Dest)) {
        D->FStop = FStop;
        D->FStopColor = FStopColor;
        D->FOpacity = FOpacity;
    }
}

TSVGObject* TSVGStop::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGStop>(Parent);
}

void TSVGStop::ReadIn(const TXmlNode& Node)
{
    TSVGObject::ReadIn(Node);
    LoadPercent(Node, "offset", FStop);
    const TSVG* Root = GetRoot();
    // The attribute wins when it parses; the style block is the fallback.
    FStopColor = StopColor(Node.GetAttribute("stop-color"), Root);
    if (FStopColor == SVG_INHERIT_COLOR)
        FStopColor = StopColor(FStyle->GetValues("stop-color"), Root);
    if (Root && Root->GetFixedColor() != SVG_INHERIT_COLOR && FStopColor != SVG_INHERIT_COLOR &&
        FStopColor != SVG_NONE_COLOR)
        FStopColor = Root->GetFixedColor();
    FOpacity = FStyle->IndexOf("stop-opacity") >= 0 ? ParsePercent(FStyle->GetValues("stop-opacity")) : 1;
    if (!(FOpacity >= 0))
        FOpacity = 0;
    else if (FOpacity > 1)
        FOpacity = 1;
}

// --- filler

TSVGObject* TSVGFiller::NewLike(TSVGObject*) const
{
    return nullptr;
}

void TSVGFiller::ReadIn(const TXmlNode& Node)
{
    TSVGMatrix::ReadIn(Node);
    FDisplay = 0;
}

// --- gradient

void TSVGGradient::AssignTo(TSVGObject& Dest) const
{
    TSVGFiller::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGGradient*>(&Dest)) {
        D->FURI = FURI;
        D->FGradientUnits = FGradientUnits;
    }
}

void TSVGGradient::ReadIn(const TXmlNode& Node)
{
    TSVGFiller::ReadIn(Node);
    LoadGradientUnits(Node, FGradientUnits);
    for (const TXmlNode& Child : Node.ChildNodes())
        if (Child.IsElement() && Child.NodeName() == "stop")
            CreateIn<TSVGStop>(this)->ReadIn(Child);
    // The plain SVG 2 "href" stands in when "xlink:href" is absent.
    std::string URI = Trim(FStyle->IndexOf("xlink:href") >= 0 ? FStyle->GetValues("xlink:href")
                                                               : FStyle->GetValues("href"));
    if (!URI.empty() && URI.front() == '#')
        URI.erase(0, 1);
    FURI = URI;
}

const TSVGGradient* TSVGGradient::Referenced() const
{
    if (FURI.empty())
        return nullptr;
    TSVG* Root = GetRoot();
    return Root ? dynamic_cast<const TSVGGradient*>(Root->FindByID(FURI)) : nullptr;
}

bool TSVGGradient::HasOwn(std::string_view Name) const
{
    return FStyle->IndexOf(Name) >= 0;
}

TGradientUnits TSVGGradient::UnitsInForce() const
{
    const TSVGGradient* Ref = HasOwn("gradientUnits") ? nullptr : Referenced();
    return Ref ? Ref->FGradientUnits : FGradientUnits;
}

TMatrix TSVGGradient::TransformInForce() const
{
    const TSVGGradient* Ref = HasOwn("gradientTransform") ? nullptr : Referenced();
    return Ref ? Ref->FPureMatrix : FPureMatrix;
}

void TSVGGradient::ReadGradientTransform(const TXmlNode& Node)
{
    TMatrix M = EmptyMatrix();
    LoadTransform(Node, "gradientTransform", M);
    SetPureMatrix(M);
}

int TSVGGradient::GetColors(std::uint8_t Alpha, TColors& C) const
{
    C = TColors{};
    const TSVGObject* Source = this;
    if (!FURI.empty()) {
        // Only another gradient lends its stops; a reference to anything else gives none.
        Source = Referenced();
        if (!Source)
            return 0;
    }
    std::vector<const TSVGStop*> Stops;
    for (int I = 0; I < Source->GetCount(); ++I)
        if (auto* Stop = dynamic_cast<const TSVGStop*>(Source->GetItem(I)))
            Stops.push_back(Stop);
    if (Stops.empty())
        return 0;

    auto ColorOf = [Alpha](const TSVGStop& S) {
        const double A = std::nearbyint(static_cast<double>(Alpha) * S.GetOpacity());  // halves to even
        return ColorToARGB(PaintableStopColor(S.GetStopColor()), static_cast<std::uint8_t>(A));
    };
    auto Append = [&C](std::uint32_t Color, float Position) {
        C.Colors.push_back(Color);
        C.Positions.push_back(Position);
    };
    // Offsets are used as read, neither sorted nor clamped; the ends are padded to 0 and 1.
    if (!(Stops.front()->GetStop() <= 0))
        Append(ColorOf(*Stops.front()), 0);
    for (const TSVGStop* S : Stops)
        Append(ColorOf(*S), S->GetStop());
    if (!(Stops.back()->GetStop() >= 1))
        Append(ColorOf(*Stops.back()), 1);
    C.Count = static_cast<int>(C.Colors.size());
    return C.Count;
}

// --- linear gradient

void TSVGLinearGradient::AssignTo(TSVGObject& Dest) const
{
    TSVGGradient::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGLinearGradient*>(&Dest)) {
        D->FX1 = FX1;
        D->FY1 = FY1;
        D->FX2 = FX2;
        D->FY2 = FY2;
    }
}

TSVGObject* TSVGLinearGradient::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGLinearGradient>(Parent);
}

void TSVGLinearGradient::ReadIn(const TXmlNode& Node)
{
    TSVGGradient::ReadIn(Node);
    LoadLength(Node, "x1", FX1);
    LoadLength(Node, "y1", FY1);
    LoadLength(Node, "x2", FX2);
    LoadLength(Node, "y2", FY2);
    ReadGradientTransform(Node);
}

std::unique_ptr<TGPBrush> TSVGLinearGradient::GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject)
{
    TGPPointF P1, P2;
    if (DestObject && UnitsInForce() == guObjectBoundingBox) {
        // The diagonal of the element's box.
        const TGPRectF Box = ObjectBox(*DestObject);
        P1 = TGPPointF{Box.X, Box.Y};
        P2 = TGPPointF{Box.X + Box.Width, Box.Y + Box.Height};
    } else {
        // Coordinates this element does not give come from the referenced linear gradient.
        auto* Ref = dynamic_cast<const TSVGLinearGradient*>(Referenced());
        auto Coord = [&](std::string_view Name, float Own, float TSVGLinearGradient::*Field) {
            return Ref && !HasOwn(Name) ? Ref->*Field : Own;
        };
        P1 = TGPPointF{Coord("x1", FX1, &TSVGLinearGradient::FX1), Coord("y1", FY1, &TSVGLinearGradient::FY1)};
        P2 = TGPPointF{Coord("x2", FX2, &TSVGLinearGradient::FX2), Coord("y2", FY2, &TSVGLinearGradient::FY2)};
    }
    auto Brush = std::make_unique<TGPLinearGradientBrush>(P1, P2, 0, 0);
    Brush->SetWrapMode(WrapModeTile);
    TColors C;
    GetColors(Alpha, C);
    const std::vector<float> Positions = RisingPositions(C);
    Brush->SetInterpolationColors(C.Colors.data(), Positions.data(), C.Count);
    if (const TMatrix M = TransformInForce(); M.IsTransform())
        Brush->SetTransform(ToGPMatrix(M).get());
    return Brush;
}

// --- radial gradient

void TSVGRadialGradient::AssignTo(TSVGObject& Dest) const
{
    TSVGGradient::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGRadialGradient*>(&Dest)) {
        D->FCX = FCX;
        D->FCY = FCY;
        D->FR = FR;
        D->FFX = FFX;
        D->FFY = FFY;
    }
}

TSVGObject* TSVGRadialGradient::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGRadialGradient>(Parent);
}

void TSVGRadialGradient::Clear()
{
    TSVGGradient::Clear();
    FCX = FCY = FR = 0.5f;
    FFX = FCX;
    FFY = FCY;
}

void TSVGRadialGradient::ReadIn(const TXmlNode& Node)
{
    TSVGGradient::ReadIn(Node);
    LoadLength(Node, "cx", FCX);
    LoadLength(Node, "cy", FCY);
    LoadLength(Node, "r", FR);
    LoadLength(Node, "fx", FFX);
    LoadLength(Node, "fy", FFY);
    ReadGradientTransform(Node);
}

std::unique_ptr<TGPBrush> TSVGRadialGradient::GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject)
{
    auto* Ref = dynamic_cast<const TSVGRadialGradient*>(Referenced());
    auto Value = [&](std::string_view Name, float TSVGRadialGradient::*Field) {
        return Ref && !HasOwn(Name) ? Ref->*Field : this->*Field;
    };
    const float CX = Value("cx", &TSVGRadialGradient::FCX);
    const float CY = Value("cy", &TSVGRadialGradient::FCY);
    const float R = Value("r", &TSVGRadialGradient::FR);
    // A focus nobody gives sits at the centre; left at its default of 0.5 it would lie wherever
    // (0.5, 0.5) happens to be, outside the circle for most user-space gradients.
    auto Focus = [&](std::string_view Name, float TSVGRadialGradient::*Field, float Centre) {
        const bool Given = HasOwn(Name) || (Ref && Ref->HasOwn(Name));
        return Given ? Value(Name, Field) : Centre;
    };
    const float FX = Focus("fx", &TSVGRadialGradient::FFX, CX);
    const float FY = Focus("fy", &TSVGRadialGradient::FFY, CY);
    TGPGraphicsPath Path(FillModeAlternate);
    TGPPointF Centre{FX, FY};
    if (DestObject && UnitsInForce() == guObjectBoundingBox) {
        // Centre, radius and focus are fractions of the element's box.
        const TGPRectF Box = ObjectBox(*DestObject);
        Path.AddEllipse(Box.X + (CX - R) * Box.Width, Box.Y + (CY - R) * Box.Height, 2 * R * Box.Width,
                        2 * R * Box.Height);
        Centre = TGPPointF{Box.X + FX * Box.Width, Box.Y + FY * Box.Height};
    } else {
        Path.AddEllipse(CX - R, CY - R, 2 * R, 2 * R);
    }
    auto Brush = std::make_unique<TGPPathGradientBrush>(&Path);
    // The brush runs from the boundary (0) to the centre point (1): hand the table over reversed.
    TColors C;
    GetColors(Alpha, C);
    std::vector<std::uint32_t> Colors(C.Colors.rbegin(), C.Colors.rend());
    const std::vector<float> Rising = RisingPositions(C);
    std::vector<float> Positions;
    Positions.reserve(Rising.size());
    for (auto It = Rising.rbegin(); It != Rising.rend(); ++It)
        Positions.push_back(1 - *It);
    Brush->SetInterpolationColors(Colors.data(), Positions.data(), C.Count);
    Brush->SetCenterPoint(Centre);
    if (const TMatrix M = TransformInForce(); M.IsTransform())
        Brush->SetTransform(ToGPMatrix(M).get());
    return Brush;
}

}  // namespace plumwick
