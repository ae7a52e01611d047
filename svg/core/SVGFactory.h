#pragma once

// The element factory: which element name makes which object. One sorted table of
// {name, creator} (svg/SVGFactory.cpp, above every room); elements of other names are skipped by the reader.

#include <span>
#include <string>
#include <string_view>

#include "svg/base/SVGElementName.h"
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
// The whole table, sorted by name.
std::span<const TSVGElementEntry> ElementTable();

}  // namespace plumwick
