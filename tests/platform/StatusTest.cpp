// Failed calls return a status, record it for GetLastStatus (read once, then Ok) and never raise.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "Canvas.h"

namespace plumwick::test {
namespace {

using test::PrintTo;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct TSurfaceCase {
    const char* Name;
    std::function<Status(TGPGraphics&)> Call;
};

class SurfaceFailures : public testing::TestWithParam<TSurfaceCase> {};

TEST_P(SurfaceFailures, AreRecordedAndNeverRaise)
{
    const TSurfaceCase& c = GetParam();
    Canvas canvas(8, 8);
    ASSERT_EQ(canvas.Graphics.GetLastStatus(), Ok);
    Status returned = Ok;
    EXPECT_NO_THROW(returned = c.Call(canvas.Graphics)) << c.Name;
    EXPECT_NE(returned, Ok) << c.Name;
    EXPECT_EQ(canvas.Graphics.GetLastStatus(), returned) << c.Name;
    EXPECT_EQ(canvas.Graphics.GetLastStatus(), Ok) << c.Name << ": reading resets";
    EXPECT_EQ(canvas.Covered(0, 0, 8, 8), 0) << c.Name;
    // The surface still draws afterwards.
    TGPSolidBrush brush(kRed);
    EXPECT_EQ(canvas.Graphics.FillRectangle(&brush, 0, 0, 8, 8), Ok);
    EXPECT_EQ(canvas.Covered(0, 0, 8, 8), 64);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SurfaceFailures,
    testing::Values(TSurfaceCase{"FillWithoutBrush",
                                 [](TGPGraphics& g) {
                                     TGPGraphicsPath p;
                                     EXPECT_EQ(p.AddRectangle(0, 0, 8, 8), Ok);
                                     return g.FillPath(nullptr, &p);
                                 }},
                    TSurfaceCase{"FillWithoutPath",
                                 [](TGPGraphics& g) {
                                     TGPSolidBrush b(kRed);
                                     return g.FillPath(&b, nullptr);
                                 }},
                    TSurfaceCase{"DrawWithoutPen",
                                 [](TGPGraphics& g) {
                                     TGPGraphicsPath p;
                                     EXPECT_EQ(p.AddLine(0, 0, 8, 8), Ok);
                                     return g.DrawPath(nullptr, &p);
                                 }},
                    TSurfaceCase{"DrawWithFailedPen",
                                 [](TGPGraphics& g) {
                                     TGPPen pen(kRed, kNaN);
                                     return g.DrawLine(&pen, 0, 4, 8, 4);
                                 }},
                    TSurfaceCase{"DrawWithFailedBrushPen",
                                 [](TGPGraphics& g) {
                                     TGPLinearGradientBrush b({1, 1}, {1, 1}, kRed, kBlue);
                                     TGPPen pen(&b, 2);
                                     return g.DrawLine(&pen, 0, 4, 8, 4);
                                 }},
                    // The shape helpers build a path first; one that cannot be built is the call's failure.
                    TSurfaceCase{"FillRectangleNotFinite",
                                 [](TGPGraphics& g) {
                                     TGPSolidBrush b(kRed);
                                     return g.FillRectangle(&b, TGPRectF{0, 0, kNaN, 8});
                                 }},
                    TSurfaceCase{"FillEllipseNotFinite",
                                 [](TGPGraphics& g) {
                                     TGPSolidBrush b(kRed);
                                     return g.FillEllipse(&b, TGPRectF{kNaN, 0, 8, 8});
                                 }},
                    TSurfaceCase{"DrawLineNotFinite",
                                 [](TGPGraphics& g) {
                                     TGPPen pen(kRed, 2);
                                     return g.DrawLine(&pen, 0, 4, kNaN, 4);
                                 }},
                    TSurfaceCase{"DrawRectangleNotFinite",
                                 [](TGPGraphics& g) {
                                     TGPPen pen(kRed, 2);
                                     return g.DrawRectangle(&pen, TGPRectF{0, 0, 8, kNaN});
                                 }},
                    // Failing, the clip stays as it was instead of becoming empty.
                    TSurfaceCase{"ClipRectangleNotFinite",
                                 [](TGPGraphics& g) {
                                     return g.SetClip(TGPRectF{0, 0, kNaN, 8});
                                 }},
                    TSurfaceCase{"ClipWithoutPath",
                                 [](TGPGraphics& g) { return g.SetClip(static_cast<TGPGraphicsPath*>(nullptr)); }},
                    TSurfaceCase{"ClipMode",
                                 [](TGPGraphics& g) {
                                     TGPGraphicsPath p;
                                     return g.SetClip(&p, CombineMode(42));
                                 }},
                    TSurfaceCase{"TransformWithoutMatrix", [](TGPGraphics& g) { return g.SetTransform(nullptr); }},
                    TSurfaceCase{"TranslateByNaN", [](TGPGraphics& g) { return g.TranslateTransform(kNaN, 0); }},
                    TSurfaceCase{"SmoothingMode", [](TGPGraphics& g) { return g.SetSmoothingMode(SmoothingMode(99)); }},
                    TSurfaceCase{"InterpolationMode",
                                 [](TGPGraphics& g) { return g.SetInterpolationMode(InterpolationMode(99)); }},
                    TSurfaceCase{"DrawNoImage", [](TGPGraphics& g) { return g.DrawImage(nullptr, 0, 0); }},
                    TSurfaceCase{"DrawImageFromEmptySource",
                                 [](TGPGraphics& g) {
                                     TGPBitmap picture(2, 2);
                                     return g.DrawImage(&picture, TGPRectF{0, 0, 8, 8}, 0, 0, 0, 2, UnitPixel);
                                 }},
                    TSurfaceCase{"MeasureWithoutFont",
                                 [](TGPGraphics& g) {
                                     TGPRectF box;
                                     return g.MeasureString("x", nullptr, {0, 0}, nullptr, box);
                                 }},
                    TSurfaceCase{"StringWithoutBrush",
                                 [](TGPGraphics& g) {
                                     return g.DrawString("x", nullptr, {0, 0}, nullptr, nullptr);
                                 }}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPathCase {
    const char* Name;
    std::function<Status(TGPGraphicsPath&)> Call;
};

class PathFailures : public testing::TestWithParam<TPathCase> {};

TEST_P(PathFailures, LeaveThePathAsItWas)
{
    const TPathCase& c = GetParam();
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddLine(1, 2, 3, 4), Ok);
    Status returned = Ok;
    EXPECT_NO_THROW(returned = c.Call(path));
    EXPECT_EQ(returned, InvalidParameter) << c.Name;
    EXPECT_EQ(path.GetLastStatus(), InvalidParameter) << c.Name;
    EXPECT_EQ(path.GetLastStatus(), Ok) << c.Name;
    TGPPathData data;
    EXPECT_EQ(path.GetPathData(data), Ok);
    EXPECT_EQ(data.Count, 2) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, PathFailures,
    testing::Values(TPathCase{"LineNaN", [](TGPGraphicsPath& p) { return p.AddLine(kNaN, 0, 1, 1); }},
                    TPathCase{"ArcNaN", [](TGPGraphicsPath& p) { return p.AddArc(0, 0, 10, 10, kNaN, 90); }},
                    TPathCase{"BezierNaN", [](TGPGraphicsPath& p) { return p.AddBezier(0, 0, 1, 1, kNaN, 2, 3, 3); }},
                    TPathCase{"TooFewBezierPoints",
                              [](TGPGraphicsPath& p) {
                                  const TGPPointF pts[] = {{0, 0}, {1, 1}, {2, 2}};
                                  return p.AddBeziers(pts);
                              }},
                    TPathCase{"RectangleNaN", [](TGPGraphicsPath& p) { return p.AddRectangle(0, 0, kNaN, 1); }},
                    TPathCase{"EllipseInfinite",
                              [](TGPGraphicsPath& p) {
                                  return p.AddEllipse(0, 0, std::numeric_limits<float>::infinity(), 1);
                              }},
                    TPathCase{"PolygonOfOnePoint",
                              [](TGPGraphicsPath& p) {
                                  const TGPPointF pts[] = {{0, 0}};
                                  return p.AddPolygon(pts);
                              }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Status, PathFromBadTypesIsEmptyAndRecorded)
{
    const TGPPointF points[] = {{0, 0}, {1, 1}, {2, 2}};
    const std::uint8_t types[] = {PathPointTypeStart, PathPointTypeBezier, PathPointTypeBezier};
    TGPGraphicsPath path(points, types);
    EXPECT_EQ(path.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(path.GetPointCount(), 0);
    const std::uint8_t good[] = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine | PathPointTypeCloseSubpath};
    TGPGraphicsPath closed(points, good, FillModeWinding);
    EXPECT_EQ(closed.GetLastStatus(), Ok);
    EXPECT_EQ(closed.GetPointCount(), 3);
    EXPECT_EQ(closed.GetFillMode(), FillModeWinding);
}

TEST(Status, FontFamilyThatIsNotInstalled)
{
    TGPFontFamily family("No Such Family 4711");
    EXPECT_EQ(family.GetLastStatus(), FontFamilyNotFound);
    EXPECT_EQ(family.GetLastStatus(), Ok);
    EXPECT_EQ(family.GetEmHeight(FontStyleRegular), 0);
    TGPFont font(family, 12, FontStyleRegular, UnitPixel);
    EXPECT_EQ(font.GetLastStatus(), FontFamilyNotFound);
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddString("abc", family, FontStyleRegular, 12, TGPPointF{0, 0}, nullptr), FontFamilyNotFound);
    EXPECT_EQ(path.GetPointCount(), 0);
}

TEST(Status, CloneKeepsNoStatus)
{
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddLine(kNaN, 0, 0, 0), InvalidParameter);
    auto copy = path.Clone();
    EXPECT_EQ(copy->GetLastStatus(), Ok);
    EXPECT_EQ(path.GetLastStatus(), InvalidParameter);
}

}  // namespace
}  // namespace plumwick::test
