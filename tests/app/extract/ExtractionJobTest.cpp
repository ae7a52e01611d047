#include "LoopbackServer.h"
#include "tests/support/TestFolder.h"

#include "app/ExtractionJob.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QImage>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

// GCC 12 reports the std::string members of the case tables below as maybe uninitialized; they are not.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace plumwick {
namespace {

namespace fs = std::filesystem;
using test::TCannedReply;
using test::TEncoding;
using test::TLoopbackServer;

const std::string kSvgA = R"(<svg viewBox="0 0 10 10"><rect width="10" height="10"/></svg>)";
const std::string kSvgB = R"(<svg viewBox="0 0 10 10"><circle cx="5" cy="5" r="4" fill="#F00"/></svg>)";

// A reply holding the icon objects given as JSON text.
std::string Reply(const std::string& icons)
{
    return R"({"code":200,"data":{"collection":{"id":1},"icons":[)" + icons + "]}}";
}

std::string Icon(const std::string& nameJson, const std::string& svg)
{
    std::string escaped;
    for (char c : svg) escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
    return R"({"id":7,"name":)" + nameJson + R"(,"show_svg":")" + escaped + R"("})";
}

const std::string kTwoIcons = Reply(Icon(R"("a")", kSvgA) + "," + Icon(R"("b")", kSvgB));

// Every entry below root, as paths relative to it.
std::set<std::string> Tree(const fs::path& root)
{
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        entries.insert(fs::relative(entry.path(), root).string());
    return entries;
}

struct TRenderCall {
    std::string FileName;
    int Width;
    int Height;
    bool AsIcon;
};

// A scratch folder holding the output folder "out", so anything written beside it shows up.
class ExtractionJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        FRoot = plumwick::test::FreshTestFolder("plumwick-extract");
        fs::create_directories(FRoot / "out");
        FOut = (FRoot / "out").string();
    }
    void TearDown() override { fs::remove_all(FRoot); }

    TJobCallbacks Callbacks()
    {
        TJobCallbacks callbacks;
        callbacks.Render = [this](std::string_view, const std::string& fileName, int width, int height, bool asIcon,
                                  std::vector<std::string>&) {
            FRenders.push_back({fileName, width, height, asIcon});
            if (FAfterRender) FAfterRender();
        };
        callbacks.Progress = [this](int position, int maximum) { FProgress.emplace_back(position, maximum); };
        return callbacks;
    }

    TJobResult Run(const std::string& cid)
    {
        TJobRequest request;
        request.Cid = cid;
        request.OutputFolder = FOut;
        request.Settings = FSettings;
        request.ApiBase = FServer.Base();
        request.Http.ResponseTimeoutMs = 1000;
        request.Http.RetryDelayMs = 5;
        return RunExtraction(request, Callbacks());
    }

    TJobResult RunOffline(const std::string& replyText)
    {
        TJobRequest request;
        request.OutputFolder = FOut;
        request.Settings = FSettings;
        request.ReplyText = replyText;
        return RunExtraction(request, Callbacks());
    }

    TLoopbackServer FServer;
    fs::path FRoot;
    std::string FOut;
    TJobSettings FSettings;
    std::vector<TRenderCall> FRenders;
    std::vector<std::pair<int, int>> FProgress;
    std::function<void()> FAfterRender;
};

// Replies that reach the service and come back in some shape: how the job ends and what it leaves.
struct TReplyCase {
    const char* Name;
    TCannedReply Served;
    TJobEnd End;
    TJobProblem Problem;
    std::string Text;  // the message, exactly
    bool Folders;      // the three folders exist afterwards
};

