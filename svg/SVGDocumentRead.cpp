// Reading the root element ends with passes over the whole tree that know every kind of element (references
// between patterns and masks), so it sits above all the rooms.

#include "svg/core/SVGDocument.h"

#include "svg/base/SVGAspectRatio.h"
#include "svg/base/SVGConditions.h"
#include "svg/base/SVGParse.h"
#include "svg/compositing/ReferenceCycles.h"

namespace plumwick {

void TSVG::ReadIn(const TXmlNode& Node)
{
    if (SVGElementName(Node) != "svg") return;
    ReadStyleSheets(Node);
    TSVGBasic::ReadIn(Node);
    // Always drawn, unless its own conditions fail.
    FDisplay = ConditionsPass(Node) ? 1 : 0;
    FVisible = 1;
    FViewBox = TRectF{0, 0, FWidth, FHeight};
    bool OwnViewBox = false;
    FAspect = ParseAspectRatio(Node.GetAttribute("preserveAspectRatio"));
    if (auto ViewBox = Node.FindAttribute("viewBox"); ViewBox && !ViewBox->empty()) {
        FViewBox = ParseViewBox(*ViewBox);
        OwnViewBox = FViewBox.Right > FViewBox.Left && FViewBox.Bottom > FViewBox.Top;
    }
    {
        struct TLoading {
            bool& Flag;
            explicit TLoading(bool& F) : Flag(F) { Flag = true; }
            ~TLoading() { Flag = false; }
        } Loading(FLoading);
        LoadChildNodes(Node);
        ResolveOutlineLessStyles();
        DeReferenceUse();
        BreakReferenceCycles(*this);
    }
    MeasureContent();
    // A percentage size is taken of the content extent; 0% stays 0 (no size given) rather than dividing by zero.
    // With a view box of its own a percentage is of the output, which is what no size gives: the view box then
    // fills the output instead of being squeezed into the content's proportions.
    const bool PercentWidth = GetLengthUnit(Node.GetAttribute("width")) == luPercent;
    const bool PercentHeight = GetLengthUnit(Node.GetAttribute("height")) == luPercent;
    if (PercentWidth && OwnViewBox)
        FWidth = 0;
    else if (PercentWidth && FWidth != 0)
        FWidth = FSize.Width * 100 / FWidth;
    if (PercentHeight && OwnViewBox)
        FHeight = 0;
    else if (PercentHeight && FHeight != 0)
        FHeight = FSize.Height * 100 / FHeight;
}

}  // namespace plumwick
