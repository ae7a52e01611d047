// Transform lists into row-vector matrices, and the matrix helpers.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/GdiPlusMatrix.h"
#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"

namespace plumwick {
namespace {

TPointF Apply(const char* transform, TPointF p)
{
    return p * ParseTransform(transform);
}

void ExpectPoint(TPointF actual, TPointF expected, const char* what)
{
    EXPECT_NEAR(actual.X, expected.X, 1e-4) << what;
    EXPECT_NEAR(actual.Y, expected.Y, 1e-4) << what;
}

TEST(ParseTransform, NothingUsableGivesAllZero)
{
    for (const char* t :
         {"", "   ", "foo(1)", "translate(1,2,3)", "scale()", "rotate()", "skewX(1 2)", "Translate(1)", "translate(5"})
        EXPECT_EQ(ParseTransform(t), TMatrix{}) << t;
}

TEST(ParseTransform, Items)
{
    struct {
        const char* Text;
        TMatrix M;
    } cases[] = {
        {"translate(10)", {1, 0, 0, 0, 1, 0, 10, 0, 1}},
        {"translate(10 20)", {1, 0, 0, 0, 1, 0, 10, 20, 1}},
        {"translate(10,20)", {1, 0, 0, 0, 1, 0, 10, 20, 1}},
        {"translate( 10, 20 )", {1, 0, 0, 0, 1, 0, 10, 20, 1}},
        {"scale(2)", {2, 0, 0, 0, 2, 0, 0, 0, 1}},
        {"scale(2,3)", {2, 0, 0, 0, 3, 0, 0, 0, 1}},
        {"matrix(1 0 0 1 5 6)", {1, 0, 0, 0, 1, 0, 5, 6, 1}},
        {"matrix(1,2,3,4,5,6)", {1, 2, 0, 3, 4, 0, 5, 6, 1}},
        {"matrix(1 2)", {1, 0, 0, 0, 1, 0, 0, 0, 1}},
        // A number ends where a sign or a second decimal point starts the next one.
        {"translate(10-5)", {1, 0, 0, 0, 1, 0, 10, -5, 1}},
        {"translate(-10+5)", {1, 0, 0, 0, 1, 0, -10, 5, 1}},
        {"translate(1e1-2E+1)", {1, 0, 0, 0, 1, 0, 10, -20, 1}},
        {"translate(.5.25)", {1, 0, 0, 0, 1, 0, 0.5f, 0.25f, 1}},
        {"matrix(1 0 0 1-5-6)", {1, 0, 0, 0, 1, 0, -5, -6, 1}},
        {"translate(5,5),scale(2)", {2, 0, 0, 0, 2, 0, 5, 5, 1}},
        {"bogus(1) translate(3)", {1, 0, 0, 0, 1, 0, 3, 0, 1}},
        {"translate (5,5)", {1, 0, 0, 0, 1, 0, 5, 5, 1}},
        {"  matrix  (  1  2 3\t4\n5  6  )   ", {1, 2, 0, 3, 4, 0, 5, 6, 1}},
        {"scale\t(2)  ,  translate\n(1 , 2)", {2, 0, 0, 0, 2, 0, 2, 4, 1}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseTransform(c.Text), c.M) << c.Text;
}

TEST(ParseTransform, RotationAndSkew)
{
    TMatrix r = ParseTransform("rotate(90)");
    EXPECT_NEAR(r.m11, 0, 1e-6);
    EXPECT_NEAR(r.m12, 1, 1e-6);
    EXPECT_NEAR(r.m21, -1, 1e-6);
    EXPECT_NEAR(r.m22, 0, 1e-6);
    for (const char* same : {"rotate(1.5708rad)", "rotate(100grad)", "rotate(90deg)"}) {
        TMatrix m = ParseTransform(same);
        EXPECT_NEAR(m.m11, r.m11, 1e-4) << same;
        EXPECT_NEAR(m.m12, r.m12, 1e-4) << same;
    }
    EXPECT_NEAR(ParseTransform("skewX(45)").m21, 1, 1e-6);
    EXPECT_NEAR(ParseTransform("skewY(45)").m12, 1, 1e-6);
    EXPECT_EQ(ParseTransform("rotate(x)"), IdentityMatrix());
}

TEST(ParseTransform, PointsAndOrder)
{
    ExpectPoint(Apply("rotate(90, 10, 10)", {10, 10}), {10, 10}, "centre stays");
    ExpectPoint(Apply("rotate(90 10 10)", {20, 10}), {10, 20}, "rotate about centre");
    ExpectPoint(Apply("rotate(90 10)", {1, 0}), {0, 1}, "two arguments: no centre");
    ExpectPoint(Apply("translate(10,0) scale(2)", {1, 1}), {12, 2}, "rightmost acts first");
    ExpectPoint(Apply("scale(2) translate(10,0)", {1, 1}), {22, 2}, "rightmost acts first");
    ExpectPoint(Apply("translate(1)\n\tscale(3)", {1, 1}), {4, 3}, "line breaks between items");
}

TEST(Matrix, ProductAppliesLeftFirst)
{
    TMatrix a = CreateTranslation(1, 2), b = CreateScaling(3, 4);
    ExpectPoint(TPointF{1, 1} * (a * b), {6, 12}, "translate then scale");
    EXPECT_EQ(IdentityMatrix() * a, a);
    EXPECT_TRUE(IdentityMatrix().IsTransform());
    EXPECT_FALSE(TMatrix{}.IsTransform());
}

TEST(Matrix, ToGPMatrixKeepsRowVectorLayout)
{
    TMatrix m{1, 2, 0, 3, 4, 0, 5, 6, 1};
    auto gp = ToGPMatrix(m);
    ASSERT_NE(gp, nullptr);
    std::array<float, 6> expected{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(gp->GetElements(), expected);
}

}  // namespace
}  // namespace plumwick
