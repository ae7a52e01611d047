// plumwick render as scripts call it: files written, failures reported per file, exit statuses.
#include "RunPlumwick.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using plumwick::testing::RunPlumwick;

class RenderCommand : public testing::Test {
protected:
    void SetUp() override
    {
        FFolder = plumwick::test::FreshTestFolder("plumwick-render");
        Write("good.svg", R"(<svg viewBox="0 0 24 24"><path d="M2 2H22V22H2Z" fill="red"/></svg>)");
        Write("truncated.svg", R"(<svg viewBox="0 0 24 24"><path d="M2 2H22)");
        // Content the renderer cannot take: elements nested deeper than a document may be.
        Write("toodeep.svg", R"(<svg viewBox="0 0 24 24">)" + Repeat("<g>", 300) + Repeat("</g>", 300) + "</svg>");
    }
    void TearDown() override { fs::remove_all(FFolder); }

    std::string Path(const std::string& name) const { return (FFolder / name).string(); }
    static std::string Repeat(const std::string& text, int times)
    {
        std::string result;
        for (int i = 0; i < times; ++i) result += text;
        return result;
    }
    void Write(const std::string& name, const std::string& text) const { std::ofstream(Path(name)) << text; }

    fs::path FFolder;
};

TEST_F(RenderCommand, WritesEveryFormatIntoACreatedFolder)
{
    struct Case {
        std::vector<std::string> extra;
        const char* written;
        std::string magic;
    };
    const Case cases[] = {
        {{}, "good.png", "\x89PNG"},
        {{"-f", "bmp"}, "good.bmp", "BM"},
        {{"-f", "ico", "-s", "400x400"}, "good.ico", std::string("\0\0\1\0", 4)},
        {{"--jobs", "1", "-s", "16x32"}, "good.png", "\x89PNG"},
    };
    for (const Case& c : cases) {
        const std::string out = Path("out/nested");
        std::vector<std::string> args{"render", Path("good.svg"), "-o", out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        ASSERT_EQ(RunPlumwick(args), 0);
        std::ifstream in(out + "/" + c.written, std::ios::binary);
        std::string head(4, '\0');
        in.read(head.data(), 4);
        EXPECT_EQ(head.rfind(c.magic, 0), 0u) << c.written;
        fs::remove_all(Path("out"));
    }
}

TEST_F(RenderCommand, FailingFilesAreReportedAndTheOthersGoOn)
{
    testing::internal::CaptureStderr();
    const int status = RunPlumwick({"render", Path("truncated.svg"), Path("good.svg"), Path("toodeep.svg"),
                                    Path("missing.svg"), "-o", Path("out")});
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(fs::exists(Path("out/good.png")));
    for (const char* name : {"truncated.svg", "toodeep.svg", "missing.svg"}) {
        EXPECT_NE(errors.find(Path(name) + ": "), std::string::npos) << name << "\n" << errors;
        EXPECT_FALSE(fs::exists(Path("out/" + fs::path(name).stem().string() + ".png"))) << name;
    }
    EXPECT_EQ(errors.find(Path("good.svg") + ":"), std::string::npos) << errors;
}

TEST_F(RenderCommand, SameStemTwiceIsRefusedRatherThanOverwritten)
{
    fs::create_directories(Path("other"));
    Write("other/good.svg", R"(<svg viewBox="0 0 24 24"/>)");
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunPlumwick({"render", Path("good.svg"), Path("other/good.svg"), "-o", Path("out")}), 1);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(Path("other/good.svg") + ": "), std::string::npos) << errors;
}

// A red 4 x 4 PNG, written by the renderer itself from an SVG (no picture library needed here).
std::string RedPng(const std::string& folder)
{
    const std::string svg = folder + "/red-source.svg";
    std::ofstream(svg) << R"(<svg viewBox="0 0 4 4"><rect width="4" height="4" fill="#F00"/></svg>)";
    EXPECT_EQ(RunPlumwick({"render", svg, "-o", folder, "-s", "16x16"}), 0);
    std::filesystem::remove(svg);
    return folder + "/red-source.png";
}

