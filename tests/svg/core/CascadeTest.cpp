// The style cascade: attributes, inline style, sheet rules and parents, and the resolved readers.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestElements.h"
#include "svg/base/SVGColor.h"

namespace plumwick::testing {
namespace {

constexpr TColor Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00;

// One document, the element "t" in it, and the value one reader gives for it.
struct TCascadeCase {
    const char* Name;
    const char* Svg;
    std::function<double(TSVGBasic&)> Read;
    double Expected;
};

class Cascade : public ::testing::TestWithParam<TCascadeCase> {};

TEST_P(Cascade, ResolvesAsExpected)
{
    const TCascadeCase& C = GetParam();
    auto Svg = LoadTestDocument(C.Svg);
    auto* T = Find(*Svg, "t");
    ASSERT_NE(T, nullptr) << C.Svg;
    // Late rules reach elements with an outline at their first paint.
    Paint(*Svg, 4, 4);
    EXPECT_NEAR(C.Read(*T), C.Expected, 1e-6) << C.Svg;
}

auto Fill = [](TSVGBasic& E) { return double(E.GetFillColor()); };
auto Stroke = [](TSVGBasic& E) { return double(E.GetStrokeColor()); };
auto FillOpacity = [](TSVGBasic& E) { return double(E.GetFillOpacity()); };
auto StrokeOpacity = [](TSVGBasic& E) { return double(E.GetStrokeOpacity()); };
auto Opacity = [](TSVGBasic& E) { return double(E.GetOpacity()); };

const TCascadeCase CascadeCases[] = {
    {"attribute", R"svg(<svg><box id="t" fill="red"/></svg>)svg", Fill, Red},
    {"inline_beats_attribute", R"svg(<svg><box id="t" fill="red" style="fill:#0000ff"/></svg>)svg", Fill, Blue},
    {"element_name_rule", R"svg(<svg><style>box { fill: red }</style><box id="t"/></svg>)svg", Fill, Red},
    {"id_beats_later_class", R"svg(<svg><style><![CDATA[
        #t { fill: blue }
        .c { fill: red }
      ]]></style><box id="t" class="c"/></svg>)svg",
     Fill, Blue},
    {"sheet_beats_presentation_attribute",
     R"svg(<svg><style>#t { fill: blue } </style><box id="t" class="c" fill="#00ff00"/></svg>)svg", Fill, Blue},
    {"inline_beats_sheet", R"svg(<svg><style>#t { fill: blue } </style><box id="t" style="fill:#00ff00"/></svg>)svg",
     Fill, Green},
    {"plain_name_is_a_type_selector", R"svg(<svg><style type="text/css">
        .a { fill: red; stroke: red }
        b { stroke: blue }
      </style><box id="t" class="a b"/></svg>)svg",
     Stroke, Red},
    {"sheet_after_element_reaches_shape", R"svg(<svg><box id="t"/><style>#t{fill:red}</style></svg>)svg", Fill, Red},
    {"one_line_sheet_reads_every_rule",
     R"svg(<svg><style>.a{fill:red}.b{stroke:blue}</style><box id="t" class="b"/></svg>)svg", Stroke, Blue},
    {"selector_list", R"svg(<svg><style>.x, #t { fill: red }</style><box id="t"/></svg>)svg", Fill, Red},
    {"parent_colour", R"svg(<svg><g fill="#00ff00"><box id="t"/></g></svg>)svg", Fill, Green},
    // A paint reference is inherited whole: without a fallback its colour is none.
    {"gradient_reference_is_inherited", R"svg(<svg fill="red"><g fill="url(#grad)"><box id="t"/></g></svg>)svg", Fill,
     SVG_NONE_COLOR},
    {"gradient_reference_fallback_colour", R"svg(<svg><g fill="url(#grad) #0000ff"><box id="t"/></g></svg>)svg", Fill,
     Blue},
    {"default_fill_black", R"svg(<svg><box id="t"/></svg>)svg", Fill, 0},
    {"default_stroke_none", R"svg(<svg><box id="t"/></svg>)svg", Stroke, SVG_NONE_COLOR},
    {"fill_none", R"svg(<svg><g fill="red"><box id="t" fill="none"/></g></svg>)svg", Fill, SVG_NONE_COLOR},
    {"color_alone_paints_no_stroke", R"svg(<svg><box id="t" color="red"/></svg>)svg", Stroke, SVG_NONE_COLOR},
    {"color_alone_leaves_the_fill", R"svg(<svg><box id="t" color="red"/></svg>)svg", Fill, 0},
    {"current_color_stroke_on_root_is_black", R"svg(<svg fill="none" stroke="currentColor"><box id="t"/></svg>)svg",
     Stroke, 0},
    {"current_color_inline_on_root_is_black", R"svg(<svg style="fill: currentColor"><box id="t"/></svg>)svg", Fill, 0},
    {"current_color_takes_color_of_root", R"svg(<svg color="red"><box id="t" fill="currentColor"/></svg>)svg", Fill,
     Red},
    {"current_color_nearest_color_wins",
     R"svg(<svg color="red"><g color="#0000ff"><box id="t" style="stroke: currentColor"/></g></svg>)svg", Stroke, Blue},
    {"current_color_from_sheet_rule",
     R"svg(<svg><style>.c { color: #00ff00 }</style><box id="t" class="c" fill="currentColor"/></svg>)svg", Fill,
     Green},
    {"current_color_skips_unreadable_color",
     R"svg(<svg color="red"><box id="t" color="bogus" stroke="currentcolor"/></svg>)svg", Stroke, Red},
    {"transparent_has_no_alpha", R"svg(<svg fill="red"><box id="t" fill="transparent"/></svg>)svg", Fill,
     TColor(0xFF000000)},
    {"opacity_then_fill_opacity", R"svg(<svg><box id="t" opacity="0.5" fill-opacity="0.8"/></svg>)svg", FillOpacity,
     0.8},
    // Opacity is the element's own, applied to it as a whole when it is painted; fill and stroke opacity
    // stay apart from it.
    {"opacity_is_not_stroke_opacity", R"svg(<svg><box id="t" opacity="0.5" fill-opacity="0.8"/></svg>)svg",
     StrokeOpacity, 1},
    {"opacity_is_own", R"svg(<svg><box id="t" opacity="0.5" fill-opacity="0.8"/></svg>)svg", Opacity, 0.5},
    {"percent_opacity", R"svg(<svg><box id="t" style="opacity:50%"/></svg>)svg", Opacity, 0.5},
    {"opacity_out_of_range_clamped", R"svg(<svg><box id="t" opacity="3"/></svg>)svg", Opacity, 1},
    {"opacity_with_a_unit_is_ignored", R"svg(<svg><box id="t" opacity="0.1mm"/></svg>)svg", Opacity, 1},
    {"fill_opacity_inherits", R"svg(<svg><g fill-opacity="0.5"><box id="t"/></g></svg>)svg", FillOpacity, 0.5},
    {"fill_opacity_does_not_accumulate",
     R"svg(<svg><g fill-opacity="0.5"><box id="t" fill-opacity="0.5"/></g></svg>)svg", FillOpacity, 0.5},
    {"stroke_opacity_nearest_wins",
     R"svg(<svg><g stroke-opacity="0.5"><g stroke-opacity="0.8"><box id="t"/></g></g></svg>)svg", StrokeOpacity, 0.8},
    {"opacity_not_inherited", R"svg(<svg><g opacity="0.5"><box id="t"/></g></svg>)svg", Opacity, 1},
    {"group_opacity_not_in_fill_opacity", R"svg(<svg><g opacity="0.5"><g opacity="0.5"><box id="t"/></g></g></svg>)svg",
     FillOpacity, 1},
    {"document_opacity_not_in_fill_opacity", R"svg(<svg opacity="0.5"><box id="t"/></svg>)svg", FillOpacity, 1},
    {"stroke_width_default", R"svg(<svg><box id="t"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeWidth()); }, 1},
    {"stroke_width_units", R"svg(<svg><g stroke-width="3pt"><box id="t"/></g></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeWidth()); }, 4},
    {"miter_limit_default", R"svg(<svg><box id="t"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeMiterLimit()); }, 4},
    {"miter_limit_with_unit_reads_zero", R"svg(<svg><box id="t" stroke-miterlimit="5px"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeMiterLimit()); }, 0},
    {"join_miter_is_clipped", R"svg(<svg><box id="t" stroke-linejoin="miter"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeLineJoin()); }, LineJoinMiterClipped},
    {"join_round_inherited", R"svg(<svg><g stroke-linejoin="round"><box id="t"/></g></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeLineJoin()); }, LineJoinRound},
    {"join_bevel", R"svg(<svg><box id="t" stroke-linejoin="bevel"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeLineJoin()); }, LineJoinBevel},
    {"cap_square", R"svg(<svg><box id="t" stroke-linecap="square"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeLineCap()); }, LineCapSquare},
    {"dash_cap_round", R"svg(<svg><box id="t" stroke-linecap="round"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeDashCap()); }, DashCapRound},
    {"dash_cap_square_is_flat", R"svg(<svg><box id="t" stroke-linecap="square"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeDashCap()); }, DashCapFlat},
    {"odd_dash_list_repeats", R"svg(<svg><box id="t" stroke-dasharray="5,2,1"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeDashArray().size()); }, 6},
    {"dash_none_stops_inherited",
     R"svg(<svg><g stroke-dasharray="4 2"><box id="t" stroke-dasharray="none"/></g></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeDashArray().size()); }, 0},
    {"dashes_inherited", R"svg(<svg><g stroke-dasharray="4 2"><box id="t"/></g></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetStrokeDashArray().size()); }, 2},
    {"rx_alone_sets_ry", R"svg(<svg><box id="t" rx="5"/></svg>)svg", [](TSVGBasic& E) { return double(E.GetRY()); }, 5},
    {"font_weight_bolder", R"svg(<svg><g font-weight="bolder"><box id="t"/></g></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetFontWeight()); }, 800},
    {"font_weight_leading_digits", R"svg(<svg><box id="t" font-weight="650x"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetFontWeight()); }, 650},
    {"font_size_default", R"svg(<svg><box id="t"/></svg>)svg", [](TSVGBasic& E) { return double(E.GetFontSize()); },
     16},
    {"font_style_italic", R"svg(<svg><box id="t" font-style="italic"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetFontStyle()); }, 1},
    {"font_style_oblique_leaves_it", R"svg(<svg font-style="italic"><box id="t" font-style="oblique"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetFontStyle()); }, 1},
    {"decoration_two_words", R"svg(<svg><box id="t" text-decoration="underline OVERLINE"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetTextDecoration().Bits()); }, tdUnderLine | tdOverLine},
    {"decoration_none_empties", R"svg(<svg><box id="t" text-decoration="underline none"/></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetTextDecoration().Bits()); }, 0},
    {"decoration_inherited", R"svg(<svg><g text-decoration="line-through"><box id="t"/></g></svg>)svg",
     [](TSVGBasic& E) { return double(E.GetTextDecoration().Bits()); }, tdStrikeOut},
};

INSTANTIATE_TEST_SUITE_P(Rows, Cascade, ::testing::ValuesIn(CascadeCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(CascadeDetail, GroupKeepsItsReferenceForItsChildren)
{
    auto Svg = LoadTestDocument(R"svg(<svg><g id="g" fill="url(#grad)" stroke=" url(#s) "><box id="t"/></g></svg>)svg");
    auto* G = Find(*Svg, "g");
    EXPECT_EQ(G->GetFillURI(), "grad");
    EXPECT_EQ(G->GetStrokeURI(), "s");
    EXPECT_EQ(G->GetFillColor(), SVG_NONE_COLOR);  // no fallback colour
    EXPECT_EQ(Find(*Svg, "t")->GetFillURI(), "");
    EXPECT_EQ(Find(*Svg, "t")->GetFillServer(), "grad");  // inherited with the reference
}

// Rules read after an element, and every rule for the root (read before its children), still reach groups and
// the root, and through them their descendants.
TEST(CascadeDetail, GroupsAndTheRootSeeEveryRule)
{
    struct TCase {
        const char* Svg;
        const char* Element;
        TColor Fill;
    };
    const TCase Cases[] = {
        {R"svg(<svg><g id="g"><box id="t"/></g><style>#g{fill:red}</style></svg>)svg", "g", Red},
        {R"svg(<svg><g id="g"><box id="t"/></g><style>#g{fill:red}</style></svg>)svg", "t", Red},
        {R"svg(<svg id="root"><style>#root{fill:#0000ff}</style><box id="t"/></svg>)svg", "root", Blue},
        {R"svg(<svg class="icon"><style>.icon{fill:#0000ff}</style><box id="t"/></svg>)svg", "t", Blue},
        {R"svg(<svg><g id="g" fill="#00ff00"><box id="t"/></g><style>#g{fill:red}</style></svg>)svg", "t", Red},
    };
    for (const TCase& C : Cases) {
        auto Svg = LoadTestDocument(C.Svg);
        auto* E = Find(*Svg, C.Element);
        ASSERT_NE(E, nullptr) << C.Svg;
        EXPECT_EQ(E->GetFillColor(), C.Fill) << C.Element << " in " << C.Svg;
        Paint(*Svg, 4, 4);
        EXPECT_EQ(E->GetFillColor(), C.Fill) << C.Element << " after painting " << C.Svg;
    }
}

TEST(CascadeDetail, DashValuesAreStoredAsWritten)
{
    auto Svg = LoadTestDocument(R"svg(<svg><box id="t" stroke-dasharray="5, 2 ,1" stroke-dashoffset="3"/></svg>)svg");
    auto* T = Find(*Svg, "t");
    EXPECT_EQ(T->GetStrokeDashArray(), (std::vector<float>{5, 2, 1, 5, 2, 1}));
    EXPECT_EQ(T->GetStrokeDashOffset(), 3);
}

TEST(CascadeDetail, GrayscaleAndFixedColourApplyWhenColoursResolve)
{
    auto Svg = NewTestDocument();
    Svg->SetGrayscale(true);
    Svg->LoadFromText(R"svg(<svg><box id="t" fill="#ff0000" stroke="none"/></svg>)svg");
    EXPECT_EQ(Find(*Svg, "t")->GetFillColor(), GrayscaleColor(Red));
    EXPECT_EQ(Find(*Svg, "t")->GetStrokeColor(), SVG_NONE_COLOR);

    auto Fixed = NewTestDocument();
    Fixed->SetFixedColor(Green);
    Fixed->LoadFromText(R"svg(<svg><box id="t" fill="red"/><box id="n" fill="none"/></svg>)svg");
    EXPECT_EQ(Find(*Fixed, "t")->GetFillColor(), Green);
    EXPECT_EQ(Find(*Fixed, "n")->GetFillColor(), SVG_NONE_COLOR);
}

TEST(CascadeDetail, FontNamesAreNormalisedToInstalledFamilies)
{
    std::string Family;
    for (const char* Candidate : {"Arial", "Liberation Sans", "DejaVu Sans"})
        if (TGPFontFamily(Candidate).GetLastStatus() == Ok) {
            Family = Candidate;
            break;
        }
    if (Family.empty()) GTEST_SKIP() << "no usable font family installed";
    auto Svg =
        LoadTestDocument("<svg><box id=\"b\" font-family=\"" + Family + "-BoldMT\"/><box id=\"bi\" font-family=\"" +
                         Family + "-BoldItalicMT\"/><box id=\"x\" font-family=\"NoSuchFamilyAtAll\"/></svg>");
    EXPECT_EQ(Find(*Svg, "b")->GetFontName(), Family);
    EXPECT_EQ(Find(*Svg, "b")->GetFontWeight(), 700);
    EXPECT_EQ(Find(*Svg, "b")->GetStyle().GetValues("font-weight"), "bold");
    EXPECT_EQ(Find(*Svg, "bi")->GetFontName(), Family);
    EXPECT_EQ(Find(*Svg, "bi")->GetFontWeight(), 700);
    EXPECT_EQ(Find(*Svg, "bi")->GetFontStyle(), 1);
    EXPECT_EQ(Find(*Svg, "x")->GetFontName(), "NoSuchFamilyAtAll");
    EXPECT_EQ(Find(*Svg, "x")->GetFontWeight(), 400);
}

}  // namespace
}  // namespace plumwick::testing
