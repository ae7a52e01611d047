// The path-data grammar: splitting into commands, number tokens and implicit repetition.
#include "svg/base/SVGError.h"
#include "svg/shapes/SVGPathData.h"

#include <gtest/gtest.h>

#include <string>

namespace plumwick {
namespace {

std::string Joined(const std::vector<std::string>& tokens)
{
    std::string out;
    for (const auto& token : tokens) {
        if (!out.empty()) out += ' ';
        out += token;
    }
    return out;
}

struct TokenCase {
    const char* name;
    const char* data;
    const char* tokens;
};

class PathTokens : public testing::TestWithParam<TokenCase> {};

TEST_P(PathTokens, SplitsAsTheGrammarSays)
{
    EXPECT_EQ(Joined(pathdata::ParsePathData(GetParam().data)), GetParam().tokens) << GetParam().data;
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, PathTokens,
    testing::Values(TokenCase{"Compact", "M10 20L30 40", "M 10 20 L 30 40"},
                    TokenCase{"SpacedWithLineBreaks", "M 10\t20\r\nL 30 40  ", "M 10 20 L 30 40"},
                    TokenCase{"SignStartsNumber", "M-5-5l10.5.5", "M -5 -5 l 10.5 .5"},
                    TokenCase{"PlusStartsNumber", "L+1+2", "L +1 +2"},
                    TokenCase{"SecondPointStartsNumber", "L1.5.5", "L 1.5 .5"},
                    TokenCase{"ManyPoints", "L.1.2.3.4", "L .1 .2 L .3 .4"},
                    TokenCase{"ExponentStaysInTheNumber", "M 1e2 3", "M 1e2 3"},
                    TokenCase{"NegativeExponent", "M 1e-5 3", "M 1e-5 3"},
                    TokenCase{"SignedExponentThenSign", "M1E+2-3", "M 1E+2 -3"},
                    TokenCase{"PointAfterExponentStartsNumber", "L1e5.5 2", "L 1e5 .5 2"},
                    TokenCase{"ExponentWithoutDigitsIsDropped", "M 2e 3", "M 2 3"},
                    TokenCase{"LetterEBeforeAnyDigitIsDropped", "M e5 3", "M 5 3"},
                    TokenCase{"ArcFlagsPackedTogether", "a1 1 0 00 1 1", "a 1 1 0 0 0 1 1"},
                    TokenCase{"ArcFlagsPackedIntoTheNumber", "a32 32 0 0164 0", "a 32 32 0 0 1 64 0"},
                    TokenCase{"ArcFlagsPackedBeforeASign", "a32 32 0 01-64 0", "a 32 32 0 0 1 -64 0"},
                    TokenCase{"ArcFlagsPackedInARepeat", "a1 1 0 011 1 2 2 0 104 4", "a 1 1 0 0 1 1 1 a 2 2 0 1 0 4 4"},
                    TokenCase{"ArcRadiusOfOneIsNoFlag", "A10 11 0 0 1 5 5", "A 10 11 0 0 1 5 5"},
                    TokenCase{"ArcRepeats", "A1 1 0 0 1 5 5 2 2 0 1 0 9 9", "A 1 1 0 0 1 5 5 A 2 2 0 1 0 9 9"},
                    TokenCase{"MoveRepeatsAsLine", "M 10 20 30 40 50 60", "M 10 20 L 30 40 L 50 60"},
                    TokenCase{"RelativeMoveRepeatsAsRelativeLine", "m 5 5 10 0 0 10", "m 5 5 l 10 0 l 0 10"},
                    TokenCase{"HorizontalRepeats", "H 1 2 3", "H 1 H 2 H 3"},
                    TokenCase{"IncompleteTrailingGroupGetsNoLetter", "Q 1 2 3 4 5 6 7 8 9 10",
                              "Q 1 2 3 4 Q 5 6 7 8 9 10"},
                    TokenCase{"StrayNumberAfterCompleteGroups", "L 1 2 3 4 5", "L 1 2 L 3 4 5"},
                    TokenCase{"FewerThanTwoGroupsInsertsNothing", "C 1 2 3 4 5 6 7", "C 1 2 3 4 5 6 7"},
                    TokenCase{"CloseDropsItsNumbers", "M 10 10 Z 20 20 L 0 0", "M 10 10 Z L 0 0"},
                    TokenCase{"CommasAreNotSeparatorsHere", "M1,2", "M 12"},
                    TokenCase{"OtherCharactersAreDropped", "M 1#2 3", "M 12 3"},
                    TokenCase{"LeadingNumbersFormAPseudoCommand", "5 5 M 1 2", "5 5 M 1 2"},
                    TokenCase{"LeadingBlankIsACommandCharacter", " M 1 2", "  M 1 2"},
                    TokenCase{"LoneSigns", "L - +", "L - +"}, TokenCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathTokenList, ReadingPastTheEndRaisesTheIndexError)
{
    const TPathTokens tokens(pathdata::ParsePathData("M 10"));
    EXPECT_EQ(tokens.Number(1), 10.0f);
    try {
        tokens.Number(2);
        FAIL() << "no error raised";
    } catch (const ESVGError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (2)");
    }
}

struct FlagCase {
    const char* token;
    int value;
};

TEST(PathTokenList, FlagsReadSignAndLeadingDigits)
{
    const FlagCase cases[] = {{"0", 0},      {"1", 1},   {"1.0", 1}, {".5", 0},
                              {"0110", 110}, {"-2", -2}, {"-", 0},   {"99999999999999999999999", 0}};
    for (const auto& c : cases) {
        const TPathTokens tokens({c.token});
        if (std::string(c.token).size() > 12)
            EXPECT_NE(tokens.Integer(0), 0) << "a huge flag still counts as set";
        else
            EXPECT_EQ(tokens.Integer(0), c.value) << c.token;
    }
}

TEST(PathTokenList, NumbersOfTokens)
{
    const TPathTokens tokens({"-", ".", "+", "5.", "-.5", "M", "340000000000000000000000000000000000000",
                              "3400000000000000000000000000000000000000"});
    EXPECT_EQ(tokens.Number(0), 0.0f);
    EXPECT_EQ(tokens.Number(1), 0.0f);
    EXPECT_EQ(tokens.Number(2), 0.0f);
    EXPECT_EQ(tokens.Number(3), 5.0f);
    EXPECT_EQ(tokens.Number(4), -0.5f);
    EXPECT_EQ(tokens.Number(5), 0.0f);
    EXPECT_FLOAT_EQ(tokens.Number(6), 3.4e38f);
    EXPECT_EQ(tokens.Number(7), 0.0f) << "beyond the float range reads as 0";
}

TEST(PathTokenList, LongDataSplitsInLinearTime)
{
    std::string data = "M0 0";
    for (int i = 0; i < 200000; ++i) data += " 1 1";
    const auto tokens = pathdata::ParsePathData(data);
    EXPECT_EQ(tokens.size(), 3u + 200000u * 3u);
}

TEST(PathTokenList, RunawayDataRaisesInsteadOfGrowing)
{
    std::string oneCommand = "M0 0";
    std::string manyCommands = "M0 0";
    for (std::size_t i = 0; i < pathdata::MaxPathTokens / 2; ++i) {
        oneCommand += " 1 1";
        manyCommands += "L1 1";
    }
    for (const std::string* data : {&oneCommand, &manyCommands}) {
        try {
            pathdata::ParsePathData(*data);
            ADD_FAILURE() << "no error for " << data->substr(0, 12);
        } catch (const ESVGError& error) {
            EXPECT_EQ(std::string(error.what()), "The path data holds more than 2000000 numbers and commands");
        }
    }
}

}  // namespace
}  // namespace plumwick
