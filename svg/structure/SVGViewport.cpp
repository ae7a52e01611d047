#include "svg/structure/SVGViewport.h"

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGRegion.h"

namespace plumwick {

void TSVGViewportElement::AssignTo(TSVGObject& Dest) const
{
    TSVGBasic::AssignTo(Dest);
    if (auto* D = dynamic_cast<TSVGViewportElement*>(&Dest)) {
        D->FWidthText = FWidthText;
        D->FHeightText = FHeightText;
        D->FXText = FXText;
        D->FYText = FYText;
        D->FViewBox = FViewBox;
        D->FAspect = FAspect;
        D->FOwnTransform = FOwnTransform;
        D->FOverflowVisible = FOverflowVisible;
        D->FViewportWidth = FViewportWidth;
        D->FViewportHeight = FViewportHeight;
        D->FClip = FClip;
    }
}

bool OverflowVisible(const TSVGObject& Element)
{
    // The value may come from a style sheet as well.
    for (const TSVGObject* N = &Element; N; N = N->GetParent()) {
        const std::string Value = Trim(N->GetStyle().GetValues("overflow"));
        if (Value == "inherit") continue;
        if (!Value.empty()) return Value == "visible" || Value == "auto";
        if (N == &Element) return false;
        // An ancestor without a value: hidden when it makes a viewport itself (not the outermost svg).
        return N->AsDocument() || !dynamic_cast<const TSVGViewportElement*>(N);
    }
    return true;
}

void TSVGViewportElement::ReadIn(const TXmlNode& Node)
{
    TSVGBasic::ReadIn(Node);
    FOwnTransform = FPureMatrix;
    LoadString(Node, "x", FXText);
    LoadString(Node, "y", FYText);
    LoadString(Node, "width", FWidthText);
    LoadString(Node, "height", FHeightText);
    if (auto Box = Node.FindAttribute("viewBox")) FViewBox = ParseViewBox(*Box);
    if (auto Aspect = Node.FindAttribute("preserveAspectRatio")) FAspect = ParseAspectRatio(*Aspect);
    FOverflowVisible = OverflowVisible(*this);
}

float TSVGViewportElement::GetContentWidth() const
{
    return IsUsableBox(FViewBox) ? FViewBox.Right - FViewBox.Left : FViewportWidth;
}

float TSVGViewportElement::GetContentHeight() const
{
    return IsUsableBox(FViewBox) ? FViewBox.Bottom - FViewBox.Top : FViewportHeight;
}

void TSVGViewportElement::Place(std::optional<float> UseWidth, std::optional<float> UseHeight)
{
    float RefWidth = 0, RefHeight = 0;
    TUnitRegion::ViewportOf(*this, RefWidth, RefHeight);
    auto Length = [](const std::string& Text, float Reference, float Default) {
        return TrimView(Text).empty() || TrimView(Text) == "auto" ? Default : ResolveLength(Text, Reference);
    };
    FX = Length(FXText, RefWidth, 0);
    FY = Length(FYText, RefHeight, 0);
    FViewportWidth = UseWidth ? *UseWidth : Length(FWidthText, RefWidth, RefWidth);
    FViewportHeight = UseHeight ? *UseHeight : Length(FHeightText, RefHeight, RefHeight);
    FWidth = FViewportWidth;
    FHeight = FViewportHeight;
    const TMatrix ViewBox = ViewBoxMatrix(FViewBox, FAspect, FX, FY, FViewportWidth, FViewportHeight);
    const TMatrix Placed = FOwnTransform.IsTransform() ? ViewBox * FOwnTransform : ViewBox;
    SetPureMatrix(Placed);
    // The viewport back in content coordinates: the view box mapping only scales and moves.
    const TPointF A = plumwick::TransformPoint(TPointF{0, 0}, ViewBox);
    const TPointF B = plumwick::TransformPoint(TPointF{1, 1}, ViewBox);
    const float SX = B.X - A.X, SY = B.Y - A.Y;
    if (SX != 0 && SY != 0)
        FClip = TRectF{(FX - A.X) / SX, (FY - A.Y) / SY, (FX + FViewportWidth - A.X) / SX,
                       (FY + FViewportHeight - A.Y) / SY};
    else
        FClip = TRectF{};
}

bool TSVGViewportElement::GetViewportClip(TRectF& Clip) const
{
    // A viewport of no size shows nothing, whatever "overflow" says.
    if (!(FViewportWidth > 0) || !(FViewportHeight > 0)) {
        Clip = TRectF{};
        return true;
    }
    if (FOverflowVisible) return false;
    Clip = FClip;
    return true;
}

// --- svg

TSVGObject* TSVGNestedSVG::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGNestedSVG>(Parent);
}

void TSVGNestedSVG::ReadIn(const TXmlNode& Node)
{
    TSVGViewportElement::ReadIn(Node);
    Place();
    LoadChildNodes(Node);
}

// --- symbol

TSVGObject* TSVGSymbol::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGSymbol>(Parent);
}

void TSVGSymbol::ReadIn(const TXmlNode& Node)
{
    TSVGViewportElement::ReadIn(Node);
    Place();
    // Shown only as a use's copy, which turns it on again.
    FDisplay = 0;
    LoadChildNodes(Node);
}

}  // namespace plumwick
