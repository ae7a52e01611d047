#include "svg/paint/SVGPaint.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "gdip/GDIPOBJ2.h"
#include "platform/GdiPlus.h"
#include "svg/base/CSSTransform.h"
#include "svg/base/SVGColor.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGBounds.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGFactory.h"

namespace plumwick {

namespace {

bool IsKeyword(std::string_view Text, std::string_view Keyword)
{
    Text = TrimView(Text);
    return Text.size() == Keyword.size() && std::equal(Text.begin(), Text.end(), Keyword.begin(), [](char A, char B) {
               return (A >= 'A' && A <= 'Z' ? A - 'A' + 'a' : A) == (B >= 'A' && B <= 'Z' ? B - 'A' + 'a' : B);
           });
}

// The declared value of Name on Node: its style declaration over its attribute.
std::string Declared(const TSVGObject& Node, std::string_view Name)
{
    return Node.GetStyle().GetValues(Name);
}

// What currentColor stands for at Node: the nearest readable "color" up the tree, else black.
TColor ColorPropertyAt(const TSVGObject* Node)
{
    for (; Node; Node = Node->GetParent()) {
        const std::string Text = Declared(*Node, "color");
        if (Text.empty() || IsKeyword(Text, "inherit")) continue;
        if (const TColor C = ParseColor(Text); IsColorValue(C)) return C;
    }
    return 0;
}

// The stop colour declared at Node: "inherit" takes the parent's declaration (a property that is
// not inherited otherwise), currentColor the colour in force; black when nothing usable is given.
TColor StopColorAt(const TSVGObject* Node)
{
    for (; Node; Node = Node->GetParent()) {
        const std::string Text = Declared(*Node, "stop-color");
        if (IsKeyword(Text, "inherit")) continue;
        if (IsKeyword(Text, "currentColor")) return ColorPropertyAt(Node);
        const TColor C = ParseColor(Text);
        return IsColorValue(C) ? C : 0;
    }
    return 0;
}

// A gradient coordinate as written; nothing when the text is not a number.
std::optional<TGradientLength> ReadGradientLength(std::string_view Text)
{
    Text = TrimView(Text);
    float Value = 0;
    if (!Text.empty() && Text.back() == '%') {
        if (!TryParseNumber(Text.substr(0, Text.size() - 1), Value)) return std::nullopt;
        return TGradientLength{Value, true};
    }
    if (Text.empty()) return std::nullopt;
    return TGradientLength{ParseLength(Text), false};
}

}  // namespace

// Measured by the outline, so that circles, ellipses, paths and polygons count what they draw.
TGPRectF ObjectBox(const TSVGBasic& Element)
{
    TGPRectF Box{Element.GetX(), Element.GetY(), Element.GetWidth(), Element.GetHeight()};
    if (const std::optional<TGPRectF> Measure = Element.GetMeasureBox()) {
        Box = *Measure;
    } else if (const TGPGraphicsPath2* Path = Element.GetPath()) {
        TGPRectF Bounds;
        if (Path->GetBounds(Bounds) == Ok && std::isfinite(Bounds.X) && std::isfinite(Bounds.Y) &&
            std::isfinite(Bounds.Width) && std::isfinite(Bounds.Height))
            Box = Bounds;
    } else if (Element.GetCount() > 0 && Box.Width == 0 && Box.Height == 0) {
        // A container (a use whose paint its content takes as context paint) is measured by its content.
        Box = SubtreeBoundingBox(Element).value_or(TGPRectF{});
    }
    return Box;
}

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
    FStopColor = StopColorAt(this);
    if (Root && Root->GetGrayscale()) FStopColor = GrayscaleColor(FStopColor);
    if (Root && Root->GetFixedColor() != SVG_INHERIT_COLOR)
        FStopColor = ColorWithAlpha(Root->GetFixedColor(), ColorAlpha(FStopColor));
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
        D->FDescription.reset();
    }
}

void TSVGGradient::ReadIn(const TXmlNode& Node)
{
    TSVGFiller::ReadIn(Node);
    LoadGradientUnits(Node, FGradientUnits);
    for (const TXmlNode& Child : Node.ChildNodes())
        if (SVGElementName(Child) == "stop") CreateIn<TSVGStop>(this)->ReadIn(Child);
    // The plain SVG 2 "href" takes precedence over "xlink:href"; only a local reference counts.
    std::string URI = Trim(FStyle->IndexOf("href") >= 0 ? FStyle->GetValues("href") : FStyle->GetValues("xlink:href"));
    FURI = !URI.empty() && URI.front() == '#' ? URI.substr(1) : std::string();
}

std::vector<const TSVGGradient*> TSVGGradient::Chain() const
{
    std::vector<const TSVGGradient*> Result{this};
    TSVG* Root = GetRoot();
    std::set<const TSVGGradient*> Seen{this};
    for (const TSVGGradient* G = this; Root && !G->FURI.empty();) {
        G = dynamic_cast<const TSVGGradient*>(Root->FindByID(G->FURI));
        if (!G || !Seen.insert(G).second) break;
        Result.push_back(G);
    }
    return Result;
}

template <class T>
const T* TSVGGradient::FirstGiving(const std::vector<const TSVGGradient*>& Chain, std::string_view Name) const
{
    for (const TSVGGradient* G : Chain)
        if (auto* Typed = dynamic_cast<const T*>(G); Typed && G->HasOwn(Name)) return Typed;
    return nullptr;
}

bool TSVGGradient::HasOwn(std::string_view Name) const
{
    return FStyle->IndexOf(Name) >= 0;
}

void TSVGGradient::ReadGradientTransform(const TXmlNode& Node)
{
    TMatrix M = EmptyMatrix();
    LoadTransform(Node, "gradientTransform", M);
    SetPureMatrix(M);
}

