#pragma once

// Deflate streams over zlib: gzip (as in .svgz files), zlib-wrapped and bare (as in HTTP bodies).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace plumwick {

enum class TDeflateWrapper { Gzip, Zlib, Raw };
enum class TInflateOutcome { Ok, Damaged, TooLarge, NoDecoder };

// Inflates Bytes into Out. Gzip members one after another are joined; a zlib or bare stream ends at its
// end. A stream that is damaged or cut short is Damaged; one whose content would exceed MaxSize bytes is
// TooLarge, refused rather than cut.
[[nodiscard]] TInflateOutcome Inflate(std::span<const std::uint8_t> Bytes, TDeflateWrapper Wrapper, std::size_t MaxSize,
                                      std::vector<std::uint8_t>& Out);

// Whether Bytes begin with the gzip signature.
[[nodiscard]] bool IsGzip(std::span<const std::uint8_t> Bytes);

// The decompressed content of a gzip stream (members one after another are joined); nothing when the
// stream is damaged or cut short, or when its content would exceed MaxSize bytes.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> Gunzip(std::span<const std::uint8_t> Bytes, std::size_t MaxSize);

}  // namespace plumwick
