// Shapes: the geometry each element keeps, the outline it builds and the box it measures.

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "gdip/GDIPOBJ2.h"
#include "svg/shapes/SVGShapes.h"
#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using probe::Render;
using probe::RenderContent;

constexpr float Unset = -1;

struct TGeometryCase {
    const char* Name;
    const char* Element;  // one shape with id="s", placed in a 200 × 200 document
    float X, Y, Width, Height;
    float RX = Unset, RY = Unset;
    bool HasOutline = true;
    // Box of the outline's points (curves by their control points), when there is one.
    TGPRectF Outline{};
};

class Geometry : public ::testing::TestWithParam<TGeometryCase> {};

TEST_P(Geometry, IsKeptAndOutlined)
{
    const TGeometryCase& C = GetParam();
    const std::string Text = std::string(R"svg(<svg width="200" height="200">)svg") + C.Element + "</svg>";
    TSVG Svg;
    Svg.LoadFromText(Text);
    auto* S = dynamic_cast<TSVGBasic*>(Svg.FindByID("s"));
    ASSERT_NE(S, nullptr) << C.Element;
    EXPECT_FLOAT_EQ(S->GetX(), C.X);
    EXPECT_FLOAT_EQ(S->GetY(), C.Y);
    EXPECT_FLOAT_EQ(S->GetWidth(), C.Width);
    EXPECT_FLOAT_EQ(S->GetHeight(), C.Height);
    EXPECT_FLOAT_EQ(S->GetRX(), C.RX);
    EXPECT_FLOAT_EQ(S->GetRY(), C.RY);
    ASSERT_EQ(S->GetPath() != nullptr, C.HasOutline);
    if (!C.HasOutline) return;
    EXPECT_EQ(S->GetPath()->GetFillMode(), FillModeAlternate);
    TGPRectF B;
    ASSERT_EQ(S->GetPath()->GetBounds(B), Ok);
    EXPECT_NEAR(B.X, C.Outline.X, 1e-3);
    EXPECT_NEAR(B.Y, C.Outline.Y, 1e-3);
    EXPECT_NEAR(B.Width, C.Outline.Width, 1e-3);
    EXPECT_NEAR(B.Height, C.Outline.Height, 1e-3);
}

