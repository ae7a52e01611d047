// Stroke lengths in relative units: em and ex count in the font size of the element that writes them,
// percentages in the nearest viewport's normalised diagonal (the document's here is sqrt((200² + 100²) / 2) = 15.81).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

class StrokeLengths : public TPixelTable<200, 100> {};

TEST_P(StrokeLengths, ResolveTheirUnits)
{
    CheckPixels();
}

// Widths: a horizontal line through y = 50, probed just inside and just outside its expected half width.
// Dashes: a line of width 10 along y = 50 from x = 0, probed along the line.
const TPixelCase StrokeLengthCases[] = {
    {"width_percent_of_diagonal",  // 15.81: 42.1 to 57.9
     R"svg(<path d="M0 50H200" stroke="lime" stroke-width="10%"/>)svg",
     {{100, 43, Lime}, {100, 56, Lime}, {100, 41, Transparent}, {100, 58, Transparent}}},
    {"width_em",  // 20: 40 to 60
     R"svg(<path d="M0 50H200" stroke="lime" style="font-size:20px" stroke-width="1em"/>)svg",
     {{100, 40, Lime}, {100, 59, Lime}, {100, 38, Transparent}, {100, 61, Transparent}}},
    {"width_ex_is_half_an_em",  // 20: 40 to 60
     R"svg(<path d="M0 50H200" stroke="lime" style="font-size:40px;stroke-width:1ex"/>)svg",
     {{100, 41, Lime}, {100, 58, Lime}, {100, 37, Transparent}, {100, 62, Transparent}}},
    {"width_inches",  // 24: 38 to 62
     R"svg(<path d="M0 50H200" stroke="lime" stroke-width="0.25in"/>)svg",
     {{100, 38, Lime}, {100, 61, Lime}, {100, 36, Transparent}, {100, 63, Transparent}}},
    {"width_millimetres",  // 18.9: 40.55 to 59.45
     R"svg(<path d="M0 50H200" stroke="lime" stroke-width="5mm"/>)svg",
     {{100, 41, Lime}, {100, 58, Lime}, {100, 39, Transparent}, {100, 60, Transparent}}},
    {"width_em_inherited_from_group_font",  // the group's 20px, not the path's 5px
     R"svg(<g style="font-size:20px" stroke-width="1em"><path d="M0 50H200" stroke="lime" style="font-size:5px"/></g>)svg",
     {{100, 40, Lime}, {100, 59, Lime}, {100, 38, Transparent}, {100, 61, Transparent}}},
    {"dasharray_percent",  // dashes of 15.81: 0 to 15.8, 31.6 to 47.4
     R"svg(<path d="M0 50H200" stroke="lime" stroke-width="10" stroke-dasharray="10%"/>)svg",
     {{1, 50, Lime}, {14, 50, Lime}, {17, 50, Transparent}, {30, 50, Transparent}, {33, 50, Lime}}},
    {"dashoffset_em",  // offset 5: dashes -5 to 5, 15 to 25
     R"svg(<path d="M0 50H200" stroke="lime" stroke-width="10" stroke-dasharray="10" style="font-size:10px" stroke-dashoffset="0.5em"/>)svg",
     {{3, 50, Lime}, {6, 50, Transparent}, {13, 50, Transparent}, {16, 50, Lime}, {24, 50, Lime}}},
    {"dasharray_em_inherited_from_group_font",  // dashes of 20: 0 to 20, 40 to 60
     R"svg(<g style="font-size:20px" stroke-dasharray="1em"><path d="M0 50H200" stroke="lime" stroke-width="10" style="font-size:5px"/></g>)svg",
     {{18, 50, Lime}, {22, 50, Transparent}, {38, 50, Transparent}, {42, 50, Lime}}},
    {"width_em_of_a_relative_font_size",  // 2em of the group's 10px is 20px: 40 to 60
     R"svg(<g style="font-size:10px"><path d="M0 50H200" stroke="lime" style="font-size:2em" stroke-width="1em"/></g>)svg",
     {{100, 40, Lime}, {100, 59, Lime}, {100, 38, Transparent}, {100, 61, Transparent}}},
    {"width_em_of_a_percent_font_size",  // 50% of 40px is 20px
     R"svg(<g style="font-size:40px"><g style="font-size:50%"><path d="M0 50H200" stroke="lime" stroke-width="1em"/></g></g>)svg",
     {{100, 40, Lime}, {100, 59, Lime}, {100, 38, Transparent}, {100, 61, Transparent}}},
    {"width_em_without_a_font_size_is_of_medium",  // 16: 42 to 58
     R"svg(<path d="M0 50H200" stroke="lime" stroke-width="1em"/>)svg",
     {{100, 43, Lime}, {100, 56, Lime}, {100, 40, Transparent}, {100, 59, Transparent}}},
    {"width_em_of_a_named_font_size",  // x-large is 24: 38 to 62
     R"svg(<g font-size="x-large"><path d="M0 50H200" stroke="lime" stroke-width="1em"/></g>)svg",
     {{100, 39, Lime}, {100, 60, Lime}, {100, 36, Transparent}, {100, 63, Transparent}}},
    {"width_em_of_a_larger_font_size",  // medium × 1.2 = 19.2: 40.4 to 59.6
     R"svg(<g font-size="larger"><path d="M0 50H200" stroke="lime" stroke-width="1em"/></g>)svg",
     {{100, 41, Lime}, {100, 58, Lime}, {100, 38, Transparent}, {100, 61, Transparent}}},
    {"width_em_of_a_smaller_font_size",  // 24 / 1.2 = 20: 40 to 60
     R"svg(<g font-size="24px"><path d="M0 50H200" stroke="lime" font-size="smaller" stroke-width="1em"/></g>)svg",
     {{100, 41, Lime}, {100, 58, Lime}, {100, 38, Transparent}, {100, 61, Transparent}}},
    {"width_em_where_the_font_size_says_inherit",  // the group's 20: 40 to 60
     R"svg(<g font-size="20"><path d="M0 50H200" stroke="lime" font-size="inherit" stroke-width="1em"/></g>)svg",
     {{100, 41, Lime}, {100, 58, Lime}, {100, 38, Transparent}, {100, 61, Transparent}}},
    {"width_percent_of_a_nested_viewport",  // of 100 × 50: 7.91, 21.05 to 28.95
     R"svg(<svg width="100" height="50"><path d="M0 25H100" stroke="lime" stroke-width="10%"/></svg>)svg",
     {{50, 22, Lime}, {50, 27, Lime}, {50, 19, Transparent}, {50, 31, Transparent}}},
    {"dasharray_percent_of_a_nested_viewport",  // of a 10 × 10 view box: dashes of 1 scaled by 10
     R"svg(<svg width="100" height="100" viewBox="0 0 10 10"><path d="M0 5H10" stroke="lime" stroke-width="1" stroke-dasharray="10%"/></svg>)svg",
     {{2, 50, Lime}, {8, 50, Lime}, {12, 50, Transparent}, {18, 50, Transparent}, {22, 50, Lime}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, StrokeLengths, ::testing::ValuesIn(StrokeLengthCases), CaseName{});

}  // namespace
}  // namespace plumwick