TEST_F(ExtractionJob, EndingsOfServedReplies)
{
    const TReplyCase cases[] = {
        {"404",
         {404, kTwoIcons},
         TJobEnd::Problem,
         TJobProblem::HttpStatus,
         "the service answered with HTTP status 404",
         false},
        {"500 with a deflate page that is corrupt",
         {500, "", TEncoding::DeflateCorrupt},
         TJobEnd::Problem,
         TJobProblem::HttpStatus,
         "the service answered with HTTP status 500",
         false},
        {"204",
         {204, ""},
         TJobEnd::Problem,
         TJobProblem::HttpStatus,
         "the service answered with HTTP status 204",
         false},
        {"not JSON",
         {200, "<html>busy</html>"},
         TJobEnd::Problem,
         TJobProblem::InvalidReply,
         "the reply is not valid JSON",
         false},
        {"empty body", {200, ""}, TJobEnd::Problem, TJobProblem::InvalidReply, "the reply is not valid JSON", false},
        {"JSON cut short",
         {200, kTwoIcons.substr(0, 40)},
         TJobEnd::Problem,
         TJobProblem::InvalidReply,
         "the reply is not valid JSON",
         false},
        {"corrupt deflate",
         {200, kTwoIcons, TEncoding::DeflateCorrupt},
         TJobEnd::Problem,
         TJobProblem::Network,
         "The reply's deflate data is corrupt",
         false},
        {"top-level array",
         {200, "[" + kTwoIcons + "]"},
         TJobEnd::Error,
         TJobProblem::None,
         "Invalid class typecast",
         false},
        {"top-level number", {200, "42"}, TJobEnd::Error, TJobProblem::None, "Invalid class typecast", false},
        {"top-level string", {200, R"("data")"}, TJobEnd::Error, TJobProblem::None, "Invalid class typecast", false},
        {"icons an object",
         {200, R"({"data":{"icons":{"0":{}}}})"},
         TJobEnd::Error,
         TJobProblem::None,
         "Invalid class typecast",
         false},
        {"icons null",
         {200, R"({"data":{"icons":null}})"},
         TJobEnd::Error,
         TJobProblem::None,
         "Invalid class typecast",
         false},
        {"no data",
         {200, R"({"code":500,"message":"busy"})"},
         TJobEnd::Error,
         TJobProblem::None,
         "Value 'data.icons' not found",
         false},
        {"no icons",
         {200, R"({"data":{"collection":{}}})"},
         TJobEnd::Error,
         TJobProblem::None,
         "Value 'data.icons' not found",
         false},
        {"data an array",
         {200, R"({"data":[{"icons":[]}]})"},
         TJobEnd::Error,
         TJobProblem::None,
         "Value 'data.icons' not found",
         false},
        {"empty icon list", {200, Reply("")}, TJobEnd::Completed, TJobProblem::None, "", true},
        {"two icons", {200, kTwoIcons}, TJobEnd::Completed, TJobProblem::None, "", true},
        {"zlib-wrapped deflate",
         {200, kTwoIcons, TEncoding::DeflateZlib},
         TJobEnd::Completed,
         TJobProblem::None,
         "",
         true},
        {"raw deflate", {200, kTwoIcons, TEncoding::DeflateRaw}, TJobEnd::Completed, TJobProblem::None, "", true},
    };
    int n = 0;
    for (const TReplyCase& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(FOut);
        fs::create_directories(FOut);
        const std::string id = "case" + std::to_string(n++);
        FServer.Set(id, c.Served);
        const TJobResult result = Run(id);
        EXPECT_EQ(result.End, c.End);
        EXPECT_EQ(result.Problem, c.Problem);
        EXPECT_EQ(result.Text, c.Text);
        EXPECT_EQ(fs::is_directory(fs::path(FOut) / "96x96"), c.Folders);
        EXPECT_EQ(fs::is_directory(fs::path(FOut) / "48x48"), c.Folders);
        EXPECT_EQ(fs::is_directory(fs::path(FOut) / "svg"), c.Folders);
        if (!c.Folders) {
            EXPECT_TRUE(fs::is_empty(FOut)) << "nothing is written when the job ends before the folders";
        }
    }
}

