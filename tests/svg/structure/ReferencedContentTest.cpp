// Viewports (nested svg, symbol), links, switch conditions, markers, patterns and SVG pictures,
// probed by pixel; and references that lead back to themselves.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "svg/base/SVGConditions.h"
#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

class ReferencedContent : public TPixelTable<40, 40> {
protected:
    // The switch cases are written for a user of English.
    void SetUp() override { setenv("LANGUAGE", "en_US", 1); }
    void TearDown() override { unsetenv("LANGUAGE"); }
};

TEST_P(ReferencedContent, PaintsWhereExpected)
{
    CheckPixels();
}

const TPixelCase ContentCases[] = {
    // --- nested svg
    {"svg_viewbox_scales_into_its_viewport",
     R"svg(<svg x="10" y="10" width="20" height="20" viewBox="0 0 10 10"><rect width="5" height="5" fill="red"/></svg>)svg",
     {{12, 12, Red}, {19, 19, Red}, {21, 21, Transparent}, {5, 5, Transparent}}},
    {"svg_clips_to_its_viewport",
     R"svg(<svg x="10" y="10" width="10" height="10"><rect x="-10" y="-10" width="40" height="40" fill="red"/></svg>)svg",
     {{15, 15, Red}, {5, 5, Transparent}, {25, 25, Transparent}}},
    {"svg_overflow_visible_does_not_clip",
     R"svg(<svg x="10" y="10" width="10" height="10" overflow="visible"><rect width="20" height="20" fill="red"/></svg>)svg",
     {{25, 25, Red}}},
    {"svg_aspect_meet_centres",
     R"svg(<svg width="40" height="20" viewBox="0 0 10 10"><rect width="10" height="10" fill="red"/></svg>)svg",
     {{20, 10, Red}, {5, 10, Transparent}, {35, 10, Transparent}}},
    {"svg_percentages_of_the_outer_viewport",
     R"svg(<svg x="50%" width="50%" height="50%"><rect width="100%" height="100%" fill="red"/></svg>)svg",
     {{30, 10, Red}, {10, 10, Transparent}, {30, 30, Transparent}}},

    {"percentages_inside_a_nested_svg_are_of_its_viewport",
     R"svg(<svg width="20" height="20" overflow="visible"><rect x="100%" width="50%" height="100%" fill="red"/></svg>)svg",
     {{25, 10, Red}, {25, 30, Transparent}, {35, 10, Transparent}}},

    // --- symbol and use
    {"symbol_alone_is_not_drawn",
     R"svg(<symbol id="s"><rect width="40" height="40" fill="red"/></symbol>)svg",
     {{20, 20, Transparent}}},
    {"symbol_viewbox_fills_the_use_size",
     R"svg(<symbol id="s" viewBox="0 0 4 4"><rect width="2" height="2" fill="red"/></symbol>)svg"
     R"svg(<use xlink:href="#s" x="10" y="10" width="20" height="20"/>)svg",
     {{12, 12, Red}, {19, 19, Red}, {21, 21, Transparent}, {25, 12, Transparent}}},
    {"symbol_clips_to_the_use_size",
     R"svg(<symbol id="s"><rect width="40" height="40" fill="red"/></symbol><use xlink:href="#s" width="10" height="10"/>)svg",
     {{5, 5, Red}, {15, 15, Transparent}}},
    {"use_of_a_nested_svg_takes_its_size",
     R"svg(<defs><svg id="v" width="40" height="40" viewBox="0 0 4 4"><rect width="2" height="2" fill="red"/></svg></defs>)svg"
     R"svg(<use xlink:href="#v" width="20" height="20"/>)svg",
     {{5, 5, Red}, {15, 15, Transparent}}},
    {"href_wins_over_xlink_href",
     R"svg(<defs><rect id="a" width="10" height="10" fill="red"/><rect id="b" width="10" height="10" fill="blue"/></defs>)svg"
     R"svg(<use href="#b" xlink:href="#a"/>)svg",
     {{5, 5, Blue}}},

    // --- a
    {"a_is_a_group",
     R"svg(<a href="https://example.org" fill="red" transform="translate(20,0)"><rect width="5" height="5"/></a>)svg",
     {{22, 2, Red}, {2, 2, Transparent}}},

    // --- switch
    {"switch_draws_the_first_passing_child",
     R"svg(<switch><rect width="10" height="10" fill="red" systemLanguage="de"/>)svg"
     R"svg(<rect width="10" height="10" fill="blue" systemLanguage="en"/><rect width="10" height="10" fill="lime"/></switch>)svg",
     {{5, 5, Blue}}},
    {"switch_language_region_does_not_matter",
     R"svg(<switch><rect width="10" height="10" fill="red" systemLanguage="en-GB"/><rect width="10" height="10" fill="blue"/></switch>)svg",
     {{5, 5, Red}}},
    {"switch_unknown_extension_fails",
     R"svg(<switch><rect width="10" height="10" fill="red" requiredExtensions="http://example.org/x"/><rect width="10" height="10" fill="blue"/></switch>)svg",
     {{5, 5, Blue}}},

    // --- markers: a 4 × 2 arrow pointing along +x from the vertex
    {"marker_end_points_along_the_path",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10" refY="5" orient="auto">)svg"
     R"svg(<rect width="8" height="10" fill="red"/></marker><path d="M10 30 L10 10" stroke="none" marker-end="url(#m)"/>)svg",
     {{10, 6, Red}, {10, 3, Red}, {10, 12, Transparent}}},
    {"marker_start_reversed_points_back",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10" refY="5" orient="auto-start-reverse">)svg"
     R"svg(<rect width="8" height="10" fill="red"/></marker><path d="M10 20 L30 20" marker-start="url(#m)"/>)svg",
     {{5, 20, Red}, {3, 18, Red}, {14, 20, Transparent}}},
    {"marker_scales_with_the_stroke_width",
     R"svg(<marker id="m" markerWidth="3" markerHeight="3"><rect width="3" height="3" fill="red"/></marker>)svg"
     R"svg(<line x1="10" y1="10" x2="30" y2="10" stroke="blue" stroke-width="4" marker-start="url(#m)"/>)svg",
     {{20, 20, Red}, {21, 21, Red}, {23, 23, Transparent}}},
    {"marker_clipped_to_its_viewport",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="5" markerHeight="5"><rect width="20" height="20" fill="red"/></marker>)svg"
     R"svg(<path d="M10 10 L10 30" marker-start="url(#m)"/>)svg",
     {{12, 12, Red}, {17, 17, Transparent}}},
    // "inherit" takes the parent's value, visible outside other viewports.
    {"marker_overflow_inherit_shows_by_default",
     R"svg(<marker id="m" overflow="inherit" markerUnits="userSpaceOnUse" markerWidth="5" markerHeight="5"><rect width="20" height="20" fill="red"/></marker>)svg"
     R"svg(<path d="M10 10 L10 30" marker-start="url(#m)"/>)svg",
     {{12, 12, Red}, {17, 17, Red}}},
    {"marker_overflow_inherit_of_a_hidden_parent",
     R"svg(<g overflow="hidden"><marker id="m" overflow="inherit" markerUnits="userSpaceOnUse" markerWidth="5" markerHeight="5"><rect width="20" height="20" fill="red"/></marker></g>)svg"
     R"svg(<path d="M10 10 L10 30" marker-start="url(#m)"/>)svg",
     {{12, 12, Red}, {17, 17, Transparent}}},
    {"marker_mid_on_inner_vertices",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="4" markerHeight="4" refX="2" refY="2"><rect width="4" height="4" fill="red"/></marker>)svg"
     R"svg(<polyline points="5,5 20,5 35,5" fill="none" marker-mid="url(#m)"/>)svg",
     {{20, 5, Red}, {5, 5, Transparent}, {35, 5, Transparent}}},
    {"marker_attribute_shorthand_is_ignored",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="4" markerHeight="4"><rect width="4" height="4" fill="red"/></marker>)svg"
     R"svg(<path d="M10 10 L30 10" marker="url(#m)"/>)svg",
     {{11, 11, Transparent}}},
    {"marker_shorthand_from_a_sheet",
     R"svg(<style>path { marker: url(#m) }</style><marker id="m" markerUnits="userSpaceOnUse" markerWidth="4" markerHeight="4"><rect width="4" height="4" fill="red"/></marker>)svg"
     R"svg(<path d="M10 10 L30 10"/>)svg",
     {{11, 11, Red}, {31, 11, Red}}},
    // A fixed orient is an angle with its unit (degrees when bare): an 8 × 2 bar turned to point down.
    {"marker_orient_bare_degrees",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10" orient="90"><rect width="8" height="2" fill="red"/></marker>)svg"
     R"svg(<path d="M20 10 L30 10" marker-start="url(#m)"/>)svg",
     {{19, 16, Red}, {24, 11, Transparent}}},
    {"marker_orient_in_turns",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10" orient="0.25turn"><rect width="8" height="2" fill="red"/></marker>)svg"
     R"svg(<path d="M20 10 L30 10" marker-start="url(#m)"/>)svg",
     {{19, 16, Red}, {24, 11, Transparent}}},
    {"marker_orient_in_radians",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10" orient="3.14159rad"><rect width="8" height="2" fill="red"/></marker>)svg"
     R"svg(<path d="M20 10 L30 10" marker-start="url(#m)"/>)svg",
     {{15, 9, Red}, {24, 11, Transparent}}},
    // Percentages of the viewport: 25% of 40 is a 10 × 10 marker, 12.5% puts its reference point in the middle.
    {"marker_percent_lengths",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="25%" markerHeight="25%" refX="12.5%" refY="12.5%">)svg"
     R"svg(<rect width="40" height="40" fill="red"/></marker><path d="M20 20 L30 20" marker-start="url(#m)"/>)svg",
     {{24, 24, Red}, {16, 16, Red}, {12, 12, Transparent}, {27, 27, Transparent}}},
    // Rects, circles and ellipses carry markers on the vertices of the path they equal.
    {"marker_mid_on_rect_corners",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="4" markerHeight="4" refX="2" refY="2"><rect width="4" height="4" fill="red"/></marker>)svg"
     R"svg(<rect x="10" y="10" width="20" height="20" fill="none" marker-mid="url(#m)"/>)svg",
     {{30, 10, Red}, {30, 30, Red}, {10, 30, Red}, {20, 10, Transparent}, {20, 20, Transparent}}},
    {"marker_mid_on_circle_quadrants",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="4" markerHeight="4" refX="2" refY="2"><rect width="4" height="4" fill="red"/></marker>)svg"
     R"svg(<circle cx="20" cy="20" r="10" fill="none" marker-mid="url(#m)"/>)svg",
     {{20, 30, Red}, {10, 20, Red}, {20, 10, Red}, {20, 20, Transparent}, {27, 27, Transparent}}},
    {"marker_start_on_rounded_rect_after_the_corner",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="4" markerHeight="4" refX="2" refY="2"><rect width="4" height="4" fill="red"/></marker>)svg"
     R"svg(<rect x="10" y="10" width="20" height="20" rx="5" fill="none" marker-start="url(#m)"/>)svg",
     {{15, 10, Red}, {10, 10, Transparent}}},
    // The element's opacity covers its markers as one picture: two markers on one spot stay half covered.
    {"marker_under_the_element_opacity",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="4" markerHeight="4" refX="2" refY="2"><rect width="4" height="4" fill="red"/></marker>)svg"
     R"svg(<path d="M10 10 L30 10 L20 30 Z" fill="none" opacity="0.5" marker-start="url(#m)" marker-end="url(#m)"/>)svg",
     {{10, 10, 0x80FF0000, 2}}},

    // --- patterns: 10 × 10 tiles, left half red, right half blue
    {"pattern_tiles_repeat_without_seams",
     R"svg(<pattern id="p" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="10" fill="red"/>)svg"
     R"svg(<rect x="5" width="5" height="10" fill="blue"/></pattern><rect width="40" height="40" fill="url(#p)"/>)svg",
     {{4, 4, Red}, {5, 4, Blue}, {9, 4, Blue}, {10, 4, Red}, {14, 35, Red}, {15, 35, Blue}, {39, 39, Blue}}},
    {"pattern_bounding_box_units",
     R"svg(<pattern id="p" width="0.5" height="0.5"><rect width="5" height="10" fill="red"/></pattern>)svg"
     R"svg(<rect x="20" y="20" width="20" height="20" fill="url(#p)"/>)svg",
     {{22, 22, Red}, {27, 22, Transparent}, {32, 32, Red}, {10, 10, Transparent}}},
    // Mirrored about x = 5: the red half of the tile [0, 10) lands on [0, 10) again.
    {"pattern_transform_origin",
     R"svg(<pattern id="p" width="20" height="40" patternUnits="userSpaceOnUse" patternTransform="scale(-1,1)" transform-origin="5 0">)svg"
     R"svg(<rect width="10" height="40" fill="red"/></pattern><rect width="40" height="40" fill="url(#p)"/>)svg",
     {{5, 20, Red}, {15, 20, Transparent}, {25, 20, Red}}},
    {"pattern_as_stroke",
     R"svg(<pattern id="p" width="4" height="4" patternUnits="userSpaceOnUse"><rect width="4" height="4" fill="red"/></pattern>)svg"
     R"svg(<line x1="0" y1="20" x2="40" y2="20" stroke="url(#p)" stroke-width="4"/>)svg",
     {{20, 20, Red}, {20, 10, Transparent}}},
    {"pattern_href_inherits_tile_and_children",
     R"svg(<pattern id="base" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="5" fill="red"/></pattern>)svg"
     R"svg(<pattern id="p" xlink:href="#base" patternTransform="translate(2,2)"/><rect width="40" height="40" fill="url(#p)"/>)svg",
     {{3, 3, Red}, {1, 1, Transparent}, {13, 13, Red}, {9, 3, Transparent}}},
    // --- currentColor is resolved where the paint is used, with the colour in force there
    {"current_color_fill_inherited_takes_the_child_color",
     R"svg(<g fill="currentColor" color="blue"><g color="red"><rect width="40" height="40"/></g></g>)svg",
     {{20, 20, Red}}},
    {"current_color_stroke_inherited_takes_the_child_color",
     R"svg(<g stroke="currentColor" color="blue"><line x1="0" y1="20" x2="40" y2="20" stroke-width="4" color="red"/></g>)svg",
     {{20, 20, Red}}},
    {"current_color_in_used_content_takes_the_use_color",
     R"svg(<defs color="blue"><rect id="r" width="20" height="20" fill="currentColor"/></defs><use href="#r" color="red"/>)svg",
     {{10, 10, Red}, {30, 30, Transparent}}},
    // --- context-fill and context-stroke: the paint of the shape a marker is drawn on, or of the use element
    {"context_stroke_in_a_marker_takes_the_line_colour",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="6" markerHeight="6" refX="3" refY="3">)svg"
     R"svg(<rect width="6" height="6" fill="context-stroke"/></marker>)svg"
     R"svg(<line x1="5" y1="20" x2="35" y2="20" stroke="blue" stroke-width="1" marker-end="url(#m)"/>)svg",
     {{34, 18, Blue}, {36, 22, Blue}, {20, 17, Transparent}}},
    {"context_fill_in_a_marker_takes_the_shape_fill",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="6" markerHeight="6" refX="3" refY="3">)svg"
     R"svg(<rect width="6" height="6" fill="context-fill"/></marker>)svg"
     R"svg(<path d="M5 5 L35 5 L35 35" fill="red" marker-start="url(#m)"/>)svg",
     {{4, 4, Red}, {20, 12, Red}, {10, 30, Transparent}}},
    {"context_fill_in_used_content_takes_the_use_fill",
     R"svg(<defs><rect id="r" width="20" height="20" fill="context-fill" stroke="context-stroke" stroke-width="4"/></defs>)svg"
     R"svg(<use href="#r" fill="blue" stroke="red"/>)svg",
     {{10, 10, Blue}, {20, 10, Red}, {30, 30, Transparent}}},
    {"context_paint_without_a_context_element_is_none",
     R"svg(<rect x="5" y="5" width="30" height="30" fill="context-fill" stroke="context-stroke" stroke-width="4"/>)svg",
     {{20, 20, Transparent}, {5, 20, Transparent}}},
    {"context_paint_through_nested_uses",
     R"svg(<defs><rect id="r" width="20" height="20" fill="context-stroke"/><use id="u" href="#r" stroke="context-fill"/></defs>)svg"
     R"svg(<use href="#u" fill="red"/>)svg",
     {{10, 10, Red}, {30, 30, Transparent}}},
    {"context_paint_of_a_marker_on_used_content",
     R"svg(<defs><marker id="m" markerUnits="userSpaceOnUse" markerWidth="6" markerHeight="6" refX="3" refY="3">)svg"
     R"svg(<rect width="6" height="6" fill="context-stroke"/></marker>)svg"
     R"svg(<path id="p" d="M5 20 L35 20" stroke="context-fill" marker-end="url(#m)"/></defs><use href="#p" fill="blue"/>)svg",
     {{36, 22, Blue}, {20, 20, Blue}, {20, 10, Transparent}}},
    // The gradient lies where it lies for the use element, not moved with the content's own transform.
    {"context_gradient_stays_in_the_context_user_space",
     R"svg(<defs><linearGradient id="g" gradientUnits="userSpaceOnUse" x1="0" x2="40"><stop offset="0.5" stop-color="red"/>)svg"
     R"svg(<stop offset="0.5" stop-color="blue"/></linearGradient>)svg"
     R"svg(<rect id="r" x="-10" width="20" height="40" transform="translate(20)" fill="context-fill"/></defs>)svg"
     R"svg(<use href="#r" fill="url(#g)"/>)svg",
     {{15, 20, Red}, {25, 20, Blue}, {5, 20, Transparent}}},
    // In bounding-box units a used group is measured by its content.
    {"context_gradient_on_a_use_measures_the_content",
     R"svg(<defs><linearGradient id="g"><stop offset="0.5" stop-color="red"/><stop offset="0.5" stop-color="blue"/></linearGradient>)svg"
     R"svg(<g id="c"><rect x="20" width="10" height="40" fill="context-fill"/><rect x="30" width="10" height="40" fill="context-fill"/></g></defs>)svg"
     R"svg(<use href="#c" fill="url(#g)"/>)svg",
     {{25, 20, Red}, {35, 20, Blue}, {10, 20, Transparent}}},
    // --- masks
    // Luminance of white is 1, of #808080 about a half (sRGB weights), of black 0.
    {"mask_luminance_over_a_gradient",
     R"svg(<linearGradient id="g"><stop stop-color="red"/><stop offset="1" stop-color="red"/></linearGradient>)svg"
     R"svg(<mask id="m"><rect width="10" height="40" fill="white"/><rect x="10" width="20" height="40" fill="#808080"/></mask>)svg"
     R"svg(<rect width="40" height="40" fill="url(#g)" mask="url(#m)"/>)svg",
     {{5, 20, Red}, {20, 20, 0x80FF0000, 2}, {35, 20, Transparent}}},
    {"mask_type_alpha_uses_coverage_only",
     R"svg(<mask id="m" mask-type="alpha"><rect width="20" height="40" fill="black"/></mask>)svg"
     R"svg(<rect width="40" height="40" fill="red" mask="url(#m)"/>)svg",
     {{10, 20, Red}, {30, 20, Transparent}}},
    {"mask_black_luminance_hides",
     R"svg(<mask id="m"><rect width="20" height="40" fill="black"/></mask><rect width="40" height="40" fill="red" mask="url(#m)"/>)svg",
     {{10, 20, Transparent}}},
    {"mask_user_space_region_cuts",
     R"svg(<mask id="m" maskUnits="userSpaceOnUse" x="0" y="0" width="20" height="40"><rect width="40" height="40" fill="white"/></mask>)svg"
     R"svg(<rect width="40" height="40" fill="red" mask="url(#m)"/>)svg",
     {{10, 20, Red}, {30, 20, Transparent}}},
    {"mask_content_in_bounding_box_units",
     R"svg(<mask id="m" maskContentUnits="objectBoundingBox"><rect width="0.5" height="1" fill="white"/></mask>)svg"
     R"svg(<rect x="20" width="20" height="40" fill="red" mask="url(#m)"/>)svg",
     {{25, 20, Red}, {35, 20, Transparent}}},
    {"mask_on_a_group",
     R"svg(<mask id="m"><rect width="20" height="40" fill="white"/></mask>)svg"
     R"svg(<g mask="url(#m)"><rect width="40" height="20" fill="red"/><rect y="20" width="40" height="20" fill="blue"/></g>)svg",
     {{10, 10, Red}, {10, 30, Blue}, {30, 10, Transparent}, {30, 30, Transparent}}},
    {"mask_on_a_mask",
     R"svg(<mask id="outer"><rect width="40" height="20" fill="white"/></mask>)svg"
     R"svg(<mask id="m" mask="url(#outer)"><rect width="20" height="40" fill="white"/></mask>)svg"
     R"svg(<rect width="40" height="40" fill="red" mask="url(#m)"/>)svg",
     {{10, 10, Red}, {10, 30, Transparent}, {30, 10, Transparent}}},
    // The layer a mask or a blend opens must carry the element's own opacity too.
    {"opacity_on_a_masked_shape",
     R"svg(<mask id="m"><rect width="40" height="40" fill="white"/></mask>)svg"
     R"svg(<rect width="20" height="40" fill="red" opacity="0.5" mask="url(#m)"/>)svg",
     {{10, 10, 0x80FF0000, 2}, {30, 10, Transparent}}},
    {"opacity_on_a_blended_shape",
     R"svg(<rect width="20" height="40" fill="red" opacity="0.5" style="mix-blend-mode:multiply"/>)svg",
     {{10, 10, 0x80FF0000, 2}}},
    {"pattern_without_size_paints_nothing",
     R"svg(<pattern id="p"><rect width="5" height="5" fill="red"/></pattern><rect width="40" height="40" fill="url(#p)"/>)svg",
     {{2, 2, Transparent}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ReferencedContent, ::testing::ValuesIn(ContentCases), CaseName{});

// --- References back to themselves draw nothing for that reference (a mask reached again is dropped,
// a pattern reached again paints nothing, a marker reached again is not drawn); the rest draws.

const TPixelCase CycleCases[] = {
    {"pattern_filling_itself",
     R"svg(<pattern id="p" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="5" fill="red"/>)svg"
     R"svg(<rect x="5" width="5" height="5" fill="url(#p)"/></pattern><rect width="40" height="40" fill="url(#p)"/>)svg",
     {{2, 2, Red}, {7, 2, Transparent}}},
    {"patterns_filling_each_other",
     R"svg(<pattern id="a" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="5" fill="url(#b)"/></pattern>)svg"
     R"svg(<pattern id="b" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="5" fill="url(#a)"/></pattern>)svg"
     R"svg(<rect width="20" height="20" fill="url(#a)"/><rect x="20" width="20" height="20" fill="red"/>)svg",
     {{25, 5, Red}}},
    {"pattern_href_loop",
     R"svg(<pattern id="a" xlink:href="#b" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="5" fill="red"/></pattern>)svg"
     R"svg(<pattern id="b" xlink:href="#a"/><rect width="40" height="40" fill="url(#b)"/>)svg",
     {{2, 2, Red}, {7, 7, Transparent}}},
    {"mask_masking_its_own_content",
     R"svg(<mask id="m"><rect width="40" height="40" fill="white" mask="url(#m)"/></mask>)svg"
     R"svg(<rect width="20" height="40" fill="red" mask="url(#m)"/><rect x="20" width="20" height="40" fill="blue"/>)svg",
     {{10, 20, Red}, {30, 20, Blue}}},
    {"masks_masking_each_other",
     R"svg(<mask id="a"><rect width="40" height="40" fill="white" mask="url(#b)"/></mask>)svg"
     R"svg(<mask id="b"><rect width="40" height="40" fill="white" mask="url(#a)"/></mask>)svg"
     R"svg(<rect width="20" height="40" fill="red" mask="url(#a)"/><rect x="20" width="20" height="40" fill="blue"/>)svg",
     {{30, 20, Blue}}},
    {"marker_drawing_itself",
     R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10">)svg"
     R"svg(<path d="M0 0 L4 0" stroke="red" stroke-width="2" marker-end="url(#m)"/></marker>)svg"
     R"svg(<path d="M10 10 L30 10" marker-start="url(#m)"/>)svg",
     {{12, 10, Red}}},
};

class ReferenceCycles : public TPixelTable<40, 40> {};

TEST_P(ReferenceCycles, AreCutAndTheRestPaints)
{
    CheckPixels();
}

INSTANTIATE_TEST_SUITE_P(Rows, ReferenceCycles, ::testing::ValuesIn(CycleCases), CaseName{});

// --- SVG pictures

TEST(SvgPicture, DataUriIsDrawnByTheRenderer)
{
    // <svg viewBox="0 0 2 2"><rect width="1" height="2" fill="red"/></svg>, fitted into 20 × 20 at (10, 10).
    const char* Content = R"svg(<image x="10" y="10" width="20" height="20" xlink:href="data:image/svg+xml;base64,)svg"
                          "PHN2ZyB2aWV3Qm94PSIwIDAgMiAyIiB4bWxucz0iaHR0cDovL3d3dy53My5vcmcvMjAwMC9zdmciPjxyZWN0IHdpZHRo"
                          "PSIxIiBoZWlnaHQ9IjIiIGZpbGw9InJlZCIvPjwvc3ZnPg=="
                          R"svg("/>)svg";
    ExpectProbes(RenderContent(Content, 40, 40),
                 {{12, 12, Red}, {18, 28, Red}, {25, 20, Transparent}, {5, 5, Transparent}});
}

TEST(SvgPicture, PlainTextDataUri)
{
    const char* Content =
        R"svg(<image width="20" height="20" xlink:href="data:image/svg+xml;utf8,%3Csvg xmlns='http://www.w3.org/2000/svg' width='20' height='20'%3E%3Crect width='10' height='10' fill='red'/%3E%3C/svg%3E"/>)svg";
    ExpectProbes(RenderContent(Content, 40, 40), {{5, 5, Red}, {15, 15, Transparent}});
}

// A compressed picture (svgz) is the SVG it holds; a damaged one draws nothing.
struct TPackedCase {
    const char* Name;
    const char* Base64;
    std::vector<TProbe> Probes;
};

class PackedSvgPicture : public testing::TestWithParam<TPackedCase> {};

TEST_P(PackedSvgPicture, IsDrawnWhenWhole)
{
    // <svg width="20" height="20"><rect width="10" height="10" fill="red"/></svg>, gzip-compressed.
    const std::string Content =
        std::string(R"svg(<image width="20" height="20" xlink:href="data:image/svg+xml;base64,)svg") +
        GetParam().Base64 + R"svg("/><rect x="30" width="10" height="10" fill="blue"/>)svg";
    ExpectProbes(RenderContent(Content, 40, 40), GetParam().Probes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PackedSvgPicture,
    testing::Values(
        TPackedCase{
            "Whole",
            "H4sIAAAAAAACA02MywqAIBAAf8Xb3lyzW6g/k6aCPdCl7fPLIOg2MMOYdkZxrWVrFhLRMSEys+RR7jWiVkrhU4Dg7ClZ0ApECjkmetmZ"
            "Gmb65PCTnZdcioUaPKAzfeNuWpPhqm4AAAA=",
            {{5, 5, Red}, {15, 15, Transparent}, {35, 5, Blue}}},
        TPackedCase{"CutShort",
                    "H4sIAAAAAAACA02MywqAIBAAf8Xb3lyzW6g/k6aCPdCl7fPLIOg2MA==",
                    {{5, 5, Transparent}, {35, 5, Blue}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// --- The user's language

struct TLanguageCase {
    const char* List;
    const char* Language;
    bool Matches;
};

class Languages : public ::testing::TestWithParam<TLanguageCase> {};

TEST_P(Languages, MatchOnThePrimaryTag)
{
    EXPECT_EQ(LanguageMatches(GetParam().List, GetParam().Language), GetParam().Matches);
}

INSTANTIATE_TEST_SUITE_P(Rows, Languages,
                         ::testing::Values(TLanguageCase{"en", "en-US", true}, TLanguageCase{"en-GB", "en-US", true},
                                           TLanguageCase{"ru, en", "en", true}, TLanguageCase{"ru-RU", "en-US", false},
                                           TLanguageCase{"EN", "en", true}, TLanguageCase{"", "en", false},
                                           TLanguageCase{"de", "de-AT", true}));

TEST(Languages, FromTheEnvironmentWithEnglishAsFallback)
{
    setenv("LANGUAGE", "de_AT.UTF-8:en", 1);
    EXPECT_EQ(UserLanguage(), "de-AT");
    setenv("LANGUAGE", "", 1);
    const char* Saved[] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    const std::string Kept[] = {Saved[0] ? Saved[0] : "", Saved[1] ? Saved[1] : "", Saved[2] ? Saved[2] : ""};
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "C", 1);
    EXPECT_EQ(UserLanguage(), "en");
    const char* Names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int I = 0; I < 3; ++I)
        if (Saved[I])
            setenv(Names[I], Kept[I].c_str(), 1);
        else
            unsetenv(Names[I]);
    unsetenv("LANGUAGE");
}

}  // namespace
}  // namespace plumwick
