// The filter image operations on small canvases: blur falloff, drop shadow, colour matrices,
// arithmetic composite, subregions.

#include <gtest/gtest.h>

#include <cmath>

#include "svg/compositing/filters/FilterOps.h"
#include "svg/compositing/filters/FilterRun.h"

namespace plumwick::filters {
namespace {

// Opaque white square of Side pixels at (X, Y) on a Size × Size transparent canvas, sRGB.
TFilterImage Square(int Size, int X, int Y, int Side, float R = 1, float G = 1, float B = 1, float A = 1)
{
    TFilterImage Out(Size, Size);
    for (int J = Y; J < Y + Side; ++J)
        for (int I = X; I < X + Side; ++I) {
            float* P = Out.Pixel(I, J);
            P[0] = R * A, P[1] = G * A, P[2] = B * A, P[3] = A;
        }
    return Out;
}

// Alpha at (X, Y); outside the canvas transparent.
float AlphaAt(const TFilterImage& I, int X, int Y)
{
    float P[4];
    I.Sample(X, Y, P);
    return P[3];
}

// --- Blur falloff across the square's left edge (x = 20) on the middle row.

struct TBlurCase {
    const char* Name;
    float Deviation;
    float Inside, AtEdge, Outside;  // alpha 6 px inside, at the edge pixel, 3σ + 1 outside
};

class BlurFalloff : public ::testing::TestWithParam<TBlurCase> {};

TEST_P(BlurFalloff, FollowsTheGaussian)
{
    const TBlurCase& C = GetParam();
    const TFilterImage Out = GaussianBlur(Square(80, 20, 20, 40), C.Deviation, C.Deviation);
    const int Row = 40;
    EXPECT_NEAR(AlphaAt(Out, 26, Row), C.Inside, 0.03f);
    EXPECT_NEAR(AlphaAt(Out, 20, Row), C.AtEdge, 0.08f);
    EXPECT_NEAR(AlphaAt(Out, 20 - int(std::ceil(3 * C.Deviation)) - 1, Row), C.Outside, 0.01f);
    // The blur is symmetric: the right edge falls off as the left.
    EXPECT_NEAR(AlphaAt(Out, 59, Row), AlphaAt(Out, 20, Row), 0.04f);
    // Nothing is lost in the middle of a large square.
    EXPECT_NEAR(AlphaAt(Out, 40, 40), 1.0f, 0.01f);
}

INSTANTIATE_TEST_SUITE_P(Filters, BlurFalloff,
                         ::testing::Values(TBlurCase{"exact_kernel", 1.0f, 1.0f, 0.69f, 0.0f},
                                           TBlurCase{"three_boxes", 3.0f, 0.98f, 0.57f, 0.0f},
                                           TBlurCase{"wide_boxes", 6.0f, 0.86f, 0.53f, 0.0f}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Blur, DirectionsAreSeparate)
{
    const TFilterImage Out = GaussianBlur(Square(60, 20, 20, 20), 4, 0);
    EXPECT_GT(AlphaAt(Out, 17, 30), 0.1f);  // spread along x
    EXPECT_EQ(AlphaAt(Out, 30, 19), 0.0f);  // none along y
}

// --- Morphology: a square of side 10 at (10, 10) grows or shrinks by the radius.

struct TMorphCase {
    const char* Name;
    bool Dilate;
    float Radius;
    int FirstCovered, LastCovered;  // along the middle row
};

class MorphologyEdges : public ::testing::TestWithParam<TMorphCase> {};

TEST_P(MorphologyEdges, MoveByTheRadius)
{
    const TMorphCase& C = GetParam();
    const TFilterImage Out = Morphology(Square(30, 10, 10, 10), {C.Dilate, C.Radius, C.Radius});
    EXPECT_EQ(AlphaAt(Out, C.FirstCovered - 1, 15), 0.0f);
    EXPECT_EQ(AlphaAt(Out, C.FirstCovered, 15), 1.0f);
    EXPECT_EQ(AlphaAt(Out, C.LastCovered, 15), 1.0f);
    EXPECT_EQ(AlphaAt(Out, C.LastCovered + 1, 15), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Filters, MorphologyEdges,
                         ::testing::Values(TMorphCase{"dilate", true, 2, 8, 21}, TMorphCase{"erode", false, 2, 12, 17},
                                           TMorphCase{"dilate_past_the_canvas", true, 100, 0, 29}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// --- Drop shadow: an offset, unblurred, black copy under the source.

TEST(DropShadow, LiesOffsetUnderTheSource)
{
    TFilterPrimitive P;
    P.Linear = false;
    TDropShadowParams S;
    S.DX = 5, S.DY = 5;
    S.Color = {0, 0, 0, 0.5f};
    P.Params = S;
    const TFilterImage Out = RunFilter({&P, 1}, Square(40, 10, 10, 10, 1, 0, 0), {0, 0, 40, 40});
    const float* Source = Out.Pixel(12, 12);
    EXPECT_FLOAT_EQ(Source[0], 1.0f);
    EXPECT_FLOAT_EQ(Source[3], 1.0f);
    const float* Shadow = Out.Pixel(22, 22);
    EXPECT_NEAR(Shadow[3], 0.5f, 0.01f);
    EXPECT_NEAR(Shadow[0], 0.0f, 0.01f);
    EXPECT_EQ(Out.Pixel(8, 8)[3], 0.0f);
}

// --- Colour matrices on straight colours.

struct TMatrixCase {
    const char* Name;
    TColorMatrixParams Matrix;
    float In[4];
    float Expected[4];  // straight
};

class ColourMatrix : public ::testing::TestWithParam<TMatrixCase> {};

TEST_P(ColourMatrix, MapsStraightColour)
{
    const TMatrixCase& C = GetParam();
    TFilterImage In(1, 1);
    for (int K = 0; K < 3; ++K) In.Pixel(0, 0)[K] = C.In[K] * C.In[3];
    In.Pixel(0, 0)[3] = C.In[3];
    const TFilterImage Out = ColorMatrix(In, C.Matrix);
    const float* P = Out.Pixel(0, 0);
    EXPECT_NEAR(P[3], C.Expected[3], 0.002f);
    for (int K = 0; K < 3; ++K) EXPECT_NEAR(P[3] > 0 ? P[K] / P[3] : 0, C.Expected[K], 0.002f) << "channel " << K;
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ColourMatrix,
    ::testing::Values(
        TMatrixCase{"saturate_zero_is_grey", SaturateMatrix(0), {1, 0, 0, 1}, {0.213f, 0.213f, 0.213f, 1}},
        TMatrixCase{"hue_rotate_zero_keeps", HueRotateMatrix(0), {0.2f, 0.4f, 0.6f, 1}, {0.2f, 0.4f, 0.6f, 1}},
        TMatrixCase{"luminance_to_alpha", LuminanceToAlphaMatrix(), {0, 1, 0, 1}, {0, 0, 0, 0.7154f}},
        TMatrixCase{"half_alpha_keeps_colour", TColorMatrixParams{}, {1, 0.5f, 0, 0.5f}, {1, 0.5f, 0, 0.5f}},
        TMatrixCase{"invert", InvertMatrix(1), {1, 0.25f, 0, 1}, {0, 0.75f, 1, 1}},
        TMatrixCase{"results_are_clamped", BrightnessMatrix(3), {0.5f, 0.2f, 0, 1}, {1, 0.6f, 0, 1}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// --- Arithmetic composite on premultiplied values.

struct TArithmeticCase {
    const char* Name;
    float K1, K2, K3, K4;
    float A, B;      // grey levels (opaque) of in and in2
    float Expected;  // premultiplied channel value and alpha, clamped
};

class ArithmeticComposite : public ::testing::TestWithParam<TArithmeticCase> {};

TEST_P(ArithmeticComposite, CombinesBothInputs)
{
    const TArithmeticCase& C = GetParam();
    TFilterImage A(1, 1), B(1, 1);
    std::fill(A.Data().begin(), A.Data().end(), C.A);
    std::fill(B.Data().begin(), B.Data().end(), C.B);
    const TFilterImage Out = Composite(A, B, {TCompositeOperator::Arithmetic, C.K1, C.K2, C.K3, C.K4});
    const float* P = Out.Pixel(0, 0);
    EXPECT_NEAR(P[3], C.Expected, 1e-4f);
    EXPECT_NEAR(P[0], C.Expected, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(Filters, ArithmeticComposite,
                         ::testing::Values(TArithmeticCase{"product", 1, 0, 0, 0, 0.5f, 0.5f, 0.25f},
                                           TArithmeticCase{"sum", 0, 1, 1, 0, 0.25f, 0.5f, 0.75f},
                                           TArithmeticCase{"difference", 0, 1, -1, 0, 0.75f, 0.25f, 0.5f},
                                           TArithmeticCase{"clamped_above", 0, 1, 1, 0.5f, 0.5f, 0.5f, 1.0f},
                                           TArithmeticCase{"clamped_below", 0, -1, 0, 0, 0.5f, 0.5f, 0.0f}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// --- The chain: subregions and named results.

TEST(RunFilter, SubregionClipsTheResult)
{
    TFilterPrimitive Flood;
    Flood.Params = TFloodParams{{0, 1, 0, 1}};
    Flood.X = 5, Flood.Y = 5, Flood.Width = 10, Flood.Height = 10;
    const TFilterImage Out = RunFilter({&Flood, 1}, TFilterImage(30, 30), {0, 0, 30, 30});
    EXPECT_EQ(AlphaAt(Out, 4, 10), 0.0f);
    EXPECT_EQ(AlphaAt(Out, 5, 10), 1.0f);
    EXPECT_EQ(AlphaAt(Out, 14, 14), 1.0f);
    EXPECT_EQ(AlphaAt(Out, 15, 14), 0.0f);
}

TEST(RunFilter, RegionClipsTheLastResult)
{
    TFilterPrimitive Flood;
    Flood.Params = TFloodParams{{0, 0, 1, 1}};
    const TFilterImage Out = RunFilter({&Flood, 1}, TFilterImage(30, 30), {10, 0, 10, 30});
    EXPECT_EQ(AlphaAt(Out, 9, 0), 0.0f);
    EXPECT_EQ(AlphaAt(Out, 10, 0), 1.0f);
    EXPECT_EQ(AlphaAt(Out, 20, 0), 0.0f);
}

TEST(RunFilter, LinearWorkComesBackInSrgb)
{
    // A flood in linear light of sRGB 50 % grey must come out as the same grey.
    TFilterPrimitive Flood;
    Flood.Linear = true;
    Flood.Params = TFloodParams{{0.5f, 0.5f, 0.5f, 1}};
    const TFilterImage Out = RunFilter({&Flood, 1}, TFilterImage(2, 2), {0, 0, 2, 2});
    EXPECT_FALSE(Out.Linear());
    EXPECT_NEAR(Out.Pixel(1, 1)[0], 0.5f, 0.002f);
}

TEST(RunFilter, NamedResultFeedsALaterPrimitive)
{
    // flood → (named 0); offset of SourceGraphic; composite "in" of the offset with the flood.
    std::vector<TFilterPrimitive> P(3);
    P[0].Params = TFloodParams{{1, 0, 0, 1}};
    P[0].X = 0, P[0].Y = 0, P[0].Width = 10, P[0].Height = 20;
    P[1].In = {TFilterInput::TKind::SourceGraphic};
    P[1].Params = TOffsetParams{2, 0};
    P[2].In = {TFilterInput::TKind::Previous};
    P[2].In2 = {TFilterInput::TKind::Result, 0};
    P[2].Params = TCompositeParams{TCompositeOperator::In};
    const TFilterImage Out = RunFilter(P, Square(20, 0, 0, 20), {0, 0, 20, 20});
    EXPECT_EQ(AlphaAt(Out, 1, 5), 0.0f);   // shifted away
    EXPECT_EQ(AlphaAt(Out, 5, 5), 1.0f);   // inside both
    EXPECT_EQ(AlphaAt(Out, 15, 5), 0.0f);  // outside the flood
}

}  // namespace
}  // namespace plumwick::filters
