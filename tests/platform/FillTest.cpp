// Filling paths: fill modes, arcs, figures, transforms and clips, probed on small bitmaps.
#include <gtest/gtest.h>

#include <functional>

#include "Canvas.h"

namespace plumwick::test {
namespace {

using test::PrintTo;

struct TProbe {
    int X, Y;
    bool Covered;
};

void ExpectProbes(const Canvas& canvas, std::initializer_list<TProbe> probes, const std::string& name)
{
    for (const TProbe& p : probes)
        EXPECT_EQ(GetAlpha(canvas.At(p.X, p.Y)) > 127, p.Covered) << name << " at " << p.X << "," << p.Y << "\n"
                                                                  << canvas.Picture();
}

// --- fill modes

struct TFillModeCase {
    const char* Name;
    std::vector<std::vector<TGPPointF>> Polygons;
    FillMode Mode;
    bool CentreCovered;
};

std::vector<TGPPointF> Square(float a, float b, bool clockwise)
{
    if (clockwise) return {{a, a}, {b, a}, {b, b}, {a, b}};
    return {{a, a}, {a, b}, {b, b}, {b, a}};
}

const std::vector<TGPPointF> kStar = {{10, 1}, {15.3f, 18}, {1.4f, 7.3f}, {18.6f, 7.3f}, {4.7f, 18}};

class FillModes : public testing::TestWithParam<TFillModeCase> {};

TEST_P(FillModes, DecideTheInnerArea)
{
    const TFillModeCase& c = GetParam();
    Canvas canvas(20, 20);
    TGPGraphicsPath path(c.Mode);
    for (const auto& polygon : c.Polygons) ASSERT_EQ(path.AddPolygon(polygon), Ok);
    EXPECT_EQ(path.GetFillMode(), c.Mode);
    canvas.Fill(kBlue, path);
    ExpectProbes(canvas, {{10, 10, c.CentreCovered}, {0, 0, false}}, c.Name);
    // The ring between the squares (or the star's points) is always painted.
    const bool star = c.Polygons.size() == 1;
    if (star)
        ExpectProbes(canvas, {{10, 3, true}, {3, 8, true}}, c.Name);
    else
        ExpectProbes(canvas, {{3, 3, true}, {16, 10, true}}, c.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FillModes,
    testing::Values(
        TFillModeCase{"SameTurnAlternate", {Square(2, 18, true), Square(6, 14, true)}, FillModeAlternate, false},
        TFillModeCase{"SameTurnWinding", {Square(2, 18, true), Square(6, 14, true)}, FillModeWinding, true},
        TFillModeCase{"OppositeTurnAlternate", {Square(2, 18, true), Square(6, 14, false)}, FillModeAlternate, false},
        TFillModeCase{"OppositeTurnWinding", {Square(2, 18, true), Square(6, 14, false)}, FillModeWinding, false},
        TFillModeCase{"StarAlternate", {kStar}, FillModeAlternate, false},
        TFillModeCase{"StarWinding", {kStar}, FillModeWinding, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FillMode, SetFillModeChangesAnExistingPath)
{
    Canvas canvas(20, 20);
    TGPGraphicsPath path(FillModeAlternate);
    EXPECT_EQ(path.AddPolygon(Square(2, 18, true)), Ok);
    EXPECT_EQ(path.AddPolygon(Square(6, 14, true)), Ok);
    ASSERT_EQ(path.SetFillMode(FillModeWinding), Ok);
    canvas.Fill(kBlue, path);
    ExpectProbes(canvas, {{10, 10, true}}, "winding after SetFillMode");
    // A value that is no fill mode is refused and recorded.
    EXPECT_EQ(path.SetFillMode(FillMode(7)), InvalidParameter);
    EXPECT_EQ(path.GetFillMode(), FillModeWinding);
    EXPECT_EQ(path.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(path.GetLastStatus(), Ok);
}

// --- arcs: degrees clockwise from +x on the y-down device

struct TArcCase {
    const char* Name;
    TGPRectF Box;
    float Start, Sweep;
    TGPPointF First, Last;
    // Inside the pie wedge, and outside it (but inside the ellipse).
    TGPPoint In, Out;
};

class Arcs : public testing::TestWithParam<TArcCase> {};

TEST_P(Arcs, RunClockwiseFromPositiveX)
{
    const TArcCase& c = GetParam();
    TGPGraphicsPath path;
    ASSERT_EQ(path.AddArc(c.Box, c.Start, c.Sweep), Ok);
    TGPPathData data;
    ASSERT_EQ(path.GetPathData(data), Ok);
    ASSERT_GE(data.Count, 4);
    EXPECT_NEAR(data.Points.front().X, c.First.X, 0.05) << c.Name;
    EXPECT_NEAR(data.Points.front().Y, c.First.Y, 0.05) << c.Name;
    EXPECT_NEAR(data.Points.back().X, c.Last.X, 0.05) << c.Name;
    EXPECT_NEAR(data.Points.back().Y, c.Last.Y, 0.05) << c.Name;
    EXPECT_EQ(data.Types.front(), PathPointTypeStart);
    for (int i = 1; i < data.Count; ++i) EXPECT_EQ(data.Types[i], PathPointTypeBezier) << c.Name << " point " << i;

    // The wedge from the centre: the arc, a line to the centre, closed.
    const float cx = c.Box.X + c.Box.Width / 2, cy = c.Box.Y + c.Box.Height / 2;
    EXPECT_EQ(path.AddLine(cx, cy, cx, cy), Ok);
    EXPECT_EQ(path.CloseFigure(), Ok);
    Canvas canvas(40, 40);
    canvas.Fill(kRed, path);
    ExpectProbes(canvas, {{c.In.X, c.In.Y, true}, {c.Out.X, c.Out.Y, false}}, c.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, Arcs,
    testing::Values(
        // Circle of radius 10 about (20, 20).
        TArcCase{"QuarterFromRight", {10, 10, 20, 20}, 0, 90, {30, 20}, {20, 30}, {25, 25}, {25, 15}},
        TArcCase{"QuarterFromBottom", {10, 10, 20, 20}, 90, 90, {20, 30}, {10, 20}, {15, 25}, {25, 25}},
        TArcCase{"NegativeSweepRunsUp", {10, 10, 20, 20}, 0, -90, {30, 20}, {20, 10}, {25, 15}, {25, 25}},
        TArcCase{"StartBeyondAFullTurn", {10, 10, 20, 20}, 450, 90, {20, 30}, {10, 20}, {15, 25}, {25, 15}},
        TArcCase{"HalfFromTop", {10, 10, 20, 20}, 270, 180, {20, 10}, {20, 30}, {26, 20}, {14, 20}},
        // Ellipse 40 × 20 about (20, 10): the angle is the direction seen from the centre.
        TArcCase{"EllipseGeometricAngle", {0, 0, 40, 20}, 0, 45, {40, 10}, {28.944f, 18.944f}, {30, 12}, {22, 18}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Arc, FullSweepCloses)
{
    TGPGraphicsPath path;
    ASSERT_EQ(path.AddArc(TGPRectF{0, 0, 20, 20}, 30, 720), Ok);
    TGPPathData data;
    EXPECT_EQ(path.GetPathData(data), Ok);
    // Cut to one turn: it ends where it began.
    EXPECT_NEAR(data.Points.back().X, data.Points.front().X, 1e-3);
    EXPECT_NEAR(data.Points.back().Y, data.Points.front().Y, 1e-3);
    EXPECT_LE(data.Count, 13);
}

// --- figures

struct TFigureCase {
    const char* Name;
    std::function<void(TGPGraphicsPath&)> Build;
    std::vector<TGPPointF> Points;
    std::vector<std::uint8_t> Types;
};

constexpr std::uint8_t S = PathPointTypeStart, L = PathPointTypeLine, B = PathPointTypeBezier,
                       Z = PathPointTypeCloseSubpath;

class Figures : public testing::TestWithParam<TFigureCase> {};

TEST_P(Figures, HoldTheirPointsAndTypes)
{
    const TFigureCase& c = GetParam();
    TGPGraphicsPath path;
    c.Build(path);
    TGPPathData data;
    ASSERT_EQ(path.GetPathData(data), Ok);
    EXPECT_EQ(data.Count, path.GetPointCount());
    ASSERT_EQ(data.Count, int(c.Points.size())) << c.Name;
    ASSERT_EQ(data.Points.size(), c.Points.size());
    for (size_t i = 0; i < c.Points.size(); ++i) {
        EXPECT_NEAR(data.Points[i].X, c.Points[i].X, 1e-4) << c.Name << " point " << i;
        EXPECT_NEAR(data.Points[i].Y, c.Points[i].Y, 1e-4) << c.Name << " point " << i;
    }
    EXPECT_EQ(data.Types, c.Types) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Adds, Figures,
                         testing::Values(TFigureCase{"LinesJoinWithinAFigure",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(2, 2, 18, 2), Ok);
                                                         EXPECT_EQ(p.AddLine(18, 18, 2, 18), Ok);
                                                     },
                                                     {{2, 2}, {18, 2}, {18, 18}, {2, 18}},
                                                     {S, L, L, L}},
                                         TFigureCase{"SharedEndIsNotRepeated",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 5, 0), Ok);
                                                         EXPECT_EQ(p.AddLine(5, 0, 5, 5), Ok);
                                                     },
                                                     {{0, 0}, {5, 0}, {5, 5}},
                                                     {S, L, L}},
                                         TFigureCase{"BezierJoinsByALine",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 1, 0), Ok);
                                                         EXPECT_EQ(p.AddBezier(2, 0, 3, 1, 3, 2, 2, 3), Ok);
                                                     },
                                                     {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {3, 2}, {2, 3}},
                                                     {S, L, L, B, B, B}},
                                         TFigureCase{"ArcJoinsByALine",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 5, 0), Ok);
                                                         EXPECT_EQ(p.AddArc(10, 0, 10, 10, 180, 90), Ok);
                                                     },
                                                     {{0, 0}, {5, 0}, {10, 5}, {10, 2.2386f}, {12.2386f, 0}, {15, 0}},
                                                     {S, L, L, B, B, B}},
                                         TFigureCase{"StartFigureSeparates",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 5, 0), Ok);
                                                         EXPECT_EQ(p.StartFigure(), Ok);
                                                         EXPECT_EQ(p.AddLine(0, 5, 5, 5), Ok);
                                                     },
                                                     {{0, 0}, {5, 0}, {0, 5}, {5, 5}},
                                                     {S, L, S, L}},
                                         TFigureCase{"CloseFigureMarksTheLastPoint",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 5, 0), Ok);
                                                         EXPECT_EQ(p.AddLine(5, 5, 0, 5), Ok);
                                                         EXPECT_EQ(p.CloseFigure(), Ok);
                                                         EXPECT_EQ(p.AddLine(9, 9, 9, 12), Ok);
                                                     },
                                                     {{0, 0}, {5, 0}, {5, 5}, {0, 5}, {9, 9}, {9, 12}},
                                                     {S, L, L, std::uint8_t(L | Z), S, L}},
                                         TFigureCase{"RectangleIsAClosedFigureOfItsOwn",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 1, 1), Ok);
                                                         EXPECT_EQ(p.AddRectangle(2, 3, 4, 5), Ok);
                                                         EXPECT_EQ(p.AddLine(0, 0, 1, 0), Ok);
                                                     },
                                                     {{0, 0}, {1, 1}, {2, 3}, {6, 3}, {6, 8}, {2, 8}, {0, 0}, {1, 0}},
                                                     {S, L, S, L, L, std::uint8_t(L | Z), S, L}},
                                         TFigureCase{
                                             "EllipseFromAngleZero",
                                             [](TGPGraphicsPath& p) { EXPECT_EQ(p.AddEllipse(0, 0, 20, 10), Ok); },
                                             {{20, 5},
                                              {20, 7.7614f},
                                              {15.5228f, 10},
                                              {10, 10},
                                              {4.4772f, 10},
                                              {0, 7.7614f},
                                              {0, 5},
                                              {0, 2.2386f},
                                              {4.4772f, 0},
                                              {10, 0},
                                              {15.5228f, 0},
                                              {20, 2.2386f},
                                              {20, 5}},
                                             {S, B, B, B, B, B, B, B, B, B, B, B, std::uint8_t(B | Z)}},
                                         TFigureCase{"AddPathConnected",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 1, 0), Ok);
                                                         TGPGraphicsPath other;
                                                         EXPECT_EQ(other.AddLine(5, 5, 6, 6), Ok);
                                                         EXPECT_EQ(p.AddPath(other, true), Ok);
                                                     },
                                                     {{0, 0}, {1, 0}, {5, 5}, {6, 6}},
                                                     {S, L, L, L}},
                                         TFigureCase{"AddPathUnconnected",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 1, 0), Ok);
                                                         TGPGraphicsPath other;
                                                         EXPECT_EQ(other.AddLine(5, 5, 6, 6), Ok);
                                                         EXPECT_EQ(p.AddPath(other, false), Ok);
                                                     },
                                                     {{0, 0}, {1, 0}, {5, 5}, {6, 6}},
                                                     {S, L, S, L}},
                                         TFigureCase{"AddPathOfItself",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(0, 0, 1, 0), Ok);
                                                         EXPECT_EQ(p.AddPath(p, false), Ok);
                                                     },
                                                     {{0, 0}, {1, 0}, {0, 0}, {1, 0}},
                                                     {S, L, S, L}},
                                         TFigureCase{"TransformMapsEveryPoint",
                                                     [](TGPGraphicsPath& p) {
                                                         EXPECT_EQ(p.AddLine(1, 0, 0, 2), Ok);
                                                         TGPMatrix m(2, 0, 0, 3, 10, 20);
                                                         EXPECT_EQ(p.Transform(&m), Ok);
                                                     },
                                                     {{12, 20}, {10, 26}},
                                                     {S, L}}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TJoinFillCase {
    const char* Name;
    bool SeparateFigures;
    bool CentreCovered;
};

