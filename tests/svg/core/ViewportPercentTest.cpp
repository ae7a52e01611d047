// Percentages in user space are of the nearest viewport: a nested svg's, else the document's (200 × 100 here).

#include <gtest/gtest.h>

#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

class ViewportPercentages : public TPixelTable<200, 100> {};

TEST_P(ViewportPercentages, AreOfTheNearestViewport)
{
    CheckPixels();
}

// A gradient that turns from lime to blue at its middle, its end at 100 % of the viewport's width.
#define HALF_GRADIENT                                                                                \
    R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="100%" y2="0">)svg" \
    R"svg(<stop offset="0.5" stop-color="lime"/><stop offset="0.5" stop-color="blue"/></linearGradient>)svg"

const TPixelCase ViewportPercentCases[] = {
    {"gradient_of_the_document_size",
     HALF_GRADIENT R"svg(<rect width="200" height="100" fill="url(#g)"/>)svg",
     {{90, 50, Lime}, {110, 50, Blue}}},
    {"gradient_of_a_nested_svg",
     HALF_GRADIENT R"svg(<svg width="100" height="100"><rect width="100" height="100" fill="url(#g)"/></svg>)svg",
     {{40, 50, Lime}, {60, 50, Blue}}},
    {"filter_region_of_a_nested_svg",
     R"svg(<filter id="f" filterUnits="userSpaceOnUse" x="0" y="0" width="50%" height="100%">)svg"
     R"svg(<feFlood flood-color="lime"/></filter>)svg"
     R"svg(<svg width="100" height="100"><rect width="100" height="100" filter="url(#f)"/></svg>)svg",
     {{40, 50, Lime}, {60, 50, Transparent}}},
    {"transform_origin_of_a_nested_svg",  // turned about (50, 50): onto 50..100 × 50..100
     R"svg(<svg width="100" height="100"><rect width="50" height="50" fill="lime" transform="rotate(180)")svg"
     R"svg( transform-origin="50% 50%"/></svg>)svg",
     {{75, 75, Lime}, {25, 25, Transparent}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ViewportPercentages, ::testing::ValuesIn(ViewportPercentCases), CaseName{});

TEST(ViewportPercentages, PlaceTextInANestedSvg)
{
    const TRender R = RenderContent(
        R"svg(<svg width="120" height="100"><text x="50%" y="80" font-size="60" fill="lime">II</text></svg>)svg", 200,
        100);
    EXPECT_EQ(R.Covered(0, 0, 58, 100), 0);
    EXPECT_GT(R.Covered(60, 0, 95, 100), 0);  // not from 100 on, at 50 % of the document
}

}  // namespace
}  // namespace plumwick