TEST_F(ExtractionJob, WritesEveryIconAndRendersItTwice)
{
    FServer.Set("32622", {200, kTwoIcons, TEncoding::DeflateZlib});
    const TJobResult result = Run("32622");
    ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
    EXPECT_EQ(result.Count, 2);
    EXPECT_EQ(result.ImageFolders, (std::vector<std::string>{FOut + "/96x96", FOut + "/48x48"}));
    EXPECT_EQ(result.SvgFolder, FOut + "/svg");

    EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "svg" / "a-0.svg"), kSvgA);
    EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "svg" / "b-1.svg"), kSvgB);
    // The reply is kept as it arrived, after inflation.
    EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "collection.json"), kTwoIcons);
    EXPECT_EQ(Tree(FOut),
              (std::set<std::string>{"96x96", "48x48", "svg", "svg/a-0.svg", "svg/b-1.svg", "collection.json"}));

    ASSERT_EQ(FRenders.size(), 4u);
    const TRenderCall expected[] = {{FOut + "/96x96/a-0.png", 96, 96, false},
                                    {FOut + "/48x48/a-0.png", 48, 48, false},
                                    {FOut + "/96x96/b-1.png", 96, 96, false},
                                    {FOut + "/48x48/b-1.png", 48, 48, false}};
    for (std::size_t i = 0; i < FRenders.size(); ++i) {
        EXPECT_EQ(FRenders[i].FileName, expected[i].FileName);
        EXPECT_EQ(FRenders[i].Width, expected[i].Width);
        EXPECT_EQ(FRenders[i].Height, expected[i].Height);
        EXPECT_EQ(FRenders[i].AsIcon, expected[i].AsIcon);
    }
    ASSERT_FALSE(FProgress.empty());
    EXPECT_EQ(FProgress.back(), std::make_pair(2, 2));
    // After icon i the bar stands at i.
    EXPECT_NE(std::find(FProgress.begin(), FProgress.end(), std::make_pair(1, 2)), FProgress.end());
}

TEST_F(ExtractionJob, SendsTheBrowserHeadersAndTheIdAsTyped)
{
    const std::string ids[] = {"32622", "   ", " 1 2", "中文", "7&x=1"};
    for (const std::string& id : ids) {
        SCOPED_TRACE(id);
        FServer.Set(id.substr(0, id.find('&')), {200, Reply("")});
        EXPECT_EQ(Run(id).End, TJobEnd::Completed);
        const auto seen = FServer.Seen();
        EXPECT_EQ(seen.Id, id.substr(0, id.find('&')));
        EXPECT_EQ(seen.UserAgent, kHttpUserAgent);
        EXPECT_EQ(seen.AcceptEncoding, "deflate");
        EXPECT_FALSE(seen.HasAccept);
    }
}

TEST_F(ExtractionJob, RequestFailuresShowTheClientsMessage)
{
    FServer.Set("plain", {200, kTwoIcons});
    struct TCase {
        const char* Name;
        std::string Cid;
        std::string ApiBase;  // empty: the loopback server
        TJobEnd End;
        const char* TextPart;  // part of libcurl's message
    } cases[] = {
        {"five redirects are followed", "redirects-5", "", TJobEnd::Completed, ""},
        {"one redirect", "redirects-1", "", TJobEnd::Completed, ""},
        {"six redirects are too many", "redirects-6", "", TJobEnd::Problem, "redirect"},
        {"a server that never answers", "hang", "", TJobEnd::Problem, "less than 100 bytes a second for 1 s"},
        {"nobody listening", "1", "http://127.0.0.1:1", TJobEnd::Problem, "127.0.0.1"},
        {"a scheme that is not http", "1", "ftp://127.0.0.1:1", TJobEnd::Problem, "ftp"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(FOut);
        fs::create_directories(FOut);
        TJobRequest request;
        request.Cid = c.Cid;
        request.OutputFolder = FOut;
        request.ApiBase = *c.ApiBase.c_str() ? c.ApiBase : FServer.Base();
        request.Http.ResponseTimeoutMs = 1000;
        const TJobResult result = RunExtraction(request, Callbacks());
        EXPECT_EQ(result.End, c.End) << result.Text;
        EXPECT_NE(result.Text.find(c.TextPart), std::string::npos) << result.Text;
        if (c.End == TJobEnd::Problem) {
            EXPECT_EQ(result.Problem, TJobProblem::Network);
            EXPECT_TRUE(fs::is_empty(FOut));
        } else {
            EXPECT_TRUE(fs::exists(fs::path(FOut) / "svg" / "b-1.svg"));
        }
    }
}

TEST_F(ExtractionJob, StopDuringTheRequestEndsQuietly)
{
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        while (FServer.Seen().Requests == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        stop = true;
    });
    TJobRequest request;
    request.Cid = "hang";
    request.OutputFolder = FOut;
    request.ApiBase = FServer.Base();
    TJobCallbacks callbacks = Callbacks();
    callbacks.Stop = &stop;
    const TJobResult result = RunExtraction(request, callbacks);
    stopper.join();
    EXPECT_EQ(result.End, TJobEnd::Stopped);
    EXPECT_TRUE(fs::is_empty(FOut));
}

