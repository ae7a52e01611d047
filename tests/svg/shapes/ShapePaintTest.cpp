// Shapes on the surface: which pixels each outline fills and strokes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

class ShapePixels : public TPixelTable<20, 20> {};

TEST_P(ShapePixels, AreCovered)
{
    CheckPixels();
}

const TPixelCase ShapePaintCases[] = {
    {"rect_fill",
     R"svg(<rect x="5" y="5" width="10" height="10" fill="red"/>)svg",
     {{5, 5, Red}, {14, 14, Red}, {4, 10, Transparent}, {15, 10, Transparent}}},
    {"rect_default_fill_is_black", R"svg(<rect width="20" height="20"/>)svg", {{10, 10, 0xFF000000}}},
    {"rect_round_corners_cut",
     R"svg(<rect width="20" height="20" rx="8" fill="red"/>)svg",
     {{0, 0, Transparent}, {19, 19, Transparent}, {10, 0, Red}, {0, 10, Red}, {10, 10, Red}}},
    // One radius 0: square corners (no zero-sized arcs).
    {"rect_one_radius_zero_square",
     R"svg(<rect width="20" height="20" rx="8" ry="0" fill="red"/>)svg",
     {{0, 0, Red}, {19, 19, Red}}},
    {"rect_zero_width_paints_nothing",
     R"svg(<rect x="5" y="0" width="0" height="20" fill="red" stroke="none"/>)svg",
     {{5, 10, Transparent}, {4, 10, Transparent}}},
    {"rect_negative_width_paints_nothing",
     R"svg(<rect x="15" y="0" width="-10" height="20" fill="red" stroke="blue"/>)svg",
     {{10, 10, Transparent}, {15, 10, Transparent}, {5, 10, Transparent}}},
    {"rect_negative_height_paints_nothing",
     R"svg(<rect x="0" y="15" width="20" height="-10" fill="red"/>)svg",
     {{10, 10, Transparent}}},
    {"rect_negative_radius_square",
     R"svg(<rect width="20" height="20" rx="-5" fill="red"/>)svg",
     {{0, 0, Red}, {10, 10, Red}}},
    {"circle_fill",
     R"svg(<circle cx="10" cy="10" r="8" fill="red"/>)svg",
     {{10, 10, Red}, {10, 3, Red}, {2, 2, Transparent}, {17, 17, Transparent}}},
    {"circle_zero_radius_nothing",
     R"svg(<circle cx="10" cy="10" r="0" fill="red" stroke="blue"/>)svg",
     {{10, 10, Transparent}, {9, 9, Transparent}}},
    {"circle_negative_radius_nothing", R"svg(<circle cx="10" cy="10" r="-5" fill="red"/>)svg", {{10, 10, Transparent}}},
    {"ellipse_fill",
     R"svg(<ellipse cx="10" cy="10" rx="9" ry="3" fill="red"/>)svg",
     {{2, 10, Red}, {10, 8, Red}, {10, 5, Transparent}}},
    {"ellipse_missing_ry_takes_rx",
     R"svg(<ellipse cx="10" cy="10" rx="9" fill="red"/>)svg",
     {{10, 10, Red}, {10, 3, Red}}},
    {"ellipse_negative_rx_is_auto",
     R"svg(<ellipse cx="10" cy="10" rx="-9" ry="5" fill="red"/>)svg",
     {{10, 10, Red}, {10, 6, Red}, {3, 10, Transparent}}},
    {"line_has_no_fill", R"svg(<line x1="0" y1="10" x2="20" y2="10" fill="red"/>)svg", {{10, 10, Transparent}}},
    {"line_stroke",
     R"svg(<line x1="2" y1="10" x2="18" y2="10" stroke="red" stroke-width="4"/>)svg",
     {{10, 8, Red}, {10, 11, Red}, {10, 6, Transparent}, {1, 10, Transparent}}},
    {"line_butt_cap",
     R"svg(<line x1="6" y1="10" x2="14" y2="10" stroke="red" stroke-width="4"/>)svg",
     {{5, 10, Transparent}, {6, 10, Red}}},
    {"line_square_cap",
     R"svg(<line x1="6" y1="10" x2="14" y2="10" stroke="red" stroke-width="4" stroke-linecap="square"/>)svg",
     {{5, 10, Red}, {4, 8, Red}, {3, 10, Transparent}}},
    // The round cap covers (4.5, 10.5) but not the corner pixel (4.5, 8.5), 2.1 units from the end.
    {"line_round_cap",
     R"svg(<line x1="6" y1="10" x2="14" y2="10" stroke="red" stroke-width="4" stroke-linecap="round"/>)svg",
     {{4, 10, Red}, {4, 8, Transparent}}},
    // A sharp join: the miter reaches above the corner, a round join stays within half the width.
    {"polyline_miter_join",
     R"svg(<polyline points="4,18 10,8 16,18" fill="none" stroke="red" stroke-width="4" stroke-miterlimit="10"/>)svg",
     {{10, 5, Red}}},
    {"polyline_round_join",
     R"svg(<polyline points="4,18 10,8 16,18" fill="none" stroke="red" stroke-width="4" stroke-linejoin="round"/>)svg",
     {{10, 5, Transparent}, {10, 6, Red}}},
    // The fill covers the triangle although the figure is open.
    {"polyline_fills_its_inside",
     R"svg(<polyline points="2,2 18,2 18,18" fill="red"/>)svg",
     {{14, 6, Red}, {6, 14, Transparent}}},
    {"polyline_no_closing_edge",
     R"svg(<polyline points="2,2 18,2 18,18" fill="none" stroke="red" stroke-width="2"/>)svg",
     {{10, 2, Red}, {18, 10, Red}, {10, 10, Transparent}}},
    {"polygon_closing_edge",
     R"svg(<polygon points="2,2 18,2 18,18" fill="none" stroke="red" stroke-width="2"/>)svg",
     {{10, 2, Red}, {18, 10, Red}, {10, 10, Red}}},
    {"polyline_odd_last_number_dropped",
     R"svg(<polyline points="2,2 18,2 18" fill="red" stroke="red" stroke-width="4"/>)svg",
     {{10, 2, Red}, {10, 10, Transparent}}},
    {"polyline_single_point_nothing",
     R"svg(<polyline points="10,10" stroke="red" stroke-width="4" stroke-linecap="round"/>)svg",
     {{10, 10, Transparent}}},
    // Shapes fill with the alternate rule and ignore fill-rule: the overlap of a self-crossing
    // polygon stays empty.
    {"polygon_self_crossing_alternate",
     R"svg(<polygon points="2,2 18,2 18,10 6,10 6,6 14,6 14,18 2,18" fill="red" fill-rule="nonzero"/>)svg",
     {{4, 4, Red}, {10, 8, Transparent}, {16, 4, Red}, {4, 14, Red}}},
    {"transform_moves_shape",
     R"svg(<circle cx="2" cy="2" r="2" fill="red" transform="translate(10,10)"/>)svg",
     {{12, 12, Red}, {2, 2, Transparent}}},
    {"stroke_width_scales_with_transform",
     R"svg(<rect x="2" y="2" width="6" height="6" fill="none" stroke="red" transform="scale(2)"/>)svg",
     {{4, 10, Red}, {3, 10, Red}, {5, 10, Transparent}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ShapePixels, ::testing::ValuesIn(ShapePaintCases), CaseName{});

TEST(ShapePixels, DegenerateShapesLoadAndPaintAll)
{
    // Every shape with missing, zero, negative, huge or unreadable geometry loads and paints
    // without failing; the sound rectangle after them still paints.
    auto R = Render(R"svg(<svg width="20" height="20">
        <rect/><rect width="-1" height="-1" rx="-1" ry="-1"/><rect width="1e38" height="1e38" rx="1e38"/>
        <rect width="x" height="y" rx="z"/><circle r="1e38"/><ellipse rx="-1e38" ry="1e38"/>
        <line x1="1e38" y1="-1e38" x2="-1e38" y2="1e38"/><polyline points=","/><polygon points="- - - -"/>
        <polygon points="1e38,1e38 -1e38,1e38 0,-1e38"/>
        <rect x="15" y="15" width="5" height="5" fill="red"/></svg>)svg",
                    20, 20);
    EXPECT_EQ(R.At(17, 17), Red);
}

}  // namespace
}  // namespace plumwick
