#include "RunPlumwick.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plumwick::testing::RunPlumwick;

TEST(CommandLine, HelpAndVersionSucceed)
{
    EXPECT_EQ(RunPlumwick({"--help"}), 0);
    EXPECT_EQ(RunPlumwick({"--version"}), 0);
}

TEST(CommandLine, UnknownOptionIsUsageError)
{
    EXPECT_EQ(RunPlumwick({"--no-such-option"}), 2);
}

}  // namespace
