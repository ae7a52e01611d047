// The .ico layout, checked byte by byte.
#include "app/IconFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace plumwick {
namespace {

std::uint32_t Long(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint16_t Word(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

struct IconSize {
    int width;
    int height;
    int sizeByteX;
    int sizeByteY;
    std::uint32_t maskRow;
};

class IconLayout : public testing::TestWithParam<IconSize> {};

TEST_P(IconLayout, FollowsTheByteTable)
{
    const auto [w, h, byteX, byteY, maskRow] = GetParam();
    const std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4, 0x7F);
    const std::string ico = BuildIconFile(w, h, pixels);
    const std::uint32_t colour = static_cast<std::uint32_t>(w) * h * 4;
    const std::uint32_t mask = maskRow * static_cast<std::uint32_t>(h);

    EXPECT_EQ(Word(ico, 0), 0);
    EXPECT_EQ(Word(ico, 2), 1);
    EXPECT_EQ(Word(ico, 4), 1);
    EXPECT_EQ(static_cast<std::uint8_t>(ico[6]), byteX);
    EXPECT_EQ(static_cast<std::uint8_t>(ico[7]), byteY);
    EXPECT_EQ(Word(ico, 8), 32);
    EXPECT_EQ(Long(ico, 10), 0u);
    EXPECT_EQ(Long(ico, 14), 40 + colour + mask);
    EXPECT_EQ(Long(ico, 18), 22u);
    EXPECT_EQ(Long(ico, 22), 40u);
    EXPECT_EQ(Long(ico, 26), static_cast<std::uint32_t>(w));
    EXPECT_EQ(Long(ico, 30), static_cast<std::uint32_t>(2 * h));
    EXPECT_EQ(Word(ico, 34), 1);
    EXPECT_EQ(Word(ico, 36), 32);
    EXPECT_EQ(Long(ico, 38), 0u) << "uncompressed";
    ASSERT_EQ(ico.size(), 22 + 40 + colour + mask);
    for (std::size_t i = 22 + 40 + colour; i < ico.size(); ++i)
        ASSERT_EQ(ico[i], 0) << "mask bit set at byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, IconLayout,
                         testing::Values(IconSize{16, 16, 16, 16, 4}, IconSize{48, 24, 48, 24, 8},
                                         IconSize{33, 1, 33, 1, 8}, IconSize{256, 256, 0, 0, 32},
                                         IconSize{400, 400, 144, 144, 52}));

TEST(IconFile, ColourRowsAreStoredBottomUpAsGiven)
{
    // 2 x 2: top row red then green, bottom row blue then half-transparent white (straight BGRA).
    const std::vector<std::uint8_t> pixels = {0, 0, 255, 255, 0, 255, 0, 255,
                                              255, 0, 0, 255, 255, 255, 255, 128};
    const std::string ico = BuildIconFile(2, 2, pixels);
    const std::string colour = ico.substr(62, 16);
    const std::string expected = {'\xFF', 0, 0, '\xFF', '\xFF', '\xFF', '\xFF', '\x80',
                                  0, 0, '\xFF', '\xFF', 0, '\xFF', 0, '\xFF'};
    EXPECT_EQ(colour, expected);
}

TEST(IconFile, RejectsMismatchedInput)
{
    const std::vector<std::uint8_t> pixels(16 * 16 * 4 - 1);
    EXPECT_THROW(BuildIconFile(16, 16, pixels), std::invalid_argument);
    EXPECT_THROW(BuildIconFile(0, 16, {}), std::invalid_argument);
    EXPECT_THROW(BuildIconFile(-4, -4, pixels), std::invalid_argument);
}

}  // namespace
}  // namespace plumwick
