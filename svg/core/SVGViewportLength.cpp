#include "svg/core/SVGViewportLength.h"

#include <cmath>
#include <string>

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGFontLength.h"
#include "svg/base/SVGParse.h"
#include "svg/core/SVGDocument.h"
#include "svg/core/SVGRegion.h"

namespace plumwick {

void LoadViewportLength(const TXmlNode& Node, std::string_view Name, float& Target, const TSVGObject& Element,
                        TViewportAxis Axis)
{
    LoadLength(Node, Name, Target);
    const TLengthUnit Unit = GetLengthUnit(TrimView(Node.GetAttribute(std::string(Name))));
    if (Unit == luEm || Unit == luEx) {
        // Font-relative: the element's own (or inherited) font size.
        if (const TSVGBasic* Basic = Element.AsBasic()) Target = FontRelativeLength(Target, Unit, Basic->GetFontSize());
        return;
    }
    const TSVG* Root = Element.GetRoot();
    if (!Root || Root == &Element || Unit != luPercent) return;
    float ViewportWidth = 0, ViewportHeight = 0;
    TUnitRegion::ViewportOf(Element, ViewportWidth, ViewportHeight);
    const double W = ViewportWidth, H = ViewportHeight;
    if (!(W > 0) || !(H > 0)) return;
    const double Size = Axis == TViewportAxis::Width    ? W
                        : Axis == TViewportAxis::Height ? H
                                                        : std::sqrt((W * W + H * H) / 2);
    Target = static_cast<float>(Target * Size / 100);
}

}  // namespace plumwick
