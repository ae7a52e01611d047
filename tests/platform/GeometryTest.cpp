// Matrices for row vectors with their prepend and append orders, and flattening curves to lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "Canvas.h"

namespace plumwick::test {
namespace {

using test::PrintTo;

using TElements = std::array<float, 6>;

struct TMatrixCase {
    const char* Name;
    std::function<void(TGPMatrix&)> Build;
    TElements Expected;
};

class Matrices : public testing::TestWithParam<TMatrixCase> {};

TEST_P(Matrices, ComposeInTheirOrder)
{
    const TMatrixCase& c = GetParam();
    TGPMatrix m;
    c.Build(m);
    EXPECT_EQ(m.GetLastStatus(), Ok) << c.Name;
    const TElements e = m.GetElements();
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(e[i], c.Expected[i], 1e-4) << c.Name << " element " << i;
    float out[6];
    ASSERT_EQ(m.GetElements(std::span<float, 6>(out)), Ok);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], e[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, Matrices,
    testing::Values(TMatrixCase{"Identity", [](TGPMatrix&) {}, {1, 0, 0, 1, 0, 0}},
                    TMatrixCase{"Elements",
                                [](TGPMatrix& m) { EXPECT_EQ(m.SetElements(1, 2, 3, 4, 5, 6), Ok); },
                                {1, 2, 3, 4, 5, 6}},
                    // Prepend (the default): the new operation applies to points first.
                    TMatrixCase{"ScaleThenTranslatePrepend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Scale(2, 3), Ok);
                                    EXPECT_EQ(m.Translate(10, 20), Ok);
                                },
                                {2, 0, 0, 3, 20, 60}},
                    TMatrixCase{"ScaleThenTranslateAppend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Scale(2, 3), Ok);
                                    EXPECT_EQ(m.Translate(10, 20, MatrixOrderAppend), Ok);
                                },
                                {2, 0, 0, 3, 10, 20}},
                    TMatrixCase{"TranslateThenScaleAppend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Translate(10, 20), Ok);
                                    EXPECT_EQ(m.Scale(2, 3, MatrixOrderAppend), Ok);
                                },
                                {2, 0, 0, 3, 20, 60}},
                    TMatrixCase{"TranslateThenScalePrepend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Translate(10, 20), Ok);
                                    EXPECT_EQ(m.Scale(2, 3), Ok);
                                },
                                {2, 0, 0, 3, 10, 20}},
                    TMatrixCase{"TranslateThenRotatePrepend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Translate(5, 0), Ok);
                                    EXPECT_EQ(m.Rotate(90), Ok);
                                },
                                {0, 1, -1, 0, 5, 0}},
                    TMatrixCase{"TranslateThenRotateAppend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Translate(5, 0), Ok);
                                    EXPECT_EQ(m.Rotate(90, MatrixOrderAppend), Ok);
                                },
                                {0, 1, -1, 0, 0, 5}},
                    // +x turns towards +y.
                    TMatrixCase{"Rotate90", [](TGPMatrix& m) { EXPECT_EQ(m.Rotate(90), Ok); }, {0, 1, -1, 0, 0, 0}},
                    TMatrixCase{"RotateThenTranslatePrepend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Rotate(90), Ok);
                                    EXPECT_EQ(m.Translate(5, 0), Ok);
                                },
                                {0, 1, -1, 0, 0, 5}},
                    TMatrixCase{"RotateThenTranslateAppend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Rotate(90), Ok);
                                    EXPECT_EQ(m.Translate(5, 0, MatrixOrderAppend), Ok);
                                },
                                {0, 1, -1, 0, 5, 0}},
                    // (10, 0) turned by 90° about itself stays where it is.
                    TMatrixCase{"RotateAt",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.RotateAt(90, {10, 0}), Ok);
                                },
                                {0, 1, -1, 0, 10, -10}},
                    TMatrixCase{"MultiplyPrepend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Translate(1, 2), Ok);
                                    TGPMatrix s(2, 0, 0, 2, 0, 0);
                                    EXPECT_EQ(m.Multiply(s), Ok);
                                },
                                {2, 0, 0, 2, 1, 2}},
                    TMatrixCase{"MultiplyAppend",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.Translate(1, 2), Ok);
                                    TGPMatrix s(2, 0, 0, 2, 0, 0);
                                    EXPECT_EQ(m.Multiply(s, MatrixOrderAppend), Ok);
                                },
                                {2, 0, 0, 2, 2, 4}},
                    TMatrixCase{"MultiplyGeneral",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.SetElements(1, 2, 3, 4, 5, 6), Ok);
                                    TGPMatrix o(7, 8, 9, 10, 11, 12);
                                    // o × m: rows of o times m.
                                    EXPECT_EQ(m.Multiply(o), Ok);
                                },
                                {31, 46, 39, 58, 52, 76}},
                    TMatrixCase{"Shear", [](TGPMatrix& m) { EXPECT_EQ(m.Shear(2, 3), Ok); }, {1, 3, 2, 1, 0, 0}},
                    TMatrixCase{"Invert",
                                [](TGPMatrix& m) {
                                    EXPECT_EQ(m.SetElements(2, 0, 0, 4, 6, 8), Ok);
                                    EXPECT_EQ(m.Invert(), Ok);
                                },
                                {0.5f, 0, 0, 0.25f, -3, -2}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPointCase {
    const char* Name;
    TGPMatrix Matrix;
    TGPPointF In, Out;
};

class RowVectors : public testing::TestWithParam<TPointCase> {};

// x' = m11·x + m21·y + dx, y' = m12·x + m22·y + dy.
TEST_P(RowVectors, MapPoints)
{
    const TPointCase& c = GetParam();
    TGPPointF p[] = {c.In};
    ASSERT_EQ(c.Matrix.TransformPoints(p), Ok);
    EXPECT_NEAR(p[0].X, c.Out.X, 1e-4) << c.Name;
    EXPECT_NEAR(p[0].Y, c.Out.Y, 1e-4) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Points, RowVectors,
                         testing::Values(TPointCase{"XAxis", {1, 2, 3, 4, 5, 6}, {1, 0}, {6, 8}},
                                         TPointCase{"YAxis", {1, 2, 3, 4, 5, 6}, {0, 1}, {8, 10}},
                                         TPointCase{"Both", {1, 2, 3, 4, 5, 6}, {2, 3}, {16, 22}},
                                         TPointCase{"Rotation", {0, 1, -1, 0, 0, 0}, {3, 0}, {0, 3}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Matrix, SingularDoesNotInvert)
{
    TGPMatrix m(1, 2, 2, 4, 0, 0);
    EXPECT_FALSE(m.IsInvertible());
    EXPECT_EQ(m.Invert(), InvalidParameter);
    EXPECT_EQ(m.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(m.GetLastStatus(), Ok);
    EXPECT_EQ(m.GetElements(), (TElements{1, 2, 2, 4, 0, 0}));
}

TEST(Matrix, NotANumberIsRefused)
{
    TGPMatrix m;
    EXPECT_EQ(m.Translate(std::numeric_limits<float>::quiet_NaN(), 0), InvalidParameter);
    EXPECT_EQ(m.Rotate(std::numeric_limits<float>::infinity()), InvalidParameter);
    EXPECT_TRUE(m.IsIdentity());
    EXPECT_EQ(m.GetLastStatus(), InvalidParameter);
}

TEST(Matrix, PathTransformMatchesPointTransform)
{
    TGPMatrix m;
    EXPECT_EQ(m.RotateAt(30, {5, 5}), Ok);
    EXPECT_EQ(m.Scale(2, 1, MatrixOrderAppend), Ok);
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddLine(1, 2, 3, 4), Ok);
    EXPECT_EQ(path.Transform(&m), Ok);
    TGPPathData data;
    EXPECT_EQ(path.GetPathData(data), Ok);
    TGPPointF pts[] = {{1, 2}, {3, 4}};
    EXPECT_EQ(m.TransformPoints(pts), Ok);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(data.Points[i].X, pts[i].X);
        EXPECT_FLOAT_EQ(data.Points[i].Y, pts[i].Y);
    }
}

// --- flattening

// Distance from p to the nearest point of the cubic (dense sampling, then a finer look about the
// best sample).
double DistanceToCubic(TGPPointF p, const TGPPointF (&c)[4])
{
    auto at = [&](double t) {
        const double u = 1 - t;
        const double x = u * u * u * c[0].X + 3 * u * u * t * c[1].X + 3 * u * t * t * c[2].X + t * t * t * c[3].X;
        const double y = u * u * u * c[0].Y + 3 * u * u * t * c[1].Y + 3 * u * t * t * c[2].Y + t * t * t * c[3].Y;
        return std::hypot(x - p.X, y - p.Y);
    };
    constexpr int kSamples = 2000;
    int best = 0;
    for (int i = 1; i <= kSamples; ++i)
        if (at(double(i) / kSamples) < at(double(best) / kSamples)) best = i;
    double nearest = at(double(best) / kSamples);
    for (int i = -1000; i <= 1000; ++i)
        nearest = std::min(nearest, at(std::clamp((best + i / 1000.0) / kSamples, 0.0, 1.0)));
    return nearest;
}

struct TFlattenCase {
    const char* Name;
    TGPPointF Curve[4];
    float Flatness;
};

class Flattening : public testing::TestWithParam<TFlattenCase> {};

TEST_P(Flattening, GivesLinesWithinTheFlatness)
{
    const TFlattenCase& c = GetParam();
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddBezier(c.Curve[0], c.Curve[1], c.Curve[2], c.Curve[3]), Ok);
    ASSERT_EQ(path.Flatten(nullptr, c.Flatness), Ok);
    TGPPathData data;
    EXPECT_EQ(path.GetPathData(data), Ok);
    ASSERT_GE(data.Count, 2);
    EXPECT_EQ(data.Types.front(), PathPointTypeStart);
    for (int i = 1; i < data.Count; ++i) EXPECT_EQ(data.Types[i], PathPointTypeLine) << c.Name << " point " << i;
    EXPECT_EQ(data.Points.front(), c.Curve[0]);
    EXPECT_EQ(data.Points.back(), c.Curve[3]);
    // Every point lies on the curve, and so does the middle of every line within the flatness.
    for (int i = 0; i < data.Count; ++i) {
        EXPECT_LT(DistanceToCubic(data.Points[i], c.Curve), 1e-2) << c.Name << " point " << i;
        if (i > 0) {
            const TGPPointF mid{(data.Points[i - 1].X + data.Points[i].X) / 2,
                                (data.Points[i - 1].Y + data.Points[i].Y) / 2};
            EXPECT_LE(DistanceToCubic(mid, c.Curve), c.Flatness + 1e-3) << c.Name << " line " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, Flattening,
                         testing::Values(TFlattenCase{"GentleArch", {{0, 0}, {10, 20}, {30, 20}, {40, 0}}, 0.25f},
                                         TFlattenCase{"SCurveFine", {{0, 0}, {40, 0}, {0, 40}, {40, 40}}, 0.05f},
                                         TFlattenCase{"SCurveCoarse", {{0, 0}, {40, 0}, {0, 40}, {40, 40}}, 2},
                                         TFlattenCase{"Straight", {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, 0.25f},
                                         TFlattenCase{"Cusp", {{0, 0}, {40, 40}, {0, 40}, {40, 0}}, 0.25f}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Flatten, FinerFlatnessGivesMorePoints)
{
    auto count = [](float flatness) {
        TGPGraphicsPath path;
        EXPECT_EQ(path.AddEllipse(0, 0, 100, 100), Ok);
        EXPECT_EQ(path.Flatten(nullptr, flatness), Ok);
        return path.GetPointCount();
    };
    EXPECT_GT(count(0.1f), count(1.0f));
    EXPECT_GT(count(1.0f), count(10.0f));
}

TEST(Flatten, KeepsFiguresAndClosesAndAppliesTheMatrix)
{
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddEllipse(0, 0, 20, 20), Ok);
    EXPECT_EQ(path.AddLine(30, 30, 40, 30), Ok);
    TGPMatrix m(2, 0, 0, 2, 100, 0);
    ASSERT_EQ(path.Flatten(&m, 0.1f), Ok);
    TGPPathData data;
    EXPECT_EQ(path.GetPathData(data), Ok);
    int starts = 0, closes = 0;
    for (int i = 0; i < data.Count; ++i) {
        starts += (data.Types[i] & PathPointTypePathTypeMask) == PathPointTypeStart;
        closes += (data.Types[i] & PathPointTypeCloseSubpath) != 0;
        EXPECT_NE(data.Types[i] & PathPointTypePathTypeMask, PathPointTypeBezier);
    }
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(closes, 1);
    // The circle, scaled to radius 20 about (120, 20): every point on it.
    for (int i = 0; i + 2 < data.Count; ++i)
        EXPECT_NEAR(std::hypot(data.Points[i].X - 120, data.Points[i].Y - 20), 20, 0.05) << i;
    EXPECT_EQ(data.Points.back(), (TGPPointF{180, 60}));
}

TEST(Flatten, FlattenedPathFillsLikeTheCurve)
{
    Canvas curved(40, 40), flat(40, 40);
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddEllipse(2, 2, 36, 36), Ok);
    curved.Fill(kBlack, path);
    EXPECT_EQ(path.Flatten(nullptr, 0.05f), Ok);
    flat.Fill(kBlack, path);
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) differing += (GetAlpha(curved.At(x, y)) > 127) != (GetAlpha(flat.At(x, y)) > 127);
    EXPECT_LE(differing, 4);
    EXPECT_NEAR(curved.Covered(0, 0, 40, 40), 3.14159 * 18 * 18, 20);
}

}  // namespace
}  // namespace plumwick::test
