#pragma once

// Gzip streams (as in .svgz files) over zlib.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace plumwick {

// Whether Bytes begin with the gzip signature.
[[nodiscard]] bool IsGzip(std::span<const std::uint8_t> Bytes);

// The decompressed content of a gzip stream (members one after another are joined); nothing when the
// stream is damaged or cut short, or when its content would exceed MaxSize bytes.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> Gunzip(std::span<const std::uint8_t> Bytes, std::size_t MaxSize);

}  // namespace plumwick
