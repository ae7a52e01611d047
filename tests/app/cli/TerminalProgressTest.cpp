// The progress line: drawn in place when stdout is a terminal, counting files (or icons), not images.
#include "RunPlumwick.h"
#include "tests/support/TestFolder.h"

#include "app/ProgressLine.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using plumwick::testing::RunPlumwick;

struct TTerminalRun {
    int Status = -1;
    std::string Screen;  // what the terminal received
};

// Runs the command line in-process with stdout on a pseudo-terminal.
TTerminalRun RunOnTerminal(const std::vector<std::string>& args)
{
    TTerminalRun run;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return run;
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(slave, STDOUT_FILENO);
    run.Status = RunPlumwick(args);
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(slave);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
        run.Screen.append(buffer, static_cast<std::size_t>(got));
    ::close(master);
    return run;
}

struct TProgressCase {
    const char* Name;
    std::vector<std::string> Args;  // "@" stands for the scratch folder
    std::string FinalCount;         // "" when no line is expected
    friend void PrintTo(const TProgressCase& c, std::ostream* out) { *out << c.Name; }
};

class TerminalProgress : public ::testing::TestWithParam<TProgressCase> {
protected:
    void SetUp() override
    {
        FFolder = plumwick::test::FreshTestFolder("plumwick-progress");
        fs::create_directories(FFolder / "out");
        for (const char* name : {"a", "b", "c"})
            std::ofstream(FFolder / (std::string(name) + ".svg"))
                << R"(<svg viewBox="0 0 8 8"><rect width="8" height="8" fill="teal"/></svg>)";
        std::ofstream(FFolder / "reply.json")
            << R"({"data":{"icons":[{"name":"x","show_svg":"<svg viewBox=\"0 0 8 8\"/>"},)"
               R"({"name":"y","show_svg":"<svg viewBox=\"0 0 8 8\"/>"}]}})";
    }
    void TearDown() override { fs::remove_all(FFolder); }

    std::vector<std::string> Expanded(const std::vector<std::string>& args) const
    {
        std::vector<std::string> expanded;
        for (const std::string& arg : args)
            expanded.push_back(arg.starts_with('@') ? (FFolder / arg.substr(1)).string() : arg);
        return expanded;
    }

    fs::path FFolder;
};

TEST_P(TerminalProgress, DrawsOneLineInPlace)
{
    const TProgressCase& c = GetParam();
    const TTerminalRun run = RunOnTerminal(Expanded(c.Args));
    ASSERT_EQ(run.Status, 0) << run.Screen;
    if (c.FinalCount.empty()) {
        EXPECT_EQ(run.Screen.find('['), std::string::npos) << run.Screen;
        return;
    }
    // Each state redraws the same line: a carriage return, the bar, and a clear to its end.
    const std::string last = "] " + c.FinalCount + "  ";
    EXPECT_NE(run.Screen.find("\r[##############################" + last), std::string::npos) << run.Screen;
    EXPECT_NE(run.Screen.find(" icons/s  0 s left\x1b[K"), std::string::npos) << run.Screen;
    // No line per icon on a terminal.
    EXPECT_EQ(run.Screen.find("1/2 x"), std::string::npos) << run.Screen;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TerminalProgress,
    ::testing::Values(
        TProgressCase{"RenderCountsFiles", {"render", "@a.svg", "@b.svg", "@c.svg", "-o", "@out", "-j", "1"}, "3/3"},
        // Two sizes of three files are still three files.
        TProgressCase{"RenderWithTwoSizes",
                      {"render", "@a.svg", "@b.svg", "@c.svg", "-o", "@out", "-s", "16x16", "-s", "32x32"},
                      "3/3"},
        TProgressCase{"RenderIconSets", {"render", "@a.svg", "@b.svg", "-o", "@out", "--ico-sizes", "16,32"}, "2/2"},
        TProgressCase{"ExtractCountsIcons", {"extract", "--from", "@reply.json", "-o", "@out"}, "2/2"},
        TProgressCase{"ExtractWithSizes",
                      {"extract", "--from", "@reply.json", "-o", "@out", "-s", "16x16", "-s", "20x20"},
                      "2/2"},
        TProgressCase{"RenderQuiet", {"render", "@a.svg", "-o", "@out", "-q"}, ""},
        TProgressCase{"ExtractQuiet", {"extract", "--from", "@reply.json", "-o", "@out", "--quiet"}, ""}),
    [](const ::testing::TestParamInfo<TProgressCase>& info) { return std::string(info.param.Name); });

struct TTextCase {
    int Done, Total;
    double Seconds;
    std::string Expected;
};

TEST(ProgressLineText, ShowsCountRateAndTimeLeft)
{
    const TTextCase cases[] = {
        {0, 600, 0, "[..............................] 0/600"},
        {300, 600, 10, "[###############...............] 300/600  30.0 icons/s  10 s left"},
        {599, 600, 59.9, "[#############################.] 599/600  10.0 icons/s  1 s left"},
        {600, 600, 4, "[##############################] 600/600  150.0 icons/s  0 s left"},
        {0, 0, 0, "[##############################] 0/0"},
    };
    for (const TTextCase& c : cases)
        EXPECT_EQ(plumwick::TProgressLine::Text(c.Done, c.Total, c.Seconds), c.Expected) << c.Done << "/" << c.Total;
}

}  // namespace
