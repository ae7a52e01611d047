// Painting: what paints where, in which order and with which alpha; pens; the paint walk's rules.

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "TestElements.h"

namespace plumwick::testing {
namespace {

constexpr ARGB OpaqueRed = 0xFFFF0000, OpaqueBlue = 0xFF0000FF, Transparent = 0;

struct TPixelCase {
    const char* Name;
    const char* Svg;
    int X, Y;
    ARGB Expected;
    ARGB Mask = 0xFFFFFFFF;  // translucent pixels are compared by their alpha
};

class Pixels : public ::testing::TestWithParam<TPixelCase> {};

TEST_P(Pixels, PaintAsExpected)
{
    const TPixelCase& C = GetParam();
    auto Svg = LoadTestDocument(C.Svg);
    auto Picture = Paint(*Svg, 20, 20);
    EXPECT_EQ(Picture->At(C.X, C.Y) & C.Mask, C.Expected & C.Mask)
        << std::hex << Picture->At(C.X, C.Y) << " for " << C.Svg;
}

const TPixelCase PixelCases[] = {
    {"fill", R"svg(<svg width="20" height="20"><box x="5" y="5" width="10" height="10" fill="red"/></svg>)svg", 10, 10,
     OpaqueRed},
    {"outside_is_untouched",
     R"svg(<svg width="20" height="20"><box x="5" y="5" width="10" height="10" fill="red"/></svg>)svg", 2, 2,
     Transparent},
    {"later_sibling_on_top",
     R"svg(<svg width="20" height="20"><box width="20" height="20" fill="red"/><box x="8" y="8" width="4" height="4" fill="blue"/></svg>)svg",
     10, 10, OpaqueBlue},
    {"stroke_only_leaves_inside_empty",
     R"svg(<svg width="20" height="20"><box x="4" y="4" width="12" height="12" fill="none" stroke="red" stroke-width="2"/></svg>)svg",
     10, 10, Transparent},
    {"stroke_only_paints_edge",
     R"svg(<svg width="20" height="20"><box x="4" y="4" width="12" height="12" fill="none" stroke="red" stroke-width="2"/></svg>)svg",
     4, 10, OpaqueRed},
    {"stroke_over_fill",
     R"svg(<svg width="20" height="20"><box x="4" y="4" width="12" height="12" fill="blue" stroke="red" stroke-width="4"/></svg>)svg",
     5, 10, OpaqueRed},
    {"half_opacity_alpha_128", R"svg(<svg width="20" height="20"><box width="20" height="20" opacity="0.5"/></svg>)svg",
     10, 10, 0x80000000, 0xFF000000},
    {"group_opacity_multiplies",
     R"svg(<svg width="20" height="20"><g opacity="0.5"><box width="20" height="20" fill-opacity="0.5" fill="red"/></g></svg>)svg",
     10, 10, 0x40FF0000, 0xFF000000},
    {"display_none_group_hides_children",
     R"svg(<svg width="20" height="20"><g display="none"><box width="20" height="20" display="inline"/></g></svg>)svg",
     10, 10, Transparent},
    // Visibility inherits but a child may show itself again, as browsers draw it.
    {"visible_child_of_hidden_group_paints",
     R"svg(<svg width="20" height="20"><g visibility="hidden"><box width="20" height="20" visibility="visible"/></g></svg>)svg",
     10, 10, 0xFF000000},
    {"hidden_group_hides_inheriting_child",
     R"svg(<svg width="20" height="20"><g visibility="hidden"><box width="20" height="20"/></g></svg>)svg", 10, 10,
     Transparent},
    {"inherit_under_visible_paints",
     R"svg(<svg width="20" height="20"><g visibility="visible"><box width="20" height="20" visibility="inherit" fill="red"/></g></svg>)svg",
     10, 10, OpaqueRed},
    {"inline_display_none_hides",
     R"svg(<svg width="20" height="20"><g style="display:none"><box width="20" height="20"/></g></svg>)svg", 10, 10,
     Transparent},
    {"sheet_display_none_hides",
     R"svg(<svg width="20" height="20"><style>box { display: none }</style><box width="20" height="20" fill="red"/></svg>)svg",
     10, 10, Transparent},
    {"sheet_display_none_hides_group_content",
     R"svg(<svg width="20" height="20"><style>g > * { display: none }</style><g><box width="20" height="20" fill="red"/></g></svg>)svg",
     10, 10, Transparent},
    {"inline_visibility_hides",
     R"svg(<svg width="20" height="20"><box width="20" height="20" fill="red" style="visibility:hidden"/></svg>)svg",
     10, 10, Transparent},
    {"sheet_visibility_hides",
     R"svg(<svg width="20" height="20"><style>.h { visibility: hidden }</style><box class="h" width="20" height="20" fill="red"/></svg>)svg",
     10, 10, Transparent},
    {"inline_display_beats_sheet",
     R"svg(<svg width="20" height="20"><style>box { display: none }</style><box width="20" height="20" fill="red" style="display:inline"/></svg>)svg",
     10, 10, OpaqueRed},
    {"missing_paint_server_no_fill",
     R"svg(<svg width="20" height="20"><box width="20" height="20" fill="url(#nothing)"/></svg>)svg", 10, 10,
     Transparent},
    {"paint_server_that_is_no_server",
     R"svg(<svg width="20" height="20"><box id="b" width="20" height="20" fill="url(#b)"/></svg>)svg", 10, 10,
     Transparent},
    {"group_transform_moves_child",
     R"svg(<svg width="20" height="20"><g transform="translate(10,10)"><box width="5" height="5" fill="red"/></g></svg>)svg",
     12, 12, OpaqueRed},
    {"group_transform_leaves_origin",
     R"svg(<svg width="20" height="20"><g transform="translate(10,10)"><box width="5" height="5" fill="red"/></g></svg>)svg",
     2, 2, Transparent},
    {"outline_icon_current_color_stroke",
     R"svg(<svg width="20" height="20" fill="none" stroke="currentColor" stroke-width="2"><box x="4" y="4" width="12" height="12"/></svg>)svg",
     4, 10, 0xFF000000},
    {"outline_icon_current_color_leaves_inside",
     R"svg(<svg width="20" height="20" fill="none" stroke="currentColor" stroke-width="2"><box x="4" y="4" width="12" height="12"/></svg>)svg",
     10, 10, Transparent},
    {"current_color_follows_color",
     R"svg(<svg width="20" height="20" color="blue"><box width="20" height="20" fill="currentColor"/></svg>)svg", 10,
     10, OpaqueBlue},
    {"view_box_fills_output_despite_size",
     R"svg(<svg width="200" height="200" viewBox="0 0 20 20"><box x="10" y="10" width="10" height="10" fill="red"/></svg>)svg",
     15, 15, OpaqueRed},
    {"view_box_fills_output_leaves_rest",
     R"svg(<svg width="200" height="200" viewBox="0 0 20 20"><box x="10" y="10" width="10" height="10" fill="red"/></svg>)svg",
     5, 5, Transparent},
    {"dash_in_user_units",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4 4"/></svg>)svg",
     4, 2, OpaqueRed},
    {"gap_in_user_units",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4 4"/></svg>)svg",
     8, 2, Transparent},
    {"second_dash_in_user_units",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4 4"/></svg>)svg",
     12, 2, OpaqueRed},
    // A negative offset is a value like any other: the pattern starts one unit into its gap.
    {"negative_dash_offset_moves_dashes",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4 4" stroke-dashoffset="-1"/></svg>)svg",
     6, 2, OpaqueRed},
    {"negative_dash_offset_inherits",
     R"svg(<svg width="20" height="20"><g stroke-dashoffset="-1"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4 4"/></g></svg>)svg",
     6, 2, OpaqueRed},
    {"dash_offset_in_px_units",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4px 4px" stroke-dashoffset="-1px"/></svg>)svg",
     6, 2, OpaqueRed},
    // Stroke lengths in em are of the font size; in percent, of the viewport's diagonal measure (20 here).
    {"stroke_width_in_percent",
     R"svg(<svg width="20" height="20"><box x="5" y="5" width="10" height="10" fill="none" stroke="red" stroke-width="20%"/></svg>)svg",
     8, 10, Transparent},
    {"stroke_width_in_percent_paints",
     R"svg(<svg width="20" height="20"><box x="5" y="5" width="10" height="10" fill="none" stroke="red" stroke-width="20%"/></svg>)svg",
     4, 10, OpaqueRed},
    {"stroke_width_in_em",
     R"svg(<svg width="20" height="20"><box x="5" y="5" width="10" height="10" fill="none" stroke="red" font-size="4" stroke-width="1em"/></svg>)svg",
     4, 10, OpaqueRed},
    // The em is of the font where the width is given; the width is inherited as that length.
    {"stroke_width_in_inherited_em",
     R"svg(<svg width="20" height="20"><g font-size="4" stroke-width="1em"><box x="6" y="6" width="8" height="8" fill="none" stroke="red" font-size="1"/></g></svg>)svg",
     4, 10, OpaqueRed},
    {"dash_in_em",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" font-size="2" stroke-dasharray="2em 2em"/></svg>)svg",
     12, 2, OpaqueRed},
    {"dash_in_percent",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="20% 20%"/></svg>)svg",
     14, 2, Transparent},
    {"dash_offset_in_percent",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4 4" stroke-dashoffset="-5%"/></svg>)svg",
     6, 2, OpaqueRed},
    {"dash_offset_moves_dashes_back",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="4 4" stroke-dashoffset="1"/></svg>)svg",
     5, 2, Transparent},
    // Opacities clamp to [0, 1]; a negative one hides the paint instead of falling back to the inherited value.
    {"negative_fill_opacity_hides_fill",
     R"svg(<svg width="20" height="20"><g fill-opacity="0.5"><box width="20" height="20" fill="red" fill-opacity="-1"/></g></svg>)svg",
     10, 10, Transparent},
    {"negative_stroke_opacity_hides_stroke",
     R"svg(<svg width="20" height="20"><box x="4" y="4" width="12" height="12" fill="none" stroke="red" stroke-width="2" stroke-opacity="-1"/></svg>)svg",
     4, 10, Transparent},
    {"fill_opacity_above_one_is_opaque",
     R"svg(<svg width="20" height="20"><box width="20" height="20" fill="red" fill-opacity="3"/></svg>)svg", 10, 10,
     OpaqueRed},
    {"zero_dash_list_strokes_solid",
     R"svg(<svg width="20" height="20"><box x="2" y="2" width="16" height="16" fill="none" stroke="red" stroke-width="2" stroke-dasharray="0"/></svg>)svg",
     8, 2, OpaqueRed},
    {"zero_width_stroke_paints_nothing",
     R"svg(<svg width="20" height="20"><box x="4" y="4" width="12" height="12" fill="none" stroke="red" stroke-width="0"/></svg>)svg",
     4, 4, Transparent},
    {"sheet_fill_rule_evenodd_leaves_hole",
     R"svg(<svg width="20" height="20"><style>.e { fill-rule: evenodd }</style><path class="e" d="M0 0H20V20H0z M5 5H15V15H5z" fill="red"/></svg>)svg",
     10, 10, Transparent},
    {"inherited_fill_rule_evenodd_leaves_hole",
     R"svg(<svg width="20" height="20" fill-rule="evenodd"><g><path d="M0 0H20V20H0z M5 5H15V15H5z" fill="red"/></g></svg>)svg",
     10, 10, Transparent},
    {"nonzero_fills_same_direction_squares",
     R"svg(<svg width="20" height="20"><path d="M0 0H20V20H0z M5 5H15V15H5z" fill="red"/></svg>)svg", 10, 10,
     OpaqueRed},
    {"sheet_nonzero_beats_inherited_evenodd",
     R"svg(<svg width="20" height="20" fill-rule="evenodd"><style>.n { fill-rule: nonzero }</style><path class="n" d="M0 0H20V20H0z M5 5H15V15H5z" fill="red"/></svg>)svg",
     10, 10, OpaqueRed},
    {"huge_view_box_stays_bounded",
     R"svg(<svg viewBox="0 0 1e30 1e30" width="20" height="20"><box width="1e30" height="1e30" fill="red"/></svg>)svg",
     10, 10, OpaqueRed},
};

INSTANTIATE_TEST_SUITE_P(Rows, Pixels, ::testing::ValuesIn(PixelCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TPenCase {
    const char* Name;
    const char* Attributes;
    float Width;
    LineJoin Join;
    LineCap Cap;
    float Miter;
    std::vector<float> Dashes;
    float DashOffset;
};

class Pens : public ::testing::TestWithParam<TPenCase> {};

TEST_P(Pens, AreSetUpFromTheResolvedStroke)
{
    const TPenCase& C = GetParam();
    auto Svg = LoadTestDocument(std::string(R"svg(<svg><box id="t" stroke="red" )svg") + C.Attributes + "/></svg>");
    auto* T = Find(*Svg, "t");
    auto Brush = T->GetStrokeBrush();
    ASSERT_NE(Brush, nullptr);
    auto Pen = T->GetStrokePen(Brush.get());
    ASSERT_NE(Pen, nullptr);
    EXPECT_EQ(Pen->GetWidth(), C.Width);
    EXPECT_EQ(Pen->GetLineJoin(), C.Join);
    EXPECT_EQ(Pen->GetStartCap(), C.Cap);
    EXPECT_EQ(Pen->GetEndCap(), C.Cap);
    EXPECT_EQ(Pen->GetMiterLimit(), C.Miter);
    if (C.Dashes.empty()) {
        EXPECT_EQ(Pen->GetDashStyle(), DashStyleSolid);
    } else {
        EXPECT_EQ(Pen->GetDashStyle(), DashStyleCustom);
        EXPECT_EQ(Pen->GetDashPattern(), C.Dashes);  // in pen widths: 4,2 user units at width 2 is 2 and 1
        EXPECT_EQ(Pen->GetDashOffset(), C.DashOffset);
    }
    EXPECT_EQ(Pen->GetLastStatus(), Ok);
}

const TPenCase PenCases[] = {
    {"defaults", "", 1, LineJoinMiterClipped, LineCapFlat, 4, {}, 0},
    {"width_join_cap",
     R"svg(stroke-width="2" stroke-linejoin="round" stroke-linecap="round")svg",
     2,
     LineJoinRound,
     LineCapRound,
     4,
     {},
     0},
    {"miter_limit",
     R"svg(stroke-miterlimit="10" stroke-linejoin="bevel")svg",
     1,
     LineJoinBevel,
     LineCapFlat,
     10,
     {},
     0},
    {"dashes_in_user_units",
     R"svg(stroke-width="2" stroke-dasharray="4,2" stroke-dashoffset="1")svg",
     2,
     LineJoinMiterClipped,
     LineCapFlat,
     4,
     {2, 1},
     0.5},
    {"negative_dash_offset",
     R"svg(stroke-width="2" stroke-dasharray="4,2" stroke-dashoffset="-1")svg",
     2,
     LineJoinMiterClipped,
     LineCapFlat,
     4,
     {2, 1},
     -0.5},
    {"zero_dashes_stay_solid", R"svg(stroke-dasharray="0 0")svg", 1, LineJoinMiterClipped, LineCapFlat, 4, {}, 0},
    {"negative_dash_stays_solid", R"svg(stroke-dasharray="4 -2")svg", 1, LineJoinMiterClipped, LineCapFlat, 4, {}, 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, Pens, ::testing::ValuesIn(PenCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Brushes, SolidColourWithRoundedAlpha)
{
    auto Svg =
        LoadTestDocument(R"svg(<svg><box id="t" fill-opacity="0.5"/><box id="n" fill="none" stroke="none"/></svg>)svg");
    auto Fill = Find(*Svg, "t")->GetFillBrush();
    auto* Solid = dynamic_cast<TGPSolidBrush*>(Fill.get());
    ASSERT_NE(Solid, nullptr);
    EXPECT_EQ(Solid->GetColor(), 0x80000000u);
    EXPECT_EQ(Find(*Svg, "n")->GetFillBrush(), nullptr);
    EXPECT_EQ(Find(*Svg, "n")->GetStrokeBrush(), nullptr);
    EXPECT_EQ(Find(*Svg, "n")->GetStrokePen(nullptr), nullptr);
}

TEST(Brushes, StrokesWithoutWidthHaveNoPen)
{
    for (const char* Width : {"0", "-3", "0px", "nonsense"}) {
        auto Svg = LoadTestDocument(std::string(R"svg(<svg><box id="t" stroke="red" stroke-width=")svg") + Width +
                                    "\"/></svg>");
        auto* T = Find(*Svg, "t");
        auto Brush = T->GetStrokeBrush();
        ASSERT_NE(Brush, nullptr);
        EXPECT_EQ(T->GetStrokePen(Brush.get()), nullptr) << Width;
    }
}

TEST(Brushes, OpacityToAlphaRoundsHalvesToEvenAndClamps)
{
    EXPECT_EQ(OpacityToAlpha(1), 255);
    EXPECT_EQ(OpacityToAlpha(0.5f), 128);
    EXPECT_EQ(OpacityToAlpha(0), 0);
    EXPECT_EQ(OpacityToAlpha(2), 255);
    EXPECT_EQ(OpacityToAlpha(-1), 0);
    EXPECT_EQ(OpacityToAlpha(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(PaintWalk, SurfaceIsLeftAsFoundAndEachElementResetsIt)
{
    auto Svg = LoadTestDocument(
        R"svg(<svg width="10" height="10"><box width="10" height="10" fill="red" transform="scale(0.5)"/></svg>)svg");
    TPicture Picture(40, 40);
    TGPGraphics Graphics(&Picture.Bitmap);
    TGPMatrix Shift(1, 0, 0, 1, 20, 20);
    EXPECT_EQ(Graphics.SetTransform(&Shift), Ok);
    Svg->PaintTo(Graphics, TGPRectF{0, 0, 20, 20});
    EXPECT_EQ(Graphics.Flush(), Ok);
    TGPMatrix After;
    EXPECT_EQ(Graphics.GetTransform(&After), Ok);
    EXPECT_TRUE(After.Equals(Shift));
    // The surface's own transform applies last: scale 2, then scale 0.5, then the shift.
    EXPECT_EQ(Picture.At(25, 25), OpaqueRed);
    EXPECT_EQ(Picture.At(35, 35), Transparent);
    EXPECT_EQ(Picture.At(5, 5), Transparent);
    EXPECT_FALSE(Graphics.IsClipEmpty());
}

TEST(PaintWalk, UpdateRectanglesSelectElementsButChildrenAreStillVisited)
{
    auto Svg = LoadTestDocument(R"svg(<svg width="20" height="20">
        <box id="far" x="0" y="0" width="4" height="4" fill="red"/>
        <g><box id="near" x="10" y="10" width="4" height="4" fill="blue"/></g>
      </svg>)svg");
    const TRect Update[] = {{8, 8, 20, 20}};
    auto Picture = Paint(*Svg, 20, 20, Update);
    EXPECT_EQ(Picture->At(2, 2), Transparent);
    EXPECT_EQ(Picture->At(12, 12), OpaqueBlue);
    auto All = Paint(*Svg, 20, 20);
    EXPECT_EQ(All->At(2, 2), OpaqueRed);
}

struct TOverlapCase {
    const char* Name;
    TBounds Bounds;
    TRect Rect;
    bool Expected;
};

class Overlap : public ::testing::TestWithParam<TOverlapCase> {};

TEST_P(Overlap, IsAnAreaTest)
{
    EXPECT_EQ(BoundsIntersectRect(GetParam().Bounds, GetParam().Rect), GetParam().Expected);
}

TBounds Box(float L, float T, float R, float B)
{
    return TBounds{{L, T}, {R, T}, {L, B}, {R, B}};
}

const TOverlapCase OverlapCases[] = {
    {"inside", Box(2, 2, 4, 4), {0, 0, 10, 10}, true},
    {"covering", Box(-5, -5, 50, 50), {0, 0, 10, 10}, true},
    {"touching_right_edge", Box(10, 0, 20, 10), {0, 0, 10, 10}, false},
    {"one_unit_in", Box(9, 0, 20, 10), {0, 0, 10, 10}, true},
    {"apart", Box(30, 30, 40, 40), {0, 0, 10, 10}, false},
    {"rounded_to_touch", Box(10.4f, 0, 20, 10), {0, 0, 10, 10}, false},
    {"half_rounds_to_even", Box(8.5f, 0, 20, 10), {0, 0, 9, 10}, true},
    {"flat_bounds", Box(2, 5, 8, 5), {0, 0, 10, 10}, false},
    {"empty_rectangle", Box(0, 0, 10, 10), {5, 5, 5, 8}, false},
    {"rotated_diamond_misses_corner", TBounds{{5, 0}, {10, 5}, {0, 5}, {5, 10}}, {0, 0, 2, 2}, false},
    {"rotated_diamond_meets_centre", TBounds{{5, 0}, {10, 5}, {0, 5}, {5, 10}}, {4, 4, 6, 6}, true},
    {"not_a_number", Box(std::numeric_limits<float>::quiet_NaN(), 0, 5, 5), {0, 0, 10, 10}, false},
};

INSTANTIATE_TEST_SUITE_P(Rows, Overlap, ::testing::ValuesIn(OverlapCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PaintWalk, IsPaintableRules)
{
    auto Svg = LoadTestDocument(R"svg(<svg visibility="hidden">
        <box id="shown"/>
        <g display="none" id="g"><box id="under" display="inherit"/><box id="under_own" display="inline"/></g>
        <box id="inline_none" style="display:none"/>
        <box id="hidden" visibility="hidden"/>
        <box id="odd" visibility="visible" display="block"/>
      </svg>)svg");
    EXPECT_TRUE(IsPaintable(*Svg));  // the document is visible whatever its attribute says
    EXPECT_TRUE(IsPaintable(*Svg->FindByID("shown")));
    EXPECT_FALSE(IsPaintable(*Svg->FindByID("g")));
    EXPECT_FALSE(IsPaintable(*Svg->FindByID("under")));
    EXPECT_TRUE(IsPaintable(*Svg->FindByID("under_own")));  // the walk skips it with its group
    EXPECT_FALSE(IsPaintable(*Svg->FindByID("inline_none")));
    EXPECT_FALSE(IsPaintable(*Svg->FindByID("hidden")));
    EXPECT_TRUE(IsPaintable(*Svg->FindByID("odd")));
    // A display declaration among the document's own declarations still hides it.
    EXPECT_FALSE(IsPaintable(*LoadTestDocument(R"svg(<svg display="none"/>)svg")));
}

}  // namespace
}  // namespace plumwick::testing
