// Brushes: solid colours, linear gradients tiled beyond their ends, path gradients from the
// boundary to a centre point, and interpolation colour tables.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "Canvas.h"

namespace plumwick::test {
namespace {

using test::PrintTo;

struct TColourProbe {
    int X, Y;
    ARGB Colour;
};

void ExpectColours(const Canvas& canvas, const std::vector<TColourProbe>& probes, int tolerance,
                   const std::string& name)
{
    for (const TColourProbe& p : probes)
        EXPECT_TRUE(Near(canvas.At(p.X, p.Y), p.Colour, tolerance))
            << name << " at " << p.X << "," << p.Y << ": " << Hex(canvas.At(p.X, p.Y)) << ", expected "
            << Hex(p.Colour);
}

// Red→blue at a fraction t.
constexpr ARGB RedToBlue(double t)
{
    return MakeARGB(255, std::uint8_t(255 * (1 - t) + 0.5), 0, std::uint8_t(255 * t + 0.5));
}

TEST(SolidBrush, PaintsItsStraightColour)
{
    Canvas canvas(4, 4);
    TGPSolidBrush brush(0x80FF8000);
    EXPECT_EQ(brush.GetColor(), 0x80FF8000u);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 4, 4), Ok);
    EXPECT_TRUE(Near(canvas.At(1, 1), 0x80FF8000, 2)) << Hex(canvas.At(1, 1));
}

// --- linear gradients

struct TLinearCase {
    const char* Name;
    TGPPointF P1, P2;
    std::vector<ARGB> Colours;  // empty: red → blue from the constructor
    std::vector<float> Positions;
    TGPMatrix Transform;
    std::vector<TColourProbe> Probes;  // pixel centres sit at + 0.5
};

class LinearGradients : public testing::TestWithParam<TLinearCase> {};

