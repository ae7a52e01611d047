#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int RunPlumwick(std::vector<std::string> args)
{
    args.insert(args.begin(), "plumwick");
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    return plumwick::RunCommandLine(static_cast<int>(argv.size()), argv.data());
}

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
