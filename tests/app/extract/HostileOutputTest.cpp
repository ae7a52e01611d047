// The job against a hostile disk, hostile replies and a hostile server: failures are reported with the icon,
// nothing half-written stays under a final name, and replies cannot read local files.
#include "LoopbackServer.h"
#include "tests/support/TestFolder.h"

#include "app/AtomicFile.h"
#include "app/ExtractionJob.h"
#include "app/FolderLock.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QImage>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace plumwick {
namespace {

namespace fs = std::filesystem;

std::string Reply(const std::vector<std::pair<std::string, std::string>>& icons)
{
    std::string list;
    for (const auto& [name, svg] : icons) {
        std::string escaped;
        for (char c : svg) escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
        list += std::string(list.empty() ? "" : ",") + R"({"name":")" + name + R"(","show_svg":")" + escaped + R"("})";
    }
    return R"({"data":{"icons":[)" + list + "]}}";
}

const std::string kRed = R"(<svg viewBox="0 0 8 8"><rect width="8" height="8" fill="#F00"/></svg>)";

class HostileOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        FRoot = plumwick::test::FreshTestFolder("plumwick-hostile");
        fs::create_directories(FRoot / "out");
        FOut = (FRoot / "out").string();
    }
    void TearDown() override
    {
        if (FMounted) ::umount(FOut.c_str());
        fs::remove_all(FRoot);
    }

    TJobResult Run(const std::string& replyText, TJobSettings settings = {})
    {
        TJobRequest request;
        request.OutputFolder = FOut;
        request.ReplyText = replyText;
        request.Settings = settings;
        TJobCallbacks callbacks;
        callbacks.IconReported = [this](const TIconReport& report) { FReports.push_back(report); };
        return RunExtraction(request, callbacks);
    }

    fs::path FRoot;
    std::string FOut;
    bool FMounted = false;
    std::vector<TIconReport> FReports;
};

TEST_F(HostileOutput, AFolderWhereAnImageGoesFailsThatIconOnly)
{
    fs::create_directories(fs::path(FOut) / "96x96" / "b-1.png" / "inside");
    const TJobResult result = Run(Reply({{"a", kRed}, {"b", kRed}, {"c", kRed}}));
    ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
    ASSERT_EQ(result.Failed.size(), 1u);
    EXPECT_EQ(result.Failed[0].Index, 1);
    EXPECT_EQ(result.Failed[0].Name, "b");
    ASSERT_EQ(result.Failed[0].Failures.size(), 1u);
    const std::string& text = result.Failed[0].Failures[0];
    EXPECT_NE(text.find("96x96/b-1.png"), std::string::npos) << text;
    EXPECT_NE(text.find("Is a directory"), std::string::npos) << text;
    for (const char* file : {"96x96/a-0.png", "48x48/b-1.png", "96x96/c-2.png", "48x48/c-2.png"})
        EXPECT_TRUE(fs::is_regular_file(fs::path(FOut) / file)) << file;
}

// A small tmpfs that fills up half-way: whatever is under a final name is complete, the rest is reported.
TEST_F(HostileOutput, AFullDiskLeavesNoShortFileUnderAFinalName)
{
    if (::geteuid() != 0 || ::mount("plumwick-test", FOut.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    FMounted = true;
    // 16 pages: a few small files fit, a 200x200 BMP or ICO (160 KiB) never does.
    std::vector<std::pair<std::string, std::string>> icons;
    for (int i = 0; i < 8; ++i) icons.emplace_back("n" + std::to_string(i), kRed);
    for (const char* format : {"png", "bmp", "ico"}) {
        SCOPED_TRACE(format);
        for (const auto& entry : fs::directory_iterator(FOut)) fs::remove_all(entry.path());
        const std::string extension = format;
        TJobSettings settings;
        settings.Width = settings.Height = 200;
        settings.Format = extension == "ico"   ? TImageFormat::Ico
                          : extension == "bmp" ? TImageFormat::Bmp
                                               : TImageFormat::Png;
        const TJobResult result = Run(Reply(icons), settings);
        if (result.End == TJobEnd::Error) {
            EXPECT_NE(result.Text.find("No space left on device"), std::string::npos) << result.Text;
            continue;  // not even the reply fitted
        }
        ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
        ASSERT_FALSE(result.Failed.empty()) << "64 KiB cannot hold eight icons' files";
        EXPECT_NE(result.Failed.back().Failures.back().find("No space left on device"), std::string::npos)
            << result.Failed.back().Failures.back();
        for (const auto& entry : fs::recursive_directory_iterator(FOut)) {
            if (!entry.is_regular_file()) continue;
            const std::string name = entry.path().filename().string();
            EXPECT_FALSE(IsTemporaryName(name)) << "left behind: " << name;
            const std::string bytes = plumwick::test::ReadWholeFile(entry.path());
            ASSERT_FALSE(bytes.empty()) << name;
            if (entry.path().extension() == ".png" || entry.path().extension() == ".bmp") {
                QImage image;
                EXPECT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size())))
                    << name << " is cut short";
            } else if (entry.path().extension() == ".ico") {
                const std::size_t side = entry.path().parent_path().filename() == "200x200" ? 200 : 100;
                EXPECT_EQ(bytes.size(), 22 + 40 + side * side * 4 + side * ((side + 31) / 32 * 4)) << name;
            } else if (entry.path().extension() == ".svg") {
                EXPECT_EQ(bytes, kRed) << name;
            }
        }
    }
}

