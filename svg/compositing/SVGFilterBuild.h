#pragma once

// Turns a filter element, for one element it applies to, into a filter region and primitives in
// the pixel terms of a canvas.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "svg/base/SVGTypes.h"
#include "svg/compositing/filters/FilterPrimitive.h"

namespace plumwick {

class TSVG;
class TSVGBasic;
class TSVGFilter;

// A rectangle in user space.
struct TUserRect {
    float X = 0, Y = 0, Width = 0, Height = 0;
};

// What a filter is applied to.
struct TFilterTarget {
    TMatrix UserToDevice;           // the element's user space → device pixels
    std::optional<TUserRect> BBox;  // the element's bounding box in its user space, when it has one
    float ViewportWidth = 0, ViewportHeight = 0;
    const TSVGBasic* Element = nullptr;  // for currentColor and feImage
    // The picture of an feImage primitive given its subregion in user space.
    std::function<filters::TFilterImage(const struct TFilterNode&, const TUserRect&)> ImageSource;
};

// Where the filter works: a canvas of device pixels (its top-left at OriginX, OriginY).
struct TFilterCanvas {
    int OriginX = 0, OriginY = 0, Width = 0, Height = 0;
    TMatrix DeviceToCanvas;  // the surface's device space → canvas pixels
};

// The filter element with its href chain followed: the first element in the chain that sets an
// attribute gives it, and the first with primitives gives them.
struct TResolvedFilter {
    std::string X, Y, Width, Height, FilterUnits, PrimitiveUnits;
    const TSVGFilter* Primitives = nullptr;  // whose primitive list applies; nullptr: none
};
TResolvedFilter ResolveFilter(const TSVGFilter& Filter, TSVG* Root);

// The filter region in user space; nullopt when it is empty or unusable (the element then is not drawn).
std::optional<TUserRect> FilterRegion(const TResolvedFilter& Filter, const TFilterTarget& Target);

// The primitives in canvas pixels. An empty list means the filter draws nothing.
std::vector<filters::TFilterPrimitive> BuildPrimitives(const TResolvedFilter& Filter, const TFilterTarget& Target,
                                                       const TUserRect& Region, const TFilterCanvas& Canvas);

// A colour as CSS writes it (keywords, #hex, rgb(a), hsl(a), transparent); nullopt when unreadable.
std::optional<filters::TFilterColor> ParseCssColor(std::string_view Text);

// Device-space bounding box of a user-space rectangle.
TUserRect DeviceBox(const TUserRect& R, const TMatrix& M);

}  // namespace plumwick
