// Selectors, their specificity and the cascade of sheet rules, style attributes and presentation attributes.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "svg/core/SVGBasic.h"
#include "svg/core/SVGDocument.h"
#include "svg/style/CSSParser.h"
#include "svg/style/Selector.h"

namespace plumwick {
namespace {

constexpr TColor Red = 0x0000FF, Green = 0x008000, Blue = 0xFF0000, Black = 0;

// A sheet, a document body, and the fill the rect with id "t" ends up with.
struct TSelectorCase {
    const char* Name;
    const char* Sheet;
    const char* Body;
    TColor Fill;
};

class SelectorCascade : public ::testing::TestWithParam<TSelectorCase> {};

TEST_P(SelectorCascade, GivesTheWinningFill)
{
    const TSelectorCase& C = GetParam();
    TSVG Svg;
    Svg.LoadFromText(std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"root\"><style>") + C.Sheet +
                     "</style>" + C.Body + "</svg>");
    auto* T = dynamic_cast<TSVGBasic*>(Svg.FindByID("t"));
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->GetFillColor(), C.Fill) << C.Sheet << " | " << C.Body;
}

const TSelectorCase SelectorCases[] = {
    {"type", "rect { fill: green }", R"(<rect id="t"/>)", Green},
    {"type_other_element", "circle { fill: green }", R"(<rect id="t"/>)", Black},
    {"universal", "* { fill: green }", R"(<rect id="t"/>)", Green},
    {"attribute_present", "[x] { fill: green }", R"(<rect id="t" x="1"/>)", Green},
    {"attribute_absent", "[y] { fill: green }", R"(<rect id="t" x="1"/>)", Black},
    {"attribute_equals", "[x='1'] { fill: green }", R"(<rect id="t" x="1"/>)", Green},
    {"attribute_equals_other", "[x=2] { fill: green }", R"(<rect id="t" x="1"/>)", Black},
    {"attribute_word", "[data-k~=b] { fill: green }", R"(<rect id="t" data-k="a b c"/>)", Green},
    {"attribute_word_is_whole", "[data-k~=b] { fill: green }", R"(<rect id="t" data-k="abc"/>)", Black},
    {"attribute_prefix", "[data-k^=ab] { fill: green }", R"(<rect id="t" data-k="abc"/>)", Green},
    {"attribute_suffix", "[data-k$=bc] { fill: green }", R"(<rect id="t" data-k="abc"/>)", Green},
    {"attribute_substring", "[data-k*=b] { fill: green }", R"(<rect id="t" data-k="abc"/>)", Green},
    {"attribute_empty_prefix_never", "[data-k^=''] { fill: green }", R"(<rect id="t" data-k="abc"/>)", Black},
    {"descendant", "g rect { fill: green }", R"(<g><g><rect id="t"/></g></g>)", Green},
    {"child", "svg > rect { fill: green }", R"(<rect id="t"/>)", Green},
    {"child_not_grandchild", "svg > rect { fill: green }", R"(<g><rect id="t"/></g>)", Black},
    {"adjacent", "circle + rect { fill: green }", R"(<circle/><rect id="t"/>)", Green},
    {"adjacent_not_further", "circle + rect { fill: green }", R"(<circle/><path/><rect id="t"/>)", Black},
    {"sibling", "circle ~ rect { fill: green }", R"(<circle/><path/><rect id="t"/>)", Green},
    {"sibling_not_after", "circle ~ rect { fill: green }", R"(<rect id="t"/><circle/>)", Black},
    {"first_child", "rect:first-child { fill: green }", R"(<g><rect id="t"/><rect/></g>)", Green},
    {"first_child_counts_unknown_elements", "rect:first-child { fill: green }",
     R"(<g><title>x</title><rect id="t"/></g>)", Black},
    {"last_child", "rect:last-child { fill: green }", R"(<g><rect/><rect id="t"/></g>)", Green},
    {"selector_list", "circle, #t { fill: green }", R"(<rect id="t"/>)", Green},
    {"unknown_pseudo_drops_list", "#t, rect:hover { fill: green }", R"(<rect id="t"/>)", Black},
    {"id_beats_classes", "#t { fill: green } .a.b { fill: red }", R"(<rect id="t" class="a b"/>)", Green},
    {"class_beats_type", ".a { fill: green } rect { fill: red }", R"(<rect id="t" class="a"/>)", Green},
    {"later_wins_on_equal_specificity", ".a { fill: red } .b { fill: green }", R"(<rect id="t" class="b a"/>)", Green},
    {"more_compounds_win", "g#g1 * g * * rect { fill: green } g#g1 * * rect { fill: red }",
     R"(<g id="g1"><g><g><g><g><rect id="t"/></g></g></g></g></g>)", Green},
    {"important_beats_specificity", "rect { fill: green !important } #t { fill: red }", R"(<rect id="t"/>)", Green},
    {"important_beats_later_rule", "#t { fill: green !important } #t { fill: red }", R"(<rect id="t"/>)", Green},
    {"inline_beats_sheet", "#t { fill: red }", R"(<rect id="t" style="fill: green"/>)", Green},
    {"important_sheet_beats_inline", "#t { fill: green !important }", R"(<rect id="t" style="fill: red"/>)", Green},
    {"important_inline_beats_important_sheet", "#t { fill: red !important }",
     R"(<rect id="t" style="fill: green !important"/>)", Green},
    {"sheet_beats_presentation_attribute", "rect { fill: green }", R"(<rect id="t" fill="red"/>)", Green},
    {"attribute_when_no_rule_matches", ".x { fill: red }", R"(<rect id="t" fill="green"/>)", Green},
    {"rule_after_the_element", "", R"(<rect id="t"/><style>#t { fill: green }</style>)", Green},
    {"comments_and_at_rules_skipped",
     "/* #t { fill: red } */ @import url(x.css); @media print { #t { fill: red } } #t { fill: blue }",
     R"(<rect id="t"/>)", Blue},
    {"inherited_from_matched_group", "g.c { fill: green }", R"(<g class="c"><rect id="t"/></g>)", Green},
    {"root_pseudo", ":root > rect { fill: green }", R"(<rect id="t"/>)", Green},
};

