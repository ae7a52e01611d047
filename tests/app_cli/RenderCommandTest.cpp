// plumwick render as scripts call it: files written, failures reported per file, exit statuses.
#include "RunPlumwick.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using plumwick::testing::RunPlumwick;

class RenderCommand : public testing::Test {
protected:
    void SetUp() override
    {
        FFolder = fs::temp_directory_path() /
                  ("plumwick-render-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
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
        for (int i = 0; i < times; ++i)
            result += text;
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