// How a member reads as text, seen through the file name it gives.
TEST_F(ExtractionJob, NamesReadAsText)
{
    const struct {
        const char* NameJson;
        const char* File;
    } cases[] = {
        {R"("star")", "star-0.svg"}, {"123", "123-0.svg"},
        {"1.50e3", "1.50e3-0.svg"},  {"-0", "-0-0.svg"},
        {"0.10", "0.10-0.svg"},      {"true", "true-0.svg"},
        {"false", "false-0.svg"},    {"null", "_-0.svg"},
        {R"("")", "_-0.svg"},        {R"("下载")", "下载-0.svg"},
        {R"("a b")", "a b-0.svg"},   {R"("\u4e0b")", "下-0.svg"},
        {R"("..x")", "..x-0.svg"},   {"12345678901234567890123", "12345678901234567890123-0.svg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.NameJson);
        fs::remove_all(FOut);
        fs::create_directories(FOut);
        const TJobResult result = RunOffline(Reply(Icon(c.NameJson, kSvgA)));
        ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
        EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "svg" / c.File), kSvgA);
    }
}

// An icon that cannot be read is reported with its index and name, and the icons after it are still written.
TEST_F(ExtractionJob, BadMembersAreReportedAndTheOthersGoOn)
{
    const std::string good = Icon(R"("ok")", kSvgA);
    const struct {
        const char* Name;
        std::string SecondIcon;
        std::string IconName;  // as reported
        std::string Text;
    } cases[] = {
        {"no show_svg", R"({"name":"x"})", "x", "Value 'show_svg' not found."},
        {"no name", R"({"show_svg":"<svg/>"})", "", "Value 'name' not found."},
        {"a number instead of an object", "5", "", "Value 'show_svg' not found."},
        {"a string instead of an object", R"("icon")", "", "Value 'show_svg' not found."},
        {"null instead of an object", "null", "", "Value 'show_svg' not found."},
        {"name is an object", R"({"name":{"zh":"x"},"show_svg":"<svg/>"})", "",
         "Conversion from TJSONObject to string is not supported."},
        {"show_svg is an array", R"({"name":"x","show_svg":["<svg/>"]})", "x",
         "Conversion from TJSONArray to string is not supported."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(FRoot);
        fs::create_directories(FOut);
        FRenders.clear();
        std::vector<TIconReport> reports;
        TJobRequest request;
        request.OutputFolder = FOut;
        request.ReplyText = Reply(good + "," + c.SecondIcon + "," + good);
        TJobCallbacks callbacks = Callbacks();
        callbacks.IconReported = [&](const TIconReport& report) { reports.push_back(report); };
        const TJobResult result = RunExtraction(request, callbacks);
        EXPECT_EQ(result.End, TJobEnd::Completed);
        EXPECT_EQ(result.Count, 3);
        ASSERT_EQ(result.Failed.size(), 1u);
        EXPECT_EQ(result.Failed[0].Index, 1);
        EXPECT_EQ(result.Failed[0].Name, c.IconName);
        EXPECT_EQ(result.Failed[0].Failures, std::vector<std::string>{c.Text});
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].Index, 1);
        EXPECT_EQ(FRenders.size(), 4u);
        EXPECT_EQ(Tree(FRoot), (std::set<std::string>{"out", "out/96x96", "out/48x48", "out/svg", "out/svg/ok-0.svg",
                                                      "out/svg/ok-2.svg", "out/collection.json"}));
    }
    EXPECT_EQ(WithFullStop("Value 'name' not found"), "Value 'name' not found.");
}

