// Number, angle, percentage, length, list, view box, reference and fitting parsers.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"

namespace plumwick {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct NumberCase {
    const char* Text;
    bool Ok;
    float Value;
};

class TryParseNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TryParseNumberTest, ReadsGrammar)
{
    const NumberCase& c = GetParam();
    float v = 123;
    EXPECT_EQ(TryParseNumber(c.Text, v), c.Ok) << "'" << c.Text << "'";
    EXPECT_FLOAT_EQ(v, c.Value) << "'" << c.Text << "'";
    EXPECT_FLOAT_EQ(ParseNumber(c.Text), c.Value);
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, TryParseNumberTest,
    ::testing::Values(NumberCase{"12", true, 12}, NumberCase{"-0.5", true, -0.5f}, NumberCase{"+3", true, 3},
                      NumberCase{".5", true, 0.5f}, NumberCase{"5.", true, 5}, NumberCase{".", true, 0},
                      NumberCase{"-.", true, 0}, NumberCase{"1e3", true, 1000}, NumberCase{"2E-2", true, 0.02f},
                      NumberCase{"1e", true, 1}, NumberCase{"1e+", true, 1}, NumberCase{"1,5", true, 1.5f},
                      NumberCase{"1,000", true, 1}, NumberCase{"1.5.2", false, 0}, NumberCase{"1,5.2", false, 0},
                      NumberCase{"", false, 0}, NumberCase{" ", false, 0}, NumberCase{"-", false, 0},
                      NumberCase{"\t1", false, 0}, NumberCase{"1\n", false, 0}, NumberCase{"  7  ", true, 7},
                      NumberCase{"1e39", false, 0}, NumberCase{"-1e39", false, 0},
                      NumberCase{"3.4028234e38", true, 3.4028234e38f}, NumberCase{"1e-50", true, 0},
                      NumberCase{"1e-99999999999", true, 0}, NumberCase{"1e99999999999", false, 0},
                      NumberCase{"0e99999999999", true, 0}, NumberCase{"e5", false, 0}, NumberCase{"10px", false, 0},
                      NumberCase{"1 2", false, 0}, NumberCase{"0x10", false, 0}, NumberCase{"inf", false, 0},
                      NumberCase{"nan", false, 0}, NumberCase{"--1", false, 0}, NumberCase{"1e2.5", false, 0}));

// The decimal point must not follow the process locale.
TEST(TryParseNumber, IgnoresCLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a comma decimal point installed";
    EXPECT_FLOAT_EQ(ParseNumber("1.5"), 1.5f);
    EXPECT_FLOAT_EQ(ParseNumber("1,5"), 1.5f);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseAngle, Units)
{
    struct {
        const char* Text;
        double Radians;
    } cases[] = {{"90", kPi / 2}, {"90deg", kPi / 2},      {"100grad", kPi / 2}, {"1.5rad", 1.5}, {"", 0},
                 {"xyz", 0},      {"45deg junk", kPi / 4}, {"xdeg", 0},          {"-180", -kPi}};
    for (const auto& c : cases) EXPECT_NEAR(ParseAngle(c.Text), c.Radians, 1e-6) << c.Text;
}

TEST(ParsePercent, Forms)
{
    struct {
        const char* Text;
        float Value;
    } cases[] = {{"50%", 0.5f}, {"0.25", 0.25f}, {"%", 0}, {"", -1}, {"150%", 1.5f}, {"abc", 0}, {"2", 2}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ParsePercent(c.Text), c.Value) << c.Text;
}

TEST(GetLengthUnit, Suffixes)
{
    struct {
        const char* Text;
        TLengthUnit Unit;
    } cases[] = {{"10px", luPx},   {"10pt", luPt}, {"1pc", luPc},    {"1mm", luMm},     {"1cm", luCm},
                 {"1in", luIn},    {"1em", luEm},  {"1ex", luEx},    {"5%", luPercent}, {"10", luNone},
                 {"10PX", luNone}, {"x", luNone},  {"%", luPercent}, {"", luNone}};
    for (const auto& c : cases) EXPECT_EQ(GetLengthUnit(c.Text), c.Unit) << c.Text;
}

