// The weight chosen among a family's faces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TextShaper.h"

namespace plumwick {
namespace {

struct TWeightCase {
    const char* Name;
    int Desired;
    std::vector<int> Available;
    int Chosen;
};

class FontWeightChoice : public ::testing::TestWithParam<TWeightCase> {};

TEST_P(FontWeightChoice, FollowsTheCssOrder)
{
    EXPECT_EQ(ChooseFontWeight(GetParam().Desired, GetParam().Available), GetParam().Chosen);
}

INSTANTIATE_TEST_SUITE_P(Weights, FontWeightChoice,
                         ::testing::Values(TWeightCase{"Exact", 300, {100, 300, 400}, 300},
                                           // Below 400 a lighter face wins over a nearer heavier one.
                                           TWeightCase{"LightTakesTheThinnerFace", 200, {100, 300, 400, 700}, 100},
                                           TWeightCase{"LightWithNothingLighterGoesUp", 200, {300, 400}, 300},
                                           // Above 500 a heavier face wins over a nearer lighter one.
                                           TWeightCase{"HeavyTakesTheBolderFace", 650, {400, 600, 900}, 900},
                                           TWeightCase{"HeavyWithNothingHeavierGoesDown", 800, {400, 700}, 700},
                                           // From 400 to 500: up to 500 first, then down, then up past 500.
                                           TWeightCase{"MediumUpTo500First", 400, {300, 500, 700}, 500},
                                           TWeightCase{"MediumThenLighter", 450, {300, 700}, 300},
                                           TWeightCase{"MediumThenHeavier", 450, {600, 700}, 600},
                                           TWeightCase{"NoFaces", 400, {}, -1}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace plumwick