// Names that cannot be file names as they are: written under a safe name, reported once, the job goes on.
TEST_F(ExtractionJob, UnsafeNamesAreReplacedAndReported)
{
    const std::string long244(244, 'n');
    // 250 bytes of three-byte characters: the cut must not split one.
    std::string wide;
    for (int i = 0; i < 84; ++i) wide += "\xE4\xB8\x8B";
    const struct {
        const char* Name;
        std::string NameJson;
        std::string File;  // in svg/
    } cases[] = {
        {"slash", R"("a/b")", "a_b-1.svg"},
        {"backslash", R"("a\\b")", "a_b-1.svg"},
        {"climbing", R"("../x")", ".._x-1.svg"},
        {"dot dot", R"("..")", "_-1.svg"},
        {"dot", R"(".")", "_-1.svg"},
        {"NUL", R"("a\u0000b")", "a_b-1.svg"},
        {"newline and escape", R"("a\nb\u001b[31m")", "a_b_[31m-1.svg"},
        {"C1 control", R"("a\u009bb")", "a_b-1.svg"},
        {"244 bytes", "\"" + long244 + "\"", long244 + "-1.svg"},
        {"300 bytes", "\"" + std::string(300, 'n') + "\"", std::string(255 - 6, 'n') + "-1.svg"},
        {"wide characters", "\"" + wide + "\"", wide.substr(0, 83 * 3) + "-1.svg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(FRoot);
        fs::create_directories(FOut);
        std::vector<TIconReport> reports;
        TJobRequest request;
        request.OutputFolder = FOut;
        request.ReplyText =
            Reply(Icon(R"("ok")", kSvgA) + "," + Icon(c.NameJson, kSvgB) + "," + Icon(R"("ok")", kSvgA));
        TJobCallbacks callbacks = Callbacks();
        callbacks.IconReported = [&](const TIconReport& report) { reports.push_back(report); };
        const TJobResult result = RunExtraction(request, callbacks);
        ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
        EXPECT_TRUE(result.Failed.empty());
        EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "svg" / c.File), kSvgB);
        EXPECT_TRUE(fs::exists(fs::path(FOut) / "svg" / "ok-2.svg"));
        const bool changed = c.File.substr(0, c.File.size() - 6) != c.NameJson.substr(1, c.NameJson.size() - 2);
        ASSERT_EQ(reports.size(), changed ? 1u : 0u);
        if (changed) {
            EXPECT_EQ(reports[0].Index, 1);
            EXPECT_EQ(reports[0].Notes.size(), 1u);
        }
        // Nothing outside the output folder's own three folders.
        for (const std::string& entry : Tree(FRoot)) EXPECT_TRUE(entry == "out" || entry.starts_with("out/")) << entry;
    }
}

TEST_F(ExtractionJob, FolderCreationErrorsNameThePath)
{
    std::ofstream(fs::path(FOut) / "svg") << "in the way";
    const TJobResult blocked = RunOffline(kTwoIcons);
    EXPECT_EQ(blocked.End, TJobEnd::Error);
    EXPECT_NE(blocked.Text.find(FOut + "/svg"), std::string::npos) << blocked.Text;
    EXPECT_TRUE(FRenders.empty());
}

TEST_F(ExtractionJob, DuplicateNamesDifferByIndex)
{
    const TJobResult result = RunOffline(Reply(Icon(R"("a")", kSvgA) + "," + Icon(R"("a")", kSvgB)));
    ASSERT_EQ(result.End, TJobEnd::Completed);
    EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "svg" / "a-0.svg"), kSvgA);
    EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "svg" / "a-1.svg"), kSvgB);
}