const TGeometryCase GeometryCases[] = {
    {"rect_plain",
     R"svg(<rect id="s" x="10" y="20" width="30" height="40"/>)svg",
     10,
     20,
     30,
     40,
     Unset,
     Unset,
     true,
     {10, 20, 30, 40}},
    {"rect_rx_beyond_half_limits_both",
     R"svg(<rect id="s" x="10" y="10" width="100" height="50" rx="80"/>)svg",
     10,
     10,
     100,
     50,
     50,
     25,
     true,
     {10, 10, 100, 50}},
    {"rect_ry_alone_gives_rx",
     R"svg(<rect id="s" width="40" height="40" ry="5"/>)svg",
     0,
     0,
     40,
     40,
     5,
     5,
     true,
     {0, 0, 40, 40}},
    {"rect_rx_alone_gives_ry",
     R"svg(<rect id="s" width="40" height="40" rx="6"/>)svg",
     0,
     0,
     40,
     40,
     6,
     6,
     true,
     {0, 0, 40, 40}},
    {"rect_both_radii_kept",
     R"svg(<rect id="s" width="40" height="40" rx="4" ry="8"/>)svg",
     0,
     0,
     40,
     40,
     4,
     8,
     true,
     {0, 0, 40, 40}},
    {"rect_zero_radii",
     R"svg(<rect id="s" width="40" height="40" rx="0" ry="0"/>)svg",
     0,
     0,
     40,
     40,
     0,
     0,
     true,
     {0, 0, 40, 40}},
    {"rect_units_in_px",
     R"svg(<rect id="s" x="2px" y="3px" width="4px" height="5px"/>)svg",
     2,
     3,
     4,
     5,
     Unset,
     Unset,
     true,
     {2, 3, 4, 5}},
    // Font-relative lengths follow the font size in force (inherited or own); an ex is half an em.
    {"rect_em_from_the_parent_font",
     R"svg(<g font-size="20"><rect id="s" x="1em" y="0.5em" width="2em" height="1ex"/></g>)svg",
     20,
     10,
     40,
     10,
     Unset,
     Unset,
     true,
     {20, 10, 40, 10}},
    {"rect_em_from_its_own_font",
     R"svg(<rect id="s" font-size="10" width="3em" height="2em" rx="0.5em"/>)svg",
     0,
     0,
     30,
     20,
     5,
     5,
     true,
     {0, 0, 30, 20}},
    {"rect_em_from_a_style_sheet_font",
     R"svg(<style>rect { font-size: 4px }</style><rect id="s" width="3em" height="2em"/>)svg",
     0,
     0,
     12,
     8,
     Unset,
     Unset,
     true,
     {0, 0, 12, 8}},
    {"rect_em_of_a_named_font_size",  // x-large is 24
     R"svg(<g font-size="x-large"><rect id="s" width="1em" height="2em"/></g>)svg",
     0,
     0,
     24,
     48,
     Unset,
     Unset,
     true,
     {0, 0, 24, 48}},
    {"rect_em_of_a_larger_font_size",  // 20 × 1.2
     R"svg(<g font-size="20"><g font-size="larger"><rect id="s" width="1em" height="10"/></g></g>)svg",
     0,
     0,
     24,
     10,
     Unset,
     Unset,
     true,
     {0, 0, 24, 10}},
    {"rect_em_without_a_font_size_is_of_medium",
     R"svg(<rect id="s" width="1em" height="0.5em"/>)svg",
     0,
     0,
     16,
     8,
     Unset,
     Unset,
     true,
     {0, 0, 16, 8}},
    // Absolute units at 96 per inch.
    {"rect_absolute_units",
     R"svg(<rect id="s" x="3pt" y="1pc" width="1in" height="2.54cm" rx="25.4mm"/>)svg",
     4,
     16,
     96,
     96,
     48,
     48,
     true,
     {4, 16, 96, 96}},
    // No area, no outline: not even a stroke is drawn.
    {"rect_zero_width", R"svg(<rect id="s" x="5" y="5" width="0" height="10" stroke="red"/>)svg", 5, 5, 0, 10, Unset,
     Unset, false},
    // The unset ry (-1) is above half the negative height and is limited to it.
    {"rect_negative_height", R"svg(<rect id="s" x="5" y="5" width="10" height="-10"/>)svg", 5, 5, 10, -10, Unset, -5,
     false},
    {"line_ends_in_box_fields",
     R"svg(<line id="s" x1="1" y1="2" x2="30" y2="-4"/>)svg",
     1,
     2,
     30,
     -4,
     Unset,
     Unset,
     true,
     {1, -4, 29, 6}},
    {"line_without_coordinates", R"svg(<line id="s"/>)svg", 0, 0, 0, 0, Unset, Unset, true, {0, 0, 0, 0}},
    {"circle_radius_in_both",
     R"svg(<circle id="s" cx="10" cy="10" r="5"/>)svg",
     10,
     10,
     5,
     5,
     Unset,
     Unset,
     true,
     {5, 5, 10, 10}},
    // rx and ry also land in the radius fields every element reads.
    {"ellipse_radii",
     R"svg(<ellipse id="s" cx="50" cy="40" rx="20" ry="10"/>)svg",
     50,
     40,
     20,
     10,
     20,
     10,
     true,
     {30, 30, 40, 20}},
    {"ellipse_missing_ry_takes_rx",
     R"svg(<ellipse id="s" cx="50" cy="40" rx="20"/>)svg",
     50,
     40,
     20,
     20,
     20,
     20,
     true,
     {30, 20, 40, 40}},
    {"ellipse_auto_rx_takes_ry",
     R"svg(<ellipse id="s" cx="50" cy="40" rx="auto" ry="10"/>)svg",
     50,
     40,
     10,
     10,
     0,
     10,
     true,
     {40, 30, 20, 20}},
    // A negative radius is invalid and so "auto": the other one serves for both.
    {"ellipse_negative_rx_takes_ry",
     R"svg(<ellipse id="s" cx="50" cy="40" rx="-20" ry="5"/>)svg",
     50,
     40,
     5,
     5,
     -20,
     5,
     true,
     {45, 35, 10, 10}},
    {"ellipse_negative_ry_takes_rx",
     R"svg(<ellipse id="s" cx="50" cy="40" rx="6" ry="-5"/>)svg",
     50,
     40,
     6,
     6,
     6,
     -5,
     true,
     {44, 34, 12, 12}},
    {"ellipse_both_radii_negative", R"svg(<ellipse id="s" cx="50" cy="40" rx="-6" ry="-5"/>)svg", 50, 40, 0, 0, -6, -5,
     false},
    {"circle_without_r", R"svg(<circle id="s" cx="7" cy="8"/>)svg", 7, 8, 0, 0, Unset, Unset, false},
    // A missing radius keeps what "width" and "height" put in the same fields.
    {"ellipse_radius_from_width",
     R"svg(<ellipse id="s" width="4" height="3"/>)svg",
     0,
     0,
     4,
     3,
     Unset,
     Unset,
     true,
     {-4, -3, 8, 6}},
    {"polyline_outline",
     R"svg(<polyline id="s" points="10,20 30,5 40,40"/>)svg",
     0,
     0,
     0,
     0,
     Unset,
     Unset,
     true,
     {10, 5, 30, 35}},
    // A last number without its partner is dropped; one point alone has no outline.
    {"polyline_odd_count_no_outline", R"svg(<polyline id="s" points="1,2,3"/>)svg", 0, 0, 0, 0, Unset, Unset, false},
    {"polyline_without_points", R"svg(<polyline id="s"/>)svg", 0, 0, 0, 0, Unset, Unset, false},
    {"polygon_odd_count_drops_the_last_number",
     R"svg(<polygon id="s" points="0 0 10 0 10"/>)svg",
     0,
     0,
     0,
     0,
     Unset,
     Unset,
     true,
     {0, 0, 10, 0}},
};

