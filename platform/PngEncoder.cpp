#include "platform/PngEncoder.h"

#include <libdeflate.h>
#include <spng.h>
#include <zlib.h>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace plumwick {

namespace {

constexpr int kChannels = 4;

void PutLong(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char (&type)[5], std::span<const std::uint8_t> data)
{
    PutLong(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data.data()), data.size());
    const auto* checked = reinterpret_cast<const std::uint8_t*>(out.data() + typeAt);
    PutLong(out, libdeflate_crc32(0, checked, 4 + data.size()));
}

std::uint8_t Paeth(int left, int up, int upLeft)
{
    const int guess = left + up - upLeft;
    const int toLeft = std::abs(guess - left), toUp = std::abs(guess - up), toUpLeft = std::abs(guess - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// Writes one filtered row (without its filter byte) into out; above is all zero for the first row.
void FilterRow(TPngRowFilter filter, const std::uint8_t* row, const std::uint8_t* above, std::size_t length,
               std::uint8_t* out)
{
    switch (filter) {
        case TPngRowFilter::Sub:
            for (std::size_t i = 0; i < length; ++i)
                out[i] = static_cast<std::uint8_t>(row[i] - (i >= kChannels ? row[i - kChannels] : 0));
            break;
        case TPngRowFilter::Up:
            for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<std::uint8_t>(row[i] - above[i]);
            break;
        case TPngRowFilter::Paeth:
            for (std::size_t i = 0; i < length; ++i) {
                const int left = i >= kChannels ? row[i - kChannels] : 0;
                const int upLeft = i >= kChannels ? above[i - kChannels] : 0;
                out[i] = static_cast<std::uint8_t>(row[i] - Paeth(left, above[i], upLeft));
            }
            break;
        default:
            std::memcpy(out, row, length);
            break;
    }
}

std::size_t Cost(const std::uint8_t* bytes, std::size_t length)
{
    std::size_t sum = 0;
    for (std::size_t i = 0; i < length; ++i)
        sum += static_cast<std::size_t>(std::abs(static_cast<int>(static_cast<std::int8_t>(bytes[i]))));
    return sum;
}

// The filtered image data: each row preceded by its filter type byte.
std::vector<std::uint8_t> FilterRows(const TRgbaPixels& pixels, TPngRowFilter filter)
{
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.Width) * kChannels;
    std::vector<std::uint8_t> out((rowBytes + 1) * static_cast<std::size_t>(pixels.Height));
    const std::vector<std::uint8_t> zeroRow(rowBytes, 0);
    std::vector<std::uint8_t> trial(filter == TPngRowFilter::Adaptive ? rowBytes : 0);
    for (int y = 0; y < pixels.Height; ++y) {
        const std::uint8_t* row = pixels.Bytes.data() + static_cast<std::size_t>(y) * pixels.Stride;
        const std::uint8_t* above = y > 0 ? row - pixels.Stride : zeroRow.data();
        std::uint8_t* target = out.data() + static_cast<std::size_t>(y) * (rowBytes + 1);
        TPngRowFilter chosen = filter;
        if (filter == TPngRowFilter::Adaptive) {
            std::size_t best = SIZE_MAX;
            for (const TPngRowFilter candidate :
                 {TPngRowFilter::None, TPngRowFilter::Sub, TPngRowFilter::Up, TPngRowFilter::Paeth}) {
                FilterRow(candidate, row, above, rowBytes, trial.data());
                const std::size_t cost = Cost(trial.data(), rowBytes);
                if (cost < best) {
                    best = cost;
                    chosen = candidate;
                }
            }
        }
        target[0] = static_cast<std::uint8_t>(chosen);
        FilterRow(chosen, row, above, rowBytes, target + 1);
    }
    return out;
}

struct TDeflateCompressorFree {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// Making a compressor allocates its tables, which costs more than a small icon's compression: one per
// thread and level is kept.
libdeflate_compressor* DeflateCompressor(int level)
{
    thread_local std::array<std::unique_ptr<libdeflate_compressor, TDeflateCompressorFree>, 13> compressors;
    auto& compressor = compressors[static_cast<std::size_t>(level)];
    if (!compressor) compressor.reset(libdeflate_alloc_compressor(level));
    return compressor.get();
}

bool Compress(TPngDeflater deflater, int level, std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out)
{
    if (deflater == TPngDeflater::Libdeflate) {
        libdeflate_compressor* compressor = DeflateCompressor(level < 0 ? 0 : level > 12 ? 12 : level);
        if (!compressor) return false;
        out.resize(libdeflate_zlib_compress_bound(compressor, data.size()));
        const std::size_t size = libdeflate_zlib_compress(compressor, data.data(), data.size(), out.data(), out.size());
        out.resize(size);
        return size > 0;
    }
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    out.resize(size);
    const int result = compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()),
                                 level < 0   ? 0
                                 : level > 9 ? 9
                                             : level);
    out.resize(size);
    return result == Z_OK;
}