TEST_F(ExtractionJob, FolderNamesFollowTheSize)
{
    const struct {
        int Width, Height;
        const char* Full;
        const char* Half;
        int HalfWidth, HalfHeight;
    } cases[] = {
        {97, 50, "97x50", "48x25", 48, 25},
        {16, 400, "16x400", "8x200", 8, 200},
        {33, 17, "33x17", "16x8", 16, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Full);
        fs::remove_all(FOut);
        fs::create_directories(FOut);
        FRenders.clear();
        FSettings.Width = c.Width;
        FSettings.Height = c.Height;
        const TJobResult result = RunOffline(Reply(Icon(R"("i")", kSvgA)));
        ASSERT_EQ(result.End, TJobEnd::Completed);
        EXPECT_TRUE(fs::is_directory(fs::path(FOut) / c.Full));
        EXPECT_TRUE(fs::is_directory(fs::path(FOut) / c.Half));
        ASSERT_EQ(FRenders.size(), 2u);
        EXPECT_EQ(FRenders[0].FileName, FOut + "/" + c.Full + "/i-0.png");
        EXPECT_EQ(FRenders[1].FileName, FOut + "/" + c.Half + "/i-0.png");
        EXPECT_EQ(FRenders[0].Width, c.Width);
        EXPECT_EQ(FRenders[0].Height, c.Height);
        EXPECT_EQ(FRenders[1].Width, c.HalfWidth);
        EXPECT_EQ(FRenders[1].Height, c.HalfHeight);
    }
}

// Sizes asked for one by one: a folder each, at that size alone, and no half sizes.
TEST_F(ExtractionJob, SeveralSizesGetAFolderEach)
{
    FSettings.Sizes = {{24, 24}, {64, 32}, {400, 400}};
    const TJobResult result = RunOffline(Reply(Icon(R"("i")", kSvgA)));
    ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
    EXPECT_EQ(result.ImageFolders, (std::vector<std::string>{FOut + "/24x24", FOut + "/64x32", FOut + "/400x400"}));
    EXPECT_EQ(Tree(FOut),
              (std::set<std::string>{"24x24", "64x32", "400x400", "svg", "svg/i-0.svg", "collection.json"}));
    ASSERT_EQ(FRenders.size(), 3u);
    const TRenderCall expected[] = {{FOut + "/24x24/i-0.png", 24, 24, false},
                                    {FOut + "/64x32/i-0.png", 64, 32, false},
                                    {FOut + "/400x400/i-0.png", 400, 400, false}};
    for (std::size_t i = 0; i < FRenders.size(); ++i) {
        EXPECT_EQ(FRenders[i].FileName, expected[i].FileName);
        EXPECT_EQ(FRenders[i].Width, expected[i].Width);
        EXPECT_EQ(FRenders[i].Height, expected[i].Height);
    }
}

TEST_F(ExtractionJob, ServerErrorsAreTriedTwiceMoreAndOthersOnce)
{
    const struct {
        int Status;
        int Requests;
    } cases[] = {{500, 3}, {503, 3}, {404, 1}, {200, 1}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Status);
        const std::string id = "retry" + std::to_string(n++);
        FServer.Set(id, {c.Status, kTwoIcons});
        const int before = FServer.Seen().Requests;
        Run(id);
        EXPECT_EQ(FServer.Seen().Requests - before, c.Requests);
    }
}

TEST_F(ExtractionJob, IconSizesMakeOneIconFilePerIcon)
{
    FSettings.IcoSizes = {{16, 16}, {32, 32}, {256, 256}};
    std::vector<std::pair<std::string, std::size_t>> sets;
    TJobCallbacks callbacks = Callbacks();
    callbacks.RenderIconSet = [&](std::string_view, const std::string& fileName, std::span<const TIconSize> sizes,
                                  std::vector<std::string>&) { sets.emplace_back(fileName, sizes.size()); };
    TJobRequest request;
    request.Settings = FSettings;
    request.OutputFolder = FOut;
    request.ReplyText = kTwoIcons;
    const TJobResult result = RunExtraction(request, callbacks);
    ASSERT_EQ(result.End, TJobEnd::Completed);
    EXPECT_TRUE(FRenders.empty());
    const std::vector<std::pair<std::string, std::size_t>> expected = {{FOut + "/ico/a-0.ico", 3},
                                                                       {FOut + "/ico/b-1.ico", 3}};
    EXPECT_EQ(sets, expected);
    EXPECT_EQ(result.ImageFolders, std::vector<std::string>{FOut + "/ico"});
    EXPECT_FALSE(fs::exists(fs::path(FOut) / "96x96"));
}

