#pragma once

// The element factory: which element name makes which object. One sorted table of
// {name, creator} (SVGFactory.cpp); elements of other names are skipped by the reader.

#include <span>
#include <string>
#include <string_view>

#include "platform/Xml.h"
#include "svg/core/SVGObject.h"

namespace plumwick {

// Creates the element's object as the last child of Parent (which owns it) and returns it.
using TSVGElementCreator = TSVGObject* (*)(TSVGObject& Parent);

struct TSVGElementEntry {
    std::string_view Name;
    TSVGElementCreator Create;
};

// The creator of class T, for table rows and for TSVG::RegisterElement.
template <class T>
TSVGObject* CreateElement(TSVGObject& Parent)
{
    return TSVGObject::CreateIn<T>(&Parent);
}

// The creator for an element name (exact, case-sensitive), nullptr when the name makes no object.
TSVGElementCreator FindElementCreator(std::string_view Name);
inline constexpr std::string_view SVGNamespace = "http://www.w3.org/2000/svg";

// The name Node has as an SVG element: its local name when it is in the SVG namespace, or in none (icons are
// often written without xmlns); empty for a node of another namespace, which is no SVG element.
std::string SVGElementName(const TXmlNode& Node);
// The whole table, sorted by name.
std::span<const TSVGElementEntry> ElementTable();

}  // namespace plumwick
