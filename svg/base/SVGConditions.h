#pragma once

// Conditional processing: whether an element's requiredFeatures, requiredExtensions and
// systemLanguage hold, as a switch asks of its children.

#include <string>
#include <string_view>

#include "platform/Xml.h"

namespace plumwick {

// The user's language from the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), as a tag such as
// "de-AT"; "en" when none is set or the locale is C/POSIX.
std::string UserLanguage();

// Whether a comma-separated "systemLanguage" list names Language: its primary subtag is compared,
// without regard to case, so "en-GB" holds for a user of "en-US". An empty list never holds.
bool LanguageMatches(std::string_view List, std::string_view Language);

// Whether every condition on Node holds: no extension is supported, features are all taken as
// supported (SVG 2 no longer asks), and the language must match UserLanguage().
bool ConditionsPass(const TXmlNode& Node);

}  // namespace plumwick