class FigureFill : public testing::TestWithParam<TJoinFillCase> {};

// Two lines make a square only when they share a figure, which the joining line closes.
TEST_P(FigureFill, CoversTheSquareOnlyWhenJoined)
{
    const TJoinFillCase& c = GetParam();
    Canvas canvas(20, 20);
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddLine(2, 2, 18, 2), Ok);
    if (c.SeparateFigures) {
        EXPECT_EQ(path.StartFigure(), Ok);
    }
    EXPECT_EQ(path.AddLine(18, 18, 2, 18), Ok);
    canvas.Fill(kGreen, path);
    ExpectProbes(canvas, {{10, 10, c.CentreCovered}, {17, 4, c.CentreCovered}}, c.Name);
}

INSTANTIATE_TEST_SUITE_P(Lines, FigureFill,
                         testing::Values(TJoinFillCase{"OneFigure", false, true},
                                         TJoinFillCase{"TwoFigures", true, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- transforms and clips

struct TClipCase {
    const char* Name;
    TGPMatrix AtClip;  // transform in force when the clip is set
    TGPMatrix AtFill;  // transform in force when the canvas is filled
    TGPRect Clipped;   // device box that must be painted, all else stays empty
};

class Clips : public testing::TestWithParam<TClipCase> {};

TEST_P(Clips, AreFixedInDeviceSpace)
{
    const TClipCase& c = GetParam();
    Canvas canvas(40, 40);
    TGPGraphicsPath clip;
    EXPECT_EQ(clip.AddRectangle(0, 0, 10, 10), Ok);
    EXPECT_EQ(canvas.Graphics.SetTransform(&c.AtClip), Ok);
    ASSERT_EQ(canvas.Graphics.SetClip(&clip, CombineModeReplace), Ok);
    EXPECT_EQ(canvas.Graphics.SetTransform(&c.AtFill), Ok);
    TGPSolidBrush brush(kRed);
    // Far more than the canvas in any of the fill transforms.
    ASSERT_EQ(canvas.Graphics.FillRectangle(&brush, -1000, -1000, 2000, 2000), Ok);
    const TGPRect& r = c.Clipped;
    EXPECT_EQ(canvas.Covered(r.X, r.Y, r.X + r.Width, r.Y + r.Height), r.Width * r.Height) << c.Name << "\n"
                                                                                           << canvas.Picture();
    EXPECT_EQ(canvas.Covered(0, 0, 40, 40), r.Width * r.Height) << c.Name << "\n" << canvas.Picture();
}

INSTANTIATE_TEST_SUITE_P(
    Transforms, Clips,
    testing::Values(TClipCase{"Identity", {}, {}, {0, 0, 10, 10}},
                    TClipCase{"TranslatedClip", {1, 0, 0, 1, 10, 20}, {}, {10, 20, 10, 10}},
                    TClipCase{"ScaledClip", {2, 0, 0, 3, 0, 0}, {}, {0, 0, 20, 30}},
                    TClipCase{"LaterTransformLeavesClip", {1, 0, 0, 1, 5, 5}, {3, 0, 0, 3, 17, 9}, {5, 5, 10, 10}},
                    // 90° clockwise: (x, y) → (−y, x), then moved right by 30.
                    TClipCase{"RotatedClip", {0, 1, -1, 0, 30, 0}, {}, {20, 0, 10, 10}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Clip, ResetClipPaintsEverywhereAgain)
{
    Canvas canvas(20, 20);
    TGPGraphicsPath clip;
    EXPECT_EQ(clip.AddRectangle(0, 0, 5, 5), Ok);
    EXPECT_EQ(canvas.Graphics.SetClip(&clip), Ok);
    EXPECT_EQ(canvas.Graphics.ResetClip(), Ok);
    TGPSolidBrush brush(kRed);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 20, 20), Ok);
    EXPECT_EQ(canvas.Covered(0, 0, 20, 20), 400);
}

TEST(Clip, EmptyPathLeavesNothingToPaint)
{
    Canvas canvas(20, 20);
    TGPGraphicsPath empty;
    ASSERT_EQ(canvas.Graphics.SetClip(&empty), Ok);
    EXPECT_TRUE(canvas.Graphics.IsClipEmpty());
    TGPSolidBrush brush(kRed);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 20, 20), Ok);
    EXPECT_EQ(canvas.Covered(0, 0, 20, 20), 0);
}

TEST(Clip, IntersectKeepsTheCommonPart)
{
    Canvas canvas(20, 20);
    EXPECT_EQ(canvas.Graphics.SetClip(TGPRectF{0, 0, 10, 10}), Ok);
    EXPECT_EQ(canvas.Graphics.SetClip(TGPRectF{5, 5, 10, 10}, CombineModeIntersect), Ok);
    TGPSolidBrush brush(kRed);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 20, 20), Ok);
    EXPECT_EQ(canvas.Covered(5, 5, 10, 10), 25);
    EXPECT_EQ(canvas.Covered(0, 0, 20, 20), 25);
}

