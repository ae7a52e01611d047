// The 32-bit BMP layout with its alpha mask, checked byte by byte.
#include "app/BitmapFile.h"
#include "tests/app/render/LittleEndianBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace plumwick {
namespace {

using test::Long;
using test::Word;

struct Field {
    const char* name;
    std::size_t at;
    int bytes;
    std::uint32_t value;
};

class BitmapHeader : public testing::TestWithParam<Field> {};

// A 3 x 2 picture: 24 bytes of pixels after 14 + 124 bytes of headers.
TEST_P(BitmapHeader, HoldsTheField)
{
    const std::vector<std::uint8_t> pixels(3 * 2 * 4, 0x11);
    const std::string bmp = BuildBitmapFile(3, 2, pixels);
    ASSERT_EQ(bmp.size(), 14u + 124u + 24u);
    const Field& field = GetParam();
    const std::uint32_t value = field.bytes == 4 ? Long(bmp, field.at) : Word(bmp, field.at);
    EXPECT_EQ(value, field.value);
}

INSTANTIATE_TEST_SUITE_P(Fields, BitmapHeader,
                         testing::Values(Field{"magic", 0, 2, 0x4D42}, Field{"fileSize", 2, 4, 162},
                                         Field{"pixelOffset", 10, 4, 138}, Field{"headerSize", 14, 4, 124},
                                         Field{"width", 18, 4, 3}, Field{"heightPositiveBottomUp", 22, 4, 2},
                                         Field{"planes", 26, 2, 1}, Field{"bitsPerPixel", 28, 2, 32},
                                         Field{"bitFields", 30, 4, 3}, Field{"imageSize", 34, 4, 24},
                                         Field{"redMask", 54, 4, 0x00FF0000}, Field{"greenMask", 58, 4, 0x0000FF00},
                                         Field{"blueMask", 62, 4, 0x000000FF}, Field{"alphaMask", 66, 4, 0xFF000000},
                                         Field{"colourSpaceSrgb", 70, 4, 0x73524742}, Field{"intent", 122, 4, 4}),
                         [](const testing::TestParamInfo<Field>& info) { return std::string(info.param.name); });

TEST(BitmapFile, RowsRunBottomUpWithStraightAlpha)
{
    // 1 x 2: top pixel half-transparent red, bottom pixel opaque blue (straight BGRA).
    const std::vector<std::uint8_t> pixels = {0, 0, 255, 128, 255, 0, 0, 255};
    const std::string bmp = BuildBitmapFile(1, 2, pixels);
    const std::string rows = bmp.substr(138);
    EXPECT_EQ(rows, std::string({'\xFF', 0, 0, '\xFF', 0, 0, '\xFF', '\x80'}));
}

TEST(BitmapFile, RejectsMismatchedInput)
{
    const std::vector<std::uint8_t> pixels(4 * 4 * 4 - 1);
    EXPECT_THROW(BuildBitmapFile(4, 4, pixels), std::invalid_argument);
    EXPECT_THROW(BuildBitmapFile(0, 4, {}), std::invalid_argument);
}

}  // namespace
}  // namespace plumwick