INSTANTIATE_TEST_SUITE_P(Rows, SelectorCascade, ::testing::ValuesIn(SelectorCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TSpecificityCase {
    const char* Selector;
    std::uint32_t Specificity;  // 0 for text that is no selector
};

class Specificity : public ::testing::TestWithParam<TSpecificityCase> {};

TEST_P(Specificity, CountsIdsClassesAndTypes)
{
    const std::optional<TSelector> S = TSelector::Parse(GetParam().Selector);
    EXPECT_EQ(S ? S->Specificity() : 0u, GetParam().Specificity) << GetParam().Selector;
}

INSTANTIATE_TEST_SUITE_P(Rows, Specificity,
                         ::testing::Values(TSpecificityCase{"*", PackSpecificity(0, 0, 0)},
                                           TSpecificityCase{"rect", PackSpecificity(0, 0, 1)},
                                           TSpecificityCase{"g > rect.a[x]:first-child", PackSpecificity(0, 3, 2)},
                                           TSpecificityCase{"#a #b .c", PackSpecificity(2, 1, 0)},
                                           TSpecificityCase{"svg|rect", PackSpecificity(0, 0, 1)},
                                           TSpecificityCase{"rect::before", 0}, TSpecificityCase{"rect >", 0},
                                           TSpecificityCase{"rect:nth-child(2)", 0}, TSpecificityCase{".1a", 0}));

TEST(CSSText, DeclarationsKeepStringsAndImportance)
{
    const auto D = ParseCSSDeclarations("font-family: 'a;b' ; /* c:d */ fill : red ! IMPORTANT;bogus; :x");
    ASSERT_EQ(D.size(), 2u);
    EXPECT_EQ(D[0].Name, "font-family");
    EXPECT_EQ(D[0].Value, "'a;b'");
    EXPECT_FALSE(D[0].Important);
    EXPECT_EQ(D[1].Name, "fill");
    EXPECT_EQ(D[1].Value, "red");
    EXPECT_TRUE(D[1].Important);
}

TEST(CSSText, RulesSurviveBracesInStringsAndUnclosedBlocks)
{
    const auto R = ParseCSSRules("[k='{'] { fill: red } @font-face { src: url(x) } rect { fill: blue");
    ASSERT_EQ(R.size(), 1u);
    EXPECT_EQ(R[0].Selectors, "[k='{']");
    EXPECT_EQ(R[0].Body, " fill: red ");
}

}  // namespace
}  // namespace plumwick