INSTANTIATE_TEST_SUITE_P(Rows, Geometry, ::testing::ValuesIn(GeometryCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TPointsCase {
    const char* Name;
    const char* Points;
    std::vector<TPointF> Expected;
};

class Points : public ::testing::TestWithParam<TPointsCase> {};

TEST_P(Points, AreReadAsPairs)
{
    const TPointsCase& C = GetParam();
    TSVG Svg;
    Svg.LoadFromText(std::string(R"svg(<svg><polyline id="p" points=")svg") + C.Points + R"svg("/></svg>)svg");
    auto* P = dynamic_cast<TSVGPolyLine*>(Svg.FindByID("p"));
    ASSERT_NE(P, nullptr);
    ASSERT_EQ(P->GetPointCount(), static_cast<int>(C.Expected.size()));
    for (size_t I = 0; I < C.Expected.size(); ++I) {
        EXPECT_FLOAT_EQ(P->GetPoints()[I].X, C.Expected[I].X) << "point " << I;
        EXPECT_FLOAT_EQ(P->GetPoints()[I].Y, C.Expected[I].Y) << "point " << I;
    }
}

const TPointsCase PointsCases[] = {
    {"commas_and_blanks", "10,20 30,40", {{10, 20}, {30, 40}}},
    {"minus_starts_a_number", "10,20 30-40", {{10, 20}, {30, -40}}},
    {"tabs_and_newlines", "1\t2\n3   4", {{1, 2}, {3, 4}}},
    {"odd_last_number_dropped", "1,2,3", {{1, 2}}},
    {"negative_exponent", "0,1e-5 3,4", {{0, 1e-5f}, {3, 4}}},
    {"exponent_without_digits_ends_the_number", "1e 3", {}},
    {"points_run_together", "1.5.5-2", {{1.5f, 0.5f}}},
    // Reading stops at the first thing that is not a number.
    {"stops_at_unreadable_item", "1,2 3,4 text 5,6", {{1, 2}, {3, 4}}},
    {"unreadable_first_item_gives_none", "a,2 3,4", {}},
    {"single_point", "5,5", {{5, 5}}},
    {"empty", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Rows, Points, ::testing::ValuesIn(PointsCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PolyShapes, PolygonClosesItsFigureAndPolylineDoesNot)
{
    TSVG Svg;
    Svg.LoadFromText(
        R"svg(<svg><polyline id="open" points="0,0 10,0 10,10"/><polygon id="closed" points="0,0 10,0 10,10"/>)svg"
        R"svg(<polyline id="one" points="3,3"/></svg>)svg");
    TGPPathData Open, Closed;
    ASSERT_EQ(dynamic_cast<TSVGBasic*>(Svg.FindByID("open"))->GetPath()->GetPathData(Open), Ok);
    ASSERT_EQ(dynamic_cast<TSVGBasic*>(Svg.FindByID("closed"))->GetPath()->GetPathData(Closed), Ok);
    ASSERT_EQ(Open.Count, 3);
    ASSERT_EQ(Closed.Count, 3);
    EXPECT_EQ(Open.Types.back() & PathPointTypeCloseSubpath, 0);
    EXPECT_NE(Closed.Types.back() & PathPointTypeCloseSubpath, 0);
    // A single point has no outline.
    auto* One = dynamic_cast<TSVGBasic*>(Svg.FindByID("one"));
    EXPECT_EQ(One->GetPath(), nullptr);
}

TEST(PolyShapes, CloneCopiesThePoints)
{
    TSVG Svg;
    Svg.LoadFromText(R"svg(<svg><polygon id="p" points="1,2 3,4 5,6"/></svg>)svg");
    auto* P = dynamic_cast<TSVGPolygon*>(Svg.FindByID("p"));
    std::unique_ptr<TSVGObject> Copy(P->Clone(nullptr));
    auto* Q = dynamic_cast<TSVGPolygon*>(Copy.get());
    ASSERT_NE(Q, nullptr);
    ASSERT_EQ(Q->GetPointCount(), 3);
    EXPECT_FLOAT_EQ(Q->GetPoints()[2].X, 5);
    ASSERT_NE(Q->GetPath(), nullptr);
    EXPECT_NE(Q->GetPath(), P->GetPath());
    EXPECT_EQ(Q->GetPath()->GetPointCount(), 3);
}

// --- Bounds: the box grown by half the stroke width, mapped into the document's user space.

struct TBoundsCase {
    const char* Name;
    const char* Element;  // id="s"
    TBounds Expected;
};

class Bounds : public ::testing::TestWithParam<TBoundsCase> {};

TEST_P(Bounds, GrowByHalfTheStrokeAndFollowTheTransform)
{
    const TBoundsCase& C = GetParam();
    auto R = RenderContent(C.Element, 50, 50);
    auto* S = R.Find("s");
    ASSERT_NE(S, nullptr);
    const TBounds& B = S->GetObjectBounds();
    auto Check = [](const TPointF& Actual, const TPointF& Expected, const char* Corner) {
        EXPECT_NEAR(Actual.X, Expected.X, 1e-4) << Corner;
        EXPECT_NEAR(Actual.Y, Expected.Y, 1e-4) << Corner;
    };
    Check(B.TopLeft, C.Expected.TopLeft, "top left");
    Check(B.TopRight, C.Expected.TopRight, "top right");
    Check(B.BottomLeft, C.Expected.BottomLeft, "bottom left");
    Check(B.BottomRight, C.Expected.BottomRight, "bottom right");
}

// Corners in the order top left, top right, bottom left, bottom right. The document's stroke
// width of 1 reaches unstroked shapes too, so their boxes grow by 0.5.
const TBoundsCase BoundsCases[] = {
    {"line_with_stroke_2", R"svg(<line id="s" x2="10" stroke-width="2"/>)svg", {{-1, -1}, {11, -1}, {-1, 1}, {11, 1}}},
    {"line_ends_in_any_order",
     R"svg(<line id="s" x1="10" y1="8" x2="2" y2="4" stroke-width="0"/>)svg",
     {{2, 4}, {10, 4}, {2, 8}, {10, 8}}},
    {"rect_default_half_unit",
     R"svg(<rect id="s" x="1" y="2" width="10" height="4"/>)svg",
     {{0.5f, 1.5f}, {11.5f, 1.5f}, {0.5f, 6.5f}, {11.5f, 6.5f}}},
    {"negative_stroke_counts_as_none",
     R"svg(<rect id="s" width="10" height="4" stroke-width="-3"/>)svg",
     {{0, 0}, {10, 0}, {0, 4}, {10, 4}}},
    {"rect_translated",
     R"svg(<rect id="s" width="10" height="4" stroke-width="0" transform="translate(5,6)"/>)svg",
     {{5, 6}, {15, 6}, {5, 10}, {15, 10}}},
    {"rect_in_scaled_group",
     R"svg(<g transform="scale(2)"><rect id="s" x="1" width="10" height="4" stroke-width="0"/></g>)svg",
     {{2, 0}, {22, 0}, {2, 8}, {22, 8}}},
    // A quarter turn: the corners keep their roles and land where the turn takes them.
    {"rect_turned",
     R"svg(<rect id="s" width="10" height="4" stroke-width="0" transform="rotate(90)"/>)svg",
     {{0, 0}, {0, 10}, {-4, 0}, {-4, 10}}},
    {"circle",
     R"svg(<circle id="s" cx="10" cy="20" r="5" stroke-width="2"/>)svg",
     {{4, 14}, {16, 14}, {4, 26}, {16, 26}}},
    {"ellipse",
     R"svg(<ellipse id="s" cx="10" cy="20" rx="5" ry="3" stroke-width="0"/>)svg",
     {{5, 17}, {15, 17}, {5, 23}, {15, 23}}},
    {"polyline",
     R"svg(<polyline id="s" points="3,9 7,1 12,5" stroke-width="4"/>)svg",
     {{1, -1}, {14, -1}, {1, 11}, {14, 11}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, Bounds, ::testing::ValuesIn(BoundsCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PolyShapes, NoPointsLeaveTheBoxInverted)
{
    auto R =
        Render(R"svg(<svg width="10" height="10"><polyline id="s" points="none" stroke-width="0"/></svg>)svg", 10, 10);
    const TBounds& B = R.Find("s")->GetObjectBounds();
    constexpr float Largest = std::numeric_limits<float>::max();
    EXPECT_EQ(B.TopLeft.X, Largest);
    EXPECT_EQ(B.TopLeft.Y, Largest);
    EXPECT_EQ(B.BottomRight.X, -Largest);
    EXPECT_EQ(B.BottomRight.Y, -Largest);
}

TEST(RoundRect, RunsClockwiseFromTheEndOfTheTopLeftCorner)
{
    TGPGraphicsPath2 Path;
    ASSERT_EQ(Path.AddRoundRect(10, 20, 100, 50, 10, 5), Ok);
    TGPPathData D;
    ASSERT_EQ(Path.GetPathData(D), Ok);
    ASSERT_GT(D.Count, 8);
    EXPECT_FLOAT_EQ(D.Points[0].X, 20);  // (X + RX, Y)
    EXPECT_FLOAT_EQ(D.Points[0].Y, 20);
    EXPECT_FLOAT_EQ(D.Points[1].X, 100);  // (R − RX, Y)
    EXPECT_FLOAT_EQ(D.Points[1].Y, 20);
    EXPECT_NE(D.Types.back() & PathPointTypeCloseSubpath, 0);
    TGPRectF B;
    Path.GetBounds(B);
    EXPECT_NEAR(B.X, 10, 1e-3);
    EXPECT_NEAR(B.Y, 20, 1e-3);
    EXPECT_NEAR(B.Width, 100, 1e-3);
    EXPECT_NEAR(B.Height, 50, 1e-3);
    // The corners are cut: the box corner is outside, the middle and an edge midpoint inside.
    EXPECT_FALSE(Path.IsVisible({10.5f, 20.5f}));
    EXPECT_TRUE(Path.IsVisible({60, 45}));
    EXPECT_TRUE(Path.IsVisible({10.5f, 45}));
}

}  // namespace
}  // namespace plumwick