TEST_F(ExtractionJob, FormatChoosesTheExporter)
{
    const struct {
        TImageFormat Format;
        const char* Extension;
        bool AsIcon;
    } cases[] = {
        {TImageFormat::Png, "png", false},
        {TImageFormat::Bmp, "bmp", false},
        {TImageFormat::Ico, "ico", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Extension);
        FRenders.clear();
        FSettings.Format = c.Format;
        ASSERT_EQ(RunOffline(Reply(Icon(R"("i")", kSvgA))).End, TJobEnd::Completed);
        ASSERT_EQ(FRenders.size(), 2u);
        EXPECT_EQ(FRenders[0].FileName, FOut + "/96x96/i-0." + c.Extension);
        EXPECT_EQ(FRenders[0].AsIcon, c.AsIcon);
    }
}

TEST_F(ExtractionJob, StopBetweenIconsKeepsWhatIsWritten)
{
    std::atomic<bool> stop{false};
    FAfterRender = [&] { stop = true; };
    TJobRequest request;
    request.OutputFolder = FOut;
    request.ReplyText = kTwoIcons;
    TJobCallbacks callbacks = Callbacks();
    callbacks.Stop = &stop;
    const TJobResult result = RunExtraction(request, callbacks);
    EXPECT_EQ(result.End, TJobEnd::Stopped);
    EXPECT_TRUE(fs::exists(fs::path(FOut) / "svg" / "a-0.svg"));
    EXPECT_FALSE(fs::exists(fs::path(FOut) / "svg" / "b-1.svg"));
}

TEST_F(ExtractionJob, InvalidUtf8ReadsAsReplacementCharacters)
{
    const TJobResult result = RunOffline(Reply(Icon("\"a\xff\"", kSvgA)));
    ASSERT_EQ(result.End, TJobEnd::Completed);
    EXPECT_TRUE(fs::exists(fs::path(FOut) / "svg" / "a\xEF\xBF\xBD-0.svg"));
    // The saved reply keeps the bytes that arrived.
    EXPECT_EQ(plumwick::test::ReadWholeFile(fs::path(FOut) / "collection.json"), Reply(Icon("\"a\xff\"", kSvgA)));
}

