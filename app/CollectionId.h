#pragma once

#include <string>
#include <string_view>

namespace plumwick {

// The collection id in a pasted text: for a page address (one with "://" or a "?" query) the value of its
// "cid=" parameter, else of its "id=" parameter; any other text, or an address with neither, as given.
std::string CollectionIdFromText(std::string_view text);

}  // namespace plumwick
