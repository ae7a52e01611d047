#pragma once

#include <string>
#include <string_view>

namespace plumwick {

class TSVGObject;

// What the style sheet's rules for Obj's element name, id and classes say of a property (later rules win);
// empty when none says anything.
std::string SheetValue(const TSVGObject& Obj, std::string_view Name);

}  // namespace plumwick
