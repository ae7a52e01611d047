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
    explicit TInflater(int WindowBits) { Ready = inflateInit2(&Stream, WindowBits) == Z_OK; }
    ~TInflater()
    {
        if (Ready) inflateEnd(&Stream);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
};

int WindowBitsOf(TDeflateWrapper Wrapper)
{
    switch (Wrapper) {
        case TDeflateWrapper::Gzip:
            return 16 + MAX_WBITS;  // a gzip header and trailer around the deflate data
        case TDeflateWrapper::Zlib:
            return MAX_WBITS;
        case TDeflateWrapper::Raw:
            break;
    }
    return -MAX_WBITS;
}

}  // namespace

bool IsGzip(std::span<const std::uint8_t> Bytes)
{
    return Bytes.size() >= 2 && Bytes[0] == 0x1F && Bytes[1] == 0x8B;
}

TInflateOutcome Inflate(std::span<const std::uint8_t> Bytes, TDeflateWrapper Wrapper, std::size_t MaxSize,
                        std::vector<std::uint8_t>& Out)
{
    Out.clear();
    if (Bytes.size() > std::numeric_limits<uInt>::max()) return TInflateOutcome::TooLarge;
    TInflater In(WindowBitsOf(Wrapper));
    if (!In.Ready) return TInflateOutcome::NoDecoder;
    In.Stream.next_in = const_cast<Bytef*>(Bytes.data());  // zlib does not write through it
    In.Stream.avail_in = static_cast<uInt>(Bytes.size());
    constexpr std::size_t Chunk = 64 * 1024;
    for (;;) {
        if (Out.size() > MaxSize) return TInflateOutcome::TooLarge;
        const std::size_t Old = Out.size();
        const std::size_t Room = std::min(Chunk, MaxSize + 1 - Old);
        Out.resize(Old + Room);
        In.Stream.next_out = Out.data() + Old;
        In.Stream.avail_out = static_cast<uInt>(Room);
        const int Result = inflate(&In.Stream, Z_NO_FLUSH);
        Out.resize(Old + Room - In.Stream.avail_out);
        if (Result == Z_STREAM_END) {
            // Another gzip member may follow; anything else after the end is damage.
            if (Wrapper != TDeflateWrapper::Gzip || In.Stream.avail_in == 0) break;
            if (inflateReset(&In.Stream) != Z_OK) return TInflateOutcome::Damaged;
            continue;
        }
        if (Result != Z_OK) return TInflateOutcome::Damaged;  // damaged, or no progress possible (cut short)
    }
    return Out.size() > MaxSize ? TInflateOutcome::TooLarge : TInflateOutcome::Ok;
}

std::optional<std::vector<std::uint8_t>> Gunzip(std::span<const std::uint8_t> Bytes, std::size_t MaxSize)
{
    std::vector<std::uint8_t> Out;
    if (!IsGzip(Bytes) || Inflate(Bytes, TDeflateWrapper::Gzip, MaxSize, Out) != TInflateOutcome::Ok)
        return std::nullopt;
    return Out;
}

}  // namespace plumwick
