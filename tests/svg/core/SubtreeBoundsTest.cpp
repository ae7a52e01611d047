// Bounding boxes of subtrees: each row is the content of a group, measured directly and through a filter
// whose region is exactly the group's box (a flood shows where the box lies).

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "svg/core/SVGBounds.h"
#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

struct TBoxCase {
    const char* Name;
    const char* Content;          // inside <g id="t">
    std::optional<TGPRectF> Box;  // in the group's user space
};

std::string Group(const TBoxCase& Case, std::string_view Attributes = {})
{
    return R"(<g id="t" )" + std::string(Attributes) + ">" + Case.Content + "</g>";
}

class SubtreeBounds : public ::testing::TestWithParam<TBoxCase> {};

TEST_P(SubtreeBounds, AreMeasured)
{
    const TBoxCase& Case = GetParam();
    TSVG Svg;
    Svg.LoadFromText(Document(100, 100, Group(Case)));
    const TSVGObject* Group = Svg.FindByID("t");
    ASSERT_NE(Group, nullptr);
    const auto Box = SubtreeBoundingBox(*Group);
    ASSERT_EQ(Box.has_value(), Case.Box.has_value());
    if (!Box) return;
    EXPECT_NEAR(Box->X, Case.Box->X, 0.01);
    EXPECT_NEAR(Box->Y, Case.Box->Y, 0.01);
    EXPECT_NEAR(Box->Width, Case.Box->Width, 0.01);
    EXPECT_NEAR(Box->Height, Case.Box->Height, 0.01);
}

TEST_P(SubtreeBounds, SizeAFilterRegion)
{
    const TBoxCase& Case = GetParam();
    const TRender R = RenderContent(
        R"svg(<filter id="f" x="0" y="0" width="1" height="1"><feFlood flood-color="lime"/></filter>)svg" +
            Group(Case, R"svg(filter="url(#f)")svg"),
        100, 100);
    if (!Case.Box) {
        EXPECT_EQ(R.Area(), 0) << "a group without a box is not drawn through its filter";
        return;
    }
    const TGPRectF& B = *Case.Box;
    const int L = static_cast<int>(std::ceil(B.X + 1)), T = static_cast<int>(std::ceil(B.Y + 1));
    const int Right = static_cast<int>(std::floor(B.X + B.Width - 1));
    const int Bottom = static_cast<int>(std::floor(B.Y + B.Height - 1));
    const int MidX = (L + Right) / 2, MidY = (T + Bottom) / 2;
    ExpectProbes(R, {{L, MidY, Lime},
                     {Right, MidY, Lime},
                     {MidX, T, Lime},
                     {MidX, Bottom, Lime},
                     {static_cast<int>(std::floor(B.X - 2)), MidY, Transparent},
                     {static_cast<int>(std::ceil(B.X + B.Width + 1)), MidY, Transparent},
                     {MidX, static_cast<int>(std::floor(B.Y - 2)), Transparent},
                     {MidX, static_cast<int>(std::ceil(B.Y + B.Height + 1)), Transparent}});
}

const TBoxCase BoxCases[] = {
    {"child_through_its_transform", R"svg(<rect x="10" y="10" width="20" height="10" transform="translate(5 5)"/>)svg",
     TGPRectF{15, 15, 20, 10}},
    {"turned_child_by_its_box_turned",  // a diamond turned 45° about its centre: its 40 × 40 box turned
     R"svg(<path d="M50 30L70 50L50 70L30 50Z" transform="rotate(45 50 50)"/>)svg",
     TGPRectF{21.716f, 21.716f, 56.569f, 56.569f}},
    {"nested_groups_compose",
     R"svg(<g transform="translate(10 0)"><g transform="scale(2)"><circle cx="10" cy="10" r="5"/></g></g>)svg",
     TGPRectF{20, 10, 20, 20}},
    {"nested_svg_through_its_viewport",  // view box 0 0 10 10 on 40 × 40 at (20, 30): scale 4
     R"svg(<svg x="20" y="30" width="40" height="40" viewBox="0 0 10 10"><rect x="1" y="1" width="5" height="5"/></svg>)svg",
     TGPRectF{24, 34, 20, 20}},
    {"use_at_its_position_not_its_definition",
     R"svg(<defs><rect id="r" x="1" y="2" width="30" height="20"/></defs><use href="#r" x="20" y="40"/>)svg",
     TGPRectF{21, 42, 30, 20}},
    {"undisplayed_child_left_out_hidden_child_counted",
     R"svg(<rect x="10" y="10" width="10" height="10"/><rect x="0" y="0" width="90" height="90" display="none"/>)svg"
     R"svg(<rect x="60" y="60" width="20" height="20" visibility="hidden"/>)svg",
     TGPRectF{10, 10, 70, 70}},
    {"line_extends_the_box",
     R"svg(<rect x="20" y="20" width="10" height="10"/><line x1="10" y1="70" x2="80" y2="70" stroke="black"/>)svg",
     TGPRectF{10, 20, 70, 50}},
    {"empty_group", "", std::nullopt},
    {"group_of_empty_groups", "<g/><g><g/></g>", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Rows, SubtreeBounds, ::testing::ValuesIn(BoxCases), CaseName{});

TEST(SubtreeBoundsOfText, LieAroundTheGlyphs)
{
    TSVG Svg;
    Svg.LoadFromText(Document(200, 100, R"svg(<g id="t"><text x="20" y="60" font-size="40">HH</text></g>)svg"));
    const TSVGObject* Group = Svg.FindByID("t");
    ASSERT_NE(Group, nullptr);
    const auto Box = SubtreeBoundingBox(*Group);
    ASSERT_TRUE(Box.has_value());
    EXPECT_GE(Box->X, 19);
    EXPECT_LT(Box->X, 30);
    EXPECT_GT(Box->Y, 20);  // the caps stand below y = 60 − 40
    EXPECT_LT(Box->Y, 40);
    EXPECT_GT(Box->Width, 40);  // two capitals of a 40px font
    EXPECT_LT(Box->Width, 100);
    EXPECT_NEAR(Box->Y + Box->Height, 60, 12);  // the baseline, give or take the descent
}

}  // namespace
}  // namespace plumwick
