#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdip/GDIPKerning.h"
#include "gdip/GDIPPathText.h"
#include "platform/GdiPlus.h"
#include "svg/core/SVGError.h"

namespace plumwick {
namespace {

constexpr float Size = 20;

TGPGraphicsPath Polyline(std::vector<TGPPointF> Points)
{
    TGPGraphicsPath path;
    path.AddLines(Points);
    return path;
}

TGPRectF BoundsOf(const TGPGraphicsPath& Path)
{
    TGPRectF r;
    Path.GetBounds(r);
    return r;
}

float Measure(const std::string& Text)
{
    TGPFont font("DejaVu Sans", Size, FontStyleRegular, UnitPixel);
    return GetKerningText().MeasureText(Text, font);
}

struct TPlaced {
    float Advance;
    TGPGraphicsPath Glyphs;
};

TPlaced Place(const TGPGraphicsPath& Guide, const std::string& Text, float Indent)
{
    TGPFontFamily family("DejaVu Sans");
    TGPPathText pathText(&Guide);
    TPlaced placed{0, TGPGraphicsPath()};
    placed.Advance = pathText.AddPathText(placed.Glyphs, Text, Indent, family, FontStyleRegular, Size,
                                          TGPStringFormat::GenericTypographic());
    return placed;
}

TEST(PathText, NoGuidePathIsInvalid)
{
    try {
        TGPPathText pathText(nullptr);
        FAIL() << "no error";
    } catch (const ESVGError& e) {
        EXPECT_STREQ(e.what(), "Path is invalid");
    }
}

TEST(PathText, StraightGuidePlacesGlyphsFromTheIndent)
{
    const TGPGraphicsPath guide = Polyline({{0, 0}, {100, 0}});
    const TPlaced placed = Place(guide, "AV", 10);
    EXPECT_NEAR(placed.Advance, Measure("AV"), 1e-3);
    const TGPRectF r = BoundsOf(placed.Glyphs);
    EXPECT_NEAR(r.X, 10, 1.0);  // A has almost no left side bearing
    // The layout box's top lies one em above the path, so the glyphs stand above it.
    EXPECT_GE(r.Y, -Size - 0.01);
    EXPECT_LE(r.Y + r.Height, 0.01);
    EXPECT_EQ(placed.Glyphs.GetFillMode(), FillModeWinding);
}

struct TIndentCase {
    const char* Name;
    float Indent;
};

class PathTextOffGuide : public ::testing::TestWithParam<TIndentCase> {};

TEST_P(PathTextOffGuide, PlacesNothing)
{
    const TGPGraphicsPath guide = Polyline({{0, 0}, {100, 0}});
    const TPlaced placed = Place(guide, "AV", GetParam().Indent);
    EXPECT_EQ(placed.Advance, 0);
    EXPECT_EQ(placed.Glyphs.GetPointCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Indents, PathTextOffGuide,
                         ::testing::Values(TIndentCase{"AtTheEnd", 100}, TIndentCase{"BeyondTheEnd", 150},
                                           TIndentCase{"Negative", -5}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PathText, TextLongerThanTheGuideIsCutAfterTheLastGlyphThatFits)
{
    const TGPGraphicsPath guide = Polyline({{0, 0}, {100, 0}});
    const std::string text(12, 'W');
    const TPlaced placed = Place(guide, text, 0);
    std::size_t fits = 0;
    while (fits < text.size() && Measure(text.substr(0, fits + 1)) <= 100)
        ++fits;
    ASSERT_GT(fits, 0u);
    ASSERT_LT(fits, text.size());
    EXPECT_NEAR(placed.Advance, Measure(text.substr(0, fits)), 1e-3);
    EXPECT_LE(placed.Advance, 100);
    const TPlaced one = Place(guide, "W", 0);
    EXPECT_EQ(placed.Glyphs.GetPointCount(), one.Glyphs.GetPointCount() * static_cast<int>(fits));
}

TEST(PathText, VerticalGuideTurnsGlyphsAQuarter)
{
    const TGPGraphicsPath guide = Polyline({{0, 0}, {0, 100}});
    const TPlaced placed = Place(guide, "AV", 10);
    const TGPRectF r = BoundsOf(placed.Glyphs);
    // A glyph point (x, y) lands at (-y, x + 10): above the path becomes right of it.
    EXPECT_GE(r.X, -0.01);
    EXPECT_LE(r.X + r.Width, Size + 0.01);
    EXPECT_NEAR(r.Y, 10, 1.0);
    EXPECT_GT(r.Height, r.Width);
}

TEST(PathText, AdvanceIsTheDistanceCoveredOnUnevenSegments)
{
    // Collinear segments of different lengths: the covered distance is still the glyphs' advance.
    const TGPGraphicsPath guide = Polyline({{0, 0}, {10, 0}, {200, 0}});
    const TPlaced placed = Place(guide, "AV", 5);
    EXPECT_NEAR(placed.Advance, Measure("AV"), 1e-2);
}

TEST(PathText, GlyphsFillingTheGuideExactlyAreKept)
{
    const float length = Measure("AV");
    const TGPGraphicsPath guide = Polyline({{0, 0}, {length, 0}});
    const TPlaced placed = Place(guide, "AV", 0);
    EXPECT_GT(placed.Glyphs.GetPointCount(), Place(guide, "A", 0).Glyphs.GetPointCount());
}

TEST(PathText, AdditionalMatrixMovesEachGlyphBeforePlacing)
{
    const TGPGraphicsPath guide = Polyline({{0, 0}, {100, 0}});
    TGPFontFamily family("DejaVu Sans");
    TGPPathText pathText(&guide);
    const TGPMatrix shift(1, 0, 0, 1, 0, 7);
    pathText.FAdditionalMatrix = &shift;
    TGPGraphicsPath moved;
    pathText.AddPathText(moved, "A", 0, family, FontStyleRegular, Size, TGPStringFormat::GenericTypographic());
    const TPlaced plain = Place(guide, "A", 0);
    EXPECT_NEAR(BoundsOf(moved).Y, BoundsOf(plain.Glyphs).Y + 7, 1e-3);
}

TEST(PathText, PathLengths)
{
    TGPGraphicsPath twoFigures;
    twoFigures.AddLine(0, 0, 10, 0);
    twoFigures.StartFigure();
    twoFigures.AddLine(10, 10, 20, 10);
    EXPECT_FLOAT_EQ(TGPPathText::GetPathLength(&twoFigures), 30);  // the gap counts
    const TGPGraphicsPath line = Polyline({{0, 0}, {30, 40}});
    EXPECT_FLOAT_EQ(TGPPathText::GetPathLength(&line), 50);
    TGPGraphicsPath circle;
    circle.AddEllipse(0, 0, 100, 100);
    // Flattened at 2.5 units, the circle becomes an inscribed polygon a little shorter than 100 pi.
    const float around = TGPPathText::GetPathLength(&circle);
    EXPECT_GT(around, 290);
    EXPECT_LE(around, 314.16f);
    EXPECT_EQ(TGPPathText::GetPathLength(nullptr), 0);
    const TGPGraphicsPath empty;
    EXPECT_EQ(TGPPathText::GetPathLength(&empty), 0);
}

TEST(PathText, PositionsAlongTheGuide)
{
    const TGPGraphicsPath guide = Polyline({{0, 0}, {10, 0}, {10, 30}});
    const TGPPathText pathText(&guide);
    EXPECT_FLOAT_EQ(pathText.PositionAtDistance(5), 0.5f);
    EXPECT_FLOAT_EQ(pathText.PositionAtDistance(25), 1.5f);
    EXPECT_EQ(pathText.PositionAtDistance(40), -1);
    EXPECT_FLOAT_EQ(pathText.DistanceAtPosition(1.5f), 25);
    EXPECT_EQ(pathText.PointAtPosition(1.5f), (TGPPointF{10, 15}));
    // From (5, 0), 13 units away in a straight line: across the corner onto the second segment.
    const float next = pathText.NextPosition(13, 0.5f);
    ASSERT_GT(next, 1);
    const TGPPointF p = pathText.PointAtPosition(next);
    EXPECT_NEAR(p.X, 10, 1e-4);
    EXPECT_NEAR(p.Y, 12, 1e-3);
    EXPECT_EQ(pathText.NextPosition(100, 0.5f), -1);
}

}  // namespace
}  // namespace plumwick
