#pragma once

// Lengths of shape geometry given in percent of the viewport.

#include <string_view>

#include "platform/Xml.h"

namespace plumwick {

class TSVGObject;

// Which side of the viewport a percentage length is of: its width, its height, or the diagonal measure
// sqrt((width² + height²) / 2) that radii use.
enum class TViewportAxis { Width, Height, Diagonal };
// LoadLength, with a percentage taken of the nearest viewport (TUnitRegion::ViewportOf) and em and ex of the
// element's font size. Element is the one being read (its document must be known).
void LoadViewportLength(const TXmlNode& Node, std::string_view Name, float& Target, const TSVGObject& Element,
                        TViewportAxis Axis);

}  // namespace plumwick
