#pragma once

// Which XML elements are SVG elements, and under what name: the reader, the element classes and the style
// sheet's selectors all ask this before they know any element class.

#include <string>
#include <string_view>

#include "platform/Xml.h"

namespace plumwick {

inline constexpr std::string_view SVGNamespace = "http://www.w3.org/2000/svg";

// The name Node has as an SVG element: its local name when it is in the SVG namespace, or in none (icons are
// often written without xmlns); empty for a node of another namespace, which is no SVG element.
std::string SVGElementName(const TXmlNode& Node);

}  // namespace plumwick
