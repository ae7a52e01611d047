#include "svg/core/SVGBasic.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "gdip/GDIPOBJ2.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGConditions.h"
#include "svg/base/SVGError.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGFactory.h"
#include "svg/core/SVGViewportLength.h"

namespace plumwick {

TSVGBasic::TSVGBasic()
{
    AttachStyleHandler();
}

TSVGBasic::~TSVGBasic() = default;

void TSVGBasic::AttachStyleHandler()
{
    FStyle->SetOnChange([this](TStyle& Sender) { OnStyleChange(Sender); });
}

void TSVGBasic::OnStyleChange(TStyle&)
{
    FStyleChanged = true;
}

void TSVGBasic::ClearBasicFields()
{
    FFillColor = SVG_INHERIT_COLOR;
    FStrokeColor = SVG_INHERIT_COLOR;
    FFillOpacity.reset();
    FStrokeOpacity.reset();
    FStrokeWidth = UndefinedFloat;
    FStrokeWidthUnit = luNone;
    FStrokeLineJoin.clear();
    FStrokeLineCap.clear();
    FStrokeMiterLimit = UndefinedFloat;
    FStrokeDashOffset.reset();
    FStrokeDashOffsetUnit = luNone;
    FStrokeDashArray.clear();
    FStrokeDashArrayUnits.clear();
    FStrokeDashArrayCount = 0;
    FArrayNone = false;
    FFontName.clear();
    FFontSize = UndefinedFloat;
    FFontSizeOfParent = false;
    FFontWeight = UndefinedInt;
    FFontStyle = UndefinedInt;
    FTextDecoration = tdInherit;
    FPath.reset();
    FX = FY = FWidth = FHeight = 0;
    FRX = FRY = UndefinedFloat;
    FFillURI.clear();
    FStrokeURI.clear();
    FColor.clear();
    FMarkerStart.clear();
    FMarkerMid.clear();
    FMarkerEnd.clear();
    FClipRule = FillRuleNotSet;
    FOpacity = 1;
    FPaintOpacity = 1;
}

void TSVGBasic::Clear()
{
    TSVGMatrix::Clear();
    ClearBasicFields();
}

void TSVGBasic::AssignTo(TSVGObject& Dest) const
{
    TSVGMatrix::AssignTo(Dest);
    auto* D = dynamic_cast<TSVGBasic*>(&Dest);
    if (!D) return;
    D->FFillColor = FFillColor;
    D->FStrokeColor = FStrokeColor;
    D->FFillCurrent = FFillCurrent;
    D->FStrokeCurrent = FStrokeCurrent;
    D->FFillContext = FFillContext;
    D->FStrokeContext = FStrokeContext;
    D->FFillOpacity = FFillOpacity;
    D->FStrokeOpacity = FStrokeOpacity;
    D->FStrokeWidth = FStrokeWidth;
    D->FStrokeWidthUnit = FStrokeWidthUnit;
    D->FStrokeLineJoin = FStrokeLineJoin;
    D->FStrokeLineCap = FStrokeLineCap;
    D->FStrokeMiterLimit = FStrokeMiterLimit;
    D->FStrokeDashOffset = FStrokeDashOffset;
    D->FStrokeDashOffsetUnit = FStrokeDashOffsetUnit;
    D->FStrokeDashArrayCount = FStrokeDashArrayCount;
    if (!FStrokeDashArray.empty()) D->FStrokeDashArray = FStrokeDashArray;
    if (!FStrokeDashArrayUnits.empty()) D->FStrokeDashArrayUnits = FStrokeDashArrayUnits;
    D->FArrayNone = FArrayNone;
    D->FFontName = FFontName;
    D->FFontSize = FFontSize;
    D->FFontSizeOfParent = FFontSizeOfParent;
    D->FFontWeight = FFontWeight;
    D->FFontStyle = FFontStyle;
    D->FTextDecoration = FTextDecoration;
    if (FPath) D->FPath = FPath->Clone();
    D->FRX = FRX;
    D->FRY = FRY;
    D->FFillURI = FFillURI;
    D->FStrokeURI = FStrokeURI;
    D->FClipURI = FClipURI;
    D->FFillRule = FFillRule;
    D->FClipRule = FClipRule;
    D->FOpacity = FOpacity;
    D->FColor = FColor;
    D->FMarkerStart = FMarkerStart;
    D->FMarkerMid = FMarkerMid;
    D->FMarkerEnd = FMarkerEnd;
    D->FX = FX;
    D->FY = FY;
    D->FWidth = FWidth;
    D->FHeight = FHeight;
}

TSVGObject* TSVGBasic::NewLike(TSVGObject* Parent) const
{
    return CreateIn<TSVGBasic>(Parent);
}

void TSVGBasic::ReadIn(const TXmlNode& Node)
{
    TSVGMatrix::ReadIn(Node);
    ResolveStyle();  // first, so lengths in em know the font size
    LoadViewportLength(Node, "x", FX, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "y", FY, *this, TViewportAxis::Height);
    LoadViewportLength(Node, "width", FWidth, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "height", FHeight, *this, TViewportAxis::Height);
    LoadViewportLength(Node, "rx", FRX, *this, TViewportAxis::Width);
    LoadViewportLength(Node, "ry", FRY, *this, TViewportAxis::Height);
    if (FRX == UndefinedFloat && FRY != UndefinedFloat) FRX = FRY;
    if (FRY == UndefinedFloat && FRX != UndefinedFloat) FRY = FRX;
}

namespace {

// Nesting level of Node (a root is at 1), counted no further than just past the limit.
int NestingDepth(const TSVGObject& Node)
{
    int Depth = 0;
    for (const TSVGObject* N = &Node; N && Depth <= SVGMaxDepth; N = N->GetParent()) ++Depth;
    return Depth;
}

// Elements drawn where they stand, which conditional attributes switch off.
bool IsConditional(std::string_view Name)
{
    static constexpr std::string_view Drawn[] = {"a",       "circle",   "ellipse", "g",   "image",  "line", "path",
                                                 "polygon", "polyline", "rect",    "svg", "switch", "text", "use"};
    return std::find(std::begin(Drawn), std::end(Drawn), Name) != std::end(Drawn);
}

}  // namespace

void TSVGBasic::LoadChildNodes(const TXmlNode& Node)
{
    TSVG* Root = GetRoot();
    const bool AtDepthLimit = NestingDepth(*this) >= SVGMaxDepth;
    for (const TXmlNode& Child : Node.ChildNodes()) {
        // Elements of other namespaces are no SVG: neither they nor their content are drawn.
        const std::string Name = SVGElementName(Child);
        // The document read its style sheets before its elements.
        if (Name.empty() || Name == "style") continue;
        TSVGElementCreator Creator = Root ? Root->FindRegisteredElement(Name) : nullptr;
        if (!Creator) Creator = FindElementCreator(Name);
        // An SVG element of no known kind draws nothing, but what it holds can still be used by reference.
        if (!Creator) Creator = FindElementCreator("defs");
        // Reading recurses with the nesting, so the depth is bounded here rather than by the stack.
        if (AtDepthLimit)
            throw ESVGError("Elements are nested deeper than " + std::to_string(SVGMaxDepth) +
                            " levels (at element \"" + Name + "\")");
        if (Root) Root->CountLoadedObjects(1);
        TSVGObject* Item = Creator(*this);
        Item->ReadIn(Child);
        // A drawn element whose conditions fail is not drawn; definitions stay usable whatever they say.
        if (Item->GetDisplayCode() != 0 && IsConditional(Name) && !ConditionsPass(Child)) Item->SetDisplay(0);
    }
}

void TSVGBasic::BuildPath()
{
    FPath.reset();
}

void TSVGBasic::PrePaint(TGPGraphics&, TGPBrush*, TGPPen*) {}

void TSVGBasic::PostPaint(TGPGraphics&, TGPBrush*, TGPPen*) {}

TGPGraphicsPath* TSVGBasic::GetClipPath()
{
    return nullptr;
}

void TSVGBasic::ResolveReference() {}

}  // namespace plumwick
