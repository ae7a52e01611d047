#pragma once

// The CSS cascade of one element of the document: presentation attributes, then the sheet's rules by
// importance, specificity and order, with the "style" attribute above the sheet's normal declarations and below
// nothing but its own important ones.

#include <string_view>

#include "platform/Xml.h"

namespace plumwick {

class TStyle;
class TStyleList;

// Style holds Element's attributes with its inline declarations merged over them, as read. Afterwards it holds,
// for every property, the declaration that wins. Attributes that are no presentation attribute (such as
// "mix-blend-mode") are taken out unless a style declaration gives them.
void CascadeElement(const TStyleList& Sheet, const TXmlNode& Element, TStyle& Style);

// Whether a property may be set by a presentation attribute, not only by style declarations.
bool IsPresentationAttribute(std::string_view Name);

}  // namespace plumwick