TEST_P(LinearGradients, ColourAlongTheLine)
{
    const TLinearCase& c = GetParam();
    Canvas canvas(40, 40);
    TGPLinearGradientBrush brush(c.P1, c.P2, kRed, kBlue);
    ASSERT_EQ(brush.GetLastStatus(), Ok);
    EXPECT_EQ(brush.GetWrapMode(), WrapModeTile);
    if (!c.Colours.empty()) {
        ASSERT_EQ(brush.SetInterpolationColors(c.Colours.data(), c.Positions.data(), int(c.Colours.size())), Ok);
    }
    if (!c.Transform.IsIdentity()) {
        ASSERT_EQ(brush.SetTransform(&c.Transform), Ok);
    }
    ASSERT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 40, 40), Ok);
    ExpectColours(canvas, c.Probes, 5, c.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LinearGradients,
    testing::Values(
        TLinearCase{"Horizontal",
                    {0, 0},
                    {40, 0},
                    {},
                    {},
                    {},
                    {{0, 5, RedToBlue(0.5 / 40)},
                     {19, 5, RedToBlue(19.5 / 40)},
                     {19, 35, RedToBlue(19.5 / 40)},
                     {39, 20, RedToBlue(39.5 / 40)}}},
        TLinearCase{"Vertical",
                    {0, 0},
                    {0, 40},
                    {},
                    {},
                    {},
                    {{5, 10, RedToBlue(10.5 / 40)}, {35, 10, RedToBlue(10.5 / 40)}, {5, 30, RedToBlue(30.5 / 40)}}},
        // Colours repeat beyond both ends: (10, 0)→(30, 0) gives t = (x − 10)/20 taken modulo 1.
        TLinearCase{"TiledBeyondTheEnds",
                    {10, 0},
                    {30, 0},
                    {},
                    {},
                    {},
                    {{15, 0, RedToBlue(5.5 / 20)},
                     {35, 0, RedToBlue(5.5 / 20)},
                     {4, 0, RedToBlue(14.5 / 20)},
                     {31, 0, RedToBlue(1.5 / 20)},
                     {29, 0, RedToBlue(19.5 / 20)}}},
        // Bands lie across the line: along x = y the colour follows (x + y)/80.
        TLinearCase{"Diagonal",
                    {0, 0},
                    {40, 40},
                    {},
                    {},
                    {},
                    {{10, 30, RedToBlue(41.0 / 80)}, {30, 10, RedToBlue(41.0 / 80)}, {5, 5, RedToBlue(11.0 / 80)}}},
        TLinearCase{"ThreeColours",
                    {0, 0},
                    {40, 0},
                    {kRed, kGreen, kBlue},
                    {0, 0.5f, 1},
                    {},
                    {{0, 0, 0xFFF90600}, {19, 0, 0xFF06F900}, {20, 0, 0xFF00F906}, {39, 0, 0xFF0006F9}}},
        TLinearCase{"HardEdge",
                    {0, 0},
                    {40, 0},
                    {kRed, kRed, kBlue, kBlue},
                    {0, 0.5f, 0.5f, 1},
                    {},
                    {{2, 0, kRed}, {18, 0, kRed}, {19, 0, kRed}, {20, 0, kBlue}, {21, 0, kBlue}, {37, 0, kBlue}}},
        // Brush space is scaled by two: the line (0, 0)→(20, 0) covers the canvas.
        TLinearCase{"BrushTransform",
                    {0, 0},
                    {20, 0},
                    {},
                    {},
                    {2, 0, 0, 2, 0, 0},
                    {{10, 0, RedToBlue(10.5 / 40)}, {30, 0, RedToBlue(30.5 / 40)}}},
        // Channels, alpha among them, run straight from stop to stop.
        TLinearCase{"AlphaAndColourInterpolateStraight",
                    {0, 0},
                    {40, 0},
                    {0x00FF0000, 0xFF0000FF},
                    {0, 1},
                    {},
                    {{19, 10, 0x7C83007C}, {29, 10, 0xBC4300BC}}},
        TLinearCase{
            "SemiTransparentStops", {0, 0}, {40, 0}, {0x80FF0000, 0x80FF0000}, {0, 1}, {}, {{10, 10, 0x80FF0000}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(LinearGradient, FollowsTheSurfaceTransform)
{
    Canvas canvas(40, 40);
    EXPECT_EQ(canvas.Graphics.TranslateTransform(20, 0), Ok);
    TGPLinearGradientBrush brush({0, 0}, {20, 0}, kRed, kBlue);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 20, 40), Ok);
    ExpectColours(canvas, {{20, 0, RedToBlue(0.5 / 20)}, {39, 0, RedToBlue(19.5 / 20)}}, 5, "translated");
    EXPECT_EQ(GetAlpha(canvas.At(10, 10)), 0);
}

struct TEqualPointsCase {
    const char* Name;
    TGPPointF P1, P2;
};

class LinearGradientFailures : public testing::TestWithParam<TEqualPointsCase> {};

TEST_P(LinearGradientFailures, FailWithAStatusAndPaintNothing)
{
    const TEqualPointsCase& c = GetParam();
    TGPLinearGradientBrush brush(c.P1, c.P2, kRed, kBlue);
    EXPECT_NE(brush.GetLastStatus(), Ok) << c.Name;
    EXPECT_EQ(brush.GetLastStatus(), Ok) << "reading resets";
    Canvas canvas(8, 8);
    EXPECT_NE(canvas.Graphics.FillRectangle(&brush, 0, 0, 8, 8), Ok);
    EXPECT_NE(canvas.Graphics.GetLastStatus(), Ok);
    EXPECT_EQ(canvas.Covered(0, 0, 8, 8), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Points, LinearGradientFailures,
    testing::Values(TEqualPointsCase{"Equal", {3, 4}, {3, 4}}, TEqualPointsCase{"Origin", {0, 0}, {0, 0}},
                    TEqualPointsCase{"NotANumber", {std::numeric_limits<float>::quiet_NaN(), 0}, {1, 1}}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- path gradients

struct TPathGradientCase {
    const char* Name;
    bool Ellipse;     // else the rectangle (0, 0, 40, 20)
    bool MoveCentre;  // centre point (10, 20) instead of the box centre
    std::vector<ARGB> Colours;
    std::vector<float> Positions;
    std::vector<TColourProbe> Probes;
};

class PathGradients : public testing::TestWithParam<TPathGradientCase> {};

// Blue on the path (position 0), red at the centre point (position 1), unless the case says else.
TEST_P(PathGradients, RunFromThePathToTheCentre)
{
    const TPathGradientCase& c = GetParam();
    TGPGraphicsPath path;
    if (c.Ellipse)
        EXPECT_EQ(path.AddEllipse(0, 0, 40, 40), Ok);
    else
        EXPECT_EQ(path.AddRectangle(0, 0, 40, 20), Ok);
    TGPPathGradientBrush brush(&path);
    ASSERT_EQ(brush.GetLastStatus(), Ok);
    TGPPointF centre;
    EXPECT_EQ(brush.GetCenterPoint(centre), Ok);
    EXPECT_EQ(centre, (c.Ellipse ? TGPPointF{20, 20} : TGPPointF{20, 10}));
    if (c.MoveCentre) {
        ASSERT_EQ(brush.SetCenterPoint({10, 20}), Ok);
    }
    std::vector<ARGB> colours = c.Colours.empty() ? std::vector<ARGB>{kBlue, kRed} : c.Colours;
    std::vector<float> positions = c.Positions.empty() ? std::vector<float>{0, 1} : c.Positions;
    ASSERT_EQ(brush.SetInterpolationColors(colours.data(), positions.data(), int(colours.size())), Ok);
    Canvas canvas(40, 40);
    ASSERT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 40, 40), Ok);
    ExpectColours(canvas, c.Probes, 6, c.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PathGradients,
    testing::Values(
        // Circle of radius 20 about (20, 20): position 1 − distance/20; nothing outside it.
        TPathGradientCase{"Circle",
                          true,
                          false,
                          {},
                          {},
                          {{20, 20, RedToBlue(1 - 0.965)},
                           {30, 20, RedToBlue(1 - 0.4744)},
                           {2, 20, RedToBlue(1 - 0.1246)},
                           {2, 2, kClear},
                           {37, 37, kClear}}},
        // The ray from the centre through a point meets the circle further away on the near side.
        TPathGradientCase{
            "MovedCentre",
            true,
            true,
            {},
            {},
            {{10, 20, RedToBlue(1 - 0.97)}, {30, 20, RedToBlue(1 - 0.3164)}, {5, 20, RedToBlue(1 - 0.5486)}}},
        // Rectangle about (20, 10): the ray leaves through the nearer side.
        TPathGradientCase{"Rectangle",
                          false,
                          false,
                          {},
                          {},
                          {{30, 10, RedToBlue(1 - 0.475)}, {20, 15, RedToBlue(1 - 0.45)}, {20, 30, kClear}}},
        TPathGradientCase{"ThreeColours",
                          true,
                          false,
                          {kBlue, kGreen, kRed},
                          {0, 0.5f, 1},
                          {{30, 20, 0xFF00F20D}, {38, 20, 0xFF0026D9}}},
        TPathGradientCase{"AlphaAndColourInterpolateStraight",
                          true,
                          false,
                          {0x00FF0000, 0xFF0000FF},
                          {0, 1},
                          {{30, 20, 0x79860079}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(PathGradient, PaintsOnlyWhereBothPathsAre)
{
    TGPGraphicsPath area;
    EXPECT_EQ(area.AddEllipse(0, 0, 40, 40), Ok);
    TGPPathGradientBrush brush(&area);
    const ARGB colours[] = {kGreen, kGreen};
    const float positions[] = {0, 1};
    EXPECT_EQ(brush.SetInterpolationColors(colours, positions, 2), Ok);
    Canvas canvas(40, 40);
    // The right half of the canvas: the painted part is the right half of the disc.
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 20, 0, 20, 40), Ok);
    EXPECT_EQ(canvas.At(30, 20), kGreen);
    EXPECT_EQ(GetAlpha(canvas.At(10, 20)), 0);
    EXPECT_EQ(GetAlpha(canvas.At(38, 2)), 0);
}

TEST(PathGradient, FollowsTheSurfaceTransformAndClip)
{
    TGPGraphicsPath area;
    EXPECT_EQ(area.AddRectangle(0, 0, 10, 10), Ok);
    TGPPathGradientBrush brush(&area);
    const ARGB colours[] = {kGreen, kGreen};
    const float positions[] = {0, 1};
    EXPECT_EQ(brush.SetInterpolationColors(colours, positions, 2), Ok);
    Canvas canvas(40, 40);
    EXPECT_EQ(canvas.Graphics.SetClip(TGPRectF{0, 0, 30, 40}), Ok);
    EXPECT_EQ(canvas.Graphics.ScaleTransform(4, 4), Ok);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 10, 10), Ok);
    EXPECT_EQ(canvas.Covered(0, 0, 30, 40), 30 * 40);
    EXPECT_EQ(canvas.Covered(30, 0, 40, 40), 0);
}

TEST(PathGradient, ClipStaysInDeviceSpaceUnderATranslation)
{
    TGPGraphicsPath area;
    EXPECT_EQ(area.AddRectangle(0, 0, 40, 40), Ok);
    TGPPathGradientBrush brush(&area);
    const ARGB colours[] = {kGreen, kGreen};
    const float positions[] = {0, 1};
    EXPECT_EQ(brush.SetInterpolationColors(colours, positions, 2), Ok);
    Canvas canvas(40, 40);
    EXPECT_EQ(canvas.Graphics.SetClip(TGPRectF{10, 0, 30, 40}), Ok);
    EXPECT_EQ(canvas.Graphics.TranslateTransform(-20, 0), Ok);
    // Device x 10..20 holds brush x 30..40.
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 60, 40), Ok);
    EXPECT_EQ(canvas.Covered(10, 0, 20, 40), 10 * 40) << canvas.Picture();
    EXPECT_EQ(canvas.Covered(0, 0, 40, 40), 10 * 40) << canvas.Picture();
}

TEST(PathGradient, BrushTransformMovesTheGradient)
{
    TGPGraphicsPath area;
    EXPECT_EQ(area.AddRectangle(0, 0, 10, 10), Ok);
    TGPPathGradientBrush brush(&area);
    const ARGB colours[] = {kGreen, kGreen};
    const float positions[] = {0, 1};
    EXPECT_EQ(brush.SetInterpolationColors(colours, positions, 2), Ok);
    TGPMatrix move(1, 0, 0, 1, 20, 20);
    ASSERT_EQ(brush.SetTransform(&move), Ok);
    Canvas canvas(40, 40);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 40, 40), Ok);
    EXPECT_EQ(canvas.Covered(20, 20, 30, 30), 100);
    EXPECT_EQ(canvas.Covered(0, 0, 40, 40), 100);
}

