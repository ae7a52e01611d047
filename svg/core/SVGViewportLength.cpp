#include "svg/core/SVGViewportLength.h"

#include <cmath>
#include <string>

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"

namespace plumwick {

void LoadViewportLength(const TXmlNode& Node, std::string_view Name, float& Target, const TSVGObject& Element,
                        TViewportAxis Axis)
{
    LoadLength(Node, Name, Target);
    const TLengthUnit Unit = GetLengthUnit(TrimView(Node.GetAttribute(std::string(Name))));
    if (Unit == luEm || Unit == luEx) {
        // Font-relative: the element's own (or inherited) font size; an ex is taken as half an em.
        if (const TSVGBasic* Basic = Element.AsBasic()) Target *= Basic->GetFontSize() * (Unit == luEx ? 0.5f : 1.0f);
        return;
    }
    const TSVG* Root = Element.GetRoot();
    if (!Root || Root == &Element || Unit != luPercent) return;
    // Of the nearest viewport: a nested svg's own, else the document's.
    const TRectF& Box = Root->GetViewBox();
    double W = Box.Right - Box.Left, H = Box.Bottom - Box.Top;
    for (const TSVGObject* N = Element.GetParent(); N && N != Root; N = N->GetParent()) {
        float ViewportWidth = 0, ViewportHeight = 0;
        const TSVGBasic* B = N->AsBasic();
        // A viewport not sized yet (a marker before it is drawn) leaves the search going.
        if (B && B->GetContentViewport(ViewportWidth, ViewportHeight) && ViewportWidth > 0 && ViewportHeight > 0) {
            W = ViewportWidth;
            H = ViewportHeight;
            break;
        }
    }
    if (!(W > 0) || !(H > 0)) return;
    const double Size = Axis == TViewportAxis::Width    ? W
                        : Axis == TViewportAxis::Height ? H
                                                        : std::sqrt((W * W + H * H) / 2);
    Target = static_cast<float>(Target * Size / 100);
}

}  // namespace plumwick