// Pictures come from the SVG file's own folder tree, wherever the command runs; nothing outside it is read.
TEST_F(RenderCommand, ImagesResolveInTheFilesOwnFolderOnly)
{
    fs::create_directories(Path("icons/pics"));
    fs::rename(RedPng(Path("")), Path("icons/pics/red.png"));
    fs::copy_file(Path("icons/pics/red.png"), Path("outside.png"));
    fs::create_symlink(Path("outside.png"), Path("icons/pics/link.png"));
    const struct {
        const char* File;
        std::string Href;
        bool Red;
        bool Warned;
    } cases[] = {
        {"relative", "pics/red.png", true, false},     {"absolute-inside", Path("icons/pics/red.png"), true, false},
        {"climbs-out", "../outside.png", false, true}, {"absolute-outside", Path("outside.png"), false, true},
        {"link-out", "pics/link.png", false, true},    {"system-file", "/etc/passwd", false, true},
        {"missing", "pics/none.png", false, true},     {"missing-outside", "../../none.png", false, true},
    };
    const fs::path cwd = fs::current_path();
    fs::current_path("/");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        Write(std::string("icons/") + c.File + ".svg",
              R"(<svg viewBox="0 0 16 16"><image width="16" height="16" href=")" + c.Href + R"("/></svg>)");
        testing::internal::CaptureStderr();
        const int status =
            RunPlumwick({"render", Path(std::string("icons/") + c.File + ".svg"), "-o", Path("out"), "-s", "16x16"});
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 0) << errors;
        EXPECT_EQ(errors.find("warning") != std::string::npos, c.Warned) << errors;
        if (c.Warned) {
            EXPECT_NE(errors.find(c.Href), std::string::npos) << errors;
        }
        const QImage image(QString::fromStdString(Path(std::string("out/") + c.File + ".png")));
        ASSERT_FALSE(image.isNull());
        const bool red = image.pixel(8, 8) == qRgba(255, 0, 0, 255);
        EXPECT_EQ(red, c.Red);
    }
    fs::current_path(cwd);
}

// A write that fails says why, and the file is not left half-written under its name.
TEST_F(RenderCommand, WriteFailuresSayWhy)
{
    fs::create_directories(Path("out/good.png/inside"));
    testing::internal::CaptureStderr();
    const int status = RunPlumwick({"render", Path("good.svg"), "-o", Path("out")});
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors.find(Path("good.svg") + ": cannot write " + Path("out/good.png") + ": Is a directory"),
              std::string::npos)
        << errors;
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("out")), fs::directory_iterator()), 1);
}

// Names go to the terminal with their control characters escaped.
TEST_F(RenderCommand, ControlCharactersInNamesAreEscaped)
{
    const std::string name = "bad\n\x1b[31mname.svg";
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunPlumwick({"render", Path(name), "-o", Path("out")}), 1);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.find('\x1b'), std::string::npos) << errors;
    EXPECT_NE(errors.find("bad\\n\\x1b[31mname.svg: "), std::string::npos) << errors;
}

TEST_F(RenderCommand, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"render", Path("good.svg")},
        {"render", "-o", Path("out")},
        {"render", Path("good.svg"), "-o", Path("out"), "-s", "15x96"},
        {"render", Path("good.svg"), "-o", Path("out"), "-s", "96x401"},
        {"render", Path("good.svg"), "-o", Path("out"), "-s", "96"},
        {"render", Path("good.svg"), "-o", Path("out"), "-f", "gif"},
        {"render", Path("good.svg"), "-o", Path("out"), "--jobs", "0"},
    };
    for (const auto& args : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunPlumwick(args), 2) << testing::PrintToString(args);
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(fs::exists(Path("out")));
    }
}

}  // namespace
