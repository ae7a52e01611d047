// PNG encoding of 8-bit straight RGBA pixels, with the compressor and row filter as choices so the
// benchmarks can weigh them; the writers use the defaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace plumwick {

// QtWriter is Qt's PNG writer (libpng over zlib at its default level, libpng's own filter choice), which the
// program used before; it ignores Level and Filter.
enum class TPngDeflater { Zlib, Libdeflate, Spng, QtWriter };

// Zero (none), Sub, Up and Paeth as PNG numbers them; Adaptive picks per row the one whose bytes, read as
// signed, sum to the least magnitude.
enum class TPngRowFilter { None = 0, Sub = 1, Up = 2, Paeth = 4, Adaptive = 5 };

// The default won on rendered icons at 96 and 400 pixels (bench/PngEncoding.cpp): about five times faster than
// Qt's writer and 10 to 35 % smaller. Unfiltered rows compress best there because an icon is mostly runs of
// identical pixels, which the compressor finds as long matches; filters turn anti-aliased edges into noise.
struct TPngEncoding {
    TPngDeflater Deflater = TPngDeflater::Libdeflate;
    int Level = 6;
    TPngRowFilter Filter = TPngRowFilter::None;
};

// The RGBA pixels to encode: Height rows of Width * 4 bytes, each row Stride bytes after the previous.
struct TRgbaPixels {
    int Width = 0;
    int Height = 0;
    std::size_t Stride = 0;
    std::span<const std::uint8_t> Bytes;
};

// A complete PNG file (colour type 6, 8 bits per channel, no interlace). Empty when the pixels do not
// match their size or the compressor fails.
std::string EncodePng(const TRgbaPixels& pixels, const TPngEncoding& encoding = {});

}  // namespace plumwick
