#include "LoopbackServer.h"
#include "tests/support/TestFolder.h"

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// GCC 12 reports the std::string members of the case tables below as maybe uninitialized; they are not.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace plumwick {
namespace {

namespace fs = std::filesystem;

const char* const kReply =
    R"({"data":{"icons":[{"name":"a","show_svg":"<svg viewBox=\"0 0 8 8\"><rect width=\"8\" height=\"8\" fill=\"red\"/></svg>"},)"
    R"({"name":123,"show_svg":"<svg viewBox=\"0 0 8 8\"><circle cx=\"4\" cy=\"4\" r=\"3\"/></svg>"}]}})";

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

TRun Extract(std::vector<std::string> args)
{
    args.insert(args.begin(), {"plumwick", "extract"});
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
    TRun run{status, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
    return run;
}

class ExtractCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        FRoot = plumwick::test::FreshTestFolder("plumwick-extract-cli");
        fs::create_directories(FRoot / "out");
        FOut = (FRoot / "out").string();
        FReplyFile = (FRoot / "reply.json").string();
        std::ofstream(FReplyFile) << kReply;
        std::ofstream(FRoot / "broken.json") << R"({"data":{"icons":[{"name":"x"}]}})";
        FServer.Set("32622", {200, kReply, test::TEncoding::DeflateZlib});
        FServer.Set("html", {200, "<html/>"});
        FServer.Set("trickle", {200, kReply});
    }
    void TearDown() override
    {
        ::unsetenv("PLUMWICK_API_BASE");
        fs::remove_all(FRoot);
    }

    test::TLoopbackServer FServer;
    fs::path FRoot;
    std::string FOut;
    std::string FReplyFile;
};