TEST(ParseLength, AbsoluteUnitsAt96PerInch)
{
    struct {
        const char* Text;
        float Value;
    } cases[] = {{"10px", 10},  {"72pt", 96},   {"6pc", 96}, {"25.4mm", 96}, {"2.54cm", 96},
                 {"1in", 96},   {"50%", 50},    {"7", 7},    {"10PX", 0},    {"", 0},
                 {"10 px", 10}, {"2,54cm", 96}, {"3em", 3},  {"px", 0},      {"%", 0}};
    for (const auto& c : cases) EXPECT_NEAR(ParseLength(c.Text), c.Value, 1e-3) << c.Text;
}

TEST(SplitValues, Separators)
{
    using V = std::vector<std::string>;
    struct {
        const char* Text;
        char Delimiter;
        V Items;
    } cases[] = {
        {"1, 2 3,,4", ',', V{"1", "2", "3", "4"}},
        {"  a\tb\nc ", ' ', V{"a", "b", "c"}},
        {"1,2,", ',', V{"1", "2"}},
        {",,,", ',', V{}},
        {"", ',', V{}},
        {"\"a b\",c", ',', V{"a b", "c"}},
        {"\"say \"\"hi\"\"\" x", ' ', V{"say \"hi\"", "x"}},
        {"\"open quote", ',', V{"open quote"}},
        {"\"\",x", ',', V{"x"}},
        {"a;b c", ';', V{"a", "b", "c"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitValues(c.Text, c.Delimiter), c.Items) << c.Text;
    EXPECT_EQ(SplitValues(std::string_view("a\0b c", 5), ' '), V{"a"});
}

TEST(ParseViewBox, Forms)
{
    struct {
        const char* Text;
        TRectF Rect;
    } cases[] = {{"0 0 24 24", {0, 0, 24, 24}},
                 {"10 20 30 40", {10, 20, 40, 60}},
                 {"0 0 24", {}},
                 {"0,0,24,24", {}},
                 {"0\t0\n24  24", {0, 0, 24, 24}},
                 {" 0 0 24 24 ", {0, 0, 24, 24}},
                 {"0, 0, 24, 24", {0, 0, 24, 24}},
                 {"1 2 3 4 5", {}},
                 {"", {}}};
    for (const auto& c : cases) EXPECT_EQ(ParseViewBox(c.Text), c.Rect) << c.Text;
}

TEST(ParseURI, References)
{
    struct {
        const char* Text;
        const char* Id;
    } cases[] = {
        {"url(#grad1)", "grad1"}, {" url(#grad1) ", "grad1"}, {"url(grad1)", ""}, {"url(#a", ""}, {"red", ""}, {"", ""},
        {"url(#)", ""},           {"url( #a)", ""},           {"url('#a')", ""}};
    for (const auto& c : cases) EXPECT_EQ(ParseURI(c.Text), c.Id) << c.Text;
}

TEST(FitRect, AlignsAndKeepsRatio)
{
    struct {
        TGPRectF Rect;
        int Align;
        double BoxW, BoxH;
        TGPRectF Result;
    } cases[] = {
        {{0, 0, 100, 50}, 4, 200, 100, {0, 0, 100, 50}},
        {{0, 0, 100, 50}, 4, 100, 100, {25, 0, 50, 50}},
        {{0, 0, 100, 50}, 8, 100, 100, {50, 0, 50, 50}},
        {{0, 0, 100, 50}, 0, 100, 100, {0, 0, 50, 50}},
        {{0, 0, 50, 100}, 7, 100, 100, {0, 50, 50, 50}},
        {{0, 0, 50, 100}, 9, 100, 100, {0, 0, 50, 50}},
        {{10, 20, 100, 50}, 4, 100, 100, {35, 20, 50, 50}},
        {{0, 0, 100, 50}, 4, 30, 0, {25, 0, 50, 50}},  // no height: ratio 1
        {{0, 0, 100, 0}, 4, 100, 100, {0, -50, 100, 100}},
    };
    for (const auto& c : cases) {
        TGPRectF r;
        FitRect(c.Rect, static_cast<std::uint8_t>(c.Align), r, c.BoxW, c.BoxH);
        EXPECT_EQ(r, c.Result) << "align " << c.Align << " box " << c.BoxW << "x" << c.BoxH;
    }
}

}  // namespace
}  // namespace plumwick
