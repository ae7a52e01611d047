// mix-blend-mode, isolation and paint-order: pixel probes on small inline documents.
#include "platform/GdiPlus.h"
#include "svg/compositing/SVGRender.h"
#include "svg/core/SVGDocument.h"
#include "tests/support/RenderProbe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace plumwick {
namespace {

// The straight ARGB pixel at (X, Y) of Svg rendered at 20 x 20.
ARGB PixelOf(const std::string& Svg, int X, int Y)
{
    return probe::Render(Svg, 20, 20, true).At(X, Y);
}

bool Near(ARGB A, ARGB B)
{
    return probe::Near(A, B, 2);
}

// A backdrop of one colour under a square of another that blends with it.
struct TBlendCase {
    const char* Name;
    const char* Backdrop;
    const char* Source;
    const char* Mode;  // written into the square's style attribute
    ARGB Expected;
};

class Blend : public ::testing::TestWithParam<TBlendCase> {};

TEST_P(Blend, MixesWithTheBackdrop)
{
    const TBlendCase& C = GetParam();
    const std::string Svg =
        std::string(
            R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20"><rect width="20" height="20" fill=")") +
        C.Backdrop + R"("/><rect x="5" y="5" width="10" height="10" fill=")" + C.Source +
        R"(" style="mix-blend-mode:)" + C.Mode + R"("/></svg>)";
    const ARGB Got = PixelOf(Svg, 10, 10);
    EXPECT_TRUE(Near(Got, C.Expected)) << std::hex << Got << " instead of " << C.Expected;
}

INSTANTIATE_TEST_SUITE_P(Rows, Blend,
                         ::testing::Values(TBlendCase{"normal", "#ff8000", "#8080ff", "normal", 0xFF8080FF},
                                           TBlendCase{"multiply", "#ff8000", "#8080ff", "multiply", 0xFF804000},
                                           TBlendCase{"screen", "#ff8000", "#0080ff", "screen", 0xFFFFC0FF},
                                           TBlendCase{"difference", "#ff8000", "#0080ff", "difference", 0xFFFF00FF},
                                           TBlendCase{"hard_light_dark_source", "#808080", "#000000", "hard-light",
                                                      0xFF000000},
                                           TBlendCase{"hue", "#ff0000", "#0000ff", "hue", 0xFF3636FF},
                                           TBlendCase{"color", "#808080", "#ff0000", "color", 0xFFFF4A4A},
                                           TBlendCase{"xor_is_no_blend_mode", "#ff8000", "#8080ff", "xor", 0xFF8080FF}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Blend, OverNothingTheSourceStaysAsItIs)
{
    EXPECT_TRUE(Near(
        PixelOf(
            R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20"><rect width="20" height="20" fill="#0080ff" style="mix-blend-mode:multiply"/></svg>)",
            10, 10),
        0xFF0080FF));
}

TEST(Blend, AnAttributeIsNoBlendMode)
{
    EXPECT_TRUE(Near(
        PixelOf(
            R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20"><rect width="20" height="20" fill="#ff8000"/><rect width="20" height="20" fill="#8080ff" mix-blend-mode="multiply"/></svg>)",
            10, 10),
        0xFF8080FF));
}

TEST(Blend, IsolatedGroupKeepsItsContentFromTheBackdrop)
{
    const std::string Isolated =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20"><rect width="20" height="20" fill="#ff8000"/><g style="isolation:isolate"><rect width="20" height="20" fill="#8080ff" style="mix-blend-mode:multiply"/></g></svg>)";
    EXPECT_TRUE(Near(PixelOf(Isolated, 10, 10), 0xFF8080FF));
    const std::string FromSheet =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20"><style>rect + g rect { mix-blend-mode: multiply }</style><rect width="20" height="20" fill="#ff8000"/><g><rect width="20" height="20" fill="#8080ff"/></g></svg>)";
    EXPECT_TRUE(Near(PixelOf(FromSheet, 10, 10), 0xFF804000));
}

// A lone shape whose layer is opened for something else still shows at its own opacity: a square at
// opacity 0.5 over white, at (10, 10).
struct TLayerOpacityCase {
    const char* Name;
    const char* Defs;
    const char* Square;  // attributes of the square
    ARGB Expected;
};

class LayerOpacity : public ::testing::TestWithParam<TLayerOpacityCase> {};

TEST_P(LayerOpacity, IsKept)
{
    const TLayerOpacityCase& C = GetParam();
    const std::string Svg =
        std::string(R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">)") + C.Defs +
        R"(<rect width="20" height="20" fill="#ffffff"/><rect x="5" y="5" width="10" height="10" opacity="0.5" )" +
        C.Square + "/></svg>";
    const ARGB Got = PixelOf(Svg, 10, 10);
    EXPECT_TRUE(Near(Got, C.Expected)) << std::hex << Got << " instead of " << C.Expected;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LayerOpacity,
    ::testing::Values(TLayerOpacityCase{"alone", "", R"svg(fill="#ff0000")svg", 0xFFFF8080},
                      TLayerOpacityCase{"with_a_blend_mode", "",
                                        R"svg(fill="#000000" style="mix-blend-mode:multiply")svg", 0xFF808080},
                      TLayerOpacityCase{"with_a_mask",
                                        R"svg(<mask id="m"><rect width="20" height="20" fill="#ffffff"/></mask>)svg",
                                        R"svg(fill="#ff0000" mask="url(#m)")svg", 0xFFFF8080},
                      TLayerOpacityCase{"with_a_mask_and_a_stroke",
                                        R"svg(<mask id="m"><rect width="20" height="20" fill="#ffffff"/></mask>)svg",
                                        R"svg(fill="#ff0000" stroke="#ff0000" mask="url(#m)")svg", 0xFFFF8080}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// A square with a wide blue stroke over a red fill; (7, 10) lies inside the fill, under the stroke's inner half.
struct TOrderCase {
    const char* Name;
    const char* Sheet;
    const char* Attributes;
    ARGB Expected;
};

class PaintOrder : public ::testing::TestWithParam<TOrderCase> {};

TEST_P(PaintOrder, DecidesWhatLiesOnTop)
{
    const TOrderCase& C = GetParam();
    const std::string Svg =
        std::string(R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20"><style>)") + C.Sheet +
        R"(</style><rect x="5" y="5" width="10" height="10" fill="#ff0000" stroke="#0000ff" stroke-width="6" )" +
        C.Attributes + "/></svg>";
    const ARGB Got = PixelOf(Svg, 7, 10);
    EXPECT_TRUE(Near(Got, C.Expected)) << std::hex << Got;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PaintOrder,
    ::testing::Values(TOrderCase{"normal", "", "", 0xFF0000FF},
                      TOrderCase{"stroke_first", "", R"(paint-order="stroke")", 0xFFFF0000},
                      TOrderCase{"omitted_fill_comes_last", "", R"(paint-order="markers stroke")", 0xFFFF0000},
                      TOrderCase{"from_the_sheet", "rect { paint-order: stroke fill }", "", 0xFFFF0000},
                      TOrderCase{"duplicate_is_ignored", "", R"(paint-order="stroke stroke")", 0xFF0000FF},
                      TOrderCase{"inherited", "", R"(style="paint-order:inherit")", 0xFF0000FF}),
    [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace plumwick
