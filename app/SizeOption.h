#pragma once

#include <optional>
#include <string>
#include <utility>

namespace plumwick {

// "WxH" (or "WXH") with each side within the icon sizes the window offers, 16..400.
std::optional<std::pair<int, int>> ParseSize(const std::string& text);

// The CLI11 validator text for a -s option: empty when the text is a valid size.
std::string CheckSize(const std::string& text);

}  // namespace plumwick
