// Every PNG encoding the benchmarks weigh decodes back to the pixels it was given, straight alpha included.
#include "platform/GdiPlusImage.h"
#include "platform/PngEncoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace plumwick {
namespace {

struct EncodingCase {
    const char* name;
    TPngEncoding encoding;
};

class PngEncoding : public testing::TestWithParam<EncodingCase> {};

constexpr int kWidth = 7;
constexpr int kHeight = 5;
constexpr std::size_t kStride = kWidth * 4 + 8;  // padded rows, as an image with aligned lines has

// Opaque gradients, fully transparent pixels and a half-transparent column.
std::uint8_t Alpha(int x, int y)
{
    return x == 3 ? 128 : (x + y) % 4 == 0 ? 0 : 255;
}

std::vector<std::uint8_t> Picture()
{
    std::vector<std::uint8_t> bytes(kStride * kHeight, 0xEE);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = bytes.data() + y * kStride + x * 4;
            p[0] = static_cast<std::uint8_t>(30 * x);
            p[1] = static_cast<std::uint8_t>(50 * y);
            p[2] = static_cast<std::uint8_t>(255 - 20 * x - 10 * y);
            p[3] = Alpha(x, y);
        }
    return bytes;
}

TEST_P(PngEncoding, DecodesToTheSamePixels)
{
    const std::vector<std::uint8_t> source = Picture();
    const std::string png = EncodePng({kWidth, kHeight, kStride, source}, GetParam().encoding);
    ASSERT_FALSE(png.empty());
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    EXPECT_EQ(png[25], 6) << "RGBA";
    const TGPBitmap decoded(std::span(reinterpret_cast<const std::uint8_t*>(png.data()), png.size()));
    ASSERT_EQ(decoded.GetLastStatus(), Ok);
    ASSERT_EQ(decoded.GetWidth(), static_cast<unsigned>(kWidth));
    ASSERT_EQ(decoded.GetHeight(), static_cast<unsigned>(kHeight));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            ARGB pixel = 0;
            ASSERT_EQ(decoded.GetPixel(x, y, pixel), Ok);
            const std::uint8_t* p = source.data() + y * kStride + x * 4;
            ASSERT_EQ(pixel >> 24, p[3]) << x << "," << y;
            if (p[3] == 255) {
                EXPECT_EQ(pixel & 0xFFFFFF, static_cast<ARGB>(p[0] << 16 | p[1] << 8 | p[2])) << x << "," << y;
            } else if (p[3] == 128) {
                EXPECT_NEAR(static_cast<int>(pixel >> 16 & 0xFF), p[0], 2) << "red kept at full strength";
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, PngEncoding,
    testing::Values(EncodingCase{"default", {}},
                    EncodingCase{"libdeflateFastestNone", {TPngDeflater::Libdeflate, 1, TPngRowFilter::None}},
                    EncodingCase{"libdeflateSub", {TPngDeflater::Libdeflate, 6, TPngRowFilter::Sub}},
                    EncodingCase{"libdeflatePaeth", {TPngDeflater::Libdeflate, 12, TPngRowFilter::Paeth}},
                    EncodingCase{"zlibAdaptive", {TPngDeflater::Zlib, 6, TPngRowFilter::Adaptive}},
                    EncodingCase{"zlibStored", {TPngDeflater::Zlib, 0, TPngRowFilter::Up}},
                    EncodingCase{"spng", {TPngDeflater::Spng, 6, TPngRowFilter::Adaptive}},
                    EncodingCase{"qtWriter", {TPngDeflater::QtWriter, 0, TPngRowFilter::None}}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return std::string(info.param.name); });

TEST(PngEncoder, RefusesPixelsThatDoNotMatchTheirSize)
{
    const std::vector<std::uint8_t> bytes(4 * 4 * 4 - 1);
    EXPECT_TRUE(EncodePng({4, 4, 16, bytes}).empty());
    EXPECT_TRUE(EncodePng({4, 4, 12, std::vector<std::uint8_t>(64)}).empty()) << "stride shorter than a row";
    EXPECT_TRUE(EncodePng({0, 4, 0, {}}).empty());
}

}  // namespace
}  // namespace plumwick