struct TSpngFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

int SpngFilterChoice(TPngRowFilter filter)
{
    switch (filter) {
        case TPngRowFilter::None:
            return SPNG_FILTER_CHOICE_NONE;
        case TPngRowFilter::Sub:
            return SPNG_FILTER_CHOICE_SUB;
        case TPngRowFilter::Up:
            return SPNG_FILTER_CHOICE_UP;
        case TPngRowFilter::Paeth:
            return SPNG_FILTER_CHOICE_PAETH;
        default:
            return SPNG_FILTER_CHOICE_ALL;
    }
}

std::string EncodeWithSpng(const TRgbaPixels& pixels, const TPngEncoding& encoding)
{
    const std::unique_ptr<spng_ctx, TSpngFree> context(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!context) return {};
    spng_set_option(context.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_option(context.get(), SPNG_IMG_COMPRESSION_LEVEL, encoding.Level);
    spng_set_option(context.get(), SPNG_FILTER_CHOICE, SpngFilterChoice(encoding.Filter));
    spng_ihdr header{};
    header.width = static_cast<std::uint32_t>(pixels.Width);
    header.height = static_cast<std::uint32_t>(pixels.Height);
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    spng_set_ihdr(context.get(), &header);
    // libspng takes the rows packed.
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.Width) * kChannels;
    std::vector<std::uint8_t> packed(rowBytes * static_cast<std::size_t>(pixels.Height));
    for (int y = 0; y < pixels.Height; ++y)
        std::memcpy(packed.data() + y * rowBytes, pixels.Bytes.data() + y * pixels.Stride, rowBytes);
    if (spng_encode_image(context.get(), packed.data(), packed.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) != 0)
        return {};
    std::size_t size = 0;
    int error = 0;
    const std::unique_ptr<void, decltype(&std::free)> buffer(spng_get_png_buffer(context.get(), &size, &error),
                                                             &std::free);
    if (!buffer || error != 0) return {};
    return std::string(static_cast<const char*>(buffer.get()), size);
}

std::string EncodeWithQt(const TRgbaPixels& pixels)
{
    const QImage image(pixels.Bytes.data(), pixels.Width, pixels.Height, static_cast<qsizetype>(pixels.Stride),
                       QImage::Format_RGBA8888);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32))) return {};
    return data.toStdString();
}

}  // namespace

std::string EncodePng(const TRgbaPixels& pixels, const TPngEncoding& encoding)
{
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.Width) * kChannels;
    if (pixels.Width <= 0 || pixels.Height <= 0 || pixels.Stride < rowBytes ||
        pixels.Bytes.size() < pixels.Stride * static_cast<std::size_t>(pixels.Height - 1) + rowBytes)
        return {};
    if (encoding.Deflater == TPngDeflater::Spng) return EncodeWithSpng(pixels, encoding);
    if (encoding.Deflater == TPngDeflater::QtWriter) return EncodeWithQt(pixels);

    std::vector<std::uint8_t> compressed;
    if (!Compress(encoding.Deflater, encoding.Level, FilterRows(pixels, encoding.Filter), compressed)) return {};

    std::string out;
    out.reserve(8 + 25 + 12 + compressed.size() + 12);
    out.append("\x89PNG\r\n\x1A\n", 8);
    std::array<std::uint8_t, 13> header{};
    for (int i = 0; i < 4; ++i) {
        header[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(pixels.Width) >> (24 - 8 * i));
        header[4 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(pixels.Height) >> (24 - 8 * i));
    }
    header[8] = 8;  // bits per channel
    header[9] = 6;  // RGBA
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", compressed);
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace plumwick
