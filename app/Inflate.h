#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plumwick {

// Inflates a body sent with "Content-Encoding: deflate". Servers send either the zlib-wrapped stream the
// name promises or a bare deflate stream; both are accepted. Throws std::runtime_error on corrupt data or
// when the result would exceed maxSize bytes.
std::string InflateDeflateBody(std::string_view compressed, std::size_t maxSize);

}  // namespace plumwick