TEST_F(ExtractCommand, StatusMessagesAndFiles)
{
    const std::string base = FServer.Base();
    const struct {
        const char* Name;
        std::vector<std::string> Args;
        int Status;
        std::string ErrPart;             // part of stderr, or "" for an empty stderr
        std::vector<std::string> Files;  // below the output folder
    } cases[] = {
        {"saved reply",
         {"--from", FReplyFile, "-o", FOut},
         0,
         "",
         {"svg/a-0.svg", "svg/123-1.svg", "96x96/a-0.png", "48x48/123-1.png", "collection.json"}},
        {"download",
         {"--cid", "32622", "-o", FOut, "--api-base", base},
         0,
         "",
         {"svg/a-0.svg", "96x96/123-1.png", "collection.json"}},
        {"size and format",
         {"--from", FReplyFile, "-o", FOut, "-s", "97x50", "-f", "bmp"},
         0,
         "",
         {"97x50/a-0.bmp", "48x25/123-1.bmp"}},
        {"icons", {"--from", FReplyFile, "-o", FOut, "-f", "ico"}, 0, "", {"96x96/a-0.ico", "48x48/123-1.ico"}},
        {"several sizes",
         {"--from", FReplyFile, "-o", FOut, "-s", "24x24", "-s", "40x40", "-s", "24x24"},
         0,
         "",
         {"24x24/a-0.png", "40x40/123-1.png"}},
        {"one size and its half",
         {"--from", FReplyFile, "-o", FOut, "-s", "40x40"},
         0,
         "",
         {"40x40/a-0.png", "20x20/123-1.png"}},
        {"empty id", {"--cid", "", "-o", FOut, "--api-base", base}, 1, "plumwick: the collection id is empty\n", {}},
        {"missing folder",
         {"--cid", "1", "-o", FOut + "/nope", "--api-base", base},
         1,
         "plumwick: the output folder " + FOut + "/nope does not exist\n",
         {}},
        {"missing folder offline", {"--from", FReplyFile, "-o", FOut + "/nope"}, 1, "/nope does not exist", {}},
        {"404", {"--cid", "nothing", "-o", FOut, "--api-base", base}, 1, "HTTP status 404", {}},
        {"not JSON",
         {"--cid", "html", "-o", FOut, "--api-base", base},
         1,
         "plumwick: the reply is not valid JSON\n",
         {}},
        {"no server", {"--cid", "1", "-o", FOut, "--api-base", "http://127.0.0.1:1"}, 1, "127.0.0.1", {}},
        {"member missing",
         {"--from", (FRoot / "broken.json").string(), "-o", FOut},
         1,
         "plumwick: icon 0 \"x\": Value 'show_svg' not found.\nplumwick: 1 of 1 icons failed; their files are "
         "missing in " +
             FOut + "\n",
         {"collection.json"}},
        {"a trickling server",
         {"--cid", "trickle", "-o", FOut, "--api-base", base, "--timeout", "1"},
         1,
         "The download took longer than its limit of 1 s",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(FOut);
        fs::create_directories(FOut);
        const TRun run = Extract(c.Args);
        EXPECT_EQ(run.Status, c.Status) << run.Err;
        if (!c.ErrPart.empty()) {
            EXPECT_NE(run.Err.find(c.ErrPart), std::string::npos) << run.Err;
        }
        // The terminal gets English; the window's Chinese texts stay in the window.
        EXPECT_TRUE(std::all_of(run.Err.begin(), run.Err.end(), [](char ch) { return (ch & 0x80) == 0; })) << run.Err;
        for (const std::string& file : c.Files) EXPECT_TRUE(fs::exists(fs::path(FOut) / file)) << file;
        if (c.Files.empty()) {
            EXPECT_TRUE(fs::is_empty(FOut));
        }
        if (c.Status == 0) {
            // Plain lines when stdout is not a terminal, then the summary.
            EXPECT_NE(run.Out.find("1/2 a\n2/2 123\n"), std::string::npos) << run.Out;
            EXPECT_NE(run.Out.find("Extracted 2 icons into "), std::string::npos) << run.Out;
        }
    }
}

// Names from the reply reach the terminal escaped; a changed file name and a failed icon are reported by
// index and name, and the run ends with a summary and status 1.
TEST_F(ExtractCommand, HostileNamesAreEscapedAndFailuresSummed)
{
    const std::string reply = R"({"data":{"icons":[{"name":"a\nb\u001b[2J","show_svg":"<svg viewBox=\"0 0 8 8\"/>"},)"
                              R"({"name":"x/y","show_svg":"<svg"},)"
                              R"({"name":"ok","show_svg":"<svg viewBox=\"0 0 8 8\"/>"}]}})";
    std::ofstream(FRoot / "hostile.json") << reply;
    const TRun run = Extract({"--from", (FRoot / "hostile.json").string(), "-o", FOut, "-j", "2"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out.find('\x1b'), std::string::npos) << run.Out;
    EXPECT_EQ(run.Err.find('\x1b'), std::string::npos) << run.Err;
    EXPECT_NE(run.Out.find("1/3 a\\nb\\x1b[2J\n2/3 x/y\n3/3 ok\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Err.find("plumwick: icon 0 \"a\\nb\\x1b[2J\": warning: its files are named \"a_b_[2J-0\""),
              std::string::npos)
        << run.Err;
    EXPECT_NE(run.Err.find("plumwick: icon 1 \"x/y\": warning: its files are named \"x_y-1\""), std::string::npos)
        << run.Err;
    EXPECT_NE(run.Err.find("plumwick: icon 1 \"x/y\": "), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("plumwick: 1 of 3 icons failed"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out.find("Extracted"), std::string::npos) << run.Out;
    EXPECT_TRUE(fs::exists(fs::path(FOut) / "svg" / "x_y-1.svg"));
    EXPECT_TRUE(fs::exists(fs::path(FOut) / "96x96" / "ok-2.png"));
}

TEST_F(ExtractCommand, ApiBaseFromTheEnvironment)
{
    ::setenv("PLUMWICK_API_BASE", FServer.Base().c_str(), 1);
    const TRun run = Extract({"--cid", "32622", "-o", FOut});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(FServer.Seen().Id, "32622");
    // The option wins over the environment.
    const TRun elsewhere = Extract({"--cid", "32622", "-o", FOut, "--api-base", "http://127.0.0.1:1"});
    EXPECT_EQ(elsewhere.Status, 1);
}

}  // namespace
}  // namespace plumwick
