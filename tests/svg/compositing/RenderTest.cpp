// Painting into the target: anti-aliased edges at the target's resolution, group opacity blended once,
// and clip paths in the user space of what they clip. Pixel probes on small inline documents.
#include "platform/GdiPlus.h"
#include "svg/compositing/SVGRender.h"
#include "svg/core/SVGDocument.h"
#include "tests/support/RenderProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace plumwick {
namespace {

using namespace probe;

// Rendered as the exporter renders, with smooth edges.
TRender RenderSmooth(const std::string& Svg, int Width, int Height)
{
    return Render(Svg, Width, Height, true);
}

struct TProbeCase {
    const char* Name;
    const char* Svg;
    int Width, Height;
    std::vector<TProbe> Probes;
};

class Probes : public testing::TestWithParam<TProbeCase> {};

TEST_P(Probes, PixelsAreAsDrawnByBrowsers)
{
    const TProbeCase& C = GetParam();
    ExpectProbes(RenderSmooth(C.Svg, C.Width, C.Height), C.Probes, 2);
}

constexpr ARGB None = 0;

// Clip path documents share a lime square that fills a 40 x 40 picture.
#define SQUARE40(CLIP, TARGET) "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 40 40'>" CLIP TARGET "</svg>"

INSTANTIATE_TEST_SUITE_P(
    Render, Probes,
    testing::Values(
        // Two overlapping squares in a half-transparent group: the overlap shows the upper square once at half
        // strength, not the lower one showing through it.
        TProbeCase{"GroupOpacityBlendsOnce",
                   "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 30 20'><g opacity='0.5'>"
                   "<rect width='20' height='20' fill='#ff0000'/><rect x='10' width='20' height='20' fill='#0000ff'/>"
                   "</g></svg>",
                   30,
                   20,
                   {{5, 10, 0x80FF0000}, {15, 10, 0x800000FF}, {25, 10, 0x800000FF}}},
        // A shape's stroke over its own fill, both under the shape's opacity: the stroke shows alone.
        TProbeCase{"ShapeOpacityCoversFillAndStrokeTogether",
                   "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 20'><rect x='4' y='4' width='12' "
                   "height='12' fill='#ff0000' stroke='#0000ff' stroke-width='4' opacity='0.5'/></svg>",
                   20,
                   20,
                   {{10, 10, 0x80FF0000}, {5, 10, 0x800000FF}, {3, 10, 0x800000FF}}},
        // The root's CSS background colour is the canvas under the drawing, also outside the viewBox's aspect.
        TProbeCase{"RootBackgroundColorIsTheCanvas",
                   "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 20' style='background-color:#0000ff80'>"
                   "<rect x='10' width='10' height='20' fill='#00ff00'/></svg>",
                   20,
                   20,
                   {{5, 10, 0x800000FF}, {15, 10, 0xFF00FF00}}},
        TProbeCase{"OpacityOnUse",
                   "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                   "viewBox='0 0 20 20'><defs><g id='p'><rect width='20' height='20' fill='#ff0000'/>"
                   "<rect width='20' height='20' fill='#00ff00'/></g></defs><use xlink:href='#p' opacity='0.5'/></svg>",
                   20,
                   20,
                   {{10, 10, 0x8000FF00}}},
        // The clip is in the user space of the element it clips, under its group's rotation: the left half of
        // the square's own coordinates ends up as the top half of the picture.
        TProbeCase{"ClipUnderRotatedGroup",
                   SQUARE40("<clipPath id='c'><rect width='20' height='40'/></clipPath>",
                            "<g transform='rotate(90 20 20)'><rect width='40' height='40' fill='lime' "
                            "clip-path='url(#c)'/></g>"),
                   40,
                   40,
                   {{20, 5, Lime}, {20, 35, None}, {5, 10, Lime}}},
        TProbeCase{"ClipOnRotatedElement",
                   SQUARE40("<clipPath id='c'><rect width='20' height='40'/></clipPath>",
                            "<rect width='40' height='40' fill='lime' transform='rotate(90 20 20)' "
                            "clip-path='url(#c)'/>"),
                   40,
                   40,
                   {{20, 5, Lime}, {20, 35, None}}},
        // A five-pointed star drawn in one stroke: its centre lies inside twice, which nonzero keeps (the
        // default) and evenodd cuts out.
        TProbeCase{"StarClipNonZero",
                   SQUARE40("<clipPath id='s'><path d='M20 2 31 36 2 14H38L9 36Z'/></clipPath>",
                            "<rect width='40' height='40' fill='lime' clip-path='url(#s)'/>"),
                   40,
                   40,
                   {{20, 22, Lime}, {20, 6, Lime}, {3, 35, None}}},
        TProbeCase{"StarClipEvenOdd",
                   SQUARE40("<clipPath id='s'><path d='M20 2 31 36 2 14H38L9 36Z' clip-rule='evenodd'/></clipPath>",
                            "<rect width='40' height='40' fill='lime' clip-path='url(#s)'/>"),
                   40,
                   40,
                   {{20, 22, None}, {20, 6, Lime}}},
        // Overlapping children add up to their union, each with its own rule.
        TProbeCase{"ClipChildrenUnite",
                   SQUARE40("<clipPath id='c'><rect width='25' height='40'/><rect x='15' width='10' height='40'/>"
                            "</clipPath>",
                            "<rect width='40' height='40' fill='lime' clip-path='url(#c)'/>"),
                   40,
                   40,
                   {{20, 20, Lime}, {30, 20, None}}},
        TProbeCase{"ClipInBoundingBoxUnits",
                   SQUARE40("<clipPath id='b' clipPathUnits='objectBoundingBox'><rect width='.5' height='1'/>"
                            "</clipPath>",
                            "<rect x='10' y='10' width='20' height='20' fill='lime' clip-path='url(#b)'/>"),
                   40,
                   40,
                   {{15, 20, Lime}, {25, 20, None}}},
        // A hidden element still widens its group's box; one not displayed does not.
        TProbeCase{"ClipBoxCountsHiddenElements",
                   SQUARE40("<clipPath id='b' clipPathUnits='objectBoundingBox'><rect width='.5' height='1'/>"
                            "</clipPath>",
                            "<g clip-path='url(#b)'><rect width='40' height='40' visibility='hidden'/>"
                            "<rect x='20' width='20' height='40' fill='lime'/></g>"),
                   40,
                   40,
                   {{25, 20, None}, {35, 20, None}}},
        TProbeCase{"ClipBoxSkipsUndisplayedElements",
                   SQUARE40("<clipPath id='b' clipPathUnits='objectBoundingBox'><rect width='.5' height='1'/>"
                            "</clipPath>",
                            "<g clip-path='url(#b)'><rect width='40' height='40' display='none'/>"
                            "<rect x='20' width='20' height='40' fill='lime'/></g>"),
                   40,
                   40,
                   {{25, 20, Lime}, {35, 20, None}}},
        // A clip on a clipPath cuts the clip itself; a clip on a child cuts that child.
        TProbeCase{"ClipOnClipPath",
                   SQUARE40("<clipPath id='a'><rect width='40' height='20'/></clipPath>"
                            "<clipPath id='c' clip-path='url(#a)'><rect width='20' height='40'/></clipPath>",
                            "<rect width='40' height='40' fill='lime' clip-path='url(#c)'/>"),
                   40,
                   40,
                   {{10, 10, Lime}, {10, 30, None}, {30, 10, None}}},
        TProbeCase{"ClipOnClipPathChild",
                   SQUARE40("<clipPath id='a'><rect width='40' height='20'/></clipPath>"
                            "<clipPath id='c'><rect width='20' height='40' clip-path='url(#a)'/>"
                            "<rect x='30' width='10' height='40'/></clipPath>",
                            "<rect width='40' height='40' fill='lime' clip-path='url(#c)'/>"),
                   40,
                   40,
                   {{10, 10, Lime}, {10, 30, None}, {35, 30, Lime}}},
        // A clip that refers back to itself through a child leaves that link out; a missing one clips nothing.
        TProbeCase{"SelfReferenceIsIgnored",
                   SQUARE40("<clipPath id='c'><rect width='20' height='40' clip-path='url(#c)'/></clipPath>",
                            "<rect width='40' height='40' fill='lime' clip-path='url(#c)'/>"),
                   40,
                   40,
                   {{10, 20, Lime}, {30, 20, None}}},
        TProbeCase{"MissingClipClipsNothing",
                   SQUARE40("", "<rect width='40' height='40' fill='lime' clip-path='url(#nothing)'/>"),
                   40,
                   40,
                   {{30, 20, Lime}}},
        TProbeCase{"EmptyClipHidesAll",
                   SQUARE40("<clipPath id='c'/>", "<rect width='40' height='40' fill='lime' clip-path='url(#c)'/>"),
                   40,
                   40,
                   {{20, 20, None}}},
        // The clip of a group cuts the group as a whole, in the group's user space.
        TProbeCase{"ClipOnGroup",
                   SQUARE40("<clipPath id='c'><rect width='10' height='40'/></clipPath>",
                            "<g clip-path='url(#c)' transform='translate(10 0)'><rect width='40' height='40' "
                            "fill='lime'/></g>"),
                   40,
                   40,
                   {{15, 20, Lime}, {25, 20, None}, {5, 20, None}}},
        // Percentages of shape geometry are of the viewport (the view box): x and width of its width, y and
        // height of its height.
        TProbeCase{"PercentLengthsOfTheViewport",
                   "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 40 20'><rect x='25%' y='50%' width='50%' "
                   "height='50%' fill='lime'/><line x1='0' y1='10%' x2='100%' y2='10%' stroke='lime' stroke-width='2'/>"
                   "</svg>",
                   40,
                   20,
                   {{20, 15, Lime}, {5, 15, None}, {20, 7, None}, {35, 2, Lime}}},
        // The whole view box maps onto the target, also when it does not start at the origin.
        TProbeCase{"ViewBoxOriginMapsOntoTarget",
                   "<svg xmlns='http://www.w3.org/2000/svg' viewBox='10 10 20 20'><rect x='10' y='10' "
                   "width='10' height='20' fill='lime'/></svg>",
                   40,
                   40,
                   {{10, 20, Lime}, {30, 20, None}, {19, 39, Lime}}}),
    [](const testing::TestParamInfo<TProbeCase>& Info) { return std::string(Info.param.Name); });

// A 24-unit icon at 96 px: a circle's edge pixels are partly covered (not a staircase).
TEST(RenderEdges, CircleAt96PixelsIsAntiAliased)
{
    const TRender P = RenderSmooth(
        "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 24 24'><circle cx='12' cy='12' r='10'/></svg>", 96, 96);
    EXPECT_GT(P.PartlyCovered(), 150);
}

struct TAreaCase {
    const char* Name;
    const char* Shapes;  // inside a 24-unit view box
    int Size;
    double Exact;      // covered area in user units
    double Tolerance;  // relative
};

class CoveredArea : public testing::TestWithParam<TAreaCase> {};

// The covered area (alpha summed over the picture) matches the exact area of the geometry.
TEST_P(CoveredArea, MatchesTheExactArea)
{
    const TAreaCase& C = GetParam();
    const std::string Svg =
        std::string("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 24 24'>") + C.Shapes + "</svg>";
    const double Scale = C.Size / 24.0;
    const double Exact = C.Exact * Scale * Scale;
    EXPECT_NEAR(RenderSmooth(Svg, C.Size, C.Size).Area(), Exact, std::max(Exact * C.Tolerance, 1.0));
}

constexpr double Pi = 3.14159265358979;

INSTANTIATE_TEST_SUITE_P(
    Render, CoveredArea,
    testing::Values(
        TAreaCase{"FilledCircleAt96", "<circle cx='12' cy='12' r='10'/>", 96, Pi * 100, 0.005},
        // Curves are stroked at the device's resolution: a ring keeps its full width at any size.
        TAreaCase{"RingAt96", "<circle cx='12' cy='12' r='7' fill='none' stroke='#000' stroke-width='2'/>", 96,
                  2 * Pi * 7 * 2, 0.01},
        TAreaCase{"RingAt400", "<circle cx='12' cy='12' r='7' fill='none' stroke='#000' stroke-width='2'/>", 400,
                  2 * Pi * 7 * 2, 0.005},
        // One arc whose end lies a hair beside its start is the whole circle.
        TAreaCase{"ArcAlmostClosed", "<path d='M12 5a7 7 0 1 0 0.0001 0'/>", 96, Pi * 49, 0.01},
        // A subpath of no length shows its cap: a dot for round, a square for square, nothing for butt.
        TAreaCase{"ZeroLengthRoundCap",
                  "<path d='M12 12 L12 12' stroke='#000' stroke-width='4' stroke-linecap='round'/>", 96, Pi * 4, 0.03},
        TAreaCase{"ZeroLengthSquareCap",
                  "<path d='M12 12 L12 12' stroke='#000' stroke-width='4' stroke-linecap='square'/>", 96, 16, 0.03},
        TAreaCase{"ZeroLengthButtCap", "<path d='M12 12 L12 12' stroke='#000' stroke-width='4'/>", 96, 0, 0.01},
        // Path data with an error draws everything up to the last complete segment.
        TAreaCase{"PathDataErrorKeepsWhatCameBefore", "<path d='M2 2 H22 V22 H2 Z M 5'/>", 96, 400, 0.005}),
    [](const testing::TestParamInfo<TAreaCase>& Info) { return std::string(Info.param.Name); });

// Layers live only while their group paints, and deep nesting beyond the layer budget paints without
// layers of its own instead of taking memory without bound.
TEST(RenderLayers, DeeplyNestedGroupsWithOpacityStillPaint)
{
    std::string Svg = "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>";
    for (int I = 0; I < 200; ++I) Svg += "<g opacity='0.999'>";
    Svg += "<rect width='10' height='10' fill='#00ff00'/>";
    for (int I = 0; I < 200; ++I) Svg += "</g>";
    Svg += "</svg>";
    const TRender P = RenderSmooth(Svg, 64, 64);
    EXPECT_GT(P.At(32, 32) >> 24, 0u);
    EXPECT_EQ(P.At(32, 32) & 0xFFFFFF, 0x00FF00u);
}

// Painted into bounds of another shape than the document, the view box is placed as the root's
// preserveAspectRatio says.
TEST(RenderAspect, RootPreserveAspectRatioIsHonoured)
{
    struct TCase {
        const char* Aspect;
        double Area;          // of the 10-unit square in a 40 x 20 output
        int OpaqueX, ClearX;  // columns probed on the middle row
    };
    const TCase Cases[] = {{"xMinYMid meet", 400, 10, 30}, {"xMaxYMid", 400, 30, 10}, {"none", 800, 30, -1}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Aspect);
        TSVG Document;
        Document.LoadFromText(std::string("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10' "
                                          "preserveAspectRatio='") +
                              C.Aspect + "'><rect width='10' height='10'/></svg>");
        TGPBitmap Bitmap(40, 20);
        {
            TGPGraphics Graphics(&Bitmap);
            Document.PaintTo(Graphics, TGPRectF{0, 0, 40, 20});
        }
        TRender P{nullptr, 40, 20, {}};
        ASSERT_TRUE(Bitmap.GetPixels(P.Pixels));
        EXPECT_NEAR(P.Area(), C.Area, 1);
        EXPECT_EQ(P.At(C.OpaqueX, 10) >> 24, 255u);
        if (C.ClearX >= 0) {
            EXPECT_EQ(P.At(C.ClearX, 10) >> 24, 0u);
        }
    }
}

}  // namespace
}  // namespace plumwick
