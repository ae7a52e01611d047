#pragma once

// The "filter" property: a list of url() references and CSS filter functions.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "svg/compositing/filters/FilterPrimitive.h"

namespace plumwick {

// One item of the list: a reference (Id set) or a function, already as primitives whose lengths
// are user units (the painter scales them) and whose colours are resolved.
struct TFilterItem {
    std::string Id;                           // without "#"
    std::string Function;                     // name of a CSS function, "" for a reference
    std::vector<float> Numbers;               // the function's lengths and amounts: see ParseFilterList
    filters::TFilterColor Color{0, 0, 0, 1};  // drop-shadow
};

// The items of a "filter" value; nullopt when any item is unreadable (then the element draws
// unfiltered), an empty list for "none". CurrentColor stands in for "currentColor".
// Functions give Numbers as: blur {deviation}, drop-shadow {dx, dy, deviation}, the colour
// functions {amount as a fraction}, hue-rotate {degrees}.
std::optional<std::vector<TFilterItem>> ParseFilterList(std::string_view Text, std::string_view CurrentColor);

// The primitives of a function item (in user units; the painter maps lengths to pixels).
std::vector<filters::TFilterPrimitive> FunctionPrimitives(const TFilterItem& Item, float ScaleX, float ScaleY);

}  // namespace plumwick
