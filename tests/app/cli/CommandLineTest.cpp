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

// render and the program itself answer a usage error with 2; extract answers every failure with 1.
TEST(CommandLine, UsageErrorStatus)
{
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"--no-such-option"}, 2},           {{"no-such-command"}, 2},
        {{"render", "--no-such-option"}, 2}, {{"extract", "--cid", "1"}, 1},
        {{"extract", "-o", "."}, 1},         {{"extract", "--cid", "1", "-o", ".", "-f", "gif"}, 1},
        {{"extract", "--help"}, 0},          {{"render", "--help"}, 0},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = RunPlumwick(c.args);
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, c.status) << testing::PrintToString(c.args);
    }
}

// One source of icons at a time; the refusal names both options.
TEST(CommandLine, CidAndFromExcludeEachOther)
{
    testing::internal::CaptureStderr();
    const int status = RunPlumwick(
        {"extract", "--cid", "1", "--from", PLUMWICK_SOURCE_DIR "/samples/collection.json", "-o", "/no/such/folder"});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("--cid and --from"), std::string::npos) << err;
}

}  // namespace
