// Gradients: stops read into a colour table, and linear and radial brushes probed on the surface.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "svg/paint/SVGPaint.h"
#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

// --- Colour tables.

struct TEntry {
    ARGB Color;
    float Position;
};

struct TTableCase {
    const char* Name;
    const char* Defs;  // the gradient "g" and whatever it refers to
    std::uint8_t Alpha;
    std::vector<TEntry> Expected;
};

class ColourTable : public ::testing::TestWithParam<TTableCase> {};

TEST_P(ColourTable, IsBuiltFromTheStops)
{
    const TTableCase& C = GetParam();
    TSVG Svg;
    Svg.LoadFromText(std::string("<svg><defs>") + C.Defs + "</defs></svg>");
    auto* G = dynamic_cast<TSVGGradient*>(Svg.FindByID("g"));
    ASSERT_NE(G, nullptr);
    TColors Table;
    const int Count = G->GetColors(C.Alpha, Table);
    ASSERT_EQ(Count, static_cast<int>(C.Expected.size()));
    ASSERT_EQ(Table.Count, Count);
    ASSERT_EQ(Table.Colors.size(), C.Expected.size());
    ASSERT_EQ(Table.Positions.size(), C.Expected.size());
    for (size_t I = 0; I < C.Expected.size(); ++I) {
        EXPECT_EQ(Hex(Table.Colors[I]), Hex(C.Expected[I].Color)) << "entry " << I;
        EXPECT_FLOAT_EQ(Table.Positions[I], C.Expected[I].Position) << "entry " << I;
    }
}

