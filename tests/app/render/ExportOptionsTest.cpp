// The look options (fixed colour, greyscale, background, fit) probed on pixels, and the option texts.
#include "app/CollectionId.h"
#include "app/ExportOptions.h"
#include "app/RasterExport.h"
#include "app/SizeOption.h"

#include "platform/GdiPlusImage.h"
#include "svg/core/SVGDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace plumwick {
namespace {

// A wide icon: a 2:1 view box, red on the left half and a green stroke across it.
constexpr const char* kWide =
    R"(<svg viewBox="0 0 40 20" xmlns="http://www.w3.org/2000/svg"><rect width="20" height="20" fill="#f00"/>)"
    R"(<path d="M0 10H40" stroke="#0f0" stroke-width="4"/></svg>)";

struct LookCase {
    const char* name;
    TLookOptions look;
    int x, y;
    std::uint32_t expected;  // ARGB
};

class LookOptions : public testing::TestWithParam<LookCase> {};

TEST_P(LookOptions, ShowOnThePixels)
{
    const LookCase& c = GetParam();
    TSVG document;
    c.look.PrepareDocument(document);
    document.LoadFromText(kWide);
    const auto bitmap = RenderDocument(document, 40, 40, c.look.Export());
    ASSERT_TRUE(bitmap);
    ARGB pixel = 0;
    ASSERT_EQ(bitmap->GetPixel(c.x, c.y, pixel), Ok);
    EXPECT_EQ(pixel, c.expected) << std::hex << pixel;
}

TLookOptions Look(std::string color, bool grey, std::string background, bool fit)
{
    return TLookOptions{std::move(color), grey, std::move(background), fit};
}

INSTANTIATE_TEST_SUITE_P(
    Options, LookOptions,
    testing::Values(LookCase{"plainStretchesOverTheWholeHeight", Look("", false, "", false), 5, 2, 0xFFFF0000},
                    LookCase{"plainRightHalfIsTransparent", Look("", false, "", false), 30, 2, 0x00000000},
                    LookCase{"colorRecolorsFills", Look("#0000ff", false, "", false), 5, 2, 0xFF0000FF},
                    LookCase{"colorRecolorsStrokes", Look("blue", false, "", false), 30, 20, 0xFF0000FF},
                    LookCase{"grayscale", Look("", true, "", false), 5, 2, 0xFF4C4C4C},
                    LookCase{"backgroundUnderTransparency", Look("", false, "#ffff00", false), 30, 2, 0xFFFFFF00},
                    LookCase{"backgroundStaysUnderTheIcon", Look("", false, "#ffff00", false), 5, 2, 0xFFFF0000},
                    LookCase{"fitPadsAbove", Look("", false, "", true), 5, 5, 0x00000000},
                    LookCase{"fitPadsBelow", Look("", false, "", true), 5, 34, 0x00000000},
                    LookCase{"fitKeepsTheIconInTheMiddle", Look("", false, "", true), 5, 12, 0xFFFF0000},
                    LookCase{"fitPaddingTakesTheBackground", Look("", false, "white", true), 5, 5, 0xFFFFFFFF}),
    [](const testing::TestParamInfo<LookCase>& info) { return std::string(info.param.name); });

TEST(LookOptions, ColourTexts)
{
    EXPECT_EQ(ParseColorOption("red"), 0xFFFF0000u);
    EXPECT_EQ(ParseColorOption("#0a0"), 0xFF00AA00u);
    EXPECT_EQ(ParseColorOption("rgb(1,2,3)"), 0xFF010203u);
    EXPECT_FALSE(ParseColorOption("none"));
    EXPECT_FALSE(ParseColorOption("reddish"));
    EXPECT_FALSE(ParseColorOption(""));
}

struct IdCase {
    const char* name;
    const char* text;
    const char* id;
};

class CollectionId : public testing::TestWithParam<IdCase> {};

TEST_P(CollectionId, ComesFromThePageAddress)
{
    EXPECT_EQ(CollectionIdFromText(GetParam().text), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CollectionId,
    testing::Values(IdCase{"typed", "40521", "40521"}, IdCase{"typedAsIs", " 40521 ", " 40521 "},
                    IdCase{"cid", "https://www.iconfont.cn/collections/detail?spm=a313x.7781069&cid=40521", "40521"},
                    IdCase{"cidBeforeOthers", "https://www.iconfont.cn/collections/detail?cid=9&type=1", "9"},
                    IdCase{"id", "https://www.iconfont.cn/api/collection/detail.json?id=733", "733"},
                    IdCase{"cidWinsOverId", "https://x/?id=1&cid=2", "2"},
                    IdCase{"fragmentDropped", "https://x/detail?cid=77#top", "77"},
                    IdCase{"noIdKept", "https://www.iconfont.cn/collections/index?type=3",
                           "https://www.iconfont.cn/collections/index?type=3"},
                    IdCase{"lookalikeKeyIgnored", "https://x/?uid=5&cid=6", "6"}),
    [](const testing::TestParamInfo<IdCase>& info) { return std::string(info.param.name); });

struct SizesCase {
    const char* name;
    const char* text;
    std::vector<std::pair<int, int>> sizes;  // empty: refused
};

class IconSizesOption : public testing::TestWithParam<SizesCase> {};

TEST_P(IconSizesOption, ReadsTheList)
{
    const auto sizes = ParseIconSizes(GetParam().text);
    if (GetParam().sizes.empty()) {
        EXPECT_FALSE(sizes);
        return;
    }
    ASSERT_TRUE(sizes);
    std::vector<std::pair<int, int>> read;
    for (const TIconSize& size : *sizes) read.emplace_back(size.Width, size.Height);
    EXPECT_EQ(read, GetParam().sizes);
}

INSTANTIATE_TEST_SUITE_P(Lists, IconSizesOption,
                         testing::Values(SizesCase{"one", "16", {{16, 16}}},
                                         SizesCase{"several", "16,32,256", {{16, 16}, {32, 32}, {256, 256}}},
                                         SizesCase{"orderKept", "48,16", {{48, 48}, {16, 16}}},
                                         SizesCase{"rectangle", "40x20,400", {{40, 20}, {400, 400}}},
                                         SizesCase{"tooSmall", "8,16", {}}, SizesCase{"tooLarge", "16,512", {}},
                                         SizesCase{"repeated", "16,32,16", {}}, SizesCase{"empty", "", {}},
                                         SizesCase{"emptyItem", "16,,32", {}}, SizesCase{"word", "big", {}}),
                         [](const testing::TestParamInfo<SizesCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plumwick
