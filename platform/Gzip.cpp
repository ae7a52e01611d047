#include "platform/Gzip.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace plumwick {

namespace {

// Ends the inflate state however the stream went.
struct TInflater {
    z_stream Stream{};
    bool Ready = false;
    // 16 + the largest window: a gzip header and trailer around the deflate data.
    TInflater() { Ready = inflateInit2(&Stream, 16 + MAX_WBITS) == Z_OK; }
    ~TInflater()
    {
        if (Ready) inflateEnd(&Stream);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
};

}  // namespace

bool IsGzip(std::span<const std::uint8_t> Bytes)
{
    return Bytes.size() >= 2 && Bytes[0] == 0x1F && Bytes[1] == 0x8B;
}

std::optional<std::vector<std::uint8_t>> Gunzip(std::span<const std::uint8_t> Bytes, std::size_t MaxSize)
{
    if (!IsGzip(Bytes) || Bytes.size() > std::numeric_limits<uInt>::max()) return std::nullopt;
    TInflater In;
    if (!In.Ready) return std::nullopt;
    In.Stream.next_in = const_cast<Bytef*>(Bytes.data());  // zlib does not write through it
    In.Stream.avail_in = static_cast<uInt>(Bytes.size());
    std::vector<std::uint8_t> Out;
    constexpr std::size_t Chunk = 64 * 1024;
    for (;;) {
        if (Out.size() >= MaxSize + 1) return std::nullopt;  // more than allowed: refused, not cut
        const std::size_t Old = Out.size();
        const std::size_t Room = std::min(Chunk, MaxSize + 1 - Old);
        Out.resize(Old + Room);
        In.Stream.next_out = Out.data() + Old;
        In.Stream.avail_out = static_cast<uInt>(Room);
        const int Result = inflate(&In.Stream, Z_NO_FLUSH);
        Out.resize(Old + Room - In.Stream.avail_out);
        if (Result == Z_STREAM_END) {
            // Another member may follow; anything else after the end is damage.
            if (In.Stream.avail_in == 0) break;
            if (inflateReset(&In.Stream) != Z_OK) return std::nullopt;
            continue;
        }
        if (Result != Z_OK) return std::nullopt;  // damaged, or no progress possible (cut short)
    }
    if (Out.size() > MaxSize) return std::nullopt;
    return Out;
}

}  // namespace plumwick