const TTableCase TableCases[] = {
    {"two_stops",
     R"svg(<linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Blue, 1}}},
    {"alpha_reaches_every_entry",
     R"svg(<linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>)svg",
     100,
     {{0x64FF0000, 0}, {0x640000FF, 1}}},
    {"ends_are_padded",
     R"svg(<linearGradient id="g"><stop offset="0.2" stop-color="red"/><stop offset="0.8" stop-color="blue"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Red, 0.2f}, {Blue, 0.8f}, {Blue, 1}}},
    {"one_stop_is_uniform",
     R"svg(<linearGradient id="g"><stop offset="0.5" stop-color="#008000"/></linearGradient>)svg",
     255,
     {{Green, 0}, {Green, 0.5f}, {Green, 1}}},
    {"percent_offsets",
     R"svg(<linearGradient id="g"><stop offset="0%" stop-color="red"/><stop offset="50%" stop-color="blue"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Blue, 0.5f}, {Blue, 1}}},
    {"missing_offset_is_zero",
     R"svg(<linearGradient id="g"><stop stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Blue, 1}}},
    // Offsets are clamped to 0..1 and never fall below the one before.
    {"offsets_never_fall_back",
     R"svg(<linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="0.8" stop-color="blue"/><stop offset="0.5" stop-color="lime"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Blue, 0.8f}, {Lime, 0.8f}, {Lime, 1}}},
    {"offset_clamped_to_one",
     R"svg(<linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="1.5" stop-color="blue"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Blue, 1}}},
    {"empty_offset_clamped_to_zero",
     R"svg(<linearGradient id="g"><stop offset="" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Blue, 1}}},
    // The colour's own alpha multiplies the stop opacity.
    {"colour_alpha_and_stop_opacity",
     R"svg(<linearGradient id="g"><stop stop-color="rgba(255,0,0,0.5)" stop-opacity="0.5"/></linearGradient>)svg",
     255,
     {{0x40FF0000, 0}, {0x40FF0000, 1}}},
    {"current_color_of_the_gradient",
     R"svg(<linearGradient id="g" color="blue"><stop stop-color="currentColor"/></linearGradient>)svg",
     255,
     {{Blue, 0}, {Blue, 1}}},
    {"inherit_takes_the_gradients_stop_colour",
     R"svg(<linearGradient id="g" stop-color="blue"><stop stop-color="inherit"/></linearGradient>)svg",
     255,
     {{Blue, 0}, {Blue, 1}}},
    {"inherit_without_a_parent_value_is_black",
     R"svg(<linearGradient id="g"><stop stop-color="inherit"/></linearGradient>)svg",
     255,
     {{0xFF000000, 0}, {0xFF000000, 1}}},
    // 255 × 0.5 = 127.5 rounds to the even 128; 128 × 0.5 = 64.
    {"stop_opacity_half",
     R"svg(<linearGradient id="g"><stop stop-color="red" stop-opacity="0.5"/></linearGradient>)svg",
     255,
     {{0x80FF0000, 0}, {0x80FF0000, 1}}},
    {"stop_opacity_half_of_128",
     R"svg(<linearGradient id="g"><stop stop-color="red" stop-opacity="0.5"/></linearGradient>)svg",
     128,
     {{0x40FF0000, 0}, {0x40FF0000, 1}}},
    {"stop_opacity_percent",
     R"svg(<linearGradient id="g"><stop stop-color="red" stop-opacity="50%"/></linearGradient>)svg",
     255,
     {{0x80FF0000, 0}, {0x80FF0000, 1}}},
    {"stop_opacity_above_one",
     R"svg(<linearGradient id="g"><stop stop-color="red" stop-opacity="2"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Red, 1}}},
    {"stop_opacity_below_zero",
     R"svg(<linearGradient id="g"><stop stop-color="red" stop-opacity="-1"/></linearGradient>)svg",
     255,
     {{0x00FF0000, 0}, {0x00FF0000, 1}}},
    {"stop_opacity_in_style",
     R"svg(<linearGradient id="g"><stop style="stop-color:red;stop-opacity:0.5"/></linearGradient>)svg",
     255,
     {{0x80FF0000, 0}, {0x80FF0000, 1}}},
    {"colour_from_style",
     R"svg(<linearGradient id="g"><stop style="stop-color:#f00"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Red, 1}}},
    {"style_colour_wins",
     R"svg(<linearGradient id="g"><stop stop-color="blue" style="stop-color:#f00"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Red, 1}}},
    {"unreadable_attribute_falls_back_to_style",
     R"svg(<linearGradient id="g"><stop stop-color="bluish" style="stop-color:#f00"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Red, 1}}},
    // Without a usable colour a stop paints black, the initial stop colour.
    {"stop_without_colour_is_black",
     R"svg(<linearGradient id="g"><stop offset="0"/><stop offset="1" stop-color="none"/></linearGradient>)svg",
     255,
     {{0xFF000000, 0}, {0xFF000000, 1}}},
    {"other_children_ignored",
     R"svg(<linearGradient id="g"><rect width="5" height="5"/><stop offset="1" stop-color="blue"/><g/></linearGradient>)svg",
     255,
     {{Blue, 0}, {Blue, 1}}},
    {"no_stops", R"svg(<linearGradient id="g"/>)svg", 255, {}},
    // A reference lends its stops only to a gradient that has none.
    {"own_stops_win_over_the_reference",
     R"svg(<linearGradient id="base"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>)svg"
     R"svg(<linearGradient id="g" xlink:href="#base"><stop offset="0" stop-color="lime"/></linearGradient>)svg",
     255,
     {{Lime, 0}, {Lime, 1}}},
    {"href_across_gradient_kinds",
     R"svg(<radialGradient id="base"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/></radialGradient>)svg"
     R"svg(<linearGradient id="g" href="#base"/>)svg",
     255,
     {{Red, 0}, {Blue, 1}}},
    {"href_to_nothing_keeps_own_stops",
     R"svg(<linearGradient id="g" xlink:href="#missing"><stop offset="0" stop-color="lime"/></linearGradient>)svg",
     255,
     {{Lime, 0}, {Lime, 1}}},
    {"href_chain_is_followed",
     R"svg(<linearGradient id="a"><stop offset="0" stop-color="red"/></linearGradient><linearGradient id="b" xlink:href="#a"/>)svg"
     R"svg(<linearGradient id="g" xlink:href="#b"/>)svg",
     255,
     {{Red, 0}, {Red, 1}}},
    {"href_cycle_ends",
     R"svg(<linearGradient id="a" xlink:href="#g"/><linearGradient id="g" xlink:href="#a"/>)svg",
     255,
     {}},
    {"href_to_something_else",
     R"svg(<g id="notagradient"><stop offset="0" stop-color="red"/></g><linearGradient id="g" xlink:href="#notagradient"/>)svg",
     255,
     {}},
    {"href_to_itself",
     R"svg(<linearGradient id="g" xlink:href="#g"><stop offset="0" stop-color="red"/></linearGradient>)svg",
     255,
     {{Red, 0}, {Red, 1}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ColourTable, ::testing::ValuesIn(TableCases), CaseName{});

TEST(ColourTable, GreyscaleAndFixedColourReachTheStops)
{
    const char* Text =
        R"svg(<svg><linearGradient id="g"><stop stop-color="red"/><stop offset="1" stop-color="none"/></linearGradient></svg>)svg";
    TSVG Grey;
    Grey.SetGrayscale(true);
    Grey.LoadFromText(Text);
    auto* G = dynamic_cast<TSVGStop*>(Grey.FindByID("g")->GetItem(0));
    ASSERT_NE(G, nullptr);
    const TColor C = G->GetStopColor();
    EXPECT_EQ(C & 0xFF, (C >> 8) & 0xFF);
    EXPECT_EQ(C & 0xFF, (C >> 16) & 0xFF);
    EXPECT_NE(C, 0xFF);

    TSVG Fixed;
    Fixed.SetFixedColor(0x00FF00);  // $00BBGGRR: green
    Fixed.LoadFromText(Text);
    EXPECT_EQ(dynamic_cast<TSVGStop*>(Fixed.FindByID("g")->GetItem(0))->GetStopColor(), 0x00FF00);
    // "none" is no stop colour: the initial black, which the fixed colour replaces too.
    EXPECT_EQ(dynamic_cast<TSVGStop*>(Fixed.FindByID("g")->GetItem(1))->GetStopColor(), 0x00FF00);
}

TEST(Gradients, ReadTheirGeometryAndDefaults)
{
    TSVG Svg;
    Svg.LoadFromText(R"svg(<svg><linearGradient id="l" x1="1" y1="2" x2="50%" gradientUnits="userSpaceOnUse"/>)svg"
                     R"svg(<radialGradient id="r"/><radialGradient id="r2" cx="10" cy="20" r="5"/></svg>)svg");
    auto* L = dynamic_cast<TSVGLinearGradient*>(Svg.FindByID("l"));
    ASSERT_NE(L, nullptr);
    EXPECT_FLOAT_EQ(L->GetX1(), 1);
    EXPECT_FLOAT_EQ(L->GetY1(), 2);
    EXPECT_FLOAT_EQ(L->GetX2(), 50);  // a percentage reads as the bare number
    EXPECT_FLOAT_EQ(L->GetY2(), 0);
    EXPECT_EQ(L->GetGradientUnits(), guUserSpaceOnUse);
    EXPECT_EQ(L->GetDisplayCode(), 0);
    auto* R = dynamic_cast<TSVGRadialGradient*>(Svg.FindByID("r"));
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(R->GetGradientUnits(), guObjectBoundingBox);
    EXPECT_FLOAT_EQ(R->GetCX(), 0.5f);
    EXPECT_FLOAT_EQ(R->GetR(), 0.5f);
    EXPECT_FLOAT_EQ(R->GetFX(), 0.5f);
    // The focus does not follow a given centre.
    auto* R2 = dynamic_cast<TSVGRadialGradient*>(Svg.FindByID("r2"));
    EXPECT_FLOAT_EQ(R2->GetCX(), 10);
    EXPECT_FLOAT_EQ(R2->GetFX(), 0.5f);
    EXPECT_FLOAT_EQ(R2->GetFY(), 0.5f);
}

TEST(Gradients, CopiesKeepTheirFieldsAndStops)
{
    TSVG Svg;
    Svg.LoadFromText(
        R"svg(<svg><radialGradient id="r" cx="10" cy="20" r="5" fx="11" fy="12" gradientUnits="userSpaceOnUse" xlink:href="#x">)svg"
        R"svg(<stop offset="0.25" stop-color="red" stop-opacity="0.5"/></radialGradient></svg>)svg");
    auto* R = dynamic_cast<TSVGRadialGradient*>(Svg.FindByID("r"));
    std::unique_ptr<TSVGObject> Copy(R->Clone(nullptr));
    auto* C = dynamic_cast<TSVGRadialGradient*>(Copy.get());
    ASSERT_NE(C, nullptr);
    EXPECT_FLOAT_EQ(C->GetCX(), 10);
    EXPECT_FLOAT_EQ(C->GetCY(), 20);
    EXPECT_FLOAT_EQ(C->GetR(), 5);
    EXPECT_FLOAT_EQ(C->GetFX(), 11);
    EXPECT_FLOAT_EQ(C->GetFY(), 12);
    EXPECT_EQ(C->GetGradientUnits(), guUserSpaceOnUse);
    EXPECT_EQ(C->GetURI(), "x");
    ASSERT_EQ(C->GetCount(), 1);
    auto* Stop = dynamic_cast<TSVGStop*>(C->GetItem(0));
    ASSERT_NE(Stop, nullptr);
    EXPECT_FLOAT_EQ(Stop->GetStop(), 0.25f);
    EXPECT_EQ(Stop->GetStopColor(), 0x0000FF);
    EXPECT_FLOAT_EQ(Stop->GetOpacity(), 0.5f);
}

// --- Brushes on the surface.

// Straight mix of two opaque colours, T from 0 (A) to 1 (B).
ARGB Mix(ARGB A, ARGB B, double T)
{
    auto Channel = [&](int Shift) {
        const double CA = (A >> Shift) & 0xFF, CB = (B >> Shift) & 0xFF;
        return ARGB(std::lround(CA + (CB - CA) * T)) << Shift;
    };
    return Channel(24) | Channel(16) | Channel(8) | Channel(0);
}

const ARGB RedBlueMid = Mix(Red, Blue, 0.5);

class GradientPixels : public TPixelTable<100, 100> {};

TEST_P(GradientPixels, AreColouredAsTheStopsSay)
{
    CheckPixels();
}

#define RED_BLUE R"svg(<stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/>)svg"
#define FULL_RECT(paint) "<rect width=\"100\" height=\"100\" " paint "/>"

const TPixelCase GradientPaintCases[] = {
    // Pixel centres: x + 0.5 along a gradient 100 units long.
    {"linear_user_space_start_middle_end",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="100" y2="0">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{0, 50, Red, 2}, {49, 10, Mix(Red, Blue, 0.495), 3}, {49, 90, Mix(Red, Blue, 0.495), 3}, {99, 50, Blue, 3}}},
    // Pad (the default), reflect and repeat beyond the end points.
    {"linear_pads_beyond_the_end",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="50">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{24, 50, RedBlueMid, 6}, {74, 50, Blue, 2}, {99, 50, Blue, 2}}},
    {"linear_reflects_beyond_the_end",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="50" spreadMethod="reflect">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{24, 50, RedBlueMid, 6},
      {52, 50, Mix(Red, Blue, 0.95), 4},
      {75, 50, RedBlueMid, 6},
      {98, 50, Mix(Red, Blue, 0.03), 4}}},
    {"linear_repeats_beyond_the_end",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="50" spreadMethod="repeat">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{24, 50, RedBlueMid, 6}, {74, 50, RedBlueMid, 6}, {48, 50, Blue, 10}, {50, 50, Red, 4}}},
    {"linear_pads_before_the_start",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x1="50" x2="100">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{24, 50, Red, 2}, {75, 50, RedBlueMid, 6}}},
    // Bounding-box units: x1..y2 are fractions of the box; x2 = 0 and y2 = 1 run top to bottom.
    {"linear_box_vertical_with_x2_zero",
     R"svg(<linearGradient id="g" x1="0" y1="0" x2="0" y2="1">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{10, 0, Red, 4}, {90, 0, Red, 4}, {10, 99, Blue, 4}, {50, 49, Mix(Red, Blue, 0.495), 4}}},
    {"linear_box_percentages",
     R"svg(<linearGradient id="g" x1="50%" x2="100%">)svg" RED_BLUE
     "</linearGradient><rect x=\"0\" y=\"0\" width=\"50\" height=\"50\" fill=\"url(#g)\"/>",
     {{10, 10, Red, 2}, {37, 10, RedBlueMid, 8}}},
    {"linear_user_space_percentages_of_the_viewport",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x1="0%" x2="50%">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{24, 50, RedBlueMid, 6}, {75, 50, Blue, 2}}},
    // A horizontal line has no height: the bounding-box gradient is not used, the fallback is.
    {"linear_box_on_a_line_uses_the_fallback",
     R"svg(<linearGradient id="g">)svg" RED_BLUE
     R"svg(</linearGradient><line x1="0" y1="50" x2="100" y2="50" stroke="url(#g) #008000" stroke-width="10"/>)svg",
     {{50, 50, Green}}},
    {"linear_box_on_a_line_paints_nothing",
     R"svg(<linearGradient id="g">)svg" RED_BLUE
     R"svg(</linearGradient><line x1="0" y1="50" x2="100" y2="50" stroke="url(#g)" stroke-width="10"/>)svg",
     {{50, 50, Transparent}}},
    // Without coordinates a user-space gradient runs from 0 to 100 % of the viewport width.
    {"linear_user_space_defaults",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{0, 50, Red, 3}, {99, 50, Blue, 3}}},
    {"linear_equal_end_points_show_the_last_stop",
     R"svg(<linearGradient id="g" x2="0">)svg" RED_BLUE "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Blue}}},
    // Polygons and paths keep no box in their fields; their outline gives it.
    {"linear_box_on_a_polygon",
     R"svg(<linearGradient id="g">)svg" RED_BLUE
     R"svg(</linearGradient><polygon points="0,0 100,0 100,100" fill="url(#g)"/>)svg",
     {{90, 10, Mix(Red, Blue, 0.905), 4}, {52, 10, Mix(Red, Blue, 0.525), 4}, {5, 95, Transparent}}},
    {"linear_box_on_a_path",
     R"svg(<linearGradient id="g">)svg" RED_BLUE
     R"svg(</linearGradient><path d="M20 20H80V80H20Z" fill="url(#g)"/>)svg",
     {{20, 20, Red, 8}, {79, 79, Blue, 8}, {49, 49, RedBlueMid, 8}}},
    {"linear_one_stop_uniform",
     R"svg(<linearGradient id="g"><stop offset="0.3" stop-color="red"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{1, 1, Red}, {50, 50, Red}, {98, 98, Red}}},
    {"linear_padded_ends",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100"><stop offset="0.2" stop-color="red"/><stop offset="0.8" stop-color="blue"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{5, 50, Red, 0}, {15, 50, Red, 0}, {49, 50, RedBlueMid, 6}, {85, 50, Blue, 0}}},
    // An offset below an earlier one is raised to it: red to blue up to 0.8, lime after it.
    {"linear_offsets_out_of_order",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100"><stop offset="0" stop-color="red"/><stop offset="0.8" stop-color="blue"/><stop offset="0.5" stop-color="lime"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{39, 50, RedBlueMid, 6}, {70, 50, Mix(Red, Blue, 70.5 / 80), 6}, {85, 50, Lime, 0}}},
    {"linear_equal_offsets_hard_edge",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100"><stop offset="0.5" stop-color="red"/><stop offset="0.5" stop-color="blue"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{0, 50, Red}, {49, 50, Red}, {50, 50, Blue}, {99, 50, Blue}}},
    {"linear_equal_offsets_at_the_ends",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100"><stop offset="0" stop-color="lime"/><stop offset="0" stop-color="red"/>)svg"
     R"svg(<stop offset="1" stop-color="blue"/><stop offset="1" stop-color="lime"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{0, 50, Red, 4}, {49, 50, Mix(Red, Blue, 0.495), 3}, {99, 50, Blue, 4}}},
    {"linear_offset_beyond_one_is_clamped",
     R"svg(<linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="1.5" stop-color="blue"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{0, 50, Red, 3}, {99, 50, Blue, 3}}},
    {"linear_offset_below_zero_is_clamped",
     R"svg(<linearGradient id="g"><stop offset="-0.5" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{0, 50, Red, 3}, {99, 50, Blue, 3}}},
    {"linear_without_stops_paints_nothing",
     R"svg(<linearGradient id="g"/>)svg" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Transparent}}},
    {"fill_opacity_reaches_the_stops",
     R"svg(<linearGradient id="g"><stop stop-color="red" stop-opacity="0.5"/></linearGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)" fill-opacity="0.5")svg"),
     {{50, 50, 0x40FF0000, 1}}},
    // The referencing gradient takes the referenced one's stops, and the coordinates and units it
    // does not give itself.
    {"href_inherits_stops_and_attributes",
     R"svg(<linearGradient id="base" gradientUnits="userSpaceOnUse" x1="0" x2="100">)svg" RED_BLUE
     R"svg(</linearGradient><linearGradient id="g" xlink:href="#base"/>)svg" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{0, 90, Red, 2}, {99, 10, Blue, 3}, {49, 90, Mix(Red, Blue, 0.495), 3}}},
    {"href_own_coordinates_win",
     R"svg(<linearGradient id="base" gradientUnits="userSpaceOnUse" x1="0" x2="100">)svg" RED_BLUE
     R"svg(</linearGradient><linearGradient id="g" xlink:href="#base" x2="0" y2="100"/>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{90, 0, Red, 2}, {10, 99, Blue, 3}}},
    {"href_own_units_win",
     R"svg(<linearGradient id="base" gradientUnits="userSpaceOnUse" x1="0" x2="100">)svg" RED_BLUE
     R"svg(</linearGradient><linearGradient id="g" xlink:href="#base" gradientUnits="objectBoundingBox" x2="1"/>)svg"
     R"svg(<rect x="0" y="0" width="50" height="50" fill="url(#g)"/>)svg",
     {{0, 10, Red, 8}, {49, 10, Blue, 8}}},
    {"href_inherits_gradient_transform",
     R"svg(<linearGradient id="base" gradientUnits="userSpaceOnUse" x2="100" gradientTransform="rotate(90)">)svg" RED_BLUE
     R"svg(</linearGradient><linearGradient id="g" xlink:href="#base"/>)svg" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{90, 0, Red, 2}, {10, 99, Blue, 3}}},
    {"href_to_nothing_keeps_its_own_stops",
     R"svg(<linearGradient id="g" xlink:href="#none">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{0, 50, Red, 3}, {99, 50, Blue, 3}}},
    {"missing_server_falls_back_on_the_colour", FULL_RECT(R"svg(fill="url(#missing) #008000")svg"), {{50, 50, Green}}},
    {"missing_server_without_fallback_paints_nothing",
     FULL_RECT(R"svg(fill="url(#missing)")svg"),
     {{50, 50, Transparent}}},
    {"reference_to_a_shape_falls_back",
     "<rect id=\"r\" width=\"1\" height=\"1\" fill=\"none\"/>" FULL_RECT(R"svg(fill="url(#r) #008000")svg"),
     {{50, 50, Green}}},
    {"gradient_transform_turns_the_brush",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100" gradientTransform="rotate(90)">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 0, Red, 2}, {0, 49, Mix(Red, Blue, 0.495), 3}, {99, 49, Mix(Red, Blue, 0.495), 3}, {50, 99, Blue, 3}}},
    {"gradient_transform_without_inverse_paints_nothing",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100" gradientTransform="scale(0)">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Transparent}}},
    // transform-origin moves the fixed point of the gradient transform: a mirror about the middle.
    {"transform_origin_keyword_of_the_viewport",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100" gradientTransform="scale(-1,1)" transform-origin="center">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{0, 50, Blue, 3}, {99, 50, Red, 3}}},
    {"transform_origin_in_bounding_box_units",
     R"svg(<linearGradient id="g" gradientTransform="scale(-1,1)" transform-origin="0.5 0.5">)svg" RED_BLUE
     R"svg(</linearGradient><rect x="50" width="50" height="100" fill="url(#g)"/>)svg",
     {{50, 50, Blue, 6}, {99, 50, Red, 6}}},
    {"transform_origin_percent_of_the_unit_box",
     R"svg(<linearGradient id="g" gradientTransform="scale(-1,1)" transform-origin="50% 50%">)svg" RED_BLUE
     R"svg(</linearGradient><rect x="50" width="50" height="100" fill="url(#g)"/>)svg",
     {{50, 50, Blue, 6}, {99, 50, Red, 6}}},
    {"transform_attribute_has_no_effect",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100" transform="rotate(90)">)svg" RED_BLUE
     "</linearGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{0, 99, Red, 2}, {99, 0, Blue, 3}}},
    // The brush lives in the element's user space and moves with its transform.
    {"gradient_follows_the_element_transform",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="50">)svg" RED_BLUE
     R"svg(</linearGradient><rect width="50" height="100" fill="url(#g)" transform="translate(50,0)"/>)svg",
     {{50, 50, Red, 4}, {99, 50, Blue, 6}, {10, 50, Transparent}}},
    {"stroke_with_a_gradient",
     R"svg(<linearGradient id="g" gradientUnits="userSpaceOnUse" x2="100">)svg" RED_BLUE
     R"svg(</linearGradient><rect x="10" y="10" width="80" height="80" fill="none" stroke="url(#g)" stroke-width="10"/>)svg",
     {{10, 50, Mix(Red, Blue, 0.105), 3}, {89, 50, Mix(Red, Blue, 0.895), 3}, {50, 50, Transparent}}},
    // Text is measured by its character cells (ascent to descent), not by its ink: a full stop lies
    // wholly in the lower half of its cell.
    {"box_units_on_text_span_the_character_cells",
     R"svg(<linearGradient id="g" x2="0" y2="1"><stop offset="0.5" stop-color="lime"/>)svg"
     R"svg(<stop offset="0.5" stop-color="red"/></linearGradient>)svg"
     R"svg(<text x="10" y="80" font-family="Arial" font-size="100" fill="url(#g)">.</text>)svg",
     {{23, 71, Red, 4}, {23, 78, Red, 4}}},
    {"the_gradient_is_never_painted",
     R"svg(<linearGradient id="g" fill="red" stroke="red" x2="100">)svg" RED_BLUE "</linearGradient>",
     {{50, 50, Transparent}, {0, 0, Transparent}}},
    {"a_group_gradient_reaches_its_children",
     R"svg(<linearGradient id="g">)svg" RED_BLUE R"svg(</linearGradient><g fill="url(#g)">)svg" FULL_RECT("") "</g>",
     {{0, 50, Red, 3}, {99, 50, Blue, 3}}},

    // Radial, user space: the circle (cx, cy, r) with stop 0 at the focus (fx, fy).
    {"radial_user_space_focus_and_rim",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fx="30" fy="30">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{30, 30, Red, 8}, {50, 89, Blue, 20}, {89, 50, Blue, 20}}},
    {"radial_pads_outside_its_circle",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fx="50" fy="50">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Red, 8}, {5, 5, Blue}, {95, 50, Blue}, {50, 95, Blue}, {50, 69, RedBlueMid, 12}}},
    {"radial_repeats_outside_its_circle",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="20" spreadMethod="repeat">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 60, RedBlueMid, 12}, {50, 80, RedBlueMid, 12}}},
    {"radial_focal_radius",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fr="20">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Red}, {50, 64, Red, 3}, {50, 80, RedBlueMid, 12}}},
    // A focal circle as large as the outer one: first stop inside, last outside.
    {"radial_focal_radius_equal_to_the_radius",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="30" fr="30">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Red}, {50, 75, Red}, {50, 85, Blue}, {5, 5, Blue}}},
    {"radial_negative_focal_radius_reads_as_zero",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fr="-10">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Red, 8}, {50, 70, RedBlueMid, 12}, {5, 5, Blue}}},
    // A focus on the circle: the side of the tangent away from the circle gets no colour.
    {"radial_focus_on_the_circle",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fx="90" fy="50">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{95, 50, Transparent}, {30, 50, Mix(Red, Blue, 0.75), 24}, {5, 50, Blue}}},
    {"radial_box_units_on_a_rect",
     R"svg(<radialGradient id="g">)svg" RED_BLUE
     R"svg(</radialGradient><rect x="0" y="20" width="100" height="60" fill="url(#g)"/>)svg",
     {{50, 50, Red, 8}, {1, 21, Blue}, {98, 78, Blue}, {25, 50, RedBlueMid, 12}, {50, 35, RedBlueMid, 12}}},
    // The focus is a fraction of the box in these units.
    {"radial_box_focus_is_a_fraction",
     R"svg(<radialGradient id="g" fx="0.25" fy="0.5">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{25, 50, Red, 8}, {62, 50, RedBlueMid, 12}, {12, 50, RedBlueMid, 12}}},
    // A circle is measured by what it draws: the brush ellipse is the circle itself.
    {"radial_box_on_a_circle",
     R"svg(<radialGradient id="g">)svg" RED_BLUE
     R"svg(</radialGradient><circle cx="40" cy="40" r="40" fill="url(#g)"/>)svg",
     {{40, 40, Red, 8}, {40, 20, RedBlueMid, 12}, {20, 40, RedBlueMid, 12}, {75, 40, Blue, 40}}},
    {"radial_box_centre_and_radius",
     R"svg(<radialGradient id="g" cx="0.25" cy="0.25" r="0.25">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{25, 25, Red, 8}, {25, 12, RedBlueMid, 12}, {75, 75, Blue}, {60, 25, Blue}}},
    {"radial_focus_follows_the_centre",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{5, 5, Blue}, {50, 50, Red, 8}, {50, 70, RedBlueMid, 12}}},
    {"radial_focus_lent_by_the_reference",
     R"svg(<radialGradient id="base" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fx="30" fy="30">)svg" RED_BLUE
     R"svg(</radialGradient><radialGradient id="g" xlink:href="#base" cx="50"/>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{30, 30, Red, 8}}},
    {"radial_equal_offsets_hard_edge",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fx="50" fy="50">)svg"
     R"svg(<stop offset="0.5" stop-color="red"/><stop offset="0.5" stop-color="blue"/></radialGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{50, 50, Red}, {50, 68, Red}, {50, 71, Blue}, {50, 88, Blue}}},
    {"radial_offsets_out_of_order",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fx="50" fy="50">)svg"
     R"svg(<stop offset="0" stop-color="red"/><stop offset="0.8" stop-color="blue"/><stop offset="0.5" stop-color="lime"/></radialGradient>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{50, 65, Mix(Red, Blue, 15.5 / 32), 12}, {50, 85, Lime}}},
    {"radial_without_area_shows_the_last_stop",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" r="0">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{0, 0, Blue}, {50, 50, Blue}}},
    {"radial_gradient_transform",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="0" cy="0" r="20" fx="0" fy="0" gradientTransform="translate(50,50) scale(2,1)">)svg" RED_BLUE
     "</radialGradient>" FULL_RECT(R"svg(fill="url(#g)")svg"),
     {{50, 50, Red, 8}, {85, 50, Blue, 30}, {50, 85, Blue}, {50, 25, Blue}}},
    {"radial_href_inherits_circle",
     R"svg(<radialGradient id="base" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="20">)svg" RED_BLUE
     R"svg(</radialGradient><radialGradient id="g" xlink:href="#base" fx="50" fy="50"/>)svg" FULL_RECT(
         R"svg(fill="url(#g)")svg"),
     {{50, 50, Red, 12}, {50, 80, Blue}, {50, 65, Mix(Red, Blue, 0.775), 14}}},
    {"radial_stroke",
     R"svg(<radialGradient id="g" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="50">)svg" RED_BLUE
     R"svg(</radialGradient><circle cx="50" cy="50" r="25" fill="none" stroke="url(#g)" stroke-width="10"/>)svg",
     {{50, 25, RedBlueMid, 14}, {50, 50, Transparent}, {50, 5, Transparent}}},
};

#undef RED_BLUE
#undef FULL_RECT

INSTANTIATE_TEST_SUITE_P(Rows, GradientPixels, ::testing::ValuesIn(GradientPaintCases), CaseName{});

TEST(GradientBrushes, AreMadeForTheElementAndOwnedByTheCaller)
{
    TSVG Svg;
    Svg.LoadFromText(
        R"svg(<svg><linearGradient id="l" x2="1"><stop stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>)svg"
        R"svg(<radialGradient id="r" r="10"><stop stop-color="red"/><stop offset="1" stop-color="blue"/></radialGradient>)svg"
        R"svg(<radialGradient id="one"><stop stop-color="red"/></radialGradient>)svg"
        R"svg(<linearGradient id="none"/></svg>)svg");
    auto Brush = [&](const char* ID) { return dynamic_cast<TSVGGradient*>(Svg.FindByID(ID))->GetBrush(255, nullptr); };
    // Without an element to paint, bounding-box units fall back to the gradient's own coordinates.
    auto LB = Brush("l");
    ASSERT_NE(LB, nullptr);
    EXPECT_EQ(LB->GetType(), BrushTypeLinearGradient);
    EXPECT_EQ(LB->GetLastStatus(), Ok);
    auto RB = Brush("r");
    ASSERT_NE(RB, nullptr);
    EXPECT_EQ(RB->GetType(), BrushTypeRadialGradient);
    EXPECT_EQ(RB->GetLastStatus(), Ok);
    // One stop is a plain colour; no stops paint nothing.
    auto OB = Brush("one");
    ASSERT_NE(OB, nullptr);
    EXPECT_EQ(OB->GetType(), BrushTypeSolidColor);
    EXPECT_EQ(Brush("none"), nullptr);
}

}  // namespace
}  // namespace plumwick