class ClipFillModes : public testing::TestWithParam<FillMode> {};

TEST_P(ClipFillModes, FollowTheFillModeOfThePath)
{
    const FillMode mode = GetParam();
    Canvas canvas(40, 40);
    TGPGraphicsPath clip(mode);
    EXPECT_EQ(clip.AddPolygon(Square(2, 18, true)), Ok);
    EXPECT_EQ(clip.AddPolygon(Square(6, 14, true)), Ok);
    // Through a transform, which must not lose the fill mode.
    EXPECT_EQ(canvas.Graphics.ScaleTransform(2, 2), Ok);
    EXPECT_EQ(canvas.Graphics.SetClip(&clip), Ok);
    EXPECT_EQ(canvas.Graphics.ResetTransform(), Ok);
    TGPSolidBrush brush(kRed);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 40, 40), Ok);
    ExpectProbes(canvas, {{20, 20, mode == FillModeWinding}, {6, 6, true}, {1, 1, false}},
                 mode == FillModeWinding ? "winding" : "alternate");
}

INSTANTIATE_TEST_SUITE_P(Modes, ClipFillModes, testing::Values(FillModeAlternate, FillModeWinding));

struct TTransformCase {
    const char* Name;
    std::function<void(TGPGraphics&)> Apply;
    TGPRect Painted;  // where the unit-free rectangle (0, 0, 4, 4) lands
};

