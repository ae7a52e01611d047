#pragma once

// "paint-order": in which order an element's fill, stroke and markers are painted.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace plumwick {

enum class TPaintLayer : std::uint8_t { Fill, Stroke, Markers };

using TPaintOrder = std::array<TPaintLayer, 3>;

// Fill, stroke, markers.
inline constexpr TPaintOrder NormalPaintOrder = {TPaintLayer::Fill, TPaintLayer::Stroke, TPaintLayer::Markers};

// "normal", or up to three distinct keywords of fill, stroke and markers; those left out follow in their normal
// order. Nothing for any other text (the declaration is then ignored).
std::optional<TPaintOrder> ParsePaintOrder(std::string_view Value);

}  // namespace plumwick