// SVG text from a reply reads pictures only from data: URIs: a local file it names is not read.
TEST_F(HostileOutput, ReplySvgCannotReadLocalFiles)
{
    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    const fs::path picture = FRoot / "secret.png";
    ASSERT_TRUE(red.save(QString::fromStdString(picture.string())));
    const fs::path cwd = fs::current_path();
    fs::current_path(FRoot);
    const std::string references[] = {picture.string(), "secret.png", "file://" + picture.string(), "/etc/passwd"};
    std::vector<std::pair<std::string, std::string>> icons;
    for (const std::string& reference : references)
        icons.emplace_back("i",
                           R"(<svg viewBox="0 0 8 8"><image width="8" height="8" href=")" + reference + R"("/></svg>)");
    TJobSettings small;
    small.Width = small.Height = 16;
    const TJobResult result = Run(Reply(icons), small);
    fs::current_path(cwd);
    ASSERT_EQ(result.End, TJobEnd::Completed) << result.Text;
    EXPECT_TRUE(result.Failed.empty());
    ASSERT_EQ(FReports.size(), std::size(references));
    for (std::size_t i = 0; i < std::size(references); ++i) {
        SCOPED_TRACE(references[i]);
        ASSERT_EQ(FReports[i].Notes.size(), 1u);
        EXPECT_NE(FReports[i].Notes[0].find(references[i]), std::string::npos) << FReports[i].Notes[0];
        QImage image(QString::fromStdString(FOut + "/16x16/i-" + std::to_string(i) + ".png"));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(qAlpha(image.pixel(8, 8)), 0) << "the local picture was drawn";
    }
}

TEST_F(HostileOutput, ASecondJobIntoTheSameFolderIsRefused)
{
    const TFolderLock held(FOut);
    const TJobResult result = Run(Reply({{"a", kRed}}));
    EXPECT_EQ(result.End, TJobEnd::Error);
    EXPECT_NE(result.Text.find("another extraction"), std::string::npos) << result.Text;
    EXPECT_FALSE(fs::exists(fs::path(FOut) / "svg"));
}

TEST_F(HostileOutput, TemporariesOfAKilledRunAreRemoved)
{
    // A process id that is not running: a child that has ended and been waited for.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ASSERT_GT(dead, 0);
    int status = 0;
    ::waitpid(dead, &status, 0);
    fs::create_directories(fs::path(FOut) / "svg");
    const std::string stale = ".pw-" + std::to_string(dead) + "-aB3xYz";
    const std::string live = ".pw-" + std::to_string(::getppid()) + "-aB3xYz";
    const std::string other = ".pw-notmine";
    for (const std::string& name : {stale, live, other}) std::ofstream(fs::path(FOut) / "svg" / name) << "partial";
    std::ofstream(fs::path(FOut) / stale) << "partial";
    ASSERT_EQ(Run(Reply({{"a", kRed}})).End, TJobEnd::Completed);
    EXPECT_FALSE(fs::exists(fs::path(FOut) / "svg" / stale));
    EXPECT_FALSE(fs::exists(fs::path(FOut) / stale));
    EXPECT_TRUE(fs::exists(fs::path(FOut) / "svg" / live)) << "a running process may still be writing it";
    EXPECT_TRUE(fs::exists(fs::path(FOut) / "svg" / other));
}

TEST(HostileServer, ATricklingServerEndsWithAMessage)
{
    test::TLoopbackServer server;
    server.Set("trickle", {200, std::string(1000, ' ') + "{}"});
    const fs::path out = fs::temp_directory_path() / ("plumwick-trickle-" + std::to_string(::getpid()));
    fs::create_directories(out);
    TJobRequest request;
    request.Cid = "trickle";
    request.OutputFolder = out.string();
    request.ApiBase = server.Base();
    request.Http.TotalTimeoutMs = 1200;
    TJobCallbacks callbacks;
    const auto start = std::chrono::steady_clock::now();
    const TJobResult result = RunExtraction(request, callbacks);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(result.End, TJobEnd::Problem);
    EXPECT_EQ(result.Problem, TJobProblem::Network);
    EXPECT_NE(result.Text.find("longer than its limit of 1.2 s"), std::string::npos) << result.Text;
    EXPECT_LT(seconds, 5.0);
    EXPECT_TRUE(fs::is_empty(out));
    fs::remove_all(out);
}

}  // namespace
}  // namespace plumwick