const TGradientDescription& TSVGGradient::Description() const
{
    if (FDescription) return *FDescription;
    const std::vector<const TSVGGradient*> C = Chain();
    TGradientDescription D;
    if (auto* G = FirstGiving<TSVGGradient>(C, "gradientUnits")) D.Units = G->FGradientUnits;
    if (auto* G = FirstGiving<TSVGGradient>(C, "gradientTransform")) {
        D.Transform = G->FPureMatrix;
        // transform-origin is of the gradient's own space: the unit box in bounding-box units, else the viewport.
        const std::string Origin = G->FStyle->GetValues("transform-origin");
        const TSVG* Root = GetRoot();
        if (!Origin.empty() && D.Transform.IsTransform() && Root) {
            const TRectF& V = Root->GetViewBox();
            const bool Box = D.Units == guObjectBoundingBox;
            if (const std::optional<TPointF> O =
                    ParseTransformOrigin(Origin, Box ? 1.0f : V.Right - V.Left, Box ? 1.0f : V.Bottom - V.Top))
                D.Transform = CreateTranslation(-O->X, -O->Y) * D.Transform * CreateTranslation(O->X, O->Y);
        }
    }
    if (auto* G = FirstGiving<TSVGGradient>(C, "spreadMethod")) {
        const std::string Spread = Trim(G->FStyle->GetValues("spreadMethod"));
        D.Spread = Spread == "reflect"  ? TSpreadMethod::Reflect
                   : Spread == "repeat" ? TSpreadMethod::Repeat
                                        : TSpreadMethod::Pad;
    }
    DescribeGeometry(C, D);
    // The stops of the first gradient on the chain that has any; offsets clamped and rising.
    for (const TSVGGradient* G : C) {
        for (int I = 0; I < G->GetCount(); ++I)
            if (auto* S = dynamic_cast<const TSVGStop*>(G->GetItem(I))) {
                float Offset = std::isfinite(S->GetStop()) ? std::clamp(S->GetStop(), 0.0f, 1.0f) : 0.0f;
                if (!D.Stops.empty()) Offset = std::max(Offset, D.Stops.back().Offset);
                const TColor Color = S->GetStopColor();
                D.Stops.push_back(TGradientStop{Offset, ColorWithAlpha(Color, 255),
                                                S->GetOpacity() * static_cast<float>(ColorAlpha(Color)) / 255.0f});
            }
        if (!D.Stops.empty()) break;
    }
    FDescription = std::move(D);
    return *FDescription;
}

int TSVGGradient::GetColors(std::uint8_t Alpha, TColors& C) const
{
    C = TColors{};
    GradientColorTable(Description(), Alpha, C.Colors, C.Positions);
    C.Count = static_cast<int>(C.Colors.size());
    return C.Count;
}

std::unique_ptr<TGPBrush> TSVGGradient::GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject)
{
    TGradientTarget Target;
    if (DestObject) Target.Box = ObjectBox(*DestObject);
    if (const TSVG* Root = GetRoot()) {
        const TRectF& VB = Root->GetViewBox();
        Target.ViewportWidth = VB.Right - VB.Left;
        Target.ViewportHeight = VB.Bottom - VB.Top;
    }
    if (!DestObject && Description().Units == guObjectBoundingBox) {
        // Without an element there is no box: the coordinates are read in user space.
        TGradientDescription UserSpace = Description();
        UserSpace.Units = guUserSpaceOnUse;
        return MakeGradientBrush(UserSpace, Alpha, Target);
    }
    return MakeGradientBrush(Description(), Alpha, Target);
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

namespace {

// The coordinate Name from the first gradient of type T on the chain that gives it.
template <class T>
void Coordinate(const std::vector<const TSVGGradient*>& Chain, std::string_view Name, TGradientLength& Target,
                bool* Given = nullptr)
{
    for (const TSVGGradient* G : Chain)
        if (dynamic_cast<const T*>(G) && G->GetStyle().IndexOf(Name) >= 0) {
            if (const std::optional<TGradientLength> L = ReadGradientLength(G->GetStyle().GetValues(Name))) Target = *L;
            if (Given) *Given = true;
            return;
        }
}

}  // namespace

void TSVGLinearGradient::DescribeGeometry(const std::vector<const TSVGGradient*>& Chain, TGradientDescription& D) const
{
    D.Radial = false;
    Coordinate<TSVGLinearGradient>(Chain, "x1", D.X1);
    Coordinate<TSVGLinearGradient>(Chain, "y1", D.Y1);
    Coordinate<TSVGLinearGradient>(Chain, "x2", D.X2);
    Coordinate<TSVGLinearGradient>(Chain, "y2", D.Y2);
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

void TSVGRadialGradient::DescribeGeometry(const std::vector<const TSVGGradient*>& Chain, TGradientDescription& D) const
{
    D.Radial = true;
    Coordinate<TSVGRadialGradient>(Chain, "cx", D.CX);
    Coordinate<TSVGRadialGradient>(Chain, "cy", D.CY);
    Coordinate<TSVGRadialGradient>(Chain, "r", D.R);
    Coordinate<TSVGRadialGradient>(Chain, "fr", D.FR);
    // A focus nobody gives sits at the centre.
    bool HasFX = false, HasFY = false;
    Coordinate<TSVGRadialGradient>(Chain, "fx", D.FX, &HasFX);
    Coordinate<TSVGRadialGradient>(Chain, "fy", D.FY, &HasFY);
    if (!HasFX) D.FX = D.CX;
    if (!HasFY) D.FY = D.CY;
}

}  // namespace plumwick
