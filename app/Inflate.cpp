#include "app/Inflate.h"

#include <zlib.h>

#include <stdexcept>

namespace plumwick {

namespace {

enum class TInflateResult { Ok, BadData, TooLarge };

TInflateResult InflateWith(std::string_view compressed, int windowBits, std::size_t maxSize, std::string& out)
{
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK) throw std::runtime_error("Cannot start the deflate decoder");
    out.clear();
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    char chunk[65536];
    int status = Z_OK;
    TInflateResult result = TInflateResult::Ok;
    while (status != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            result = TInflateResult::BadData;
            break;
        }
        const std::size_t produced = sizeof chunk - stream.avail_out;
        if (out.size() + produced > maxSize) {
            result = TInflateResult::TooLarge;
            break;
        }
        out.append(chunk, produced);
        // A stream cut short makes no progress once the input is used up.
        if (status == Z_OK && stream.avail_in == 0 && produced == 0) {
            result = TInflateResult::BadData;
            break;
        }
    }
    inflateEnd(&stream);
    return result;
}

}  // namespace

std::string InflateDeflateBody(std::string_view compressed, std::size_t maxSize)
{
    if (compressed.size() > static_cast<std::size_t>(UINT32_MAX))
        throw std::runtime_error("The compressed reply is too large");
    std::string out;
    // A reply without a body (a redirect, an error page) may still carry the encoding header.
    if (compressed.empty()) return out;
    TInflateResult result = InflateWith(compressed, MAX_WBITS, maxSize, out);
    if (result == TInflateResult::BadData) result = InflateWith(compressed, -MAX_WBITS, maxSize, out);
    if (result == TInflateResult::TooLarge)
        throw std::runtime_error("The reply is larger than " + std::to_string(maxSize >> 20) + " MiB once inflated");
    if (result == TInflateResult::BadData) throw std::runtime_error("The reply's deflate data is corrupt");
    return out;
}

}  // namespace plumwick
