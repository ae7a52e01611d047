// Reading preserveAspectRatio and placing a box by it.

#include <gtest/gtest.h>

#include <string_view>

#include "svg/base/SVGAspectRatio.h"

namespace plumwick {
namespace {

struct TParseCase {
    const char* Name;
    std::string_view Value;
    float AlignX, AlignY;
    bool Slice, Stretch;
};

class AspectRatioParse : public ::testing::TestWithParam<TParseCase> {};

TEST_P(AspectRatioParse, ReadsAlignmentAndMode)
{
    const TParseCase& C = GetParam();
    const TAspectRatio A = ParseAspectRatio(C.Value);
    EXPECT_FLOAT_EQ(A.AlignX, C.AlignX);
    EXPECT_FLOAT_EQ(A.AlignY, C.AlignY);
    EXPECT_EQ(A.Slice, C.Slice);
    EXPECT_EQ(A.Stretch, C.Stretch);
}

INSTANTIATE_TEST_SUITE_P(Cases, AspectRatioParse,
                         ::testing::Values(TParseCase{"Empty", "", 0.5f, 0.5f, false, false},
                                           TParseCase{"None", "none", 0.5f, 0.5f, false, true},
                                           TParseCase{"MinMaxSlice", "xMinYMax slice", 0, 1, true, false},
                                           TParseCase{"MaxMinMeet", "  xMaxYMin   meet ", 1, 0, false, false},
                                           TParseCase{"Deferred", "defer xMaxYMid", 1, 0.5f, false, false},
                                           TParseCase{"UnknownAlignment", "xLeftYTop", 0.5f, 0.5f, false, false},
                                           TParseCase{"UnknownMode", "xMinYMin stretch", 0.5f, 0.5f, false, false},
                                           TParseCase{"TwoModes", "xMinYMin meet slice", 0.5f, 0.5f, false, false},
                                           TParseCase{"LowerCase", "xminymin", 0.5f, 0.5f, false, false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TPlaceCase {
    const char* Name;
    std::string_view Value;
    TGPRectF Expected;
};

class AspectRatioPlace : public ::testing::TestWithParam<TPlaceCase> {};

// A 20 × 10 picture into the box (10, 10, 40, 40).
TEST_P(AspectRatioPlace, PlacesAWidePictureInASquareBox)
{
    const TPlaceCase& C = GetParam();
    const TGPRectF R = PlaceInBox(20, 10, TGPRectF{10, 10, 40, 40}, ParseAspectRatio(C.Value));
    EXPECT_FLOAT_EQ(R.X, C.Expected.X);
    EXPECT_FLOAT_EQ(R.Y, C.Expected.Y);
    EXPECT_FLOAT_EQ(R.Width, C.Expected.Width);
    EXPECT_FLOAT_EQ(R.Height, C.Expected.Height);
}

INSTANTIATE_TEST_SUITE_P(Cases, AspectRatioPlace,
                         ::testing::Values(TPlaceCase{"MeetCentred", "", {10, 20, 40, 20}},
                                           TPlaceCase{"MeetAtTheBottom", "xMidYMax", {10, 30, 40, 20}},
                                           TPlaceCase{"SliceCentred", "xMidYMid slice", {-10, 10, 80, 40}},
                                           TPlaceCase{"SliceAtTheLeft", "xMinYMid slice", {10, 10, 80, 40}},
                                           TPlaceCase{"Stretched", "none", {10, 10, 40, 40}}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace plumwick
