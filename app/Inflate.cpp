#include "app/Inflate.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "platform/Gzip.h"

namespace plumwick {

std::string InflateDeflateBody(std::string_view compressed, std::size_t maxSize)
{
    if (compressed.size() > static_cast<std::size_t>(UINT32_MAX))
        throw std::runtime_error("The compressed reply is too large");
    // A reply without a body (a redirect, an error page) may still carry the encoding header.
    if (compressed.empty()) return {};
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(compressed.data()),
                                              compressed.size());
    std::vector<std::uint8_t> out;
    TInflateOutcome result = Inflate(bytes, TDeflateWrapper::Zlib, maxSize, out);
    if (result == TInflateOutcome::Damaged) result = Inflate(bytes, TDeflateWrapper::Raw, maxSize, out);
    if (result == TInflateOutcome::NoDecoder) throw std::runtime_error("Cannot start the deflate decoder");
    if (result == TInflateOutcome::TooLarge)
        throw std::runtime_error("The reply is larger than " + std::to_string(maxSize >> 20) + " MiB once inflated");
    if (result == TInflateOutcome::Damaged) throw std::runtime_error("The reply's deflate data is corrupt");
    return {out.begin(), out.end()};
}

}  // namespace plumwick
