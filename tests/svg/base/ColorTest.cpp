// Colour texts to $00BBGGRR values, grey conversion and ARGB reordering.

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "svg/base/SVGColor.h"

namespace plumwick {
namespace {

struct ColorCase {
    const char* Text;
    TColor Color;
};

class ParseColorTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ParseColorTest, Value)
{
    EXPECT_EQ(ParseColor(GetParam().Text), GetParam().Color) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, ParseColorTest,
    ::testing::Values(ColorCase{"none", -2}, ColorCase{"black", 0}, ColorCase{"white", 0x00FFFFFF},
                      ColorCase{"gray", 0x00808080}, ColorCase{"grey", 0x00808080}, ColorCase{"red", 0x000000FF},
                      ColorCase{"aliceblue", 0x00FFF8F0}, ColorCase{"yellowgreen", 0x0032CD9A},
                      ColorCase{"snow", 0x00FAFAFF}, ColorCase{"lightgrey", 0x00D3D3D3},
                      ColorCase{"slategrey", 0x00908070}, ColorCase{"Red", 0x000000FF}, ColorCase{" red", 0x000000FF},
                      ColorCase{"red ", 0x000000FF}, ColorCase{"YellowGreen", 0x0032CD9A}, ColorCase{"inherit", -1},
                      ColorCase{"currentColor", -1}, ColorCase{"url(#g1)", -1}, ColorCase{"", -1},
                      ColorCase{"transparent", TColor(0xFF000000)}, ColorCase{"TRANSPARENT", TColor(0xFF000000)}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, ParseColorTest,
    ::testing::Values(ColorCase{"#f00", 0x000000FF}, ColorCase{"#ff0000", 0x000000FF}, ColorCase{"#FFF", 0x00FFFFFF},
                      ColorCase{"#0f0", 0x0000FF00}, ColorCase{"#00ff00", 0x0000FF00},
                      ColorCase{"#12345678", TColor(0x87563412)}, ColorCase{"#", -1}, ColorCase{"abc", 0x00CCBBAA},
                      ColorCase{"#abcd", TColor(0x22CCBBAA)}, ColorCase{"#12345", -1}, ColorCase{"123456", 123456},
                      ColorCase{"255", 255}, ColorCase{"16777215", 0x00FFFFFF}, ColorCase{"-2", -2},
                      ColorCase{"$FF", 255}, ColorCase{"0x10", 16}, ColorCase{" 255", 255}, ColorCase{"255 ", 255},
                      ColorCase{"2147483648", -1}, ColorCase{"-2147483648", INT32_MIN}, ColorCase{"$", -1},
                      ColorCase{"-", -1}, ColorCase{"$FFFFFFFF", -1}, ColorCase{"$1FFFFFFFF", -1},
                      ColorCase{"#ggg", -1}));

INSTANTIATE_TEST_SUITE_P(
    Rgb, ParseColorTest,
    ::testing::Values(ColorCase{"rgb(255,0,0)", 0x000000FF}, ColorCase{"rgb( 0, 128, 255 )", 0x00FF8000},
                      ColorCase{"rgb(100%,50%,0%)", 0x000080FF}, ColorCase{"rgb(300,0,0)", 0x000000FF},
                      ColorCase{"rgb(255 ,0,0)", 0x000000FF}, ColorCase{"rgb(-1,0,0)", 0}, ColorCase{"rgb(1.5,0,0)", 2},
                      ColorCase{"rgb(ff,0,0)", 0x000000FF}, ColorCase{"rgb(0,0,0,1)", 0}, ColorCase{"rgba(0,0,0,1)", 0},
                      ColorCase{"RGB(0,0,0)", 0}, ColorCase{"rgb (0,0,0)", -1}, ColorCase{"rgb(,,)", 0},
                      ColorCase{"rgb(0,0,0", -1}, ColorCase{"rgb(1,2,99999999999)", 0x00FF0201},
                      ColorCase{"rgb(0%,0%,200%)", 0x00FF0000}, ColorCase{"rgb(0,0,200%)", -1}));

// The CSS Color 4 forms; alpha is kept in the top byte as 255 - alpha.
INSTANTIATE_TEST_SUITE_P(
    Css, ParseColorTest,
    ::testing::Values(
        ColorCase{"rgba(255,0,0,0.5)", TColor(0x7F0000FF)}, ColorCase{"rgba(255,0,0,50%)", TColor(0x7F0000FF)},
        ColorCase{"rgb(255 0 0 / 0.5)", TColor(0x7F0000FF)}, ColorCase{"rgb(255 0 0 / 25%)", TColor(0xBF0000FF)},
        ColorCase{"rgb(100% 0% 0%)", 0x000000FF}, ColorCase{"rgb(127.6, 0, 0)", 0x00000080},
        ColorCase{"rgba(0, 50%, 0, 0.5)", -1}, ColorCase{"rgb(0 0 0 /)", -1}, ColorCase{"rgb(0 0)", -1},
        ColorCase{"hsl(120, 100%, 25%)", 0x00008000}, ColorCase{"HSL(0deg 100% 50%)", 0x000000FF},
        ColorCase{"hsla(240, 100%, 50%, 0.5)", TColor(0x7FFF0000)}, ColorCase{"hsl(0.5turn 100% 50%)", 0x00FFFF00},
        ColorCase{"hsl(-120, 100%, 50%)", 0x00FF0000}, ColorCase{"hsl(120, 100%)", -1},
        ColorCase{"#f008", TColor(0x770000FF)}, ColorCase{"#ff000080", TColor(0x7F0000FF)},
        ColorCase{"#ffffff00", TColor(0xFFFFFFFD)}, ColorCase{"rgba(255,255,255,0)", TColor(0xFFFFFFFD)}));

TEST(ColorAlpha, RoundTrips)
{
    EXPECT_EQ(ColorAlpha(0x000000FF), 255);
    EXPECT_EQ(ColorAlpha(ColorWithAlpha(0x000000FF, 128)), 128);
    EXPECT_EQ(ColorAlpha(ColorWithAlpha(0xFFFFFF, 0)), 0);
    EXPECT_TRUE(IsColorValue(ColorWithAlpha(0xFFFFFF, 0)));
    EXPECT_FALSE(IsColorValue(SVG_INHERIT_COLOR));
    EXPECT_FALSE(IsColorValue(SVG_NONE_COLOR));
}

TEST(ParseColorComponent, Percentages)
{
    struct {
        const char* Text;
        int Value;
    } cases[] = {{"10%", 26}, {"30%", 76}, {"50%", 128}, {"70%", 178}, {"90%", 230}, {"100%", 255},     {"%", 0},
                 {"", 0},     {"ff", 255}, {"256", 255}, {"+1", -1},   {"1 ", -1},   {"ffffffffff", -1}};
    for (const auto& c : cases) EXPECT_EQ(ParseColorComponent(c.Text), c.Value) << c.Text;
}

TEST(HexToColorText, Pairs)
{
    EXPECT_EQ(HexToColorText("#112233"), "$332211");
    EXPECT_EQ(HexToColorText("#abc"), "$CCBBAA");
    EXPECT_EQ(HexToColorText("abcd"), "$cdab");
    EXPECT_EQ(HexToColorText("abcde"), "$ecdab");
    EXPECT_EQ(HexToColorText("#"), "$");
}

TEST(GrayscaleColor, Luminance)
{
    struct {
        TColor In, Out;
    } cases[] = {{0x000000FF, 0x004C4C4C}, {0x0000FF00, 0x00969696}, {0x00FF0000, 0x001D1D1D}, {-2, -2}, {-1, -1},
                 {0x7F000000, 0x7F000000}};
    for (const auto& c : cases) EXPECT_EQ(GrayscaleColor(c.In), c.Out) << std::hex << c.In;
}

TEST(ColorToARGB, Reorders)
{
    EXPECT_EQ(ColorToARGB(0x000000FF, 128), 0x80FF0000u);
    EXPECT_EQ(ColorToARGB(0x00FF8000, 255), 0xFF0080FFu);
    EXPECT_EQ(ColorToARGB(0x7F112233, 0), 0x00332211u);  // top byte ignored
}

TEST(NamedColors, UniqueAndReadableFromThreads)
{
    std::set<std::string_view> names;
    for (int i = 0; i < NamedColorCount(); ++i) EXPECT_TRUE(names.insert(NamedColor(i).Name).second);
    EXPECT_EQ(NamedColor(0).Name, "none");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int k = 0; k < 2000; ++k)
                if (ParseColor("yellowgreen") != 0x0032CD9A || ParseColor("none") != -2) ++wrong;
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace plumwick