TEST(PathGradient, PathWithoutAreaFails)
{
    TGPGraphicsPath line;
    EXPECT_EQ(line.AddLine(0, 0, 10, 0), Ok);
    TGPPathGradientBrush brush(&line);
    EXPECT_NE(brush.GetLastStatus(), Ok);
    TGPPathGradientBrush none(static_cast<const TGPGraphicsPath*>(nullptr));
    EXPECT_EQ(none.GetLastStatus(), InvalidParameter);
    Canvas canvas(8, 8);
    EXPECT_NE(canvas.Graphics.FillRectangle(&none, 0, 0, 8, 8), Ok);
    EXPECT_EQ(canvas.Covered(0, 0, 8, 8), 0);
}

// --- interpolation tables: at least two entries, positions running from 0 to 1

struct TTableCase {
    const char* Name;
    std::vector<ARGB> Colours;
    std::vector<float> Positions;
};

class BadTables : public testing::TestWithParam<TTableCase> {};

TEST_P(BadTables, AreRejectedByBothGradients)
{
    const TTableCase& c = GetParam();
    Canvas canvas(40, 4);
    TGPLinearGradientBrush linear({0, 0}, {40, 0}, kRed, kBlue);
    EXPECT_EQ(linear.SetInterpolationColors(c.Colours.data(), c.Positions.data(), int(c.Colours.size())),
              InvalidParameter)
        << c.Name;
    EXPECT_EQ(linear.GetLastStatus(), InvalidParameter);
    // The brush keeps the colours it had.
    EXPECT_EQ(canvas.Graphics.FillRectangle(&linear, 0, 0, 40, 4), Ok);
    EXPECT_TRUE(Near(canvas.At(0, 0), RedToBlue(0.5 / 40), 5)) << c.Name << " " << Hex(canvas.At(0, 0));

    TGPGraphicsPath path;
    EXPECT_EQ(path.AddEllipse(0, 0, 10, 10), Ok);
    TGPPathGradientBrush radial(&path);
    EXPECT_EQ(radial.SetInterpolationColors(c.Colours.data(), c.Positions.data(), int(c.Colours.size())),
              InvalidParameter)
        << c.Name;
    EXPECT_EQ(radial.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(radial.GetLastStatus(), Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BadTables,
    testing::Values(TTableCase{"OneEntry", {kRed}, {0}}, TTableCase{"DoesNotStartAtZero", {kRed, kBlue}, {0.1f, 1}},
                    TTableCase{"DoesNotEndAtOne", {kRed, kBlue}, {0, 0.9f}},
                    TTableCase{"BeyondOne", {kRed, kGreen, kBlue}, {0, 1.5f, 1}},
                    TTableCase{"BelowZero", {kRed, kGreen, kBlue}, {0, -0.5f, 1}},
                    TTableCase{"NotANumber", {kRed, kGreen, kBlue}, {0, std::numeric_limits<float>::quiet_NaN(), 1}},
                    TTableCase{"Reversed", {kRed, kBlue}, {1, 0}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(InterpolationTable, NullArraysAreRejected)
{
    TGPLinearGradientBrush linear({0, 0}, {10, 0}, kRed, kBlue);
    const float positions[] = {0, 1};
    EXPECT_EQ(linear.SetInterpolationColors(nullptr, positions, 2), InvalidParameter);
    EXPECT_EQ(linear.GetLastStatus(), InvalidParameter);
}

}  // namespace
}  // namespace plumwick::test
