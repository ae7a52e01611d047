// Segments read from path data: classes, start and stop points, control points, arc fields, bounds.
#include "svg/base/SVGError.h"
#include "svg/core/SVGDocument.h"
#include "svg/shapes/SVGPath.h"

#include "gdip/GDIPOBJ2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace plumwick {
namespace {

std::string Num(float v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(v));
    return buffer;
}

std::string Pt(float x, float y)
{
    return Num(x) + "," + Num(y);
}

// One word per segment: M stop | L start>stop | Z start>stop | C start>c1>c2>stop | A start>stop r..
std::string Describe(const TSVGPath& path)
{
    std::string out;
    for (int i = 0; i < path.GetCount(); ++i) {
        const auto* s = dynamic_cast<const TSVGPathElement*>(path.GetItem(i));
        if (!out.empty()) out += ' ';
        const std::string span = Pt(s->GetStartX(), s->GetStartY()) + ">";
        const std::string stop = Pt(s->GetStopX(), s->GetStopY());
        if (dynamic_cast<const TSVGPathMove*>(s))
            out += "M" + stop;
        else if (dynamic_cast<const TSVGPathLine*>(s))
            out += "L" + span + stop;
        else if (dynamic_cast<const TSVGPathClose*>(s))
            out += "Z" + span + stop;
        else if (auto* c = dynamic_cast<const TSVGPathCurve*>(s))
            out += (c->IsQuadratic() ? "Q" : "C") + span + Pt(c->GetControl1X(), c->GetControl1Y()) + ">" +
                   Pt(c->GetControl2X(), c->GetControl2Y()) + ">" + stop;
        else if (auto* a = dynamic_cast<const TSVGPathEllipticArc*>(s))
            out += "A" + span + stop + "r" + Pt(a->GetRX(), a->GetRY()) + "/" + Num(a->GetXRot()) + "/" +
                   std::to_string(a->GetLarge()) + std::to_string(a->GetSweep());
    }
    return out;
}

struct SegmentCase {
    const char* name;
    const char* data;
    const char* segments;
};

class PathSegments : public testing::TestWithParam<SegmentCase> {};

TEST_P(PathSegments, ReadAsExpected)
{
    TSVGPath path;
    path.LoadPathData(GetParam().data);
    EXPECT_EQ(Describe(path), GetParam().segments) << GetParam().data;
}