class SurfaceTransforms : public testing::TestWithParam<TTransformCase> {};

TEST_P(SurfaceTransforms, PlaceTheFill)
{
    const TTransformCase& c = GetParam();
    Canvas canvas(40, 40);
    c.Apply(canvas.Graphics);
    TGPSolidBrush brush(kBlue);
    ASSERT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 4, 4), Ok);
    const TGPRect& r = c.Painted;
    EXPECT_EQ(canvas.Covered(r.X, r.Y, r.X + r.Width, r.Y + r.Height), r.Width * r.Height) << c.Name << "\n"
                                                                                           << canvas.Picture();
    EXPECT_EQ(canvas.Covered(0, 0, 40, 40), r.Width * r.Height) << c.Name << "\n" << canvas.Picture();
}

INSTANTIATE_TEST_SUITE_P(Orders, SurfaceTransforms,
                         testing::Values(TTransformCase{"Matrix",
                                                        [](TGPGraphics& g) {
                                                            TGPMatrix m(2, 0, 0, 3, 5, 6);
                                                            EXPECT_EQ(g.SetTransform(&m), Ok);
                                                        },
                                                        {5, 6, 8, 12}},
                                         // Prepend: the translation applies first and is then scaled.
                                         TTransformCase{"ScaleThenTranslatePrepend",
                                                        [](TGPGraphics& g) {
                                                            EXPECT_EQ(g.ScaleTransform(2, 2), Ok);
                                                            EXPECT_EQ(g.TranslateTransform(3, 4), Ok);
                                                        },
                                                        {6, 8, 8, 8}},
                                         TTransformCase{"ScaleThenTranslateAppend",
                                                        [](TGPGraphics& g) {
                                                            EXPECT_EQ(g.ScaleTransform(2, 2), Ok);
                                                            EXPECT_EQ(g.TranslateTransform(3, 4, MatrixOrderAppend),
                                                                      Ok);
                                                        },
                                                        {3, 4, 8, 8}},
                                         TTransformCase{"RotateClockwise",
                                                        [](TGPGraphics& g) {
                                                            EXPECT_EQ(g.TranslateTransform(20, 0), Ok);
                                                            EXPECT_EQ(g.RotateTransform(90), Ok);
                                                        },
                                                        {16, 0, 4, 4}},
                                         TTransformCase{"ResetTransform",
                                                        [](TGPGraphics& g) {
                                                            EXPECT_EQ(g.TranslateTransform(20, 20), Ok);
                                                            EXPECT_EQ(g.ResetTransform(), Ok);
                                                        },
                                                        {0, 0, 4, 4}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Surface, GetTransformReturnsWhatWasSet)
{
    TGPBitmap bitmap(4, 4);
    TGPGraphics graphics(&bitmap);
    TGPMatrix m(1, 2, 3, 4, 5, 6), out;
    EXPECT_EQ(graphics.SetTransform(&m), Ok);
    ASSERT_EQ(graphics.GetTransform(&out), Ok);
    EXPECT_TRUE(out.Equals(m));
}

TEST(Surface, AntiAliasingGivesPartialCoverageAtEdges)
{
    Canvas plain(10, 10), smooth(10, 10, true);
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddRectangle(2.5f, 2.5f, 5, 5), Ok);
    plain.Fill(kBlack, path);
    smooth.Fill(kBlack, path);
    // Half of the edge pixel is covered.
    EXPECT_NEAR(GetAlpha(smooth.At(2, 5)), 128, 10) << Hex(smooth.At(2, 5));
    EXPECT_EQ(GetAlpha(smooth.At(5, 5)), 255);
    const std::uint8_t edge = GetAlpha(plain.At(2, 5));
    EXPECT_TRUE(edge == 0 || edge == 255) << Hex(plain.At(2, 5));
}

}  // namespace
}  // namespace plumwick::test
