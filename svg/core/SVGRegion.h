#pragma once

// The region of a mask or a pattern tile: x, y, width and height with the units they are in
// ("maskUnits"/"patternUnits") and the units of the content ("maskContentUnits"/"patternContentUnits").

#include <optional>
#include <string>
#include <string_view>

#include "platform/Xml.h"

namespace plumwick {

class TSVGObject;

struct TUnitRegion {
    // As written; unset when the element does not give it (a pattern may take it through "href").
    std::optional<std::string> X, Y, Width, Height;
    std::optional<bool> UserSpaceUnits;      // the region's units are userSpaceOnUse
    std::optional<bool> BoundingBoxContent;  // the content's units are objectBoundingBox

    void Read(const TXmlNode& Node, std::string_view UnitsName, std::string_view ContentUnitsName);
    // Gives every field that is still unset the value From has.
    void TakeMissing(const TUnitRegion& From);

    // A length of the region. In bounding-box units a fraction (or percentage) of Size past Origin; in
    // user units a user length, a percentage being of Size (the viewport's side there).
    static float Resolve(std::string_view Text, bool BoundingBox, float Origin, float Size);
    // The viewport percentages of Element's user units refer to: that of the nearest nested svg or symbol
    // above it (its view box, else its size), else the document's (likewise).
    static void ViewportOf(const TSVGObject& Element, float& Width, float& Height);
};

}  // namespace plumwick