INSTANTIATE_TEST_SUITE_P(
    Straight, PathSegments,
    testing::Values(SegmentCase{"CommasAndSpacesAlike", "M10,20L30,40", "M10,20 L10,20>30,40"},
                    SegmentCase{"Spaced", "M 10 20 L 30 40", "M10,20 L10,20>30,40"},
                    SegmentCase{"SignsAndPoints", "M-5-5l10.5.5", "M-5,-5 L-5,-5>5.5,-4.5"},
                    SegmentCase{"RelativeMoveRepeats", "m 5 5 10 0 0 10", "M5,5 L5,5>15,5 L15,5>15,15"},
                    SegmentCase{"HorizontalVerticalAndClose", "M 0 0 H 10 V 10 h -5 z L 3 3",
                                "M0,0 L0,0>10,0 L10,0>10,10 L10,10>5,10 Z5,10>0,0 L0,0>3,3"},
                    SegmentCase{"RelativeAfterCloseStartsAtSubpath", "M 5 5 L 9 9 Z m 1 1 v 2",
                                "M5,5 L5,5>9,9 Z9,9>5,5 M6,6 L6,6>6,8"},
                    SegmentCase{"NumbersAfterCloseDiscarded", "M 10 10 Z 20 20 L 0 0",
                                "M10,10 Z10,10>10,10 L10,10>0,0"},
                    SegmentCase{"StrayNumberEndsTheLines", "M0 0 L 1 2 3 4 5", "M0,0 L0,0>1,2 L1,2>3,4"},
                    SegmentCase{"Exponents", "M 1e2 3 L 1.5e1 -2E-1", "M100,3 L100,3>15,-0.2"},
                    SegmentCase{"TooFewNumbersConsumeTheNextLetter", "M0 0 L 10 M 5 5", "M0,0 L0,0>10,0"},
                    SegmentCase{"LeadingGarbageIgnored", "x 5 5 M 1 2", "M1,2"},
                    // Data that does not begin with a move is in error from its start: nothing is drawn.
                    SegmentCase{"NotStartingWithAMove", "L 10 10 M 5 5", ""},
                    SegmentCase{"CloseWithoutAnything", "Z", ""}, SegmentCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Curves, PathSegments,
    testing::Values(SegmentCase{"Quadratic", "M 0 0 Q 10 10 20 0", "M0,0 Q0,0>10,10>10,10>20,0"},
                    SegmentCase{"RelativeQuadratic", "M 5 5 q 5 5 10 0", "M5,5 Q5,5>10,10>10,10>15,5"},
                    SegmentCase{"SmoothCubicReflects", "M 0 0 C 0 10 10 10 10 0 S 20 -10 20 0",
                                "M0,0 C0,0>0,10>10,10>10,0 C10,0>10,-10>20,-10>20,0"},
                    SegmentCase{"RelativeCubicAndSmooth", "M 1 1 c 0 10 10 10 10 0 s 10 -10 10 0",
                                "M1,1 C1,1>1,11>11,11>11,1 C11,1>11,-9>21,-9>21,1"},
                    SegmentCase{"SmoothAfterLineStartsAtCurrentPoint", "M 0 0 L 10 0 S 20 10 30 0",
                                "M0,0 L0,0>10,0 C10,0>10,0>20,10>30,0"},
                    SegmentCase{"SmoothQuadraticAfterCubicStartsAtCurrentPoint", "M 0 0 C 0 10 10 10 10 0 T 20 0",
                                "M0,0 C0,0>0,10>10,10>10,0 Q10,0>10,0>10,0>20,0"},
                    SegmentCase{"SmoothCubicAfterQuadraticStartsAtCurrentPoint", "M 0 0 Q 5 5 10 0 S 20 10 30 0",
                                "M0,0 Q0,0>5,5>5,5>10,0 C10,0>10,0>20,10>30,0"},
                    SegmentCase{"SmoothQuadratic", "M 0 0 Q 5 5 10 0 T 20 0",
                                "M0,0 Q0,0>5,5>5,5>10,0 Q10,0>15,-5>15,-5>20,0"},
                    SegmentCase{"RelativeSmoothQuadraticRepeats", "M 0 0 Q 5 5 10 0 t 10 0 10 0",
                                "M0,0 Q0,0>5,5>5,5>10,0 Q10,0>15,-5>15,-5>20,0 Q20,0>25,5>25,5>30,0"},
                    SegmentCase{"Arc", "M 0 0 A 5 5 0 0 1 10 0", "M0,0 A0,0>10,0r5,5/0/01"},
                    SegmentCase{"RelativeArcNegativeRadii", "M 0 0 a -5 -5 0 1 1 10 0", "M0,0 A0,0>10,0r5,5/0/11"},
                    // A flag other than 0 or 1 is an error: the arc and what follows it are left out.
                    SegmentCase{"ArcFlagsOtherThanZeroOrOne", "M 1 1 A 2 3 30 7 -1 5 5", "M1,1"},
                    SegmentCase{"ArcFlagIsOneCharacter", "M 0 0 A 1 1 0 1.0 .5 4 4", "M0,0"},
                    SegmentCase{"ArcFlagsPacked", "M0 0 a1 1 0 00 1 1 L 5 5", "M0,0 A0,0>1,1r1,1/0/00 L1,1>5,5"},
                    SegmentCase{"ArcFlagsPackedIntoTheNumber", "M0 0 a32 32 0 0164 0", "M0,0 A0,0>64,0r32,32/0/01"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* data;
    const char* kept;  // the complete segments before the error
};

// SVG's error rule: everything up to the last complete segment is drawn, the rest is left out.
TEST(PathSegments, DataEndingInsideACommandKeepsWhatCameBefore)
{
    const ErrorCase cases[] = {
        {"M 10", ""},
        {"M 0 0 L", "M0,0"},
        {"M0 0 L 5 5 C 1 2 3 4 5", "M0,0 L0,0>5,5"},
        {"M0 0 a1 1 0 00 1", "M0,0"},
        {"M0 0 A 1 1 0 0 1 5", "M0,0"},
    };
    for (const auto& c : cases) {
        TSVGPath path;
        EXPECT_NO_THROW(path.LoadPathData(c.data)) << c.data;
        EXPECT_EQ(Describe(path), c.kept) << c.data;
        ASSERT_NE(path.GetPath(), nullptr);
    }
}

TEST(PathBounds, SegmentBoxesWidenedByHalfTheStroke)
{
    TSVGPath path;
    path.SetStrokeWidth(2);
    path.LoadPathData("M 0 0 L 10 0");
    path.UpdateBounds();
    const TBounds& b = path.GetObjectBounds();
    EXPECT_EQ(b.TopLeft, (TPointF{-1, -1}));
    EXPECT_EQ(b.TopRight, (TPointF{11, -1}));
    EXPECT_EQ(b.BottomRight, (TPointF{11, 1}));
    EXPECT_EQ(b.BottomLeft, (TPointF{-1, 1}));
}

TEST(PathBounds, CurvesCountTheirControlPolygonArcsOnlyTheirEnds)
{
    struct Case {
        const char* data;
        TPointF topLeft, bottomRight;
    };
    const Case cases[] = {
        {"M 0 0 C 0 10 10 10 10 0", {0, 0}, {10, 10}},
        {"M 0 0 A 5 5 0 0 1 10 0", {0, 0}, {10, 0}},
        {"M 5 5 L 5 5 M 1 1 V 4", {1, 1}, {1, 4}},
        {"M 3 3 z", {0, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        TSVGPath path;
        path.SetStrokeWidth(-3);  // a negative stroke width widens nothing
        path.LoadPathData(c.data);
        path.UpdateBounds();
        EXPECT_EQ(path.GetObjectBounds().TopLeft, c.topLeft) << c.data;
        EXPECT_EQ(path.GetObjectBounds().BottomRight, c.bottomRight) << c.data;
    }
}

TEST(PathCopy, CloneCopiesEverySegment)
{
    TSVGPath path;
    path.LoadPathData("M 1 2 L 3 4 Q 5 6 7 8 C 1 2 3 4 5 6 A 2 3 45 1 0 9 9 Z");
    std::unique_ptr<TSVGObject> copy(path.Clone(nullptr));
    ASSERT_NE(copy, nullptr);
    auto* copied = dynamic_cast<TSVGPath*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(Describe(*copied), Describe(path));
}

TGPPathData DataOf(const std::string& d, TSVGPath& path)
{
    path.LoadPathData(d);
    TGPPathData data;
    EXPECT_NE(path.GetPath(), nullptr);
    if (path.GetPath()) path.GetPath()->GetPathData(data);
    return data;
}

void ExpectNear(const TGPPointF& actual, const TGPPointF& expected, const std::string& what)
{
    EXPECT_NEAR(actual.X, expected.X, 1e-3) << what;
    EXPECT_NEAR(actual.Y, expected.Y, 1e-3) << what;
}

TEST(PathGeometry, StraightSegmentsJoinIntoFigures)
{
    TSVGPath path;
    const TGPPathData data = DataOf("M 0 0 H 10 V 10 z M 20 20 l 5 0", path);
    const std::vector<TGPPointF> points = {{0, 0}, {10, 0}, {10, 10}, {20, 20}, {25, 20}};
    ASSERT_EQ(data.Points, points);
    EXPECT_EQ(data.Types[0] & PathPointTypePathTypeMask, PathPointTypeStart);
    EXPECT_NE(data.Types[2] & PathPointTypeCloseSubpath, 0);
    EXPECT_EQ(data.Types[3] & PathPointTypePathTypeMask, PathPointTypeStart) << "a move begins a new figure";
    EXPECT_EQ(path.GetPath()->GetFillMode(), FillModeWinding);
}

TEST(PathGeometry, EvenOddFillRuleIsHonoured)
{
    TSVGPath path;
    path.GetStyle().AddStyle("fill-rule", "evenodd");
    DataOf("M0 0H10V10H0z M2 2H8V8H2z", path);
    EXPECT_EQ(path.GetPath()->GetFillMode(), FillModeAlternate);
    EXPECT_FALSE(path.GetPath()->IsVisible({5, 5}));
    EXPECT_TRUE(path.GetPath()->IsVisible({1, 5}));
}

TEST(PathGeometry, QuadraticIsDrawnAsItsExactCubic)
{
    TSVGPath path;
    const TGPPathData data = DataOf("M 0 0 Q 10 10 20 0", path);
    ASSERT_EQ(data.Count, 4);
    ExpectNear(data.Points[1], {20.0f / 3, 20.0f / 3}, "first control");
    ExpectNear(data.Points[2], {40.0f / 3, 20.0f / 3}, "second control");
    ExpectNear(data.Points[3], {20, 0}, "end");
}

TEST(PathGeometry, CircularArcsFollowTheirCentreForm)
{
    // A half circle of radius 5 about (5, 0), from 180 degrees through 270 (above the x axis).
    TGPGraphicsPath expected;
    expected.StartFigure();
    expected.AddArc(0, -5, 10, 10, 180, 180);
    TGPPathData want;
    expected.GetPathData(want);
    for (const char* d : {"M 0 0 A 5 5 0 0 1 10 0", "M 0 0 A 1 1 0 0 1 10 0", "M 0 0 A 5 5 360 0 1 10 0"}) {
        TSVGPath path;
        const TGPPathData data = DataOf(d, path);
        ASSERT_EQ(data.Count, want.Count) << d;
        for (int i = 0; i < data.Count; ++i) ExpectNear(data.Points[i], want.Points[i], d);
    }
}

TEST(PathGeometry, DegenerateArcs)
{
    TSVGPath path;
    TGPPathData data = DataOf("M 0 0 A 0 5 0 0 1 10 0", path);
    EXPECT_EQ(data.Points, (std::vector<TGPPointF>{{0, 0}, {10, 0}})) << "zero radius: a line";
    data = DataOf("M 3 3 A 5 5 0 0 1 3 3", path);
    EXPECT_EQ(data.Count, 0) << "equal end points: nothing";
}

// On-curve points of an arc (every third point) lie on the ellipse and the arc ends where it should.
struct ArcCase {
    const char* d;
    float cx, cy, rx, ry, rotation;
    TGPPointF end;
    float extremeY;  // the smallest y the arc reaches
};

TEST(PathGeometry, EllipticArcsStayOnTheirEllipse)
{
    const ArcCase cases[] = {
        {"M 0 0 A 10 5 0 0 1 20 0", 10, 0, 10, 5, 0, {20, 0}, -5},
        {"M 0 0 A 10 5 0 0 0 20 0", 10, 0, 10, 5, 0, {20, 0}, 0},
        {"M 0 0 A 10 5 90 0 1 0 20", 0, 10, 10, 5, 90, {0, 20}, 0},
        {"M 0 0 A 4 2 0 0 1 20 0", 10, 0, 10, 5, 0, {20, 0}, -5},  // radii scaled up, ratio kept
        {"M 10 0 A 10 5 0 1 1 0 5", 10, 5, 10, 5, 0, {0, 5}, 0},   // the large arc about the far centre
    };
    for (const auto& c : cases) {
        TSVGPath path;
        const TGPPathData data = DataOf(c.d, path);
        ASSERT_GT(data.Count, 3) << c.d;
        ExpectNear(data.Points.back(), c.end, std::string(c.d) + " end");
        const float phi = c.rotation * 3.14159265f / 180;
        float lowest = 1e9f;
        for (int i = 0; i < data.Count; i += 3) {
            const float dx = data.Points[i].X - c.cx;
            const float dy = data.Points[i].Y - c.cy;
            const float u = (dx * std::cos(phi) + dy * std::sin(phi)) / c.rx;
            const float v = (-dx * std::sin(phi) + dy * std::cos(phi)) / c.ry;
            EXPECT_NEAR(u * u + v * v, 1.0f, 1e-3) << c.d << " point " << i;
            lowest = std::min(lowest, data.Points[i].Y);
        }
        EXPECT_NEAR(lowest, c.extremeY, 0.5) << c.d;
    }
}

TEST(PathData, AbsurdNumbersReadWithoutFailing)
{
    TSVGPath path;
    path.LoadPathData(
        "M 340000000000000000000000000000000000000 -340000000000000000000000000000000000000 "
        "L 3400000000000000000000000000000000000000 0 "
        "A 340000000000000000000000000000000000000 1 0 1 1 -340000000000000000000000000000000000000 5 "
        "Q 1e38 1e38 -1e38 -1e38 T 1e39 1e39 Z");
    EXPECT_GT(path.GetCount(), 4);
    ASSERT_NE(path.GetPath(), nullptr);
}

// The documents' segments count together: many moderate paths fail as one huge one does.
TEST(PathData, DocumentsBoundTheirSegments)
{
    struct TCase {
        int Paths;
        int SegmentsEach;
        bool Loads;
    };
    const TCase cases[] = {{1, SVGMaxObjects - 10, true}, {1, SVGMaxObjects + 1, false}, {5, SVGMaxObjects / 4, false}};
    for (const TCase& c : cases) {
        std::string d = "M0 0";
        for (int i = 1; i < c.SegmentsEach; ++i) d += "L1 1";
        std::string text = "<svg>";
        for (int i = 0; i < c.Paths; ++i) text += "<path d=\"" + d + "\"/>";
        text += "</svg>";
        TSVG svg;
        if (c.Loads) {
            EXPECT_NO_THROW(svg.LoadFromText(text)) << c.Paths << " x " << c.SegmentsEach;
        } else {
            try {
                svg.LoadFromText(text);
                ADD_FAILURE() << "no error for " << c.Paths << " x " << c.SegmentsEach;
            } catch (const ESVGError& error) {
                EXPECT_EQ(std::string(error.what()), "The document holds more than 250000 elements and path segments");
            }
        }
    }
}

}  // namespace
}  // namespace plumwick
