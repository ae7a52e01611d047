#include "svg/core/SVGFactory.h"

#include <algorithm>

#include "platform/GdiPlus.h"  // complete graphics types for the element classes' owned members

// Element classes made by the factory: one include and one table row per element.
#include "svg/compositing/SVGFilter.h"
#include "svg/compositing/SVGMask.h"
#include "svg/images/SVGImage.h"
#include "svg/paint/SVGPaint.h"
#include "svg/paint/SVGPattern.h"
#include "svg/shapes/SVGPath.h"
#include "svg/shapes/SVGShapes.h"
#include "svg/structure/SVGMarker.h"
#include "svg/structure/SVGStructure.h"
#include "svg/structure/SVGViewport.h"
#include "svg/text/SVGText.h"

namespace plumwick {

namespace {

// Sorted by name (byte order); "style" is no element here, the reader hands it to the sheet.
constexpr TSVGElementEntry Elements[] = {
    {"a", &CreateElement<TSVGContainer>},
    {"circle", &CreateElement<TSVGEllipse>},
    {"clipPath", &CreateElement<TSVGClipPath>},
    {"defs", &CreateElement<TSVGDefs>},
    {"ellipse", &CreateElement<TSVGEllipse>},
    {"filter", &CreateElement<TSVGFilter>},
    {"g", &CreateElement<TSVGContainer>},
    {"image", &CreateElement<TSVGImage>},
    {"line", &CreateElement<TSVGLine>},
    {"linearGradient", &CreateElement<TSVGLinearGradient>},
    {"marker", &CreateElement<TSVGMarker>},
    {"mask", &CreateElement<TSVGMask>},
    {"path", &CreateElement<TSVGPath>},
    {"pattern", &CreateElement<TSVGPattern>},
    {"polygon", &CreateElement<TSVGPolygon>},
    {"polyline", &CreateElement<TSVGPolyLine>},
    {"radialGradient", &CreateElement<TSVGRadialGradient>},
    {"rect", &CreateElement<TSVGRect>},
    {"svg", &CreateElement<TSVGNestedSVG>},
    {"switch", &CreateElement<TSVGSwitch>},
    {"symbol", &CreateElement<TSVGSymbol>},
    {"text", &CreateElement<TSVGText>},
    {"textPath", &CreateElement<TSVGTextPath>},
    {"tspan", &CreateElement<TSVGTSpan>},
    {"use", &CreateElement<TSVGUse>},
};

constexpr bool IsSorted()
{
    for (size_t I = 1; I < std::size(Elements); ++I)
        if (!(Elements[I - 1].Name < Elements[I].Name)) return false;
    return true;
}
static_assert(IsSorted(), "the element table must stay sorted by name, without duplicates");

}  // namespace

TSVGElementCreator FindElementCreator(std::string_view Name)
{
    auto It = std::lower_bound(std::begin(Elements), std::end(Elements), Name,
                               [](const TSVGElementEntry& E, std::string_view N) { return E.Name < N; });
    return It != std::end(Elements) && It->Name == Name ? It->Create : nullptr;
}

std::span<const TSVGElementEntry> ElementTable()
{
    return Elements;
}

}  // namespace plumwick
