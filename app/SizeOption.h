#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/RasterExport.h"

namespace plumwick {

// "WxH" (or "WXH") with each side within the icon sizes the window offers, 16..400.
std::optional<std::pair<int, int>> ParseSize(const std::string& text);

// The CLI11 validator text for a -s option: empty when the text is a valid size.
std::string CheckSize(const std::string& text);

// A comma-separated list of sizes for one .ico file, each "N" (N x N) or "WxH" with sides 16..400, in the
// order given, without repeats: "16,32,48,256". Nothing for an empty list or any invalid item.
std::optional<std::vector<TIconSize>> ParseIconSizes(const std::string& text);

// The CLI11 validator text for --ico-sizes.
std::string CheckIconSizes(const std::string& text);

}  // namespace plumwick