TEST_F(ExtractionJob, RealExportWritesBothSizes)
{
    // Left half red, right half blue.
    const std::string svg =
        R"(<svg class="icon" viewBox="0 0 1024 1024" xmlns="http://www.w3.org/2000/svg">)"
        R"(<path d="M0 0h512v1024H0z" fill="#FF0000"/><path d="M512 0h512v1024H512z" fill="#0000FF"/></svg>)";
    for (const char* format : {"png", "bmp", "ico"}) {
        SCOPED_TRACE(format);
        fs::remove_all(FOut);
        fs::create_directories(FOut);
        TJobRequest request;
        request.OutputFolder = FOut;
        request.ReplyText = Reply(Icon(R"("halves")", svg));
        const std::string extension = format;
        request.Settings.Width = 97;
        request.Settings.Height = 50;
        request.Settings.Format = extension == "ico"   ? TImageFormat::Ico
                                  : extension == "bmp" ? TImageFormat::Bmp
                                                       : TImageFormat::Png;
        const TJobResult result = RunExtraction(request, TJobCallbacks{});
        ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
        const std::string full = plumwick::test::ReadWholeFile(fs::path(FOut) / "97x50" / ("halves-0." + extension));
        const std::string half = plumwick::test::ReadWholeFile(fs::path(FOut) / "48x25" / ("halves-0." + extension));
        ASSERT_GT(full.size(), 16u);
        ASSERT_GT(half.size(), 16u);
        if (extension != "ico") {
            const struct {
                const std::string& Bytes;
                int Width, Height;
            } images[] = {{full, 97, 50}, {half, 48, 25}};
            for (const auto& image : images) {
                QImage decoded;
                ASSERT_TRUE(decoded.loadFromData(reinterpret_cast<const uchar*>(image.Bytes.data()),
                                                 static_cast<int>(image.Bytes.size())));
                EXPECT_EQ(decoded.width(), image.Width);
                EXPECT_EQ(decoded.height(), image.Height);
                // Probes a quarter in from each side: clear of the resampled seam in the middle.
                const QColor left = decoded.pixelColor(image.Width / 4, image.Height / 2);
                const QColor right = decoded.pixelColor(image.Width * 3 / 4, image.Height / 2);
                EXPECT_EQ(left, QColor(255, 0, 0)) << left.name().toStdString();
                EXPECT_EQ(right, QColor(0, 0, 255)) << right.name().toStdString();
            }
        } else {
            // One 97 x 50 image in the directory entry; 48 x 25 in the half-size file.
            EXPECT_EQ(full.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
            EXPECT_EQ(static_cast<unsigned char>(full[6]), 97);
            EXPECT_EQ(static_cast<unsigned char>(full[7]), 50);
            EXPECT_EQ(static_cast<unsigned char>(half[6]), 48);
            EXPECT_EQ(static_cast<unsigned char>(half[7]), 25);
        }
    }
}

TEST(ExtractionTexts, FolderAndFileNames)
{
    const struct {
        std::string Got, Expected;
    } cases[] = {
        {SizeFolder("/data/icons", 96, 96), "/data/icons/96x96"},
        {SizeFolder("/data/icons", 97 / 2, 50 / 2), "/data/icons/48x25"},
        // The output folder is joined unchanged, so a trailing separator doubles.
        {SizeFolder("/", 96, 96), "//96x96"},
        {SvgFolder("/data/icons/"), "/data/icons//svg"},
        {IconFileName("/o/svg", "star", 0, "svg"), "/o/svg/star-0.svg"},
        {IconFileName("/o/96x96", "下载", 12, "ico"), "/o/96x96/下载-12.ico"},
        {CollectionUrl("https://www.iconfont.cn", "32622"),
         "https://www.iconfont.cn/api/collection/detail.json?id=32622"},
        {CollectionUrl("http://127.0.0.1:8080/", " 1"), "http://127.0.0.1:8080/api/collection/detail.json?id= 1"},
        {WithFullStop("Invalid class typecast"), "Invalid class typecast."},
        {WithFullStop("ends."), "ends."},
        {WithFullStop("ends!"), "ends!"},
        {WithFullStop("ends)"), "ends)"},
        {WithFullStop("文件不存在"), "文件不存在."},
        {WithFullStop(""), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Got, c.Expected);
}

TEST(ExtractionTexts, InputChecks)
{
    const std::string existing = fs::temp_directory_path().string();
    const struct {
        std::string Cid, Folder;
        std::optional<TInputProblem> Problem;
    } cases[] = {
        {"", existing, TInputProblem::EmptyCid},
        {"", "/no/such/folder", TInputProblem::EmptyCid},
        {" ", existing, std::nullopt},
        {"abc", existing, std::nullopt},
        {"1", "/no/such/folder", TInputProblem::NoOutputFolder},
        {"1", "", TInputProblem::NoOutputFolder},
        {"1", "/etc/hostname", TInputProblem::NoOutputFolder},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckJobInputs(c.Cid, c.Folder), c.Problem) << c.Cid << " " << c.Folder;
}

TEST(ExtractionTexts, ApiBaseFromTheEnvironment)
{
    ::unsetenv("PLUMWICK_API_BASE");
    EXPECT_EQ(DefaultApiBase(), "https://www.iconfont.cn");
    ::setenv("PLUMWICK_API_BASE", "http://127.0.0.1:9", 1);
    EXPECT_EQ(DefaultApiBase(), "http://127.0.0.1:9");
    ::setenv("PLUMWICK_API_BASE", "", 1);
    EXPECT_EQ(DefaultApiBase(), "https://www.iconfont.cn");
    ::unsetenv("PLUMWICK_API_BASE");
}

}  // namespace
}  // namespace plumwick
