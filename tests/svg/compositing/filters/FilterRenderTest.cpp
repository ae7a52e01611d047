// Filtered elements painted from small documents: blur, shadows, regions and invalid references.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

class FilteredElement : public TPixelTable<100, 100> {};

TEST_P(FilteredElement, PaintsAsTheFilterSays)
{
    CheckPixels();
}

const TPixelCase Cases[] = {
    {"blur_softens_the_edges",
     R"svg(<filter id="f"><feGaussianBlur stdDeviation="3"/></filter>
        <rect x="30" y="30" width="40" height="40" fill="blue" filter="url(#f)"/>)svg",
     {{50, 50, Blue, 2}, {30, 50, 0x8C0000FF, 0x20}, {27, 50, 0x2B0000FF, 0x20}, {20, 50, Transparent, 0}}},
    {"region_cuts_the_blur",
     R"svg(<filter id="f" x="0" y="0" width="1" height="1"><feGaussianBlur stdDeviation="3"/></filter>
        <rect x="30" y="30" width="40" height="40" fill="blue" filter="url(#f)"/>)svg",
     {{29, 50, Transparent, 0}, {30, 50, 0x8C0000FF, 0x20}}},
    {"offset_shadow_under_the_shape",
     R"svg(<filter id="f"><feOffset in="SourceAlpha" dx="10" dy="10"/><feMerge><feMergeNode/>
        <feMergeNode in="SourceGraphic"/></feMerge></filter>
        <rect x="20" y="20" width="40" height="40" fill="red" filter="url(#f)"/>)svg",
     {{40, 40, Red, 0}, {62, 62, 0xFF000000, 0}, {25, 62, Transparent, 0}, {66, 66, Transparent, 0}}},
    {"drop_shadow_function",
     R"svg(<rect x="20" y="20" width="40" height="40" fill="red" style="filter: drop-shadow(10px 10px 0 blue)"/>)svg",
     {{40, 40, Red, 0}, {65, 65, Blue, 0}, {15, 15, Transparent, 0}}},
    {"drop_shadow_colour_first",
     R"svg(<rect x="20" y="20" width="40" height="40" fill="red" style="filter: drop-shadow(blue 10px 10px 0)"/>)svg",
     {{40, 40, Red, 0}, {65, 65, Blue, 0}}},
    // A colour between the lengths makes the list unreadable: the element draws unfiltered.
    {"drop_shadow_colour_between_lengths",
     R"svg(<rect x="20" y="20" width="40" height="40" fill="red" style="filter: drop-shadow(10px blue 10px)"/>)svg",
     {{40, 40, Red, 0}, {65, 65, Transparent, 0}}},
    {"huge_region_is_clamped_to_the_surface",
     R"svg(<filter id="f" filterUnits="userSpaceOnUse" x="-1e7" y="-1e7" width="2e7" height="2e7">
        <feFlood flood-color="#008000"/></filter>
        <rect x="40" y="40" width="20" height="20" fill="red" filter="url(#f)"/>)svg",
     {{0, 0, Green, 0}, {99, 99, Green, 0}, {50, 50, Green, 0}}},
    {"huge_blur_spreads_thin",
     R"svg(<filter id="f" filterUnits="userSpaceOnUse" x="0" y="0" width="100" height="100">
        <feGaussianBlur stdDeviation="1e6"/></filter>
        <rect x="40" y="40" width="20" height="20" fill="red" filter="url(#f)"/>)svg",
     {{50, 50, 0x02FF0000, 2}}},
    {"reference_to_nothing_hides_the_element",
     R"svg(<rect x="20" y="20" width="40" height="40" fill="red" filter="url(#missing)"/>)svg",
     {{40, 40, Transparent, 0}}},
    {"unreadable_list_draws_unfiltered",
     R"svg(<rect x="20" y="20" width="40" height="40" fill="red" filter="blur(nonsense)"/>)svg",
     {{40, 40, Red, 0}}},
    {"grey_in_linear_light",
     R"svg(<filter id="f"><feColorMatrix type="saturate" values="0"/></filter>
        <rect x="20" y="20" width="40" height="40" fill="#ff0000" filter="url(#f)"/>)svg",
     // 0.213 of linear red is 0.50 in sRGB
     {{40, 40, 0xFF7F7F7F, 3}}},
};

INSTANTIATE_TEST_SUITE_P(Filters, FilteredElement, ::testing::ValuesIn(Cases), CaseName{});

}  // namespace
}  // namespace plumwick
